#include "support/fault_cases.h"

#include "compiler/model/example_route.h"

#include <algorithm>
#include <iterator>

namespace scenario::testing {

using compiler::ErrorSource;
using compiler::Fault;

const Lines kBaseLine(compiler::example_line_text().begin(), compiler::example_line_text().end());
const Lines kBaseTrain(compiler::example_train_text().begin(),
                       compiler::example_train_text().end());

std::string text_of(const Lines& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

std::string signal_at(int position) {
    return "segnale,   " + std::to_string(position) + ",   1, 4, 0,  0, 0,    0,  0,0,0, 0";
}

void replace_line(Lines& lines, int line, std::string text) {
    lines.at(static_cast<std::size_t>(line - 1)) = std::move(text);
}

void insert_line(Lines& lines, int line, std::string text) {
    lines.insert(lines.begin() + (line - 1), std::move(text));
}

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << "error " << compiler::number_of(c.fault) << " (" << c.name << ")";
}

namespace {

// Sign boards every 100 m from 3000, inserted before the line text's closing header.
void add_sign_boards(Lines& line, int count) {
    for (int i = 0; i < count; ++i) {
        insert_line(line, 21 + i,
                    "cartello_indicatore,  " + std::to_string(3000 + 100 * i) + ",   (BOARD)");
    }
}

}  // namespace

// Columns count bytes from 1: a fault on a record's value names the value's first byte, one on
// the keyword names column 1; the signalling pass names a cell instead.
const std::vector<FaultCase>& fault_cases() {
    static const std::vector<FaultCase> cases{
        {.name = "RouteTooLong",
         .edit = [](Lines& l, Lines&) { replace_line(l, 2, "lunghezza percorso,    1000050"); },
         .fault = Fault::route_too_long,
         .source = ErrorSource::line_text,
         .line = 2,
         .column = 24,
         .written = false},
        {.name = "KilometricRangeOffTheGrid",
         .edit =
             [](Lines& l, Lines&) {
                 replace_line(l, 3, "progressiva chilometrica uno,    25,    20000,    1");
             },
         .fault = Fault::kilometric_range_off_grid,
         .source = ErrorSource::line_text,
         .line = 3,
         .column = 34},
        {.name = "RepetitionStartOffTheGrid",
         .edit =
             [](Lines& l, Lines&) {
                 replace_line(l, 9, "ripetizione segnali 9 codici,    1025,    18000");
             },
         .fault = Fault::repetition_start_off_grid,
         .source = ErrorSource::line_text,
         .line = 9,
         .column = 34},
        {.name = "RepetitionEndOffTheGrid",
         .edit =
             [](Lines& l, Lines&) {
                 replace_line(l, 9, "ripetizione segnali 9 codici,    1000,    18025");
             },
         .fault = Fault::repetition_end_off_grid,
         .source = ErrorSource::line_text,
         .line = 9,
         .column = 43},
        {.name = "RepetitionWithoutCodeSystem",
         .edit =
             [](Lines& l, Lines&) {
                 replace_line(l, 9, "ripetizione segnali codici,    1000,    18000");
             },
         .fault = Fault::repetition_without_code_system,
         .source = ErrorSource::line_text,
         .line = 9,
         .column = 1},
        {.name = "SignBoardOnTheSpeedBoard",
         .edit = [](Lines& l,
                    Lines&) { replace_line(l, 20, "cartello_indicatore,  1100,   (PONTE)"); },
         .fault = Fault::sign_board_cell_taken,
         .position = 1100,
         .source = ErrorSource::line_text,
         .line = 20,
         .column = 23},
        {.name = "CodePointOnASignal",
         // Cell 1900 / 50 = 38, the cell of the signal at 1850.
         .edit = [](Lines&, Lines& t) { insert_line(t, 22, "abbattimento,   1900,   100"); },
         .fault = Fault::code_point_cell_taken,
         .position = 1900,
         .source = ErrorSource::train_text,
         .line = 22,
         .column = 17},
        {.name = "StationOffTheGrid",
         .edit =
             [](Lines&, Lines& t) {
                 replace_line(t, 13,
                              "stazione,    8010, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   "
                              "6,48, 0, VALLE");
             },
         .fault = Fault::station_off_grid,
         .position = 8010,
         .source = ErrorSource::train_text,
         .line = 13,
         .column = 14},
        {.name = "StationLengthOffTheGrid",
         .edit =
             [](Lines&, Lines& t) {
                 replace_line(t, 13,
                              "stazione,    8000, 11,  350,  0, 0, 1,  1,1,0,  4,1,1,   60,   "
                              "6,48, 0, VALLE");
             },
         .fault = Fault::station_length_off_grid,
         .position = 8000,
         .source = ErrorSource::train_text,
         .line = 13,
         .column = 25},
        {.name = "NoRoomForAnotherStation",
         // 78 more sign boards leave the sign slot at 1: the first station fills the table.
         .edit = [](Lines& l, Lines&) { add_sign_boards(l, 78); },
         .fault = Fault::station_table_full,
         .source = ErrorSource::train_text,
         .line = 12,
         .column = 1},
        {.name = "SecondStationFillsTheTable",
         // 77 sign boards leave the sign slot at 3: the second station is stored in entry 2
         // and then fills the table.
         .edit = [](Lines& l, Lines&) { add_sign_boards(l, 76); },
         .fault = Fault::station_table_full,
         .source = ErrorSource::train_text,
         .line = 13,
         .column = 1},
        {.name = "SignalWithoutRoomForItsCodePoint",
         .edit =
             [](Lines&, Lines& t) {
                 // Signals on cells 208, 209 and 210, within 20 cells before the warning
                 // (217): the one on 210 finds both cells before it taken.
                 insert_line(t, 20, signal_at(10450));
                 insert_line(t, 20, signal_at(10400));
                 insert_line(t, 20, signal_at(10350));
             },
         .fault = Fault::no_code_point_cell_before_signal,
         .position = 10500,
         .source = ErrorSource::signalling,
         .cell = 210},
        {.name = "SlowdownStartWithoutRoomForCodePoints",
         .edit =
             [](Lines&, Lines& t) {
                 // Signals on cells 234 to 236, the first window before the start cell 241.
                 insert_line(t, 20, signal_at(11750));
                 insert_line(t, 20, signal_at(11700));
                 insert_line(t, 20, signal_at(11650));
             },
         .fault = Fault::no_code_point_cell_before_slowdown,
         .position = 12050,
         .source = ErrorSource::signalling,
         .cell = 241},
        {.name = "SlowSlowdownWithoutRoomForCodePoints",
         .edit =
             [](Lines&, Lines& t) {
                 // 800 m long: end cell 257; the eighth cell after the start (249) and both
                 // its neighbours hold signals.
                 replace_line(t, 16, "rallentamento,   12000,    40,  800, 1,  1,  0");
                 insert_line(t, 20, signal_at(12450));
                 insert_line(t, 20, signal_at(12400));
                 insert_line(t, 20, signal_at(12350));
             },
         .fault = Fault::no_code_point_cell_along_slowdown,
         .position = 12450,
         .source = ErrorSource::signalling,
         .cell = 249},
        {.name = "SlowdownExitWithoutRoomForCodePoint",
         .edit =
             [](Lines&, Lines& t) {
                 // The first signal after the end cell 247 is on 248; before it stand the end
                 // and a signal on 246. The position is the end's.
                 insert_line(t, 20, signal_at(12350));
                 insert_line(t, 20, signal_at(12250));
             },
         .fault = Fault::no_code_point_cell_along_slowdown,
         .position = 12350,
         .source = ErrorSource::signalling,
         .cell = 247},
        {.name = "RecordTooNearTheEnd",
         // 50 * 540 - 100 = 26900 is the last position a record may take.
         .edit = [](Lines&, Lines& t) { replace_line(t, 10, "velocita,   26950,    70"); },
         .fault = Fault::record_near_route_end,
         .position = 26950,
         .source = ErrorSource::train_text,
         .line = 10,
         .column = 13},
        {.name = "StationTooNearTheEnd",
         // A station needs 800 m: 26250 + 800 is past the last cell's 27000.
         .edit =
             [](Lines&, Lines& t) {
                 replace_line(t, 14,
                              "stazione,   26250,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,   "
                              "7,10, 0, MONTE");
             },
         .fault = Fault::record_near_route_end,
         .position = 26250,
         .source = ErrorSource::train_text,
         .line = 14,
         .column = 13},
        {.name = "SignalOnTheSpeedBoard",
         .edit = [](Lines&, Lines& t) { replace_line(t, 18, signal_at(1100)); },
         .fault = Fault::signal_cell_taken,
         .position = 1100,
         .source = ErrorSource::train_text,
         .line = 18,
         .column = 12},
        {.name = "WarningBoardOnTheSpeedBoard",
         .edit =
             [](Lines&, Lines& t) {
                 replace_line(t, 16, "rallentamento,    2300,    40,  300, 1,  1,  0");
             },
         .fault = Fault::warning_board_cell_taken,
         .position = 2300,
         .source = ErrorSource::train_text,
         .line = 16,
         .column = 19},
        {.name = "SlowdownStartOnTheSpeedBoard",
         .edit =
             [](Lines&, Lines& t) {
                 replace_line(t, 16, "rallentamento,    1100,    40,  300, 1,  1,  0");
             },
         .fault = Fault::slowdown_start_cell_taken,
         .position = 1100,
         .source = ErrorSource::train_text,
         .line = 16,
         .column = 19},
        {.name = "SlowdownEndOnTheSignBoard",
         .edit =
             [](Lines&, Lines& t) {
                 replace_line(t, 16, "rallentamento,    2000,    40,  200, 1,  1,  0");
             },
         .fault = Fault::slowdown_end_cell_taken,
         .position = 2000,
         .source = ErrorSource::train_text,
         .line = 16,
         .column = 19},
        {.name = "ApproachCellOnTheSpeedBoard",
         .edit =
             [](Lines&, Lines& t) {
                 replace_line(t, 16, "rallentamento,    2350,    40,  300, 1,  1,  0");
             },
         .fault = Fault::approach_cell_taken,
         .position = 2350,
         .source = ErrorSource::train_text,
         .line = 16,
         .column = 19},
        {.name = "TwoSpeedBoardsOnOneCell",
         .edit =
             [](Lines& l, Lines&) {
                 insert_line(l, 19, "indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0");
             },
         .fault = Fault::speed_board_cell_taken,
         .position = 1100,
         .source = ErrorSource::line_text,
         .line = 19,
         .column = 19},
        {.name = "StationZonesTooClose",
         .edit =
             [](Lines&, Lines& t) {
                 replace_line(t, 13,
                              "stazione,    1000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   "
                              "6,48, 0, VALLE");
             },
         .fault = Fault::station_zones_too_close,
         .position = 1000,
         .source = ErrorSource::train_text,
         .line = 13,
         .column = 14},
        {.name = "StopCellBeforeTheRoute",
         .edit =
             [](Lines&, Lines& t) {
                 replace_line(t, 12,
                              "stazione,       0,  4,  100,  1, 0, 0,  4,1,1,  2,1,1,    1,   "
                              "6,37, 0, LAGO");
             },
         .fault = Fault::no_stop_cell,
         .source = ErrorSource::train_text,
         .line = 12,
         .column = 17},
        {.name = "ValueTooLargeForItsField",
         .edit =
             [](Lines&, Lines& t) {
                 replace_line(t, 12,
                              "stazione,     400,300,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   "
                              "6,37, 0, LAGO");
             },
         .fault = Fault::reading_failure,
         .source = ErrorSource::train_text,
         .line = 12,
         .column = 19},
        {.name = "TrainTextMissing",
         .edit = [](Lines&, Lines&) {},
         .fault = Fault::reading_failure,
         .source = ErrorSource::train_text,
         .missing = MissingText::train},
        {.name = "MoreSignBoardsThanTheTableHolds",
         .edit = [](Lines& l, Lines&) { add_sign_boards(l, 80); },
         .fault = Fault::sign_board_table_full,
         .position = 10900,
         .source = ErrorSource::line_text,
         .line = 100,
         .column = 23},
        {.name = "MoreMountainSpansThanSupported",
         .edit =
             [](Lines& l, Lines&) {
                 for (int i = 0; i < 80; ++i) {
                     const int start = 7000 + 200 * i;
                     insert_line(l, 17 + i,
                                 "montagna,   " + std::to_string(start) + ",  " +
                                     std::to_string(start + 50) + ",  1");
                 }
             },
         .fault = Fault::too_many_mountain_spans,
         .position = 22800,
         .source = ErrorSource::line_text,
         .line = 96,
         .column = 13},
        {.name = "LineTextMissing",
         .edit = [](Lines&, Lines&) {},
         .fault = Fault::line_text_missing,
         .source = ErrorSource::line_text,
         .written = false,
         .missing = MissingText::line},
        {.name = "NoGeneralSection",
         .edit = [](Lines& l, Lines&) { replace_line(l, 1, "[general]"); },
         .fault = Fault::no_general_section,
         .source = ErrorSource::line_text,
         .written = false},
        {.name = "CurveWithoutClass",
         .edit = [](Lines& l, Lines&) { replace_line(l, 11, "curvad,  2000,  300"); },
         .fault = Fault::curve_without_class,
         .source = ErrorSource::line_text,
         .line = 11,
         .column = 1},
        {.name = "FormatMarkerPlaceInUse",
         .edit =
             [](Lines& l, Lines&) {
                 replace_line(l, 18, "indicatori_vmax,  0,  60,  70,  70,  0,  ,  ,  ,  0");
             },
         .fault = Fault::format_markers_in_use,
         .written = false},
        {.name = "ScenarioCodePlaceInUse",
         .edit =
             [](Lines& l, Lines&) {
                 replace_line(l, 18, "indicatori_vmax,  0,  0,  70,  70,  0,  ,  ,  ,  0");
             },
         .fault = Fault::scenario_codes_in_use,
         .written = false},
    };
    return cases;
}

std::vector<FaultCase> tool_fault_cases() {
    std::vector<FaultCase> cases;
    std::copy_if(fault_cases().begin(), fault_cases().end(), std::back_inserter(cases),
                 [](const FaultCase& c) { return !c.core_only(); });
    return cases;
}

}  // namespace scenario::testing
