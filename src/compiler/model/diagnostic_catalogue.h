#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compiler/model/build_state.h"

namespace scenario::compiler {

// Every diagnostic the build and the author's tools know, by a typed id: the faults the build
// records or shows, by their numbers (the product's own and two of ours: 26, 27, texts the
// product's tables cannot hold, refused rather than written past the end of the table), and the
// warnings, by their names, for what the build does to a text without a fault but an author
// seldom means.
enum class Diag : std::int32_t {
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

    // Warnings: no number of the build's, only a name.
    first_warning = 10000,
    byte_order_mark,
    utf8_text,
    lone_cr,
    before_general,
    dash_in_keyword,
    unknown_keyword,
    other_text_record,
    out_of_section,
    several_kinds,
    extra_values,
    kilometric_ranges_dropped,
    repetition_backwards,
    position_outside_route,
    not_on_grid,
    out_of_order,
    before_first_record,
    missing_profile,
    value_changed,
    speed_not_on_step,
    overlapping_curves,
    curve_empty,
    curve_keyword,
    span_empty,
    cut_at_route_end,
    clock_not_a_time,
    station_time,
    time_past_day,
    control_character,
    name_too_long_for_card,
    kilometre_not_printable,
    station_flag_dropped,
    stop_cell_overwrites,
    approach_marks_overwritten,
    signal_time_raised,
    signal_time_dropped,
    slowdown_empty,
    slowdown_without_warning,
    code_point_lowered,
    missing_stations,
    texts_swapped,
    timetable_too_tight,
    timetable_margin_low,
};

// The faults are the diagnostics with a number; most of the build names them so.
using Fault = Diag;

constexpr std::int32_t number_of(Diag id) {
    return static_cast<std::int32_t>(id);
}

constexpr bool is_fault(Diag id) {
    return number_of(id) < number_of(Diag::first_warning);
}

enum class Severity : std::uint8_t { error, warning, note };

// What the build does after it: the reading it stops, if any.
enum class Stops : std::uint8_t {
    nothing,  // the build goes on: a warning, a fault of the signalling pass, error 2
    records,  // the records of the text end as at its end (15)
    text,     // the reading of the text stops; after the line text the train text is not read
    reading,  // the reading of both texts ends at once (25)
    build,    // no compact file is written
};

// One edit of the example route's texts (example_route.h): `count` lines from `line` on are
// replaced by `content` (0: inserted before `line`); content lines are separated by '\n'. With
// `repeat`, the content is inserted that many times, "{p}" standing for first + step * i and
// "{p+50}" for 50 m more.
struct ExampleEdit {
    ErrorSource text = ErrorSource::none;
    std::int32_t line = 0;
    std::int32_t count = 0;
    std::string_view content;
    std::int32_t repeat = 1;
    std::int32_t first = 0;
    std::int32_t step = 0;
};

// The texts of the example route with one mistake that raises the diagnostic, and nothing else.
struct Example {
    ExampleEdit edits[2] = {};
    bool swap_texts = false;  // the line text given as the train text and the other way round

    constexpr bool given() const { return edits[0].text != ErrorSource::none || swap_texts; }
};

struct DiagnosticEntry {
    Diag id = Diag::first_warning;
    // A fault's symbolic name (signal_cell_taken) or a warning's name (speed-not-on-step), as
    // `scenario-tool explain` and -Wno-NAME take them.
    std::string_view name;
    bool sets_position = false;  // whether errorPosition (a position in metres) goes with it
    std::string_view meaning;    // one line, in English
    // What causes it, a line that raises it, and how to mend it: a few lines of plain text.
    std::string_view explanation;
    Stops stops = Stops::nothing;
    Example example = {};
    Severity severity = Severity::error;
    // The message as shown at its place, with named arguments in braces ({written}); empty for
    // the meaning alone.
    std::string_view message = {};
    // The record kind and value it concerns, for the table of what the build does to each field
    // ("speed limit: speed"); empty where it concerns the text as a whole.
    std::string_view concerns = {};

