#include "compiler/signalling_pass.h"

namespace scenario::compiler {

std::int32_t signalling_pass(BuildState& /*state*/) {
    return 0;
}

}  // namespace scenario::compiler
