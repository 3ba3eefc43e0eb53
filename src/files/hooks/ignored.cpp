// Linked into the programs of a build without SCENARIO_TEST_HOOKS (every release): whatever the
// environment holds, the writer writes as it always does.
#include "files/write_hooks.h"

namespace scenario::files {

void set_write_hooks_from_environment() {}

}  // namespace scenario::files
