#pragma once

#include <cstdint>

namespace scenario::compiler {

// Cell kinds: what object, if any, stands on a 50 m cell.
namespace cell_kind {
inline constexpr std::uint8_t empty = 0;
inline constexpr std::uint8_t signal = 1;
inline constexpr std::uint8_t slowdown_end = 2;
inline constexpr std::uint8_t slowdown_start = 3;
inline constexpr std::uint8_t slowdown_warning = 4;
inline constexpr std::uint8_t warning_approach = 5;
inline constexpr std::uint8_t speed_board = 6;
inline constexpr std::uint8_t station_stop = 10;
inline constexpr std::uint8_t mountain_marker = 11;
inline constexpr std::uint8_t code_point = 12;
inline constexpr std::uint8_t code_point_cancel = 13;
inline constexpr std::uint8_t sign_board = 14;
}  // namespace cell_kind

// One 50 m cell of the route. Field order and widths are those of the cell file.
struct TrackCell {
    std::uint8_t kind = 0;
    std::int16_t ref = 0;
    std::int16_t ref2 = 0;
    std::int16_t ref3 = 0;
    std::int16_t ref4 = 0;
    std::uint8_t signalTime = 0;
    std::uint8_t approachMark = 0;
    std::uint8_t spanKind = 0;
    std::uint8_t speedStep = 0;
    std::uint8_t gradientCode = 0;
    std::uint8_t adhesion = 0;

    friend bool operator==(const TrackCell&, const TrackCell&) = default;
};

// A cell is free for a new object when nothing stands on it or only a mountain marker does.
constexpr bool is_free(const TrackCell& cell) {
    return cell.kind == cell_kind::empty || cell.kind == cell_kind::mountain_marker;
}

}  // namespace scenario::compiler