    constexpr std::int32_t number() const { return number_of(id); }
    constexpr std::string_view message_format() const {
        return message.empty() ? meaning : message;
    }
};

// The faults, in ascending order of number.
inline constexpr DiagnosticEntry kFaultEntries[] = {
    DiagnosticEntry{
        Fault::route_too_long, "route_too_long", false, "the route length is above 1000000 m",
        "The route length, the value of the \"lunghezza percorso\" line of the\n"
        "line text, is above 1000000 m: the cells (one per 50 m over the route\n"
        "and a 7000 m run-out) are not made for a longer one. Raised by:\n"
        "    lunghezza percorso,    1000050\n"
        "Mend: shorten the route to 1000000 m at most. The reading stops before\n"
        "any cell exists: the train text is not read and no compact file is\n"
        "written.\n",
        Stops::text, Example{{{ErrorSource::line_text, 2, 1, "lunghezza percorso,    1000050"}}}},
    DiagnosticEntry{
        Fault::kilometric_range_off_grid, "kilometric_range_off_grid", false,
        "a kilometric range has a start or kilometric value that is not a multiple of 50",
        "A kilometric range of the line text (\"progressiva chilometrica uno\",\n"
        "\"due\" or \"tre\") has a start or a kilometric value that is not a\n"
        "multiple of 50. It is checked only once the train text has been read\n"
        "to its end, so a fault that stops the train text hides it. Raised by:\n"
        "    progressiva chilometrica uno,    25,    20000,    1\n"
        "Mend: put both values on the 50 m grid. No position goes with it; the\n"
        "compact files are still written.\n",
        Stops::nothing,
        Example{{{ErrorSource::line_text, 3, 1,
                  "progressiva chilometrica uno,    25,    20000,    1"}}}},
    DiagnosticEntry{Fault::repetition_start_off_grid, "repetition_start_off_grid", false,
                    "the first value of the signal-repetition line is not a multiple of 50",
                    "The signal-repetition line (\"ripetizione segnali\" with 4 or 9 codes)\n"
                    "gives the first and the last position of the equipped stretch; its\n"
                    "first value is not a multiple of 50. Raised by:\n"
                    "    ripetizione segnali 9 codici,    1025,    18000\n"
                    "Mend: start the stretch on the 50 m grid. The line text is read no\n"
                    "further and the train text not at all; the compact files are still\n"
                    "written when the route length came before this line.\n",
                    Stops::text,
                    Example{{{ErrorSource::line_text, 9, 1,
                              "ripetizione segnali 9 codici,    1025,    18000"}}}},
    DiagnosticEntry{Fault::repetition_end_off_grid, "repetition_end_off_grid", false,
                    "the second value of the signal-repetition line is not a multiple of 50",
                    "The second value of the signal-repetition line, the last position of\n"
                    "the equipped stretch, is not a multiple of 50 (0, for no repetition,\n"
                    "is one). Raised by:\n"
                    "    ripetizione segnali 9 codici,    1000,    18025\n"
                    "Mend: end the stretch on the 50 m grid. The line text is read no\n"
                    "further and the train text not at all; the compact files are still\n"
                    "written when the route length came before this line.\n",
                    Stops::text,
                    Example{{{ErrorSource::line_text, 9, 1,
                              "ripetizione segnali 9 codici,    1000,    18025"}}}},
    DiagnosticEntry{
        Fault::repetition_without_code_system, "repetition_without_code_system", false,
        "the signal-repetition keyword names neither the 4-code nor the 9-code system",
        "The keyword of the signal-repetition line names its code system: it\n"
        "must contain the digit 4 (4 codes) or else 9 (9 codes). It is tested\n"
        "after both values were found on the 50 m grid. Raised by:\n"
        "    ripetizione segnali codici,    1000,    18000\n"
        "Mend: write \"ripetizione segnali 9 codici\" (or 4). The line text is\n"
        "read no further and the train text not at all; the compact files are\n"
        "still written when the route length came before this line.\n",
        Stops::text,
        Example{{{ErrorSource::line_text, 9, 1, "ripetizione segnali codici,    1000,    18000"}}}},
    DiagnosticEntry{
        Fault::sign_board_cell_taken, "sign_board_cell_taken", true,
        "a sign board lands on a cell that is already taken",
        "A sign board (\"cartello_indicatore\") at position p goes on cell\n"
        "round(p / 50 + 1), and that cell is taken: it holds something other\n"
        "than nothing or a mountain marker, such as a maximum-speed board or\n"
        "another sign board. With the speed board at 1100 m on cell 23:\n"
        "    cartello_indicatore,  1100,   (PONTE)\n"
        "Mend: move the board to a free cell. The line text is read no further\n"
        "and the train text not at all; the compact files are still written\n"
        "with what was placed so far.\n",
        Stops::text,
        Example{{{ErrorSource::line_text, 20, 1, "cartello_indicatore,  1100,   (PONTE)"}}}},
    DiagnosticEntry{Fault::code_point_cell_taken, "code_point_cell_taken", true,
                    "a code point (abbattimento) lands on a cell that is already taken",
                    "A code point (\"abbattimento\", a position p and a code) goes on cell\n"
                    "round(p / 50), one cell before the cell of a signal at p, and that\n"
                    "cell is taken (neither empty nor a mountain marker). With the signal\n"
                    "at 1850 m on cell 38:\n"
                    "    abbattimento,   1900,   100\n"
                    "Mend: move the code point to a free cell. The train text is read no\n"
                    "further; the compact files are still written.\n",
                    Stops::text,
                    Example{{{ErrorSource::train_text, 22, 0, "abbattimento,   1900,   100"}}}},
    DiagnosticEntry{
        Fault::station_off_grid, "station_off_grid", true,
        "a station position is not a multiple of 50",
        "The position of a station line, its first value, is not a multiple\n"
        "of 50: stops and zones lie on the 50 m cells. Raised by:\n"
        "    stazione,    8010, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, ALBA\n"
        "Mend: put the station on the 50 m grid. The position goes with the\n"
        "fault. The train text is read no further; the compact files are still\n"
        "written.\n",
        Stops::text,
        Example{
            {{ErrorSource::train_text, 13, 1,
              "stazione,    8010, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, ALBA"}}}},
    DiagnosticEntry{
        Fault::station_length_off_grid, "station_length_off_grid", true,
        "a station length is not a multiple of 100",
        "The platform length of a station line, its third value, is not a\n"
        "multiple of 100: the zone runs half of it on either side of the\n"
        "position, in whole 50 m cells. The position is the station's. Raised\n"
        "by:\n"
        "    stazione,    8000, 11,  350,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, ALBA\n"
        "Mend: give the length in hundreds of metres. The train text is read\n"
        "no further; the compact files are still written.\n",
        Stops::text,
        Example{
            {{ErrorSource::train_text, 13, 1,
              "stazione,    8000, 11,  350,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, ALBA"}}}},
    DiagnosticEntry{
        Fault::station_table_full, "station_table_full", false,
        "the location table has no room for a further station",
        "Stations take the entries of the location table from 1 upwards, sign\n"
        "boards from 80 downwards. With s sign boards in the line text, station\n"
        "79 - s is stored and then ends the reading, even as the last station:\n"
        "78 - s stations at most. With 78 sign boards, the first station does:\n"
        "    stazione,     400,  4,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, LAGO\n"
        "Mend: fewer stations or fewer sign boards. No position goes with it.\n"
        "The train text is read no further; the compact files are still written.\n",
        Stops::text,
        Example{{{ErrorSource::line_text, 21, 0, "cartello_indicatore,  {p},   (BOARD)", 78, 15100,
                  50}}}},
    DiagnosticEntry{
        Fault::no_code_point_cell_before_signal, "no_code_point_cell_before_signal", true,
        "no free cell for a code point in the two cells before a signal within 20 cells "
        "before a slowdown warning",
        "The signalling pass gives every signal within the 20 cells before a\n"
        "slowdown's warning board a code point on one of the two cells before\n"
        "it, or lowers a code point already there to 180. Here both cells are\n"
        "taken by something else. The position is the signal's cell times 50,\n"
        "50 m past the signal. With the warning board on cell 217 (slowdown at\n"
        "12000 m) and sign boards at 10350 and 10400 m, a signal raises it:\n"
        "    segnale,   10450,   1, 4, 0,  0, 0,    0,  0,0,0, 0\n"
        "Mend: free one of the two cells before the signal. The pass goes on\n"
        "and the compact files are still written.\n",
        Stops::nothing,
        Example{{{ErrorSource::line_text, 21, 0,
                  "cartello_indicatore,  10350,   (PONTE)\ncartello_indicatore,  10400,   (PONTE)"},
                 {ErrorSource::train_text, 20, 0,
                  "segnale,   10450,   1, 4, 0,  0, 0,    0,  0,0,0, 0"}}}},
    DiagnosticEntry{Fault::no_code_point_cell_before_slowdown, "no_code_point_cell_before_slowdown",
                    true,
                    "no free cell for a code point in one of the windows before a slowdown start",
                    "The signalling pass puts a code point in each of three windows before\n"
                    "a slowdown's start cell i, on the first free cell of i-5 to i-7, i-11\n"
                    "to i-13 and i-18 to i-20 (a window only when i is above 7, 13 and 20).\n"
                    "Here a whole window is taken; a code point counts as taken. The\n"
                    "position is the start cell times 50. With the slowdown at 12000 m on\n"
                    "cell 241 and sign boards at 11650 and 11700 m, a third board raises it:\n"
                    "    cartello_indicatore,  11750,   (PONTE)\n"
                    "Mend: free a cell of the window. The pass goes on and the compact\n"
                    "files are still written.\n",
                    Stops::nothing,
                    Example{{{ErrorSource::line_text, 21, 0,
                              "cartello_indicatore,  11650,   (PONTE)\ncartello_indicatore,  "
                              "11700,   (PONTE)\ncartello_indicatore,  11750,   (PONTE)"}}}},
    DiagnosticEntry{
        Fault::no_code_point_cell_along_slowdown, "no_code_point_cell_along_slowdown", true,
        "no free cell for a code point along a slowdown below 110 km/h or before the first "
        "signal after its end",
        "Along a slowdown below 110 km/h the signalling pass puts a code point\n"
        "every 8 cells from its start cell, a cell back or forward when that\n"
        "cell is taken; here it and both neighbours are taken (position: that\n"
        "cell times 50; no more points go along this slowdown). Also raised when\n"
        "both cells before the first signal within 12 cells after the slowdown\n"
        "end are taken (position: the end cell times 50). With an 800 m\n"
        "slowdown from 12000 m and sign boards at 12350 and 12450 m:\n"
        "    cartello_indicatore,  12400,   (PONTE)\n"
        "Mend: free one of the three cells. The pass goes on and the compact\n"
        "files are still written.\n",
        Stops::nothing,
        Example{
            {{ErrorSource::line_text, 21, 0,
              "cartello_indicatore,  12350,   (PONTE)\ncartello_indicatore,  12400,   "
              "(PONTE)\ncartello_indicatore,  12450,   (PONTE)"},
             {ErrorSource::train_text, 16, 1, "rallentamento,   12000,    40,  800, 1,  1,  0"}}}},
    DiagnosticEntry{Fault::record_near_route_end, "record_near_route_end", true,
                    "a record lies too near the end of the route",
                    "A record lies too near the end of the route: its first value p must\n"
                    "leave 100 m on the cells, (p + 100) / 50 at most N, the last cell,\n"
                    "N = (route length + 7000) / 50; a station must leave 800 m. A curve\n"
                    "or a stop cell that would pass the end is refused the same way. On a\n"
                    "20000 m route (N = 540) a record may stand at 26900 m at most:\n"
                    "    velocita,   26950,    70\n"
                    "Mend: move the record back. The records of that text end there as at\n"
                    "its end; after one in the line text the train text is read, but its\n"
                    "first signal or slowdown line stops it. Compact files are written.\n",
                    Stops::records,
                    Example{{{ErrorSource::train_text, 10, 1, "velocita,   26950,    70"}}}},
    DiagnosticEntry{Fault::signal_cell_taken, "signal_cell_taken", true,
                    "a signal lands on a cell that is already taken",
                    "A signal (\"segnale\") at position p goes on cell round(p / 50 + 1),\n"
                    "and that cell is taken: it holds a signal, a board, a slowdown mark,\n"
                    "a code point or a station stop (only empty cells and mountain markers\n"
                    "are free). With the speed board at 1100 m on cell 23:\n"
                    "    segnale,    1100,   1, 4, 0,  0, 0,    0,  0,0,0, 0\n"
                    "Mend: move the signal to a free cell. Nothing of it is placed; the\n"
                    "train text is read no further; the compact files are still written.\n",
                    Stops::text,
                    Example{{{ErrorSource::train_text, 18, 1,
                              "segnale,   1100,   1, 4, 0,  0, 0,    0,  0,0,0, 0"}}}},
    DiagnosticEntry{
        Fault::warning_board_cell_taken, "warning_board_cell_taken", true,
        "the warning board 1200 m before a slowdown lands on a cell that is already taken",
        "A slowdown (\"rallentamento\") that starts at x beyond 1500 m has a\n"
        "warning board 1200 m before it, on cell round((x - 1200) / 50 + 1),\n"
        "and that cell is taken. With the speed board at 1100 m on cell 23:\n"
        "    rallentamento,    2300,    40,  300, 1,  1,  0\n"
        "Mend: move the slowdown or what stands on its warning cell. Nothing of\n"
        "the slowdown is placed; the train text is read no further; the compact\n"
        "files are still written.\n",
        Stops::text,
        Example{
            {{ErrorSource::train_text, 16, 1, "rallentamento,    2300,    40,  300, 1,  1,  0"}}}},
    DiagnosticEntry{Fault::slowdown_start_cell_taken, "slowdown_start_cell_taken", true,
                    "the start of a slowdown lands on a cell that is already taken",
                    "The start of a slowdown, its first value x, goes on cell\n"
                    "round(x / 50 + 1), and that cell is taken. With the speed board at\n"
                    "1100 m on cell 23 (a slowdown at 1500 m or before has no warning\n"
                    "board to be refused first):\n"
                    "    rallentamento,    1100,    40,  300, 1,  1,  0\n"
                    "Mend: move the slowdown. Nothing of it is placed; the train text is\n"
                    "read no further; the compact files are still written.\n",
                    Stops::text,
                    Example{{{ErrorSource::train_text, 16, 1,
                              "rallentamento,    1100,    40,  300, 1,  0,  0"}}}},
    DiagnosticEntry{Fault::slowdown_end_cell_taken, "slowdown_end_cell_taken", true,
                    "the end of a slowdown lands on a cell that is already taken",
                    "The end of a slowdown, its start x plus its length l (the third\n"
                    "value), goes on cell round((x + l) / 50 + 1), and that cell is taken.\n"
                    "With the sign board at 2200 m on cell 45:\n"
                    "    rallentamento,    2000,    40,  200, 1,  1,  0\n"
                    "Mend: change the start or the length. Nothing of the slowdown is\n"
                    "placed; the train text is read no further; the compact files are\n"
                    "still written.\n",
                    Stops::text,
                    Example{{{ErrorSource::train_text, 16, 1,
                              "rallentamento,    2000,    40,  200, 1,  1,  0"}}}},
    DiagnosticEntry{Fault::approach_cell_taken, "approach_cell_taken", true,
                    "one of the four approach cells before a slowdown warning is already taken",
                    "With its fifth value (f_ta) set, a slowdown that starts at x beyond\n"
                    "1500 m also takes the four cells before its warning board, from cell\n"
                    "round((x - 1200) / 50) back, and one of them is taken. With the speed\n"
                    "board at 1100 m on cell 23 and the warning board on cell 24:\n"
                    "    rallentamento,    2350,    40,  300, 1,  1,  0\n"
                    "Mend: move the slowdown, or give 0 as its fifth value. Its end, start\n"
                    "and warning boards stay placed; the train text is read no further;\n"
                    "the compact files are still written.\n",
                    Stops::text,
                    Example{{{ErrorSource::train_text, 16, 1,
                              "rallentamento,    2350,    40,  300, 1,  1,  0"}}}},
    DiagnosticEntry{Fault::speed_board_cell_taken, "speed_board_cell_taken", true,
                    "a maximum-speed board lands on a cell that is already taken",
                    "A maximum-speed board (\"indicatori_vmax\") at position p goes on cell\n"
                    "round(p / 50 + 1), and that cell is taken by a board read before it.\n"
                    "With a speed board at 1100 m already on cell 23:\n"
                    "    indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0\n"
                    "Mend: one board to a cell. The line text is read no further and the\n"
                    "train text not at all; the compact files are still written with what\n"
                    "was placed so far.\n",
                    Stops::text,
                    Example{{{ErrorSource::line_text, 19, 0,
                              "indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0"}}}},
    DiagnosticEntry{
        Fault::station_zones_too_close, "station_zones_too_close", true,
        "a station zone starts less than 350 m after the end of the previous station zone",
        "A station's stop zone must begin at least 350 m after the zone of the\n"
        "station before it ends. The zone of position p and platform length L\n"
        "is p - L/2 to p + L/2 (50 m more with the sixth value set); kinds 5\n"
        "and 6 run from p - L to p + 150, kinds 7 and 8 from p - L to p + L.\n"
        "After a station at 400 m with 800 m (zone 0 to 800), a zone from\n"
        "850 m is too close:\n"
        "    stazione,    1000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, ALBA\n"
        "Mend: move one of the two stations. The train text is read no\n"
        "further; the compact files are still written.\n",
        Stops::text,
        Example{
            {{ErrorSource::train_text, 13, 1,
              "stazione,    1050, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, ALBA"}}}},
    DiagnosticEntry{
        Fault::no_stop_cell, "no_stop_cell", false,
        "a stopping station's zone ends so early that no stop cell fits before it",
        "A station of a kind below 25 stops the train on the cell before its\n"
        "zone ends, zone end / 50 - 1; here that is cell 1 or lower, so no stop\n"
        "cell fits (the zone ends at 100 m or before). Raised by (zone -50 to\n"
        "50 m):\n"
        "    stazione,       0,  4,  100,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, LAGO\n"
        "Mend: move the station further on. No position goes with it. The\n"
        "train text is read no further; the compact files are still written.\n",
        Stops::text,
        Example{
            {{ErrorSource::train_text, 12, 1,
              "stazione,       0,  4,  100,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, LAGO"}}}},
    DiagnosticEntry{
        Fault::reading_failure, "reading_failure", false,
        "the text could not be read: a value does not fit its field, a field is missing, or "
        "the file is unreadable",
        "Something in a text cannot be read: a value that is not a number or\n"
        "too wide for its field (8-bit fields such as a station's kind take 0\n"
        "to 255, 16-bit ones -32768 to 32767), a record cut short by the end of\n"
        "the text, a speed whose fifth does not fit 0 to 255, a record before\n"
        "any route length, a train text missing or unreadable. Raised by:\n"
        "    stazione,     400,300,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, LAGO\n"
        "Mend: the value named. The reading of both texts ends at once; the\n"
        "compact files are still written when the cells exist.\n",
        Stops::reading,
        Example{
            {{ErrorSource::train_text, 12, 1,
              "stazione,     400,300,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, LAGO"}}}},
    DiagnosticEntry{Fault::sign_board_table_full, "sign_board_table_full", true,
                    "the location table has no free entry for a further sign board",
                    "The location table keeps sign boards in entries 80 down to 1, so an\n"
                    "81st sign board has no entry; it is refused rather than written past\n"
                    "the table (a number of our own, not of the original table). Stations\n"
                    "need entries from 1 upwards too. The 81st board, such as:\n"
                    "    cartello_indicatore,  10900,   (BOARD)\n"
                    "Mend: 80 sign boards at most, fewer to leave room for stations. The\n"
                    "line text is read no further and the train text not at all; the\n"
                    "compact files are still written with what was placed so far.\n",
                    Stops::text,
                    Example{{{ErrorSource::line_text, 21, 0, "cartello_indicatore,  {p},   (BOARD)",
                              80, 15100, 50}}}},
    DiagnosticEntry{
        Fault::too_many_mountain_spans, "too_many_mountain_spans", true,
        "more than 80 mountain spans",
        "The span lists hold 80 mountain spans (\"montagna\" lines); an 81st is\n"
        "refused rather than written past them (a number of our own, not of\n"
        "the original table). The position is its start. The 81st span, such\n"
        "as:\n"
        "    montagna,   22800,  22850,  1\n"
        "Mend: 80 spans at most; join neighbouring ones. The line text is read\n"
        "no further and the train text not at all; the compact files are still\n"
        "written with what was placed so far.\n",
        Stops::text,
        Example{{{ErrorSource::line_text, 17, 0, "montagna,   {p},  {p+50},  1", 80, 6500, 150}}}},
    DiagnosticEntry{Fault::line_text_missing, "line_text_missing", false,
                    "the line description file does not exist",
                    "The compile was given no line description text. The builder writes\n"
                    "the text just before reading it, and scenario-tool refuses a missing\n"
                    "file itself (exit status 2), so only a compile in memory meets it; no\n"
                    "line of a text raises it. Mend: give the line text. Nothing is read,\n"
                    "the train text neither; no cell exists and no compact file is written.\n",
                    Stops::build, Example{}},
    DiagnosticEntry{Fault::no_general_section, "no_general_section", false,
                    "the line description file has no [generale] section",
                    "The line text has no field containing \"[generale]\" (in any case)\n"
                    "before its last field, so the general section with the route length\n"
                    "is never found; the last field of a text is never acted upon. Raised\n"
                    "by a misspelt first line:\n"
                    "    [general]\n"
                    "Mend: open the text with [generale]. No cell exists: the train text is\n"
                    "not read and no compact file is written.\n",
                    Stops::build, Example{{{ErrorSource::line_text, 1, 1, "[general]"}}}},
    DiagnosticEntry{Fault::curve_without_class, "curve_without_class", false,
                    "a curve names no curvature class 1 to 6, or its plan runs past metre 1000000",
                    "A curve keyword is \"curva\", the hand s or d and a class digit 1 to 6\n"
                    "(curvature 0.0001 to 0.003 per metre); this one has no digit 1 to 6.\n"
                    "Also raised when a curve would bend the plan past metre 1000000.\n"
                    "Curves are read only when the plan is built (not with --no-plan).\n"
                    "Raised by:\n"
                    "    curvad,  2000,  300\n"
                    "Mend: add the class, as in curvad4. The line text is read no further\n"
                    "and the train text not at all; the compact files are still written.\n",
                    Stops::text, Example{{{ErrorSource::line_text, 11, 1, "curvad,  2000,  300"}}}},
    DiagnosticEntry{Fault::format_markers_in_use, "format_markers_in_use", false,
                    "the places of the format markers are already in use",
                    "Before the format markers are stamped their places must be empty: the\n"
                    "first value (ref) of cell 1 and the seventh value of table entry 85.\n"
                    "Cell 1 takes a signal, a board or a slowdown start at 0 m and a code\n"
                    "point at 50 m; the signalling pass may place a code point there too.\n"
                    "Raised by:\n"
                    "    indicatori_vmax,  0,  60,  70,  70,  0,  ,  ,  ,  0\n"
                    "Mend: keep records off cell 1. The builder shows \" Errore n. 1250\" and\n"
                    "ends; no compact file is written and earlier ones stay as they were.\n",
                    Stops::build,
                    Example{{{ErrorSource::line_text, 18, 1,
                              "indicatori_vmax,  0,  60,  70,  70,  0,  ,  ,  ,  0"}}}},
    DiagnosticEntry{Fault::scenario_codes_in_use, "scenario_codes_in_use", false,
                    "the places of the scenario codes are already in use",
                    "Once the format markers are stamped, the places of the scenario codes\n"
                    "must be empty: the second value (ref2) of cell 1 and the time of day\n"
                    "of table entry 85. A record on cell 1 with an empty first value but a\n"
                    "second one gets past 1250 and stops here. Raised by (first speed 0):\n"
                    "    indicatori_vmax,  0,  0,  70,  70,  0,  ,  ,  ,  0\n"
                    "Mend: keep records off cell 1. The builder shows \" Errore n. 1251\" and\n"
                    "ends; no compact file is written and earlier ones stay as they were.\n",
                    Stops::build,
                    Example{{{ErrorSource::line_text, 18, 1,
                              "indicatori_vmax,  0,  0,  70,  70,  0,  ,  ,  ,  0"}}}},
};

// The warnings, in the order a text is read: its bytes, its keywords, its general settings, its
// records, then what the placement and the signalling pass do.
inline constexpr DiagnosticEntry kWarningEntries[] = {
    {.id = Diag::byte_order_mark,
     .name = "byte-order-mark",
     .sets_position = false,
     .meaning = "the text starts with a UTF-8 byte-order mark",
     .explanation = "The three bytes EF BB BF of a UTF-8 byte-order mark become part of the\n"
                    "first field of the text. Editors write one when a text is saved as\n"
                    "\"UTF-8 with BOM\".\n"
                    "Mend: save the text as Windows-1252 (Western European), without a mark.\n",
     .example = {{{ErrorSource::line_text, 1, 1, "\xEF\xBB\xBF[generale]"}}},
     .severity = Severity::warning,
     .message = "the text starts with a UTF-8 byte-order mark; its three bytes become part of "
                "the first field"},
    {.id = Diag::utf8_text,
     .name = "utf8-text",
     .sets_position = false,
     .meaning = "bytes that read as UTF-8 in a Windows-1252 text",
     .explanation = "The texts are Windows-1252: a name saved as UTF-8 keeps its bytes, so\n"
                    "'CA' with a grave accent ends in the scenario file as two characters.\n"
                    "Told once per text.\n"
                    "Mend: save the text as Windows-1252 (Western European).\n",
     .example = {{{ErrorSource::train_text, 13, 1,
                   "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, "
                   "VALL\xC3\x89"}}},
     .severity = Severity::warning,
     .message = "these bytes read as '{as_1252}' in Windows-1252, the texts' encoding; as "
                "UTF-8 they would be '{as_utf8}'"},
    {.id = Diag::lone_cr,
     .name = "lone-cr",
     .sets_position = false,
     .meaning = "a carriage return that ends no line",
     .explanation = "A CR not followed by LF does not end a line for the reader: it stays\n"
                    "in the field, and the line goes on. In a number it makes the number\n"
                    "unreadable.\n"
                    "Mend: end lines with CR LF (or LF).\n",
     .example = {{{ErrorSource::train_text, 21, 1, "[codici]\r"}}},
     .severity = Severity::warning,
     .message = "a carriage return that ends no line: it stays in the field"},
    {.id = Diag::before_general,
     .name = "before-general",
     .sets_position = false,
     .meaning = "a record before [generale] is not read",
     .explanation = "The reader looks for the first field holding \"[generale]\" and skips\n"
                    "everything before it, records included:\n"
                    "    numero vetture,    5\n"
                    "    [generale]\n"
                    "Mend: move the record after [generale].\n",
     .example = {{{ErrorSource::train_text, 1, 0, "numero vetture,    5"}}},
     .severity = Severity::warning,
     .message = "a {kind} record before [generale] is not read"},
    {.id = Diag::dash_in_keyword,
     .name = "dash-in-keyword",
     .sets_position = false,
     .meaning = "a keyword holding a dash is skipped as a separator and its record lost",
     .explanation = "A field holding \"-\" where a keyword is expected is taken for a\n"
                    "separator and skipped (at most two in a row between records); the\n"
                    "record's values are then read as keywords of nothing:\n"
                    "    pendenza-bis,  5000,   10\n"
                    "loses the gradient.\n"
                    "Mend: write the keyword without a dash.\n",
     .example = {{{ErrorSource::line_text, 14, 1, "pendenza-bis,  5000,   10"}}},
     .severity = Severity::warning,
     .message = "'{keyword}' holds a dash, so the reader skips it as a separator; the line's "
                "values are read as keywords of nothing and the record is lost"},
    {.id = Diag::unknown_keyword,
     .name = "unknown-keyword",
     .sets_position = false,
     .meaning = "a line whose keyword names no record kind is skipped",
     .explanation = "The reader recognises a record by words contained in its keyword field\n"
                    "(\"pendenza\", \"stazione\", ...). A keyword that holds none of them is\n"
                    "read as a field of nothing and skipped, with the values after it:\n"
                    "    pendneza,  5000,   10\n"
                    "drops a gradient, and every cell keeps the gradient before it. The\n"
                    "general keywords of the line text are tested with their case.\n"
                    "Mend: spell the keyword as 'scenario-tool help format' lists it.\n",
     .example = {{{ErrorSource::line_text, 14, 1, "pendneza,  5000,   10"}}},
     .severity = Severity::warning,
     .message = "the keyword '{keyword}' names no record kind; the line is skipped"},
    {.id = Diag::other_text_record,
     .name = "other-text-record",
     .sets_position = false,
     .meaning = "a record of the other text is skipped here",
     .explanation = "The line text and the train text each read only their own record\n"
                    "kinds: a 'velocita' line in the line text, or a 'pendenza' line in the\n"
                    "train text, is skipped without a fault.\n"
                    "Mend: move the line into the text it belongs to.\n",
     .example = {{{ErrorSource::line_text, 21, 0, "velocita,    1100,    70"}}},
     .severity = Severity::warning,
     .message = "a {kind} record belongs in the {other} text; this text skips it"},
    {.id = Diag::out_of_section,
     .name = "out-of-section",
     .sets_position = false,
     .meaning = "a record of the line text stands in the wrong section and is skipped",
     .explanation = "The line text's general section (from [generale] to the next section\n"
                    "header) reads only the general settings, and the sections after it\n"
                    "only the records: a 'pendenza' line before the first header such as\n"
                    "[curve], or a 'sfondo' line after it, is skipped.\n"
                    "Mend: move the line into its section.\n",
     .example = {{{ErrorSource::line_text, 10, 0, "pendenza,  0,   0"}}},
     .severity = Severity::warning,
     .message = "a {kind} record {where} is skipped: {rule}"},
    {.id = Diag::several_kinds,
     .name = "several-kinds",
     .sets_position = false,
     .meaning = "a keyword names two record kinds and is read as both",
     .explanation = "Every keyword test runs on every keyword field: a field holding the\n"
                    "words of two kinds is read as a record of each, one after the other,\n"
                    "taking values for both from the line:\n"
                    "    velocita aderenza,    1100,    70,    1100,    90\n"
                    "Mend: one record to a line, with one keyword.\n",
     .example = {{{ErrorSource::train_text, 10, 1,
                   "velocita aderenza,    1100,    70,    1100,    90"}}},
     .severity = Severity::warning,
     .message = "'{keyword}' is read as a {kind} record and then as a {other} record"},
    {.id = Diag::extra_values,
     .name = "extra-values",
     .sets_position = false,
     .meaning = "a line holds more values than its record takes",
     .explanation = "The values after the last one a record takes are read as keyword\n"
                    "fields of nothing and skipped: 'velocita, 1100, 70, 80' keeps 1100\n"
                    "and 70. A comma inside a name or a board text ends it the same way.\n"
                    "Mend: remove the extra value, or check which one is meant.\n",
     .example = {{{ErrorSource::train_text, 10, 1, "velocita,    1100,    70,    80"}}},
     .severity = Severity::warning,
     .message = "a {kind} record takes {values}; '{extra}' after them is read as a keyword "
                "of nothing"},
    {.id = Diag::kilometric_ranges_dropped,
     .name = "kilometric-ranges-dropped",
     .sets_position = false,
     .meaning = "the ordering of the kilometric ranges drops all three",
     .explanation = "After the general section the three kilometric ranges are ordered by\n"
                    "their starts, the greatest first. When two share the greatest start,\n"
                    "or all start at 0 and none has a kilometric value above 0, all three\n"
                    "are cleared: the train card then has no kilometres. Raised by:\n"
                    "    progressiva chilometrica due,    5000,    15000,    1\n"
                    "    progressiva chilometrica tre,    5000,    10000,    1\n"
                    "Mend: give each range its own start.\n",
     .example = {{{ErrorSource::line_text, 4, 2,
                   "progressiva chilometrica due,    5000,    15000,    1\n"
                   "progressiva chilometrica tre,    5000,    10000,    1"}}},
     .severity = Severity::warning,
     .message = "the kilometric ranges are all cleared: {reason}",
     .concerns = "kilometric range: start"},
    {.id = Diag::repetition_backwards,
     .name = "repetition-backwards",
     .sets_position = false,
     .meaning = "the signal repetition ends before it starts",
     .explanation = "The signal-repetition line gives the first and the last position of\n"
                    "the equipped stretch; they are stored as written, so a stretch given\n"
                    "end first equips nothing the simulator can use:\n"
                    "    ripetizione segnali 9 codici,    18000,    1000\n"
                    "Mend: the start first, then the end (or 0 for no repetition).\n",
     .example = {{{ErrorSource::line_text, 9, 1,
                   "ripetizione segnali 9 codici,    18000,    1000"}}},
     .severity = Severity::warning,
     .message = "the signal repetition starts at {start} m, after its end at {end} m",
     .concerns = "signal repetition: end"},
    {.id = Diag::position_outside_route,
     .name = "position-outside-route",
     .sets_position = true,
     .meaning = "a position lies before the start or past the end of the route",
     .explanation = "Positions are metres from the start of the route. A position below 0,\n"
                    "or past the route length (in the 7000 m run-out after the last\n"
                    "station), is accepted as long as its cells exist, but is almost never\n"
                    "meant: a speed limit at 20500 m on a 20000 m route:\n"
                    "    velocita,   20500,    70\n"
                    "Mend: check the position against 'lunghezza percorso'.\n",
     .example = {{{ErrorSource::train_text, 10, 1, "velocita,   20500,    70"}}},
     .severity = Severity::warning,
     .message = "{kind} at {position} m lies {where}"},
    {.id = Diag::not_on_grid,
     .name = "not-on-grid",
     .sets_position = true,
     .meaning = "a position is not a multiple of 50 and lands on the nearest cell",
     .explanation = "The route is laid out on cells of 50 m: a record off the grid lands\n"
                    "on the nearest cell (halves to even), which may not be the one meant.\n"
                    "A speed limit at 1120 m applies from 1100 m:\n"
                    "    velocita,    1120,    70\n"
                    "Mend: put the position on a multiple of 50.\n",
     .example = {{{ErrorSource::train_text, 10, 1, "velocita,    1120,    70"}}},
     .severity = Severity::warning,
     .message = "{kind} at {position} m is not on the 50 m grid; it {lands}",
     .concerns = "every record: position"},
    {.id = Diag::out_of_order,
     .name = "out-of-order",
     .sets_position = true,
     .meaning = "a record comes after one of its kind at a greater position",
     .explanation = "Records of a kind are read in the order of the text. A gradient, an\n"
                    "adhesion or a speed limit fills the cells from the one before it up to\n"
                    "its own position, so one out of order loses or overrides cells:\n"
                    "    pendenza,  5000,   10\n"
                    "    pendenza,  4000,   5\n"
                    "Mend: sort the records of each kind by position.\n",
     .example = {{{ErrorSource::line_text, 15, 0, "pendenza,  4000,   5"}}},
     .severity = Severity::warning,
     .message = "{kind} at {position} m comes after the one at {previous} m (line {line})",
     .concerns = "every record: position"},
    {.id = Diag::before_first_record,
     .name = "before-first-record",
     .sets_position = true,
     .meaning = "the cells before the first record of a profile take a default",
     .explanation = "A gradient, a speed limit or an adhesion holds from its position to\n"
                    "the next record; the cells before the first record of the kind take\n"
                    "0: a level track, a speed limit of 0 km/h, an adhesion of 0:\n"
                    "    velocita,     400,    60\n"
                    "leaves the first 400 m at 0 km/h.\n"
                    "Mend: start each profile with a record at 0.\n",
     .example = {{{ErrorSource::train_text, 9, 1, "velocita,     400,    60"}}},
     .severity = Severity::warning,
     .message = "the first {kind} record is at {position} m: the cells before it take {value}",
     .concerns = "gradient, speed limit, adhesion: position"},
    {.id = Diag::missing_profile,
     .name = "missing-profile",
     .sets_position = false,
     .meaning = "a text has no record of a profile, which then takes 0 everywhere",
     .explanation = "Without a single speed-limit (or adhesion, or gradient) record every\n"
                    "cell takes 0: a speed limit of 0 km/h, no adhesion, a level line.\n"
                    "Mend: give the profile, starting at 0.\n",
     .example = {{{ErrorSource::train_text, 7, 1, ""}}},
     .severity = Severity::warning,
     .message = "the {text} text has no {kind} record: every cell takes {value}"},
    {.id = Diag::value_changed,
     .name = "value-changed",
     .sets_position = true,
     .meaning = "a value is changed on its way into its field",
     .explanation = "Some values are kept in fewer bits than they are read with: a gradient\n"
                    "is stored plus 100 in 8 bits, so -150 becomes code 206 and reads as a\n"
                    "climb of 106; an adhesion of 300 is kept as 44; a right-hand speed of a\n"
                    "speed board that is not a multiple of 5 below 100 mixes with the left;\n"
                    "packed signal codes above 9 run into their neighbours.\n"
                    "    pendenza,  5000,   -150\n"
                    "Mend: keep each value in the range the format reference gives.\n",
     .example = {{{ErrorSource::line_text, 14, 1, "pendenza,  5000,   -150"}}},
     .severity = Severity::warning,
     .message = "the {value} {written} is stored as {stored}{reads}"},
    {.id = Diag::speed_not_on_step,
     .name = "speed-not-on-step",
     .sets_position = true,
     .meaning = "a speed limit not on the 5 km/h steps is stored as another",
     .explanation = "Each cell keeps its speed limit as a step of 5 km/h (the speed divided\n"
                    "by 5, rounded to the nearest, halves to even):\n"
                    "    velocita,    1100,    72\n"
                    "is stored as 70 km/h.\n"
                    "Mend: give speed limits in steps of 5 km/h.\n",
     .example = {{{ErrorSource::train_text, 10, 1, "velocita,    1100,    72"}}},
     .severity = Severity::warning,
     .message = "{written} km/h is stored as {stored}: speed limits go in steps of 5",
     .concerns = "speed limit: speed"},
    {.id = Diag::overlapping_curves,
     .name = "overlapping-curves",
     .sets_position = true,
     .meaning = "a curve starts before the curve before it ends",
     .explanation = "The plan is bent curve by curve from the metre reached so far: a curve\n"
                    "that starts inside the one before is bent only from where that one\n"
                    "ended, so the two overlap and the first metres of the second are lost:\n"
                    "    curvad4,  2000,  300\n"
                    "    curvas3,  2200,  200\n"
                    "Mend: let each curve start at or after the end of the one before.\n",
     .example = {{{ErrorSource::line_text, 12, 0, "curvas3,  2200,  200"}}},
     .severity = Severity::warning,
     .message = "this curve starts at {position} m, before the curve of line {line} ends at "
                "{end} m: it is bent from {end} m on",
     .concerns = "curve: start"},
    {.id = Diag::curve_empty,
     .name = "curve-empty",
     .sets_position = true,
     .meaning = "a curve of length 0 or less bends nothing",
     .explanation = "A curve bends the plan from its start for its length; a length of 0\n"
                    "or below bends no metre:\n"
                    "    curvad4,  2000,  -300\n"
                    "Mend: give the curve's length, not its end.\n",
     .example = {{{ErrorSource::line_text, 11, 1, "curvad4,  2000,  -300"}}},
     .severity = Severity::warning,
     .message = "a curve of length {length} m bends nothing",
     .concerns = "curve: length"},
    {.id = Diag::curve_keyword,
     .name = "curve-keyword",
     .sets_position = true,
     .meaning = "a curve keyword is read as another hand or class than it seems to say",
     .explanation = "A curve's keyword is \"curva\", s or d and one class digit. The reader\n"
                    "takes the first of the digits 1, 2, ... 6 that it finds anywhere in\n"
                    "the field, and an \"s\" anywhere makes the curve left-hand:\n"
                    "    curva destra 4,  2000,  300\n"
                    "is a left-hand curve (the s of 'destra').\n"
                    "Mend: write curvas4 or curvad4.\n",
     .example = {{{ErrorSource::line_text, 11, 1, "curva destra 4,  2000,  300"}}},
     .severity = Severity::warning,
     .message = "'{keyword}' is read as a {hand}-hand curve of class {class} (radius {radius} "
                "m)",
     .concerns = "curve: keyword"},
    {.id = Diag::span_empty,
     .name = "span-empty",
     .sets_position = true,
     .meaning = "a mountain span whose end is not after its start covers no cell",
     .explanation = "A mountain span covers the cells from its start to its end; an end at\n"
                    "or before the start covers none, but still counts as the span before\n"
                    "the next one:\n"
                    "    montagna,   6400,  6000,  11\n"
                    "Mend: the start first, then the end.\n",
     .example = {{{ErrorSource::line_text, 16, 1, "montagna,   6400,  6000,  11"}}},
     .severity = Severity::warning,
     .message = "the span from {start} m to {end} m covers no cell",
     .concerns = "mountain span: end"},
    {.id = Diag::cut_at_route_end,
     .name = "cut-at-route-end",
     .sets_position = true,
     .meaning = "a span runs past the last cell and is cut there",
     .explanation = "A mountain span is placed on the cells up to the last one; what lies\n"
                    "beyond is dropped: a span to 30000 m on a 20000 m route:\n"
                    "    montagna,   6000,  30000,  11\n"
                    "Mend: end the span within the route.\n",
     .example = {{{ErrorSource::line_text, 16, 1, "montagna,   6000,  30000,  11"}}},
     .severity = Severity::warning,
     .message = "the span runs to {end} m, past the last cell at {last} m; it is cut there",
     .concerns = "mountain span: end"},
    {.id = Diag::clock_not_a_time,
     .name = "clock-not-a-time",
     .sets_position = false,
     .meaning = "the clock at the start is not a time of day",
     .explanation = "The clock line gives hours, minutes and seconds; they are stored as\n"
                    "written, so 25 hours or 75 minutes reach the simulator as they are:\n"
                    "    orologio,    25               36            30\n"
                    "Mend: hours 0 to 23, minutes and seconds 0 to 59.\n",
     .example = {{{ErrorSource::train_text, 5, 1,
                   "orologio,    25               36            30 "}}},
     .severity = Severity::warning,
     .message = "the clock {written} is not a time of day",
     .concerns = "clock: hours"},
    {.id = Diag::station_time,
     .name = "station-time",
     .sets_position = true,
     .meaning = "a station's time goes backwards or is not a time",
     .explanation =
         "Times of the timetable are hours, minutes and seconds; minutes and\n"
         "seconds of 60 or more are added on as they are, and a station whose\n"
         "time lies before the station before it makes the train card wrong.\n"
         "    stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,30, 0, VALLE\n"
         "Mend: give each stopping station a time after the one before.\n",
     .example = {{{ErrorSource::train_text, 13, 1,
                   "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,30, 0, "
                   "VALLE"}}},
     .severity = Severity::warning,
     .message = "{name}: {problem}",
     .concerns = "station: hours, minutes, seconds"},
    {.id = Diag::time_past_day,
     .name = "time-past-day",
     .sets_position = true,
     .meaning = "a station's time lies past 24 hours",
     .explanation =
         "A station's time is stored as seconds after midnight: 24 hours or\n"
         "more is no time of day, and the train card cannot print it.\n"
         "    stazione,   19000,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,  24,10, 0, MONTE\n"
         "Mend: times from 0:00 to 23:59.\n",
     .example = {{{ErrorSource::train_text, 14, 1,
                   "stazione,   19000,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,  24,10, 0, "
                   "MONTE"}}},
     .severity = Severity::warning,
     .message = "{name}: the time {time} lies past 24 hours ({seconds} s after midnight)",
     .concerns = "station: hours"},
    {.id = Diag::control_character,
     .name = "control-character",
     .sets_position = false,
     .meaning = "a name or board text holds a control character",
     .explanation = "A station name or a sign-board text is kept byte for byte: a control\n"
                    "character (a tab, an escape, ...) reaches the scenario file and the\n"
                    "train card as it is.\n"
                    "Mend: remove it.\n",
     .example = {{{ErrorSource::train_text, 12, 1,
                   "stazione,     400,  4,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, "
                   "LA\x01GO"}}},
     .severity = Severity::warning,
     .message = "the {value} '{text}' holds the control character {character}",
     .concerns = "station: name; sign board: board text"},
    {.id = Diag::name_too_long_for_card,
     .name = "name-too-long-for-card",
     .sets_position = false,
     .meaning = "a station name is longer than the train card's column",
     .explanation = "The train card prints each station's name in a column of 26\n"
                    "characters (\" - \" printed as \"-\"); 'scenario-tool documents' refuses\n"
                    "a longer name.\n"
                    "    ... 6,37, 0, SANTA GIULIA DELLE SETTE FONTANE\n"
                    "Mend: shorten the name.\n",
     .example = {{{ErrorSource::train_text, 12, 1,
                   "stazione,     400,  4,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, "
                   "SANTA GIULIA DELLE SETTE FONTANE"}}},
     .severity = Severity::warning,
     .message = "the name '{name}' has {length} characters; the train card's column holds "
                "{room}",
     .concerns = "station: name"},
    {.id = Diag::kilometre_not_printable,
     .name = "kilometre-not-printable",
     .sets_position = true,
     .meaning = "a station's kilometre cannot be printed on the train card",
     .explanation = "The train card prints each station's kilometre on the line's own\n"
                    "chainage, from the kilometric range with the greatest start at or\n"
                    "before the station. Where no range covers it, or the reading falls\n"
                    "below 0, there is no kilometre to print:\n"
                    "    progressiva chilometrica uno,    0,    10000,    1\n"
                    "leaves a station at 19000 m at -8.9 km.\n"
                    "Mend: give ranges that cover the route with readings of 0 or more.\n",
     .example = {{{ErrorSource::line_text, 3, 1,
                   "progressiva chilometrica uno,    0,    10000,    1"}}},
     .severity = Severity::warning,
     .message = "{name} at {position} m has no kilometre for the train card: {reason}",
     .concerns = "kilometric range: kilometric value"},
    {.id = Diag::station_flag_dropped,
     .name = "station-flag-dropped",
     .sets_position = true,
     .meaning = "a station's flag is stored as 0",
     .explanation = "The long-platform flag (fifth value) is kept only for platforms of\n"
                    "600 m or more and never for the first station; the extension flag\n"
                    "(sixth) never for the first station nor kinds 5 to 8:\n"
                    "    stazione,    8000, 11,  300,  0, 1, 1, ...\n"
                    "Mend: give 0 where the flag cannot apply.\n",
     .example = {{{ErrorSource::train_text, 13, 1,
                   "stazione,    8000, 11,  300,  0, 1, 1,  1,1,0,  4,1,1,   60,   6,48, 0, "
                   "VALLE"}}},
     .severity = Severity::warning,
     .message = "{name}: the {flag} is stored as 0 {reason}",
     .concerns = "station: long-platform flag, extension flag"},
    {.id = Diag::stop_cell_overwrites,
     .name = "stop-cell-overwrites",
     .sets_position = true,
     .meaning = "a station's stop cell replaces what stood on its cell",
     .explanation = "A stopping station marks the cell before its zone end as its stop,\n"
                    "whatever stood there: a sign board or a speed board of the line text,\n"
                    "or a code point, is lost from the cells. With the station at 8000 m\n"
                    "(zone to 8200 m, stop cell 163):\n"
                    "    cartello_indicatore,  8100,   (PONTE)\n"
                    "Mend: move the board, or the station.\n",
     .example = {{{ErrorSource::line_text, 21, 0, "cartello_indicatore,  8100,   (PONTE)"}}},
     .severity = Severity::warning,
     .message = "{name}: its stop cell {cell} ({metres} m) replaces the {what} placed there",
     .concerns = "station: position"},
    {.id = Diag::approach_marks_overwritten,
     .name = "approach-marks-overwritten",
     .sets_position = true,
     .meaning = "approach marks replace the approach marks of another object",
     .explanation = "A signal marks every second cell of the eight before it, a stopping\n"
                    "station the four before its stop cell; a later one replaces the marks\n"
                    "already there. With the station at 400 m (marks on cells 11 to 14):\n"
                    "    segnale,     750,   1, 4, 0,  0, 0,    0,  0,0,0, 0\n"
                    "Mend: move the signal or the station apart.\n",
     .example = {{{ErrorSource::train_text, 18, 0,
                   "segnale,     750,   1, 4, 0,  0, 0,    0,  0,0,0, 0"}}},
     .severity = Severity::warning,
     .message = "the approach marks of this {kind} replace those on {cells}",
     .concerns = "signal, station: position"},
    {.id = Diag::signal_time_raised,
     .name = "signal-time-raised",
     .sets_position = true,
     .meaning = "a signal's time of 1 to 100 is raised to 101",
     .explanation = "A signal's time (its eleventh value) from 1 to 100 is stored as 101:\n"
                    "    segnale,    5000,   2, 4, 0,  0, 0,    0,  0,0,0, 50\n"
                    "Mend: give 0, or a time from 101 to 255.\n",
     .example = {{{ErrorSource::train_text, 19, 1,
                   "segnale,    5000,   2, 4, 0,  0, 0,    0,  0,0,0, 50"}}},
     .severity = Severity::warning,
     .message = "the time {written} is stored as 101",
     .concerns = "signal: time"},
    {.id = Diag::signal_time_dropped,
     .name = "signal-time-dropped",
     .sets_position = true,
     .meaning = "a signal's time is dropped because its left light is not 2",
     .explanation = "Only a signal whose second value (sx) is 2 keeps its time; any other\n"
                    "stores 0:\n"
                    "    segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 200\n"
                    "Mend: give sx 2 to a signal that keeps a time, or a time of 0.\n",
     .example = {{{ErrorSource::train_text, 18, 1,
                   "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 200"}}},
     .severity = Severity::warning,
     .message = "the time {written} is dropped: only a signal with sx 2 keeps a time",
     .concerns = "signal: time"},
    {.id = Diag::slowdown_empty,
     .name = "slowdown-empty",
     .sets_position = true,
     .meaning = "a slowdown whose end falls on or before its start cell",
     .explanation = "A slowdown's start and end boards go on the cells of its position\n"
                    "and of its position plus its length; with a length of 0 (or below\n"
                    "50 m, or negative) both fall on one cell, the start board replaces the\n"
                    "end board and the slowdown has no end:\n"
                    "    rallentamento,   12000,    40,  0, 1,  1,  0\n"
                    "Mend: give the slowdown's length in metres.\n",
     .example = {{{ErrorSource::train_text, 16, 1,
                   "rallentamento,   12000,    40,  0, 1,  1,  0"}}},
     .severity = Severity::warning,
     .message = "a slowdown of length {length} m: its end board (cell {end}) does not follow "
                "its start board (cell {start})",
     .concerns = "slowdown: length"},
    {.id = Diag::slowdown_without_warning,
     .name = "slowdown-without-warning",
     .sets_position = true,
     .meaning = "a slowdown at 1500 m or before gets no warning board nor approach cells",
     .explanation = "A slowdown's warning board stands 1200 m before it, and only for a\n"
                    "slowdown beyond 1500 m; before that there is none, and the approach\n"
                    "cells asked for by its fifth value (f_ta) are not placed either:\n"
                    "    rallentamento,    1500,    40,  300, 1,  1,  0\n"
                    "Mend: give f_ta 0, or move the slowdown beyond 1500 m.\n",
     .example = {{{ErrorSource::train_text, 16, 1,
                   "rallentamento,    1500,    40,  300, 1,  1,  0"}}},
     .severity = Severity::warning,
     .message = "a slowdown at {position} m has no warning board, so the approach cells its "
                "f_ta asks for are not placed",
     .concerns = "slowdown: f_ta flag"},
    {.id = Diag::code_point_lowered,
     .name = "code-point-lowered",
     .sets_position = true,
     .meaning = "the signalling pass lowers a code point to 180",
     .explanation = "Before a signal within 20 cells of a slowdown's warning board, the\n"
                    "signalling pass lowers a code point of the author's on one of the two\n"
                    "cells before the signal to 180 when both are taken:\n"
                    "    abbattimento,   10400,   200\n"
                    "before a signal at 10400 m, with a sign board at 10300 m.\n"
                    "Mend: give the code point 180 or less, or move it.\n",
     .example = {{{ErrorSource::train_text, 20, 0,
                   "segnale,   10400,   1, 4, 0,  0, 0,    0,  0,0,0, 0\n"
                   "abbattimento,   10400,   200"},
                  {ErrorSource::line_text, 21, 0, "cartello_indicatore,  10300,   (PONTE)"}}},
     .severity = Severity::warning,
     .message = "the signalling pass lowers this code point from {written} to 180 (cell {cell})",
     .concerns = "code point: code"},
    {.id = Diag::missing_stations,
     .name = "missing-stations",
     .sets_position = false,
     .meaning = "the train text holds no station",
     .explanation = "Without a station the scenario has no timetable: an empty train text,\n"
                    "or the notes file given in its place, compiles to 0 stations.\n"
                    "Mend: give the train service text, with its 'stazione' lines.\n",
     .example = {{{ErrorSource::train_text, 12, 3, ""}}},
     .severity = Severity::warning,
     .message = "the train text holds no station: the scenario has no timetable"},
    {.id = Diag::texts_swapped,
     .name = "texts-swapped",
     .sets_position = false,
     .meaning = "the line text and the train text seem to be given the other way round",
     .explanation = "The text given as the line description holds the records of a train\n"
                    "text, and the other way round: every record is then skipped or\n"
                    "misread. The problems that follow from it are not listed.\n"
                    "Mend: give the line description with --line and the train text with\n"
                    "--train.\n",
     .example = {.swap_texts = true},
     .severity = Severity::error,
     .message = "this looks like a {is} text, given as the {given} text: were the two texts "
                "swapped?"},
    {.id = Diag::timetable_too_tight,
     .name = "timetable-too-tight",
     .sets_position = true,
     .meaning = "the train cannot keep a station's scheduled time",
     .explanation =
         "The fastest run of the train along the line (its acceleration, its\n"
         "braking, the speed limits, the slowdowns and the stops) takes longer\n"
         "from the previous timed station than the timetable allows. The station\n"
         "at 8000 m leaving at 6:40 instead of 6:48 leaves 3 minutes from LAGO;\n"
         "the fastest run needs 7 min 58.5 s, its 60 s stop included:\n"
         "    stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,40, 0, VALLE\n"
         "Mend: a later time, a higher speed limit, or a nearer station;\n"
         "'scenario-tool run' shows the fastest run station by station and\n"
         "tells the train it assumes.\n",
     .example = {{{ErrorSource::train_text, 13, 1,
                   "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,40, 0, "
                   "VALLE"}}},
     .severity = Severity::warning,
     .message = "{name}: scheduled {scheduled} from {from}, the fastest run takes {fastest} "
                "({shortfall} too little)",
     .concerns = "station: hours, minutes, seconds"},
    {.id = Diag::timetable_margin_low,
     .name = "timetable-margin-low",
     .sets_position = true,
     .meaning = "a station's scheduled time leaves less margin than asked for",
     .explanation =
         "The fastest run keeps the time, but with less margin than 3 percent\n"
         "of the scheduled time: timetables add 3 to 7 percent to the fastest\n"
         "run, so that a driver a little under the limits or a wet rail does\n"
         "not make the train late. The station at 8000 m leaving at 6:45:10\n"
         "leaves 490 s from LAGO, and the fastest run needs 478.5 s:\n"
         "    stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,45,10, VALLE\n"
         "A note, not a warning. Mend: allow a little more time;\n"
         "'scenario-tool run --margin-note PERCENT' shows the margins against\n"
         "another threshold.\n",
     .example = {{{ErrorSource::train_text, 13, 1,
                   "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,45,10, "
                   "VALLE"}}},
     .severity = Severity::note,
     .message = "{name}: {margin} of margin on {scheduled} from {from} ({percent}, below "
                "{threshold})",
     .concerns = "station: hours, minutes, seconds"},
};

// The one catalogue: the faults in ascending order of number, then the warnings.
inline constexpr auto kDiagnosticCatalogue = [] {
    std::array<DiagnosticEntry, std::size(kFaultEntries) + std::size(kWarningEntries)> all{};
    std::copy(std::begin(kFaultEntries), std::end(kFaultEntries), all.begin());
    std::copy(std::begin(kWarningEntries), std::end(kWarningEntries),
              all.begin() + std::size(kFaultEntries));
    return all;
}();

// The faults alone, and the warnings (and notes) alone.
constexpr std::span<const DiagnosticEntry> fault_entries() {
    return std::span(kDiagnosticCatalogue).first(std::size(kFaultEntries));
}
constexpr std::span<const DiagnosticEntry> warning_entries() {
    return std::span(kDiagnosticCatalogue).subspan(std::size(kFaultEntries));
}

constexpr const DiagnosticEntry& catalogue_entry(Diag id) {
    const auto* it = std::find_if(kDiagnosticCatalogue.begin(), kDiagnosticCatalogue.end(),
                                  [id](const DiagnosticEntry& e) { return e.id == id; });
    return *it;  // every id has its entry: the test of the catalogue walks them all
}

// Whether a fault comes with a position, known where the fault is raised, so that a site that
// records one without the other does not compile.
constexpr bool carries_position(Diag id) {
    return catalogue_entry(id).sets_position;
}

// The entry of a fault number, or nothing for a number the build never uses.
const DiagnosticEntry* find_fault(std::int32_t number);
// The entry of a name, a fault's or a warning's.
const DiagnosticEntry* find_diagnostic(std::string_view name);

// The one-line meaning of an error number, or "unknown error" for a number the build never uses.
std::string_view error_meaning(std::int32_t number);

// Whether a fault with this number comes with a position in metres.
bool error_sets_position(std::int32_t number);

// A named argument of a diagnostic's message.
struct Argument {
    std::string_view name;
    std::string value;
};

// The message with its arguments in place of their names; a name without an argument stays as
// written, in braces, so that a missing argument shows in the tests rather than vanishing.
std::string format_message(std::string_view format, std::span<const Argument> arguments);

}  // namespace scenario::compiler
