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
               "the route length is above 1000000 m",
               "The route length, the value of the \"lunghezza percorso\" line of the\n"
               "line text, is above 1000000 m: the cells (one per 50 m over the route\n"
               "and a 7000 m run-out) are not made for a longer one. Raised by:\n"
               "    lunghezza percorso,    1000050\n"
               "Mend: shorten the route to 1000000 m at most. The reading stops before\n"
               "any cell exists: the train text is not read and no compact file is\n"
               "written.\n"},
    FaultEntry{Fault::kilometric_range_off_grid, "kilometric_range_off_grid", false,
               "a kilometric range has a start or kilometric value that is not a multiple of 50",
               "A kilometric range of the line text (\"progressiva chilometrica uno\",\n"
               "\"due\" or \"tre\") has a start or a kilometric value that is not a\n"
               "multiple of 50. It is checked only once the train text has been read\n"
               "to its end, so a fault that stops the train text hides it. Raised by:\n"
               "    progressiva chilometrica uno,    25,    20000,    1\n"
               "Mend: put both values on the 50 m grid. No position goes with it; the\n"
               "compact files are still written.\n"},
    FaultEntry{Fault::repetition_start_off_grid, "repetition_start_off_grid", false,
               "the first value of the signal-repetition line is not a multiple of 50",
               "The signal-repetition line (\"ripetizione segnali\" with 4 or 9 codes)\n"
               "gives the first and the last position of the equipped stretch; its\n"
               "first value is not a multiple of 50. Raised by:\n"
               "    ripetizione segnali 9 codici,    1025,    18000\n"
               "Mend: start the stretch on the 50 m grid. The line text is read no\n"
               "further and the train text not at all; the compact files are still\n"
               "written when the route length came before this line.\n"},
    FaultEntry{Fault::repetition_end_off_grid, "repetition_end_off_grid", false,
               "the second value of the signal-repetition line is not a multiple of 50",
               "The second value of the signal-repetition line, the last position of\n"
               "the equipped stretch, is not a multiple of 50 (0, for no repetition,\n"
               "is one). Raised by:\n"
               "    ripetizione segnali 9 codici,    1000,    18025\n"
               "Mend: end the stretch on the 50 m grid. The line text is read no\n"
               "further and the train text not at all; the compact files are still\n"
               "written when the route length came before this line.\n"},
    FaultEntry{Fault::repetition_without_code_system, "repetition_without_code_system", false,
               "the signal-repetition keyword names neither the 4-code nor the 9-code system",
               "The keyword of the signal-repetition line names its code system: it\n"
               "must contain the digit 4 (4 codes) or else 9 (9 codes). It is tested\n"
               "after both values were found on the 50 m grid. Raised by:\n"
               "    ripetizione segnali codici,    1000,    18000\n"
               "Mend: write \"ripetizione segnali 9 codici\" (or 4). The line text is\n"
               "read no further and the train text not at all; the compact files are\n"
               "still written when the route length came before this line.\n"},
    FaultEntry{Fault::sign_board_cell_taken, "sign_board_cell_taken", true,
               "a sign board lands on a cell that is already taken",
               "A sign board (\"cartello_indicatore\") at position p goes on cell\n"
               "round(p / 50 + 1), and that cell is taken: it holds something other\n"
               "than nothing or a mountain marker, such as a maximum-speed board or\n"
               "another sign board. With the speed board at 1100 m on cell 23:\n"
               "    cartello_indicatore,  1100,   (PONTE)\n"
               "Mend: move the board to a free cell. The line text is read no further\n"
               "and the train text not at all; the compact files are still written\n"
               "with what was placed so far.\n"},
    FaultEntry{Fault::code_point_cell_taken, "code_point_cell_taken", true,
               "a code point (abbattimento) lands on a cell that is already taken",
               "A code point (\"abbattimento\", a position p and a code) goes on cell\n"
               "round(p / 50), one cell before the cell of a signal at p, and that\n"
               "cell is taken (neither empty nor a mountain marker). With the signal\n"
               "at 1850 m on cell 38:\n"
               "    abbattimento,   1900,   100\n"
               "Mend: move the code point to a free cell. The train text is read no\n"
               "further; the compact files are still written.\n"},
    FaultEntry{Fault::station_off_grid, "station_off_grid", true,
               "a station position is not a multiple of 50",
               "The position of a station line, its first value, is not a multiple\n"
               "of 50: stops and zones lie on the 50 m cells. Raised by:\n"
               "    stazione,    8010, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, ALBA\n"
               "Mend: put the station on the 50 m grid. The position goes with the\n"
               "fault. The train text is read no further; the compact files are still\n"
               "written.\n"},
    FaultEntry{Fault::station_length_off_grid, "station_length_off_grid", true,
               "a station length is not a multiple of 100",
               "The platform length of a station line, its third value, is not a\n"
               "multiple of 100: the zone runs half of it on either side of the\n"
               "position, in whole 50 m cells. The position is the station's. Raised\n"
               "by:\n"
               "    stazione,    8000, 11,  350,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, ALBA\n"
               "Mend: give the length in hundreds of metres. The train text is read\n"
               "no further; the compact files are still written.\n"},
    FaultEntry{Fault::station_table_full, "station_table_full", false,
               "the location table has no room for a further station",
               "Stations take the entries of the location table from 1 upwards, sign\n"
               "boards from 80 downwards. With s sign boards in the line text, station\n"
               "79 - s is stored and then ends the reading, even as the last station:\n"
               "78 - s stations at most. With 78 sign boards, the first station does:\n"
               "    stazione,     400,  4,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, LAGO\n"
               "Mend: fewer stations or fewer sign boards. No position goes with it.\n"
               "The train text is read no further; the compact files are still written.\n"},
    FaultEntry{Fault::no_code_point_cell_before_signal, "no_code_point_cell_before_signal", true,
               "no free cell for a code point in the two cells before a signal within 20 cells "
               "before a slowdown warning",
               "The signalling pass gives every signal within the 20 cells before a\n"
               "slowdown's warning board a code point on one of the two cells before\n"
               "it, or lowers a code point already there to 180. Here both cells are\n"
               "taken by something else. The position is the signal's cell times 50,\n"
               "50 m past the signal. With the warning board on cell 217 (slowdown at\n"
               "12000 m) and signals at 10350 and 10400 m, the third signal raises it:\n"
               "    segnale,   10450,   1, 4, 0,  0, 0,    0,  0,0,0, 0\n"
               "Mend: free one of the two cells before the signal. The pass goes on\n"
               "and the compact files are still written.\n"},
    FaultEntry{Fault::no_code_point_cell_before_slowdown, "no_code_point_cell_before_slowdown",
               true, "no free cell for a code point in one of the windows before a slowdown start",
               "The signalling pass puts a code point in each of three windows before\n"
               "a slowdown's start cell i, on the first free cell of i-5 to i-7, i-11\n"
               "to i-13 and i-18 to i-20 (a window only when i is above 7, 13 and 20).\n"
               "Here a whole window is taken; a code point counts as taken. The\n"
               "position is the start cell times 50. With the slowdown at 12000 m on\n"
               "cell 241 and signals at 11650 and 11700 m, the third signal raises it:\n"
               "    segnale,   11750,   1, 4, 0,  0, 0,    0,  0,0,0, 0\n"
               "Mend: free a cell of the window. The pass goes on and the compact\n"
               "files are still written.\n"},
    FaultEntry{Fault::no_code_point_cell_along_slowdown, "no_code_point_cell_along_slowdown", true,
               "no free cell for a code point along a slowdown below 110 km/h or before the first "
               "signal after its end",
               "Along a slowdown below 110 km/h the signalling pass puts a code point\n"
               "every 8 cells from its start cell, a cell back or forward when that\n"
               "cell is taken; here it and both neighbours are taken (position: that\n"
               "cell times 50; no more points go along this slowdown). Also raised when\n"
               "both cells before the first signal within 12 cells after the slowdown\n"
               "end are taken (position: the end cell times 50). With an 800 m\n"
               "slowdown from 12000 m and signals at 12350 and 12450 m:\n"
               "    segnale,   12400,   1, 4, 0,  0, 0,    0,  0,0,0, 0\n"
               "Mend: free one of the three cells. The pass goes on and the compact\n"
               "files are still written.\n"},
    FaultEntry{Fault::record_near_route_end, "record_near_route_end", true,
               "a record lies too near the end of the route",
               "A record lies too near the end of the route: its first value p must\n"
               "leave 100 m on the cells, (p + 100) / 50 at most N, the last cell,\n"
               "N = (route length + 7000) / 50; a station must leave 800 m. A curve\n"
               "or a stop cell that would pass the end is refused the same way. On a\n"
               "20000 m route (N = 540) a record may stand at 26900 m at most:\n"
               "    velocita,   26950,    70\n"
               "Mend: move the record back. The records of that text end there as at\n"
               "its end; after one in the line text the train text is read, but its\n"
               "first signal or slowdown line stops it. Compact files are written.\n"},
    FaultEntry{Fault::signal_cell_taken, "signal_cell_taken", true,
               "a signal lands on a cell that is already taken",
               "A signal (\"segnale\") at position p goes on cell round(p / 50 + 1),\n"
               "and that cell is taken: it holds a signal, a board, a slowdown mark,\n"
               "a code point or a station stop (only empty cells and mountain markers\n"
               "are free). With the speed board at 1100 m on cell 23:\n"
               "    segnale,    1100,   1, 4, 0,  0, 0,    0,  0,0,0, 0\n"
               "Mend: move the signal to a free cell. Nothing of it is placed; the\n"
               "train text is read no further; the compact files are still written.\n"},
    FaultEntry{Fault::warning_board_cell_taken, "warning_board_cell_taken", true,
               "the warning board 1200 m before a slowdown lands on a cell that is already taken",
               "A slowdown (\"rallentamento\") that starts at x beyond 1500 m has a\n"
               "warning board 1200 m before it, on cell round((x - 1200) / 50 + 1),\n"
               "and that cell is taken. With the speed board at 1100 m on cell 23:\n"
               "    rallentamento,    2300,    40,  300, 1,  1,  0\n"
               "Mend: move the slowdown or what stands on its warning cell. Nothing of\n"
               "the slowdown is placed; the train text is read no further; the compact\n"
               "files are still written.\n"},
    FaultEntry{Fault::slowdown_start_cell_taken, "slowdown_start_cell_taken", true,
               "the start of a slowdown lands on a cell that is already taken",
               "The start of a slowdown, its first value x, goes on cell\n"
               "round(x / 50 + 1), and that cell is taken. With the speed board at\n"
               "1100 m on cell 23 (a slowdown at 1500 m or before has no warning\n"
               "board to be refused first):\n"
               "    rallentamento,    1100,    40,  300, 1,  1,  0\n"
               "Mend: move the slowdown. Nothing of it is placed; the train text is\n"
               "read no further; the compact files are still written.\n"},
    FaultEntry{Fault::slowdown_end_cell_taken, "slowdown_end_cell_taken", true,
               "the end of a slowdown lands on a cell that is already taken",
               "The end of a slowdown, its start x plus its length l (the third\n"
               "value), goes on cell round((x + l) / 50 + 1), and that cell is taken.\n"
               "With the sign board at 2200 m on cell 45:\n"
               "    rallentamento,    2000,    40,  200, 1,  1,  0\n"
               "Mend: change the start or the length. Nothing of the slowdown is\n"
               "placed; the train text is read no further; the compact files are\n"
               "still written.\n"},
    FaultEntry{Fault::approach_cell_taken, "approach_cell_taken", true,
               "one of the four approach cells before a slowdown warning is already taken",
               "With its fifth value (f_ta) set, a slowdown that starts at x beyond\n"
               "1500 m also takes the four cells before its warning board, from cell\n"
               "round((x - 1200) / 50) back, and one of them is taken. With the speed\n"
               "board at 1100 m on cell 23 and the warning board on cell 24:\n"
               "    rallentamento,    2350,    40,  300, 1,  1,  0\n"
               "Mend: move the slowdown, or give 0 as its fifth value. Its end, start\n"
               "and warning boards stay placed; the train text is read no further;\n"
               "the compact files are still written.\n"},
    FaultEntry{Fault::speed_board_cell_taken, "speed_board_cell_taken", true,
               "a maximum-speed board lands on a cell that is already taken",
               "A maximum-speed board (\"indicatori_vmax\") at position p goes on cell\n"
               "round(p / 50 + 1), and that cell is taken by a board read before it.\n"
               "With a speed board at 1100 m already on cell 23:\n"
               "    indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0\n"
               "Mend: one board to a cell. The line text is read no further and the\n"
               "train text not at all; the compact files are still written with what\n"
               "was placed so far.\n"},
    FaultEntry{Fault::station_zones_too_close, "station_zones_too_close", true,
               "a station zone starts less than 350 m after the end of the previous station zone",
               "A station's stop zone must begin at least 350 m after the zone of the\n"
               "station before it ends. The zone of position p and platform length L\n"
               "is p - L/2 to p + L/2 (50 m more with the sixth value set); kinds 5\n"
               "and 6 run from p - L to p + 150, kinds 7 and 8 from p - L to p + L.\n"
               "After a station at 400 m with 800 m (zone 0 to 800), a zone from\n"
               "850 m is too close:\n"
               "    stazione,    1000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, ALBA\n"
               "Mend: move one of the two stations. The train text is read no\n"
               "further; the compact files are still written.\n"},
    FaultEntry{Fault::no_stop_cell, "no_stop_cell", false,
               "a stopping station's zone ends so early that no stop cell fits before it",
               "A station of a kind below 25 stops the train on the cell before its\n"
               "zone ends, zone end / 50 - 1; here that is cell 1 or lower, so no stop\n"
               "cell fits (the zone ends at 100 m or before). Raised by (zone -50 to\n"
               "50 m):\n"
               "    stazione,       0,  4,  100,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, LAGO\n"
               "Mend: move the station further on. No position goes with it. The\n"
               "train text is read no further; the compact files are still written.\n"},
    FaultEntry{Fault::reading_failure, "reading_failure", false,
               "the text could not be read: a value does not fit its field, a field is missing, or "
               "the file is unreadable",
               "Something in a text cannot be read: a value that is not a number or\n"
               "too wide for its field (8-bit fields such as a station's kind take 0\n"
               "to 255, 16-bit ones -32768 to 32767), a record cut short by the end of\n"
               "the text, a speed whose fifth does not fit 0 to 255, a record before\n"
               "any route length, a train text missing or unreadable. Raised by:\n"
               "    stazione,     400,300,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, LAGO\n"
               "Mend: the value named. The reading of both texts ends at once; the\n"
               "compact files are still written when the cells exist.\n"},
    FaultEntry{Fault::sign_board_table_full, "sign_board_table_full", true,
               "the location table has no free entry for a further sign board",
               "The location table keeps sign boards in entries 80 down to 1, so an\n"
               "81st sign board has no entry; it is refused rather than written past\n"
               "the table (a number of our own, not of the original table). Stations\n"
               "need entries from 1 upwards too. The 81st board, such as:\n"
               "    cartello_indicatore,  10900,   (BOARD)\n"
               "Mend: 80 sign boards at most, fewer to leave room for stations. The\n"
               "line text is read no further and the train text not at all; the\n"
               "compact files are still written with what was placed so far.\n"},
    FaultEntry{Fault::too_many_mountain_spans, "too_many_mountain_spans", true,
               "more than 80 mountain spans",
               "The span lists hold 80 mountain spans (\"montagna\" lines); an 81st is\n"
               "refused rather than written past them (a number of our own, not of\n"
               "the original table). The position is its start. The 81st span, such\n"
               "as:\n"
               "    montagna,   22800,  22850,  1\n"
               "Mend: 80 spans at most; join neighbouring ones. The line text is read\n"
               "no further and the train text not at all; the compact files are still\n"
               "written with what was placed so far.\n"},
    FaultEntry{Fault::line_text_missing, "line_text_missing", false,
               "the line description file does not exist",
               "The compile was given no line description text. The builder writes\n"
               "the text just before reading it, and scenario-tool refuses a missing\n"
               "file itself (exit status 2), so only a compile in memory meets it; no\n"
               "line of a text raises it. Mend: give the line text. Nothing is read,\n"
               "the train text neither; no cell exists and no compact file is written.\n"},
    FaultEntry{Fault::no_general_section, "no_general_section", false,
               "the line description file has no [generale] section",
               "The line text has no field containing \"[generale]\" (in any case)\n"
               "before its last field, so the general section with the route length\n"
               "is never found; the last field of a text is never acted upon. Raised\n"
               "by a misspelt first line:\n"
               "    [general]\n"
               "Mend: open the text with [generale]. No cell exists: the train text is\n"
               "not read and no compact file is written.\n"},
    FaultEntry{Fault::curve_without_class, "curve_without_class", false,
               "a curve names no curvature class 1 to 6, or its plan runs past metre 1000000",
               "A curve keyword is \"curva\", the hand s or d and a class digit 1 to 6\n"
               "(curvature 0.0001 to 0.003 per metre); this one has no digit 1 to 6.\n"
               "Also raised when a curve would bend the plan past metre 1000000.\n"
               "Curves are read only when the plan is built (not with --no-plan).\n"
               "Raised by:\n"
               "    curvad,  2000,  300\n"
               "Mend: add the class, as in curvad4. The line text is read no further\n"
               "and the train text not at all; the compact files are still written.\n"},
    FaultEntry{Fault::format_markers_in_use, "format_markers_in_use", false,
               "the places of the format markers are already in use",
               "Before the format markers are stamped their places must be empty: the\n"
               "first value (ref) of cell 1 and the seventh value of table entry 85.\n"
               "Cell 1 takes a signal, a board or a slowdown start at 0 m and a code\n"
               "point at 50 m; the signalling pass may place a code point there too.\n"
               "Raised by:\n"
               "    indicatori_vmax,  0,  60,  70,  70,  0,  ,  ,  ,  0\n"
               "Mend: keep records off cell 1. The builder shows \" Errore n. 1250\" and\n"
               "ends; no compact file is written and earlier ones stay as they were.\n"},
    FaultEntry{Fault::scenario_codes_in_use, "scenario_codes_in_use", false,
               "the places of the scenario codes are already in use",
               "Once the format markers are stamped, the places of the scenario codes\n"
               "must be empty: the second value (ref2) of cell 1 and the time of day\n"
               "of table entry 85. A record on cell 1 with an empty first value but a\n"
               "second one gets past 1250 and stops here. Raised by (first speed 0):\n"
               "    indicatori_vmax,  0,  0,  70,  70,  0,  ,  ,  ,  0\n"
               "Mend: keep records off cell 1. The builder shows \" Errore n. 1251\" and\n"
               "ends; no compact file is written and earlier ones stay as they were.\n"},
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
