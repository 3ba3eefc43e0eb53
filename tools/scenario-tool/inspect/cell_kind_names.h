#pragma once

#include <cstdint>
#include <string_view>

namespace scenario::tool {

// What a cell kind stands for, in a few words ("signal", "slowdown start"); "unknown kind"
// for a number the builder never writes.
std::string_view cell_kind_name(std::uint8_t kind);

}  // namespace scenario::tool
