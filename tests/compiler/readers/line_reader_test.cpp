#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "compiler/model/diagnostic_catalogue.h"
#include "reader_fixture.h"

namespace scenario::compiler::testing {
namespace {

using LineReader = ReaderTest;
constexpr auto kLine = ErrorSource::line_text;

TEST_F(LineReader, GeneralSectionFillsTheTableAndSizesCellsAndPlan) {
    line_records({});
    train_records({});
    read();
    expect_clean();
    EXPECT_EQ(state.last_cell(), 2100);
    EXPECT_EQ(state.plan.last_metre(), 105000);
    EXPECT_EQ(state.locations[entry::train].zoneEnd, 98000);
    // The one range "uno" moves to entry 81 and reads 100 m more for its sense 1.
    const auto& tre = state.locations[entry::range_tre];
    EXPECT_EQ(tre.zoneStart, 0);
    EXPECT_EQ(tre.zoneEnd, 98100);
    EXPECT_EQ(tre.position, 1);
    EXPECT_EQ(state.locations[entry::range_uno], LocationEntry{});
    const auto& scenery = state.locations[entry::scenery];
    EXPECT_EQ(scenery.zoneStart, 90000);
    EXPECT_EQ(scenery.position, 0);
    EXPECT_EQ(scenery.zoneEnd, 1);
    EXPECT_EQ(scenery.name, "A - B");
    const auto& repetition = state.locations[entry::repetition];
    EXPECT_EQ(repetition.zoneStart, 1000);
    EXPECT_EQ(repetition.zoneEnd, 94800);
    EXPECT_EQ(repetition.position, 9);
    EXPECT_EQ(repetition.name, "R00001");
}

TEST_F(LineReader, GeneralKeywordsTestCaseOnlyWherePrescribed) {
    write_line({"[generale]", "LUNGHEZZA PERCORSO,    1000",
                "Progressiva chilometrica uno,  0,  500,  0",
                "progressiva chilometrica due,  0,  700,  0", "SFONDO uno,    5", "sfondo due,  6",
                "Ripetizione segnali 4 codici,  50,  100", "[curve]", "[fine]"});
    train_records({});
    read();
    expect_clean();
    EXPECT_EQ(state.last_cell(), 160);  // "LUNGHEZZA PERCORSO" matches
    // "Progressiva" with a capital matches nothing: only "due" is a range, and it moves up.
    EXPECT_EQ(state.locations[entry::range_tre].zoneEnd, 700);
    EXPECT_EQ(state.locations[entry::range_due].zoneEnd, 0);
    EXPECT_EQ(state.locations[entry::scenery].zoneStart, 0);
    EXPECT_EQ(state.locations[entry::scenery].position, 6);
    EXPECT_EQ(state.locations[entry::repetition].zoneStart, 0);
    EXPECT_EQ(state.locations[entry::repetition].zoneEnd, 0);
}

TEST_F(LineReader, SignalRepetitionNamesItsCodeSystemOrStops) {
    struct Case {
        const char* line;
        std::int32_t fault;  // 0: none
        std::int32_t code;
    };
    const Case cases[] = {
        {"ripetizione segnali 4 codici,    1000,    94800", 0, 4},
        {"ripetizione segnali 9 codici,    1000,    94800", 0, 9},
        {"ripetizione segnali 94 codici,    1000,    94800", 0, 4},  // "4" is tested first
        {"ripetizione segnali 9 codici,    1000,    0", 0, 0},       // no repetition
        {"ripetizione segnali codici,    1000,    94800",
         number_of(Fault::repetition_without_code_system), 0},
        {"ripetizione segnali 9 codici,    1025,    94800",
         number_of(Fault::repetition_start_off_grid), 0},
        {"ripetizione segnali 9 codici,    1000,    94810",
         number_of(Fault::repetition_end_off_grid), 0},
        {"ripetizione segnali 9 codici,    -50,    -100", 0, 9},
    };
    for (const auto& c : cases) {
        auto general = line_general();
        general[8] = c.line;
        write_line(with(general, {"[fine]"}));
        train_records({"numero vetture, 7"});
        read();
        EXPECT_EQ(state.errorNumber, c.fault) << c.line;
        EXPECT_FALSE(texts_left()) << c.line;
        if (c.fault == 0) {
            EXPECT_EQ(state.locations[entry::repetition].position, c.code) << c.line;
            EXPECT_EQ(state.locations[entry::train].position, 7) << c.line;
        } else {
            EXPECT_EQ(state.errorSite.source, kLine) << c.line;
            EXPECT_EQ(state.errorSite.line, 9) << c.line;
            // A stop in the line text leaves the train text unread, and deleted.
            EXPECT_EQ(state.locations[entry::train].position, 0) << c.line;
        }
    }
}

TEST_F(LineReader, RouteLengthAboveAMillionMetresStops) {
    line_records({}, 1000001);
    train_records({});
    read();
    expect_fault(Fault::route_too_long, kLine, 2);
    EXPECT_FALSE(state.has_cells());
    EXPECT_FALSE(texts_left());
}

TEST_F(LineReader, NegativeRouteLengthIsAReadingFailure) {
    line_records({}, -100);
    train_records({});
    read();
    expect_fault(Fault::reading_failure, kLine, 2);
    EXPECT_FALSE(texts_left());
}

TEST_F(LineReader, MissingGeneralSectionStopsWith102) {
    for (const auto& lines : std::vector<std::vector<std::string>>{
             {}, {"lunghezza percorso, 98000", "[fine]"}, {"[curve]", "[generale]"}}) {
        write_line(lines);
        train_records({});
        read();
        expect_fault(Fault::no_general_section, kLine, 0);
        EXPECT_FALSE(texts_left());
    }
}

TEST_F(LineReader, UpToTenSeparatorFieldsAreSkippedInTheGeneralSection) {
    // After ten dash fields the eleventh is tested even though it holds a dash itself.
    const std::string dashes = "-,-,-,-,-,-,-,-,-,-,";
    write_line({"[generale]", dashes + "-lunghezza percorso, 1000", "[curve]", "[fine]"});
    train_records({});
    read();
    expect_clean();
    EXPECT_EQ(state.last_cell(), 160);

    write_line({"[generale]", "-," + dashes + "-lunghezza percorso, 1000", "[curve]", "[fine]"});
    train_records({});
    read();
    // The length field was skipped, so the plan finds no route after the header.
    expect_fault(Fault::reading_failure, kLine, 3);
}

TEST_F(LineReader, TwoSeparatorFieldsAreSkippedBeforeARecordTheThirdIsTested) {
    line_records({"-,-,-pendenza,  100,  5"});
    train_records({});
    read();
    expect_clean();
    EXPECT_EQ(cell(5).gradientCode, 105);

    line_records({"-,-,-,-pendenza,  100,  5"});
    train_records({});
    read();
    expect_clean();
    EXPECT_EQ(cell(5).gradientCode, 100);
}

TEST_F(LineReader, BoundCheckAcceptsTheLastCellButOneHundredMetres) {
    struct Case {
        const char* kind;
        const char* values;
    };
    const Case kinds[] = {
        {"pendenza", ",  5"},
        {"curvad4", ",  10"},
        {"montagna", ",  104990,  1"},
        {"indicatori_vmax", ",  60,  70,  70,  0,  ,  ,  ,  0"},
        {"cartello_indicatore", ",   (FINE)"},
    };
    for (const auto& k : kinds) {
        for (const std::int32_t p : {104900, 104950}) {
            const std::string record = std::string(k.kind) + ",  " + std::to_string(p) + k.values;
            line_records({record, "pendenza,  200,  7"});
            train_records({"numero vetture,  3"});
            read();
            EXPECT_FALSE(texts_left()) << record;
            EXPECT_EQ(state.locations[entry::train].position, 3) << record;
            if (p == 104900) {
                EXPECT_EQ(state.errorNumber, 0) << record;
            } else {
                expect_fault_at(Fault::record_near_route_end, p, kLine, kFirstLineRecord);
                // The records end there: the gradient after it is not applied.
                EXPECT_EQ(cell(10).gradientCode, 100) << record;
            }
        }
    }
}

TEST_F(LineReader, GradientsFillTheCellsUpToTheirPositionRoundedHalfToEven) {
    line_records({"pendenza,  0,   5", "pendenza,  75,   7", "pendenza,  125,   -16",
                  "pendenza,  500,   200"});
    train_records({});
    read();
    expect_clean();
    // 75 and 125 both round to cell 2; the second record still writes one cell.
    EXPECT_EQ(cell(0).gradientCode, 105);
    EXPECT_EQ(cell(1).gradientCode, 105);
    EXPECT_EQ(cell(2).gradientCode, 107);
    EXPECT_EQ(cell(3).gradientCode, 84);
    EXPECT_EQ(cell(9).gradientCode, 84);
    EXPECT_EQ(cell(10).gradientCode, 44);  // 300 kept to its low 8 bits
    EXPECT_EQ(cell(2097).gradientCode, 44);
    for (const int c : {2098, 2099, 2100}) {
        EXPECT_EQ(cell(c).gradientCode, 0) << c;
    }
}

TEST_F(LineReader, GradientsAtOnePositionNeverFillPastTheLastCell) {
    std::vector<std::string> records(3000, "pendenza,  50,  1");
    line_records(records, 0);  // 140 cells
    train_records({});
    read();
    expect_clean();
    EXPECT_EQ(state.last_cell(), 140);
    EXPECT_EQ(cell(140).gradientCode, 101);
}

// The plan of a short route with one curve, worked out point by point.
TEST_F(LineReader, CurvesTurnThePlanStepByTheirCurvature) {
    line_records({"curvad4,  3,  2"}, 0);
    train_records({});
    read();
    expect_clean();
    const auto& x = state.plan.axis[0];
    const auto& y = state.plan.axis[1];
    ASSERT_EQ(state.plan.last_metre(), 7000);
    for (int m : {0, 1}) {
        EXPECT_EQ(x.tags[m], PlanTag::integer);
        EXPECT_EQ(y.tags[m], PlanTag::integer);
    }
    EXPECT_EQ(y.values[1], 1.0);
    EXPECT_EQ(x.values[2], 0.0);
    EXPECT_EQ(y.values[2], 2.0);
    EXPECT_EQ(y.values[3], 3.0);
    // Metre 4: step (0, 1) turned by 0.001.
    EXPECT_EQ(x.values[4], 0.001);
    EXPECT_EQ(y.values[4], 4.0);
    // Metre 5: step (0.001, 1).
    const double x5 = 0.001 + 0.001 + 0.001 * 1.0;
    const double y5 = 4.0 + 1.0 - 0.001 * 0.001;
    EXPECT_EQ(x.values[5], x5);
    EXPECT_EQ(y.values[5], y5);
    // Then straight on with the last step.
    const double dx = x5 - 0.001;
    const double dy = y5 - 4.0;
    EXPECT_EQ(x.values[6], x5 + dx);
    EXPECT_EQ(y.values[6], y5 + dy);
    for (int m = 2; m <= 6998; ++m) {
        ASSERT_EQ(x.tags[m], PlanTag::real) << m;
        ASSERT_EQ(y.tags[m], PlanTag::real) << m;
    }
    for (int m : {6999, 7000}) {
        EXPECT_EQ(x.tags[m], PlanTag::empty);
        EXPECT_EQ(y.tags[m], PlanTag::empty);
    }
}

// A longer curve, where the order of the sums shows in the last bits: the values were worked
// out in IEEE doubles apart from this program, in the order x(m-1) + dx + k dy and
// y(m-1) + dy - k dx.
TEST_F(LineReader, CurvePlanKeepsItsOrderOfSumsToTheLastBit) {
    line_records({"curvad4,  3,  40"}, 0);
    train_records({});
    read();
    expect_clean();
    const auto& x = state.plan.axis[0].values;
    const auto& y = state.plan.axis[1].values;
    EXPECT_EQ(x[20], 0x1.395675ae24770p-3);
    EXPECT_EQ(y[20], 0x1.3ffca85ef7c47p+4);
    EXPECT_EQ(x[43], 0x1.a3c9c45562feap-1);  // the curve's last metre
    EXPECT_EQ(y[43], 0x1.57ea2b7b99556p+5);
    EXPECT_EQ(x[50], 0x1.198e6e696ade0p+0);  // straight on after it
    EXPECT_EQ(y[50], 0x1.8fdefd34a9dfap+5);
}

TEST_F(LineReader, CurveHandAndClassComeFromTheKeyword) {
    struct Case {
        const char* keyword;
        double x4;
    };
    const Case cases[] = {{"curvad4", 0.001},   {"curvas4", -0.001}, {"curvad6", 0.003},
                          {"curvas3", -0.0004}, {"curva12", 0.0001}, {"CURVAS5", -0.002}};
    for (const auto& c : cases) {
        line_records({std::string(c.keyword) + ",  3,  1"}, 0);
        train_records({});
        read();
        expect_clean();
        EXPECT_EQ(state.plan.axis[0].values[4], c.x4) << c.keyword;
    }
}

TEST_F(LineReader, CurveWithoutClassDigitStopsWith103) {
    line_records({"pendenza, 0, 1", "curvad,  850,  500"});
    train_records({"numero vetture,  3"});
    read();
    expect_fault(Fault::curve_without_class, kLine, kFirstLineRecord + 1);
    EXPECT_FALSE(texts_left());
    EXPECT_EQ(state.locations[entry::train].position, 0);
}

TEST_F(LineReader, CurveReachingTheLastTwoMetresIsRefusedAtItsStart) {
    line_records({"curvad4,  6000,  998"}, 0);
    train_records({});
    read();
    expect_clean();
    EXPECT_EQ(state.plan.axis[0].tags[6998], PlanTag::real);

    line_records({"curvad4,  6000,  999", "pendenza, 100, 3"}, 0);
    train_records({});
    read();
    expect_fault_at(Fault::record_near_route_end, 6000, kLine, kFirstLineRecord);
    EXPECT_EQ(cell(3).gradientCode, 100);
    EXPECT_EQ(state.plan.axis[0].tags[6999], PlanTag::empty);
    EXPECT_EQ(state.plan.axis[0].tags[6998], PlanTag::real);  // straight to the end
}

TEST_F(LineReader, CurvePlanPastAMillionMetresStopsWith103) {
    line_records({"curvad4,  999990,  5"}, 1000000);
    train_records({});
    read();
    expect_clean();

    line_records({"curvad4,  999990,  20"}, 1000000);
    train_records({});
    read();
    expect_fault(Fault::curve_without_class, kLine, kFirstLineRecord);
    EXPECT_FALSE(texts_left());
}

TEST_F(LineReader, WithoutThePlanCurveValuesAreReadAsKeywordFields) {
    state.buildFlag = 0;
    line_records({"curvad,  850,  500", "curvad4,  104990,  9000", "pendenza,  100,  5"});
    train_records({});
    read();
    expect_clean();
    EXPECT_FALSE(state.plan.allocated());
    EXPECT_EQ(cell(3).gradientCode, 105);
}

TEST_F(LineReader, MountainSpansAndSpeedBoardsArePlacedByTheirHelpers) {
    line_records(
        {"montagna,   6400,  6700,  12", "indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0"});
    train_records({});
    read();
    expect_clean();
    EXPECT_EQ(cell(128).spanKind, 2);
    EXPECT_EQ(cell(133).spanKind, 2);
    EXPECT_EQ(cell(131).kind, cell_kind::mountain_marker);
    EXPECT_EQ(cell(23).kind, cell_kind::speed_board);
    EXPECT_EQ(cell(23).ref, 1200);
    EXPECT_EQ(cell(23).ref2, 1400);
}

TEST_F(LineReader, HelperFaultsStopWithTheRecordPosition) {
    std::vector<std::string> spans;
    for (int i = 0; i < 81; ++i) {
        spans.push_back("montagna,  " + std::to_string(i * 1000) + ",  " +
                        std::to_string(i * 1000 + 100) + ",  1");
    }
    line_records(spans);
    train_records({});
    read();
    expect_fault_at(Fault::too_many_mountain_spans, 80000, kLine, kFirstLineRecord + 80);
    EXPECT_FALSE(texts_left());

    line_records({"indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0",
                  "cartello_indicatore,  1100,   (X)",
                  "indicatori_vmax,  1100,  60,  ,  ,  ,  ,  ,  ,  0"});
    train_records({});
    read();
    // The board is refused at the taken cell before the second speed board is reached.
    expect_fault_at(Fault::sign_board_cell_taken, 1100, kLine, kFirstLineRecord + 1);

    line_records({"indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0",
                  "indicatori_vmax,  1100,  60,  ,  ,  ,  ,  ,  ,  0"});
    train_records({});
    read();
    expect_fault_at(Fault::speed_board_cell_taken, 1100, kLine, kFirstLineRecord + 1);
    EXPECT_FALSE(texts_left());
}

TEST_F(LineReader, SignBoardsTakeEntriesDownFromEightyAndTheirCellRefersToThem) {
    line_records({"montagna,   2100,  2500,  11", "cartello_indicatore,  2200,   (INIZIO VIADOTTO)",
                  "cartello_indicatore,  2950,   (PASSAGGIO)(A LIVELLO)", "cartello,  4400,  (X)"});
    train_records({});
    read();
    expect_clean();
    // 2200 lands on the span's marker cell, which a board may take.
    EXPECT_EQ(cell(45).kind, cell_kind::sign_board);
    EXPECT_EQ(cell(45).ref, 80);
    EXPECT_EQ(cell(45).spanKind, 1);
    EXPECT_EQ(state.locations[80].name, "(INIZIO VIADOTTO)");
    EXPECT_EQ(cell(60).ref, 79);
    EXPECT_EQ(state.locations[79].name, "(PASSAGGIO)(A LIVELLO)");
    // "cartello" alone is no sign board.
    EXPECT_EQ(cell(89).kind, 0);
    EXPECT_EQ(state.locations[78].name, "");
}

TEST_F(LineReader, SignBoardOnATakenCellStopsWith6) {
    line_records({"indicatori_vmax,  2200,  60,  70,  70,  0,  ,  ,  ,  0",
                  "cartello_indicatore,  2200,   (FINE)", "pendenza,  500,  9"});
    train_records({});
    read();
    expect_fault_at(Fault::sign_board_cell_taken, 2200, kLine, kFirstLineRecord + 1);
    EXPECT_EQ(cell(45).kind, cell_kind::speed_board);
    EXPECT_FALSE(texts_left());
}

TEST_F(LineReader, SignBoardsBeyondTheEightiethHaveNoEntryAndStop) {
    std::vector<std::string> boards;
    for (int i = 0; i < 1000; ++i) {
        boards.push_back("cartello_indicatore,  " + std::to_string(100 + i * 100) + ",   (B" +
                         std::to_string(i) + ")");
    }
    line_records(boards);
    train_records({});
    read();
    expect_fault_at(Fault::sign_board_table_full, 8100, kLine, kFirstLineRecord + 80);
    EXPECT_EQ(state.locations[1].name, "(B79)");
    EXPECT_EQ(state.locations[0], LocationEntry{});
    EXPECT_EQ(cell(163).kind, 0);  // the board at 8100
    EXPECT_FALSE(texts_left());
}

TEST_F(LineReader, SignBoardBeforeTheStartOfTheRouteIsRefused) {
    line_records({"cartello_indicatore,  -100,   (X)"});
    train_records({});
    read();
    expect_fault_at(Fault::sign_board_cell_taken, -100, kLine, kFirstLineRecord);
}

TEST_F(LineReader, RecordsBeforeAnyRouteLengthAreAReadingFailure) {
    state.buildFlag = 0;
    write_line({"[generale]", "sfondo uno,  3", "[curve]", "pendenza,  100,  5", "[fine]"});
    train_records({});
    read();
    expect_fault(Fault::reading_failure, kLine, 4);
    EXPECT_FALSE(texts_left());
}

TEST_F(LineReader, HostileTextsRecordAFaultAndNeverCrash) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        std::string text;
        std::int32_t fault;  // 0: none
        std::int32_t line;
        std::int32_t column;  // of the failing field; the end of the line for a value missing
    };
    const std::string general = text_of(line_general());
    constexpr auto kReading = number_of(Fault::reading_failure);
    const Case cases[] = {
        {"cut short at the end", general + "pendenza,  100,", kReading, kFirstLineRecord, 16},
        {"a value missing", general + "pendenza,  100\r\n[fine]\r\n", kReading, kFirstLineRecord,
         15},
        {"an overflowing value", general + "pendenza,  9999999999,  3\r\n[fine]\r\n", kReading,
         kFirstLineRecord, 12},
        {"a word for a number", general + "montagna,  100,  abc,  1\r\n[fine]\r\n", kReading,
         kFirstLineRecord, 18},
        {"a board text too long to keep",
         general + "cartello_indicatore,  100,  " + std::string(70000, 'X') + "\r\n[fine]\r\n",
         kReading, kFirstLineRecord, 29},
        {"a board speed too high for its field",
         general + "indicatori_vmax,  1100,  2000,  ,  ,  ,  ,  ,  ,  0\r\n[fine]\r\n", kReading,
         kFirstLineRecord, 19},
        {"commas alone", std::string(100000, ','), number_of(Fault::no_general_section), 0, 0},
        // Without a header after the general lines the records are read as general lines,
        // which they match none of, up to "[fine]".
        {"no header after the general lines",
         text_of({"[generale]", "lunghezza percorso,  1000", "pendenza,  100,  5", "[fine]"}), 0, 0,
         0},
        {"one endless separator", "[generale]\r\n" + std::string(5000, '-'), kReading, 2, 1},
        {"zero bytes", "[generale]\r\nlunghezza percorso, 50\r\n[curve]\r\n\0\0\0\r\n[fine]\r\n"s,
         0, 0, 0},
    };
    for (const auto& c : cases) {
        files::replace_file(line_path(), c.text);
        train_records({});
        read();
        EXPECT_EQ(state.errorNumber, c.fault) << c.what;
        EXPECT_EQ(state.errorSite.line, c.line) << c.what;
        EXPECT_EQ(state.errorSite.column, c.column) << c.what;
        EXPECT_FALSE(texts_left()) << c.what;
    }
}

}  // namespace
}  // namespace scenario::compiler::testing
