#pragma once

#include "cli/command_description.h"

namespace scenario::docgen {

// scenario-builder's command line, from the builder's own usage data, in the shape of the
// tool's command descriptions so that one page maker sets both.
const tool::CommandDescription& builder_description();

}  // namespace scenario::docgen
