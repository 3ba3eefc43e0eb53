#include "compiler/readers/memorizza_dati.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/memorizza_percorso.h"
#include "reader_fixture.h"

namespace scenario::compiler::testing {
namespace {

using ReadingBothTexts = ReaderTest;

TEST_F(ReadingBothTexts, EveryFaultOfTheLineTextRemovesBothTexts) {
    struct Case {
        const char* what;
        std::vector<std::string> line_text;
        Fault fault;
    };
    const auto general = line_general();
    const Case cases[] = {
        {"no general section", {"[curve]", "[fine]"}, Fault::no_general_section},
        {"a route too long", with({"[generale]", "lunghezza percorso,  1000001"}, {"[fine]"}),
         Fault::route_too_long},
        {"a curve without class", with(general, {"curvad,  850,  500", "[fine]"}),
         Fault::curve_without_class},
        {"a board on a taken cell",
         with(general,
              {"cartello_indicatore,  100,  (A)", "cartello_indicatore,  100,  (B)", "[fine]"}),
         Fault::sign_board_cell_taken},
        {"a value too wide", with(general, {"pendenza,  100,  99999999999", "[fine]"}),
         Fault::reading_failure},
    };
    for (const auto& c : cases) {
        write_line(c.line_text);
        train_records({"numero vetture,  3"});
        read();
        EXPECT_EQ(state.errorNumber, number_of(c.fault)) << c.what;
        EXPECT_EQ(state.errorSite.source, ErrorSource::line_text) << c.what;
        EXPECT_FALSE(texts_left()) << c.what;
        EXPECT_EQ(state.locations[entry::train].position, 0) << c.what;
    }
}

TEST_F(ReadingBothTexts, WithoutALineTextNothingIsReadAndTheTrainTextGoesToo) {
    train_records({});
    read();
    expect_fault(Fault::line_text_missing, ErrorSource::line_text, 0);
    EXPECT_FALSE(texts_left());
    EXPECT_FALSE(state.has_cells());
    EXPECT_EQ(state.locations[entry::scenery].name, "A - B");
    EXPECT_EQ(state.locations[entry::repetition].name, "R00001");
}

TEST_F(ReadingBothTexts, AMissingOrUnreadableTrainTextIsAReadingFailure) {
    line_records({"pendenza,  100,  5"});
    read();
    expect_fault(Fault::reading_failure, ErrorSource::train_text, 0);
    EXPECT_FALSE(texts_left());
    // The line text was read whole before.
    EXPECT_EQ(cell(5).gradientCode, 105);

    line_records({});
    std::filesystem::create_directory(train_path());
    read();
    expect_fault(Fault::reading_failure, ErrorSource::train_text, 0);
    EXPECT_FALSE(texts_left());
}

TEST_F(ReadingBothTexts, AnUnreadableLineTextIsAReadingFailure) {
    std::filesystem::create_directory(line_path());
    train_records({});
    read();
    expect_fault(Fault::reading_failure, ErrorSource::line_text, 0);
    EXPECT_FALSE(texts_left());
}

TEST_F(ReadingBothTexts, CellsOfAnEarlierBuildAreNeverUsed) {
    state.cells.resize(3000);
    state.stationCount = 7;
    state.buildFlag = 0;
    write_line({"[generale]", "[curve]", "pendenza,  100,  5", "[fine]"});
    train_records({});
    read();
    expect_fault(Fault::reading_failure, ErrorSource::line_text, 3);
    EXPECT_FALSE(state.has_cells());
    EXPECT_EQ(state.stationCount, 0);
}

TEST_F(ReadingBothTexts, LoneLineFeedsReadAsCrLf) {
    const auto line_lines =
        with(line_general(),
             {"curvas5,  2200,  400", "pendenza,  8450,   29", "montagna,   6400,  6700,  12",
              "cartello_indicatore,  2950,   (PASSAGGIO)(A LIVELLO)", "[fine]"});
    const auto train_lines =
        with(train_general(), {"aderenza,   0,    100", "velocita,       0,    60",
                               station_line(400, 4, 800, 0, 0, "PARTENZA - ARRIVO"),
                               "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0", "[fine]"});
    write_line(line_lines);
    write_train(train_lines);
    read();
    expect_clean();
    const BuildState with_cr_lf = state;
    EXPECT_EQ(with_cr_lf.locations[1].name, "PARTENZA - ARRIVO");

    files::replace_file(line_path(), text_of(line_lines, "\n"));
    files::replace_file(train_path(), text_of(train_lines, "\n"));
    read();
    expect_clean();
    EXPECT_EQ(state.cells, with_cr_lf.cells);
    EXPECT_EQ(state.locations, with_cr_lf.locations);
    EXPECT_EQ(state.plan, with_cr_lf.plan);
}

TEST_F(ReadingBothTexts, AMillionMetreRouteReadsWholeWithItsPlan) {
    line_records({"curvad4,  500000,  800", "pendenza,  999000,  3"}, 1000000);
    train_records({"velocita,  0,  90", station_line(999000, 4, 400)});
    read();
    expect_clean();
    EXPECT_EQ(state.last_cell(), 20140);
    const auto& x = state.plan.axis[0];
    EXPECT_EQ(x.tags[1006998], PlanTag::real);
    EXPECT_EQ(x.tags[1006999], PlanTag::empty);
    EXPECT_EQ(cell(20137).gradientCode, 103);
    EXPECT_EQ(cell(20137).speedStep, 18);
    EXPECT_EQ(state.stationCount, 1);
}

TEST_F(ReadingBothTexts, TheBuildGoesOnToWriteTheCompactFilesAfterAFault) {
    line_records({});
    train_records({station_line(425, 4, 200)});
    const auto result = memorizza_percorso(state, dir.path(), 1);
    EXPECT_EQ(result.fatalError, 0);
    expect_fault_at(Fault::station_off_grid, 425, ErrorSource::train_text, kFirstTrainRecord);
    EXPECT_FALSE(texts_left());
    for (const auto& name :
         {files::scenario_file_name("A - B", "R00001"), files::cell_file_name("A - B", "R00001"),
          files::line_binary_name("A - B")}) {
        EXPECT_TRUE(std::filesystem::exists(dir.path() / name)) << name;
    }
}

}  // namespace
}  // namespace scenario::compiler::testing
