#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "compiler/model/example_route.h"
#include "sources/writers.h"
#include "support/recording_observer.h"

namespace scenario::testing {
namespace {

using compiler::Diag;
using compiler::ErrorSource;
using Lines = std::vector<std::string>;

// One thing the build does to what an author wrote, raised by one edit of the built-in texts:
// where it is told (the edited line, the column of `token` in it) and the value as stored.
struct Told {
    const char* name;
    std::function<void(Lines& line, Lines& train)> edit;
    Diag id;
    ErrorSource text;
    std::string line;         // the line it is told at, as edited
    std::string token;        // its column is this token's first byte; empty for column 1
    std::string stored = {};  // "name=value" of one argument, where a value is stored
};

void PrintTo(const Told& t, std::ostream* os) {
    *os << t.name;
}

// Replaces a built-in line, which must be there, by one or more lines.
void replace(Lines& lines, const std::string& old, const std::string& with) {
    const auto it = std::find(lines.begin(), lines.end(), old);
    ASSERT_NE(it, lines.end()) << old;
    std::vector<std::string> added;
    std::size_t start = 0;
    for (auto end = with.find('\n');; end = with.find('\n', start)) {
        added.push_back(with.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    const auto at = lines.erase(it);
    lines.insert(at, added.begin(), added.end());
}

// The location table holds as many sign boards as the built-in line has, beside its stations: a
// board is moved, the last one taken away to make room for it.
void move_last_board(Lines& lines, int position, const std::string& board);

// Puts a record among those of its keyword, in the order of their positions.
void insert_sorted(Lines& lines, const std::string& keyword, int position,
                   const std::string& record) {
    auto at = lines.end();
    for (auto it = lines.begin(); it != lines.end(); ++it) {
        if (it->starts_with(keyword + ",")) {
            at = it + 1;
            if (std::stoi(it->substr(it->find(',') + 1)) > position) {
                at = it;
                break;
            }
        }
    }
    lines.insert(at, record);
}

void move_last_board(Lines& lines, int position, const std::string& board) {
    const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& s) {
        return s.starts_with("cartello_indicatore,");
    });
    lines.erase(std::next(last).base());
    insert_sorted(lines, "cartello_indicatore", position, board);
}

const char* kSignal = "segnale,   ";

const std::vector<Told>& told() {
    static const std::vector<Told> rows{
        {"ByteOrderMark",
         [](Lines& l, Lines&) { replace(l, "[generale]", "\xEF\xBB\xBF[generale]"); },
         Diag::byte_order_mark, ErrorSource::line_text, "\xEF\xBB\xBF[generale]", ""},
        {"Utf8Name",
         [](Lines&, Lines& t) {
             replace(t,
                     "stazione,    7500, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   90,   6,48, 0, "
                     "CASTELLETTO LAGO",
                     "stazione,    7500, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   90,   6,48, 0, "
                     "CASTELLETTO LAG\xC3\x92");
         },
         Diag::utf8_text, ErrorSource::train_text,
         "stazione,    7500, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   90,   6,48, 0, CASTELLETTO "
         "LAG\xC3\x92",
         "\xC3", "as_utf8=\xC3\x92"},
        {"LoneCarriageReturn", [](Lines&, Lines& t) { replace(t, "[codici]", "[codici]\r"); },
         Diag::lone_cr, ErrorSource::train_text, "[codici]\r", "\r"},
        {"RecordBeforeGenerale",
         [](Lines&, Lines& t) { replace(t, "[generale]", "numero vetture,    5\n[generale]"); },
         Diag::before_general, ErrorSource::train_text, "numero vetture,    5", ""},
        {"DashInKeyword",
         [](Lines& l, Lines&) { replace(l, "pendenza,  8450,   29", "pendenza-bis,  8450,   29"); },
         Diag::dash_in_keyword, ErrorSource::line_text, "pendenza-bis,  8450,   29", ""},
        {"MisspeltKeyword",
         [](Lines& l, Lines&) { replace(l, "pendenza,  8450,   29", "pendneza,  8450,   29"); },
         Diag::unknown_keyword, ErrorSource::line_text, "pendneza,  8450,   29", ""},
        {"TrainRecordInTheLineText",
         [](Lines& l, Lines&) { replace(l, "[fine]", "velocita,    1100,    70\n[fine]"); },
         Diag::other_text_record, ErrorSource::line_text, "velocita,    1100,    70", ""},
        {"RecordInTheGeneralSection",
         [](Lines& l, Lines&) { replace(l, "[curve]", "pendenza,  0,   0\n[curve]"); },
         Diag::out_of_section, ErrorSource::line_text, "pendenza,  0,   0", ""},
        {"KeywordOfTwoKinds",
         [](Lines&, Lines& t) {
             replace(t, "velocita,   45300,    90",
                     "velocita aderenza,   45300,    90,   91500,   100");
         },
         Diag::several_kinds, ErrorSource::train_text,
         "velocita aderenza,   45300,    90,   91500,   100", ""},
        {"ExtraValue",
         [](Lines&, Lines& t) {
             replace(t, "velocita,    1100,    70", "velocita,    1100,    70,    80");
         },
         Diag::extra_values, ErrorSource::train_text, "velocita,    1100,    70,    80", "80",
         "extra=80"},
        {"KilometricRangesSharingTheirStart",
         [](Lines& l, Lines&) {
             replace(l, "progressiva chilometrica due,    0,    0,    0",
                     "progressiva chilometrica due,    5000,    15000,    1");
             replace(l, "progressiva chilometrica tre,    0,    0,    0",
                     "progressiva chilometrica tre,    5000,    10000,    1");
         },
         Diag::kilometric_ranges_dropped, ErrorSource::line_text,
         "progressiva chilometrica uno,    0,    98000,    1", "0"},
        {"RepetitionEndFirst",
         [](Lines& l, Lines&) {
             replace(l, "ripetizione segnali 9 codici,    1000,    94800",
                     "ripetizione segnali 9 codici,    94800,    1000");
         },
         Diag::repetition_backwards, ErrorSource::line_text,
         "ripetizione segnali 9 codici,    94800,    1000", "1000"},
        {"SpeedLimitPastTheRoute",
         [](Lines&, Lines& t) {
             replace(t, "velocita,   45300,    90", "velocita,   98500,    90");
         },
         Diag::position_outside_route, ErrorSource::train_text, "velocita,   98500,    90",
         "98500"},
        {"SpeedLimitOffTheGrid",
         [](Lines&, Lines& t) {
             replace(t, "velocita,    1100,    70", "velocita,    1120,    70");
         },
         Diag::not_on_grid, ErrorSource::train_text, "velocita,    1120,    70", "1120",
         "lands=is read as at 1100 m"},
        {"GradientOutOfOrder",
         [](Lines& l, Lines&) {
             replace(l, "pendenza,  8450,   29", "pendenza,  8450,   29\npendenza,  8000,   5");
         },
         Diag::out_of_order, ErrorSource::line_text, "pendenza,  8000,   5", "8000"},
        {"FirstSpeedLimitPastZero",
         [](Lines&, Lines& t) {
             replace(t, "velocita,       0,    60", "velocita,     400,    60");
         },
         Diag::before_first_record, ErrorSource::train_text, "velocita,     400,    60", "400",
         "value=a speed limit of 0 km/h"},
        {"NoAdhesionAtAll",
         [](Lines&, Lines& t) {
             std::erase_if(t, [](const std::string& s) { return s.starts_with("aderenza,"); });
         },
         Diag::missing_profile, ErrorSource::train_text, "", "", "kind=adhesion"},
        {"GradientKeptInEightBits",
         [](Lines& l, Lines&) { replace(l, "pendenza,  8450,   29", "pendenza,  8450,   -150"); },
         Diag::value_changed, ErrorSource::line_text, "pendenza,  8450,   -150", "-150",
         "stored=code 206"},
        {"SpeedBetweenSteps",
         [](Lines&, Lines& t) {
             replace(t, "velocita,    1100,    70", "velocita,    1100,    72");
         },
         Diag::speed_not_on_step, ErrorSource::train_text, "velocita,    1100,    72", "72",
         "stored=70"},
        {"CurveInsideTheOneBefore",
         [](Lines& l, Lines&) { replace(l, "curvas5,  2200,  400", "curvas5,  1200,  400"); },
         Diag::overlapping_curves, ErrorSource::line_text, "curvas5,  1200,  400", "1200",
         "end=1350"},
        {"CurveOfNegativeLength",
         [](Lines& l, Lines&) { replace(l, "curvas5,  2200,  400", "curvas5,  2200,  -400"); },
         Diag::curve_empty, ErrorSource::line_text, "curvas5,  2200,  -400", "-400"},
        {"CurveKeywordInWords",
         [](Lines& l, Lines&) {
             replace(l, "curvas5,  2200,  400", "curva destra 5,  2200,  400");
         },
         Diag::curve_keyword, ErrorSource::line_text, "curva destra 5,  2200,  400", "",
         "hand=left"},
        {"SpanEndingBeforeItsStart",
         [](Lines& l, Lines&) {
             replace(l, "montagna,   11800,  12000,  11", "montagna,   12000,  11800,  11");
         },
         Diag::span_empty, ErrorSource::line_text, "montagna,   12000,  11800,  11", "12000"},
        {"SpanPastTheCells",
         [](Lines& l, Lines&) {
             replace(l, "montagna,   89200,  89700,  11", "montagna,   89200,  120000,  11");
         },
         Diag::cut_at_route_end, ErrorSource::line_text, "montagna,   89200,  120000,  11", "89200",
         "last=105000"},
        {"ClockPastTheDay",
         [](Lines&, Lines& t) {
             replace(t, "orologio,    6               36            30 ",
                     "orologio,    25               36            30 ");
         },
         Diag::clock_not_a_time, ErrorSource::train_text,
         "orologio,    25               36            30 ", "25", "written=25:36:30"},
        {"StationTimeBackwards",
         [](Lines&, Lines& t) {
             replace(t,
                     "stazione,   13400, 23,  200,  0, 0, 0,  0,0,0,  4,1,1,   30,   6,56,30, "
                     "SANTA GIULIA",
                     "stazione,   13400, 23,  200,  0, 0, 0,  0,0,0,  4,1,1,   30,   6,30, 0, "
                     "SANTA GIULIA");
         },
         Diag::station_time, ErrorSource::train_text,
         "stazione,   13400, 23,  200,  0, 0, 0,  0,0,0,  4,1,1,   30,   6,30, 0, SANTA GIULIA",
         "6,30"},
        {"ArrivalPastMidnight",
         [](Lines&, Lines& t) {
             replace(t,
                     "stazione,   95200,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,   8,34, 0, PIAN "
                     "DI VALSO",
                     "stazione,   95200,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,  24,34, 0, PIAN "
                     "DI VALSO");
         },
         Diag::time_past_day, ErrorSource::train_text,
         "stazione,   95200,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,  24,34, 0, PIAN DI VALSO",
         "24,", "seconds=88440"},
        {"ControlCharacterInAName",
         [](Lines&, Lines& t) {
             replace(
                 t,
                 "stazione,    4900, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, RIVA "
                 "BELLA",
                 "stazione,    4900, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, RIVA\x01"
                 "BELLA");
         },
         Diag::control_character, ErrorSource::train_text,
         "stazione,    4900, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, RIVA\x01"
         "BELLA",
         "RIVA", "character=\\x01"},
        {"LongPlatformFlagOnAShortPlatform",
         [](Lines&, Lines& t) {
             replace(t,
                     "stazione,    7500, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   90,   6,48, 0, "
                     "CASTELLETTO LAGO",
                     "stazione,    7500, 11,  300,  0, 1, 1,  1,1,0,  4,1,1,   90,   6,48, 0, "
                     "CASTELLETTO LAGO");
         },
         Diag::station_flag_dropped, ErrorSource::train_text,
         "stazione,    7500, 11,  300,  0, 1, 1,  1,1,0,  4,1,1,   90,   6,48, 0, CASTELLETTO LAGO",
         "1, 1,  1", "flag=long-platform flag"},
        {"SignBoardOnAStopCell",
         [](Lines& l, Lines&) {
             move_last_board(l, 7600, "cartello_indicatore,  7600,   (PONTE)");
         },
         Diag::stop_cell_overwrites, ErrorSource::train_text,
         "stazione,    7500, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   90,   6,48, 0, CASTELLETTO LAGO",
         "7500", "cell=153"},
        {"SignalMarksOverAStationsMarks",
         [](Lines&, Lines& t) {
             insert_sorted(t, "segnale", 800,
                           std::string(kSignal) + " 800,   1, 4, 0,  0, 0,    0,  0,0,0, 0");
         },
         Diag::approach_marks_overwritten, ErrorSource::train_text,
         std::string(kSignal) + " 800,   1, 4, 0,  0, 0,    0,  0,0,0, 0", "800",
         "cells=cells 13 and 11"},
        {"SignalTimeRaised",
         [](Lines&, Lines& t) {
             replace(t, "segnale,   38800,   2, 4, 1,  0, 0,    0,  0,0,0, 250",
                     "segnale,   38800,   2, 4, 1,  0, 0,    0,  0,0,0, 50");
         },
         Diag::signal_time_raised, ErrorSource::train_text,
         "segnale,   38800,   2, 4, 1,  0, 0,    0,  0,0,0, 50", "50", "written=50"},
        {"SignalTimeDropped",
         [](Lines&, Lines& t) {
             replace(t, "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
                     "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 200");
         },
         Diag::signal_time_dropped, ErrorSource::train_text,
         "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 200", "200"},
        {"SlowdownOfLengthZero",
         [](Lines&, Lines& t) {
             replace(t, "rallentamento,   71200,    40,  300, 1,  1,  0",
                     "rallentamento,   71200,    40,  0, 1,  1,  0");
         },
         Diag::slowdown_empty, ErrorSource::train_text,
         "rallentamento,   71200,    40,  0, 1,  1,  0", "0, 1"},
        {"SlowdownNearTheStartAskingForApproachCells",
         [](Lines&, Lines& t) {
             replace(t, "rallentamento,   71200,    40,  300, 1,  1,  0",
                     "rallentamento,    1200,    40,  300, 1,  1,  0");
         },
         Diag::slowdown_without_warning, ErrorSource::train_text,
         "rallentamento,    1200,    40,  300, 1,  1,  0", "1,  0"},
        {"CodePointAbove180BeforeATreatedSignal",
         [](Lines& l, Lines& t) {
             move_last_board(l, 69050, "cartello_indicatore,  69050,   (PONTE)");
             replace(t, "[codici]", "[codici]\nabbattimento,   69150,   200");
         },
         Diag::code_point_lowered, ErrorSource::signalling, "", "", "written=200"},
        {"NoStation",
         [](Lines&, Lines& t) {
             std::erase_if(t, [](const std::string& s) { return s.starts_with("stazione,"); });
         },
         Diag::missing_stations, ErrorSource::train_text, "", ""},
    };
    return rows;
}

class WhatTheBuildDoes : public ::testing::TestWithParam<Told> {};

// Each warning: raised by its edit of the built-in texts alone, told at the edited line and
// value, with the value as stored.
TEST_P(WhatTheBuildDoes, IsToldAtItsPlaceWithTheValueStored) {
    const auto& row = GetParam();
    Lines line(sources::line_description_lines().begin(), sources::line_description_lines().end());
    Lines train(sources::train_service_lines().begin(), sources::train_service_lines().end());
    row.edit(line, train);
    compiler::BuildState state;
    RecordingObserver observer;
    compile_observed(state, compiler::joined_text(line), compiler::joined_text(train), observer);
    ASSERT_EQ(observer.occurrences.size(), 1u) << ::testing::PrintToString(observer.names());
    const auto& o = observer.occurrences.front();
    EXPECT_EQ(o.id, row.id) << observer.names().front();
    EXPECT_EQ(o.text, row.text);
    if (!row.line.empty()) {
        const auto& lines = row.text == ErrorSource::line_text ? line : train;
        const auto it = std::find(lines.begin(), lines.end(), row.line);
        ASSERT_NE(it, lines.end());
        EXPECT_EQ(o.at.place.line, it - lines.begin() + 1);
        const auto column = row.token.empty() ? 0 : row.line.find(row.token);
        EXPECT_EQ(o.at.place.column, static_cast<std::int32_t>(column) + 1);
    } else if (row.text != ErrorSource::signalling) {
        EXPECT_EQ(o.at.place.line, 0);
    }
    if (!row.stored.empty()) {
        const auto eq = row.stored.find('=');
        const auto name = row.stored.substr(0, eq);
        const auto value = row.stored.substr(eq + 1);
        const auto argument = std::find_if(o.arguments.begin(), o.arguments.end(),
                                           [&](const auto& a) { return a.name == name; });
        ASSERT_NE(argument, o.arguments.end()) << name;
        EXPECT_EQ(argument->value, value);
    }
}

INSTANTIATE_TEST_SUITE_P(EditedBuiltInTexts, WhatTheBuildDoes, ::testing::ValuesIn(told()),
                         [](const auto& info) { return std::string(info.param.name); });

// Every warning the readers, the helpers and the pass raise has its row above.
TEST(WhatTheBuildDoes, EveryWarningOfTheReadingHasARow) {
    std::vector<Diag> covered;
    for (const auto& row : told()) {
        covered.push_back(row.id);
    }
    for (const auto& entry : compiler::warning_entries()) {
        const bool the_tools_own =
            entry.id == Diag::texts_swapped || entry.id == Diag::name_too_long_for_card ||
            entry.id == Diag::kilometre_not_printable || entry.id == Diag::timetable_too_tight ||
            entry.id == Diag::timetable_margin_low;
        if (!the_tools_own) {
            EXPECT_NE(std::find(covered.begin(), covered.end(), entry.id), covered.end())
                << entry.name;
        }
    }
}

}  // namespace
}  // namespace scenario::testing
