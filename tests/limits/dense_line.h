#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scenario::testing {

// The longest route the line reader accepts, in metres.
inline constexpr std::int32_t kLongestRoute = 1000000;

// A line text and a train text packed as densely as the placement rules allow, for measuring
// and for testing the limits. The route is laid out in 1000 m blocks:
// - every block: four gradients, two curves (while the plan may still bend: up to 999000 m),
//   two speed limits, one adhesion, and a signal at +600;
// - ordinary blocks and station blocks: a maximum-speed board at +100;
// - every 20th block, from the 10th: a station at its start, up to the most the table allows;
// - 4-block groups every 50 blocks, from the 35th: one slow slowdown from +2100 over 1200 m,
//   with its warning board and approach cells, and nothing else but the signals;
// - some ordinary blocks: a sign board at +300 (30 of them), a code point at +250, and the
//   mountain spans (at most 80) from +700 to +950.
// Every object lands on a cell of its own, so a clean compile records no fault.
struct DenseLine {
    std::int32_t length = 0;
    std::string line_text;   // CR LF after every line, as the writers produce it
    std::string train_text;  // likewise

    // Where the objects stand (metres), in file order, to find them again in the cells.
    std::int32_t curves = 0;
    std::int32_t gradients = 0;
    std::int32_t spans = 0;
    std::vector<std::int32_t> speed_boards;
    std::vector<std::int32_t> sign_boards;
    std::vector<std::int32_t> stations;
    std::vector<std::uint8_t> station_kinds;
    std::vector<std::int32_t> slowdowns;  // the start x of each
    std::vector<std::int32_t> signals;
    std::vector<std::int32_t> code_points;  // "abbattimento" rows with a positive value
    std::vector<std::int32_t> cancels;      // "abbattimento" rows with the value 0
};

// The dense line for a route of this length; the general section states the length as given,
// even above the limit, while the objects stay within the first min(length, limit) metres.
DenseLine dense_line(std::int32_t length);

// The number of sign boards of a dense line long enough to hold them all; with them the table
// leaves room for 78 - kDenseSignBoards stations.
inline constexpr std::int32_t kDenseSignBoards = 30;
inline constexpr std::int32_t kDenseStations = 78 - kDenseSignBoards;

}  // namespace scenario::testing
