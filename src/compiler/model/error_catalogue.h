#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace scenario::compiler {

// Every fault the build can record or show, by its number. The product's own numbers and two of
// ours (26, 27: texts the product's tables cannot hold, refused rather than written past the end
// of the table).
enum class Fault : std::int32_t {
    route_too_long = 1,
    kilometric_range_off_grid = 2,
    repetition_start_off_grid = 3,
    repetition_end_off_grid = 4,
    repetition_without_code_system = 5,
    sign_board_cell_taken = 6,
    code_point_cell_taken = 7,
    station_off_grid = 8,
    station_length_off_grid = 9,
    station_table_full = 10,
    no_code_point_cell_before_signal = 11,
    no_code_point_cell_before_slowdown = 12,
    no_code_point_cell_along_slowdown = 13,
    record_near_route_end = 15,
    signal_cell_taken = 16,
    warning_board_cell_taken = 17,
    slowdown_start_cell_taken = 18,
    slowdown_end_cell_taken = 19,
    approach_cell_taken = 20,
    speed_board_cell_taken = 21,
    station_zones_too_close = 22,
    no_stop_cell = 24,
    reading_failure = 25,
    sign_board_table_full = 26,
    too_many_mountain_spans = 27,
    line_text_missing = 101,
    no_general_section = 102,
    curve_without_class = 103,
    format_markers_in_use = 1250,
    scenario_codes_in_use = 1251,
};

constexpr std::int32_t number_of(Fault fault) {
    return static_cast<std::int32_t>(fault);
}

struct FaultEntry {
    Fault fault;
    std::string_view name;     // the symbolic name, as `scenario-tool explain` accepts it
    bool sets_position;        // whether errorPosition goes with the number
    std::string_view meaning;  // one line, in English
    // What causes it, a line that raises it, and how to mend it: a few lines of plain text.
    std::string_view explanation;

    constexpr std::int32_t number() const { return number_of(fault); }
};

// The catalogue, in ascending order of number.
inline constexpr std::array kFaultCatalogue{
    FaultEntry{Fault::route_too_long, "route_too_long", false,
               "the route length is above 1000000 m", ""},
    FaultEntry{Fault::kilometric_range_off_grid, "kilometric_range_off_grid", false,
               "a kilometric range has a start or kilometric value that is not a multiple of 50",
               ""},
    FaultEntry{Fault::repetition_start_off_grid, "repetition_start_off_grid", false,
               "the first value of the signal-repetition line is not a multiple of 50", ""},
    FaultEntry{Fault::repetition_end_off_grid, "repetition_end_off_grid", false,
               "the second value of the signal-repetition line is not a multiple of 50", ""},
    FaultEntry{Fault::repetition_without_code_system, "repetition_without_code_system", false,
               "the signal-repetition keyword names neither the 4-code nor the 9-code system", ""},
    FaultEntry{Fault::sign_board_cell_taken, "sign_board_cell_taken", true,
               "a sign board lands on a cell that is already taken", ""},
    FaultEntry{Fault::code_point_cell_taken, "code_point_cell_taken", true,
               "a code point (abbattimento) lands on a cell that is already taken", ""},
    FaultEntry{Fault::station_off_grid, "station_off_grid", true,
               "a station position is not a multiple of 50", ""},
    FaultEntry{Fault::station_length_off_grid, "station_length_off_grid", true,
               "a station length is not a multiple of 100", ""},
    FaultEntry{Fault::station_table_full, "station_table_full", false,
               "the location table has no room for a further station", ""},
    FaultEntry{Fault::no_code_point_cell_before_signal, "no_code_point_cell_before_signal", true,
               "no free cell for a code point in the two cells before a signal within 20 cells "
               "before a slowdown warning",
               ""},
    FaultEntry{Fault::no_code_point_cell_before_slowdown, "no_code_point_cell_before_slowdown",
               true, "no free cell for a code point in one of the windows before a slowdown start",
               ""},
    FaultEntry{Fault::no_code_point_cell_along_slowdown, "no_code_point_cell_along_slowdown", true,
               "no free cell for a code point along a slowdown below 110 km/h or before the first "
               "signal after its end",
               ""},
    FaultEntry{Fault::record_near_route_end, "record_near_route_end", true,
               "a record lies too near the end of the route", ""},
    FaultEntry{Fault::signal_cell_taken, "signal_cell_taken", true,
               "a signal lands on a cell that is already taken", ""},
    FaultEntry{Fault::warning_board_cell_taken, "warning_board_cell_taken", true,
               "the warning board 1200 m before a slowdown lands on a cell that is already taken",
               ""},
    FaultEntry{Fault::slowdown_start_cell_taken, "slowdown_start_cell_taken", true,
               "the start of a slowdown lands on a cell that is already taken", ""},
    FaultEntry{Fault::slowdown_end_cell_taken, "slowdown_end_cell_taken", true,
               "the end of a slowdown lands on a cell that is already taken", ""},
    FaultEntry{Fault::approach_cell_taken, "approach_cell_taken", true,
               "one of the four approach cells before a slowdown warning is already taken", ""},
    FaultEntry{Fault::speed_board_cell_taken, "speed_board_cell_taken", true,
               "a maximum-speed board lands on a cell that is already taken", ""},
    FaultEntry{Fault::station_zones_too_close, "station_zones_too_close", true,
               "a station zone starts less than 350 m after the end of the previous station zone",
               ""},
    FaultEntry{Fault::no_stop_cell, "no_stop_cell", false,
               "a stopping station's zone ends so early that no stop cell fits before it", ""},
    FaultEntry{Fault::reading_failure, "reading_failure", false,
               "the text could not be read: a value does not fit its field, a field is missing, or "
               "the file is unreadable",
               ""},
    FaultEntry{Fault::sign_board_table_full, "sign_board_table_full", true,
               "the location table has no free entry for a further sign board", ""},
    FaultEntry{Fault::too_many_mountain_spans, "too_many_mountain_spans", true,
               "more than 80 mountain spans", ""},
    FaultEntry{Fault::line_text_missing, "line_text_missing", false,
               "the line description file does not exist", ""},
    FaultEntry{Fault::no_general_section, "no_general_section", false,
               "the line description file has no [generale] section", ""},
    FaultEntry{Fault::curve_without_class, "curve_without_class", false,
               "a curve names no curvature class 1 to 6, or its plan runs past metre 1000000", ""},
    FaultEntry{Fault::format_markers_in_use, "format_markers_in_use", false,
               "the places of the format markers are already in use", ""},
    FaultEntry{Fault::scenario_codes_in_use, "scenario_codes_in_use", false,
               "the places of the scenario codes are already in use", ""},
};

constexpr const FaultEntry& catalogue_entry(Fault fault) {
    const auto* it = std::find_if(kFaultCatalogue.begin(), kFaultCatalogue.end(),
                                  [fault](const FaultEntry& e) { return e.fault == fault; });
    return *it;  // every Fault has its entry: the test of the catalogue walks them all
}

// Whether a fault comes with a position, known where the fault is raised, so that a site that
// records one without the other does not compile.
constexpr bool carries_position(Fault fault) {
    return catalogue_entry(fault).sets_position;
}

// The entry of a number, or nothing for a number the build never uses.
const FaultEntry* find_fault(std::int32_t number);
const FaultEntry* find_fault(std::string_view name);

// The one-line meaning of an error number, or "unknown error" for a number the build never uses.
std::string_view error_meaning(std::int32_t number);

// Whether a fault with this number comes with a position in metres.
bool error_sets_position(std::int32_t number);

}  // namespace scenario::compiler
