#include "inspect/cell_kind_names.h"

#include "compiler/model/track_cell.h"

namespace scenario::tool {

std::string_view cell_kind_name(std::uint8_t kind) {
    namespace k = compiler::cell_kind;
    switch (kind) {
        case k::empty:
            return "nothing";
        case k::signal:
            return "signal";
        case k::slowdown_end:
            return "slowdown end";
        case k::slowdown_start:
            return "slowdown start";
        case k::slowdown_warning:
            return "slowdown warning";
        case k::warning_approach:
            return "warning approach";
        case k::speed_board:
            return "maximum-speed boards";
        case k::station_stop:
            return "station stop";
        case k::mountain_marker:
            return "mountain marker";
        case k::code_point:
            return "code point";
        case k::code_point_cancel:
            return "code point cancelled";
        case k::sign_board:
            return "sign board";
        default:
            return "unknown kind";
    }
}

}  // namespace scenario::tool
