#pragma once

#include <cstdint>

#include "compiler/model/build_state.h"

namespace scenario::compiler {

// Which text is being read and the line of the field read last, so that a reading failure can
// name where it happened.
struct ReadingPlace {
    ErrorSource source = ErrorSource::none;
    std::int32_t line = 0;
};

}  // namespace scenario::compiler
