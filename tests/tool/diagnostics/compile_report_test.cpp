#include "diagnostics/compile_report.h"

#include <gtest/gtest.h>

#include <string>

#include "compiler/model/diagnostic_catalogue.h"

namespace scenario::tool {
namespace {

using compiler::BuildState;
using compiler::ErrorSource;
using compiler::Fault;

const TextNames kNames{"my/line.txt", "my/train.txt"};

BuildState faulty(Fault fault, std::int32_t position, ErrorSource source, std::int32_t line,
                  std::int32_t cell = -1) {
    BuildState state;
    state.errorNumber = number_of(fault);
    state.errorPosition = position;
    state.errorSite = compiler::ErrorSite::in_text(source, line);
    state.errorSite.cell = cell;
    return state;
}

// "error N" of a diagnostic line, N the fault's number.
std::string error_of(Fault fault) {
    return "error " + std::to_string(number_of(fault));
}

compiler::CompileOutput placed(std::int32_t code_points) {
    compiler::CompileOutput output;
    output.codePointsPlaced = code_points;
    output.files.emplace();
    return output;
}

compiler::CompileOutput ended_by(compiler::FatalOutcome outcome) {
    compiler::CompileOutput output;
    output.fatal = outcome;
    return output;
}

TEST(CompileReport, NamesTheTextAndLineOfTheRecordThatRaisedTheFault) {
    struct Case {
        BuildState state;
        std::string expected;
    };
    const std::vector<Case> cases{
        {faulty(Fault::signal_cell_taken, 1850, ErrorSource::train_text, 87),
         "my/train.txt:87: " + error_of(Fault::signal_cell_taken) +
             ": a signal lands on a cell that is already taken (position 1850 m)"},
        {faulty(Fault::sign_board_cell_taken, 2200, ErrorSource::line_text, 170),
         "my/line.txt:170: " + error_of(Fault::sign_board_cell_taken) +
             ": a sign board lands on a cell that is already taken (position 2200 m)"},
        // No position goes with this fault, whatever errorPosition holds from before.
        {faulty(Fault::repetition_start_off_grid, 777, ErrorSource::line_text, 8),
         "my/line.txt:8: " + error_of(Fault::repetition_start_off_grid) +
             ": the first value of the signal-repetition line is not a multiple of 50"},
        {faulty(Fault::no_code_point_cell_before_slowdown, 71250, ErrorSource::signalling, 0, 1425),
         "my/train.txt: " + error_of(Fault::no_code_point_cell_before_slowdown) +
             ": no free cell for a code point in one of the windows before a slowdown start "
             "(cell 1425, position 71250 m)"},
        {faulty(Fault::kilometric_range_off_grid, 0, ErrorSource::none, 0),
         "scenario-tool: " + error_of(Fault::kilometric_range_off_grid) +
             ": a kilometric range has a start or kilometric value that is not a multiple of 50"},
    };
    for (const auto& c : cases) {
        const auto report = make_report(c.state, {}, kNames);
        EXPECT_EQ(report.outcome, CompileOutcome::recorded_fault);
        EXPECT_EQ(diagnostic_line(report), c.expected);
    }
}

TEST(CompileReport, ACleanCompileHasNoDiagnosticAndCountsTheResult) {
    BuildState state;
    state.locations[compiler::entry::train].zoneEnd = 98000;
    state.cells.resize(2101);
    state.cells[38].kind = compiler::cell_kind::signal;
    state.cells[50].kind = compiler::cell_kind::signal;
    state.stationCount = 24;
    const auto report = make_report(state, placed(9), kNames);
    EXPECT_EQ(report.outcome, CompileOutcome::clean);
    EXPECT_EQ(diagnostic_line(report), "");
    EXPECT_EQ(summary_line(report),
              "route 98000 m, 2101 cells, 24 stations, 2 signals, 9 code points placed by the "
              "signalling pass");
}

TEST(CompileReport, AReservedPlaceInUseIsRefusedWithoutAPosition) {
    auto state = faulty(Fault::signal_cell_taken, 1850, ErrorSource::train_text, 87);
    const auto report =
        make_report(state, ended_by(compiler::FatalOutcome::format_markers_in_use), kNames);
    EXPECT_EQ(report.outcome, CompileOutcome::refused);
    EXPECT_EQ(report.errorNumber, number_of(Fault::format_markers_in_use));
    EXPECT_EQ(report.errorPosition, std::nullopt);
    EXPECT_EQ(report.file, std::nullopt);
    EXPECT_TRUE(diagnostic_line(report).starts_with(
        "scenario-tool: " + error_of(Fault::format_markers_in_use) + ": "));
}

TEST(CompileReport, JsonCarriesTheFaultAndTheCounts) {
    auto report =
        make_report(faulty(Fault::station_off_grid, 1525, ErrorSource::train_text, 40), {}, kNames);
    report.written = {"A_linea.dat"};
    const auto json = report_json(report);
    const auto error_number =
        R"("errorNumber":)" + std::to_string(number_of(Fault::station_off_grid));
    EXPECT_NE(json.find(error_number), std::string::npos) << error_number << " in " << json;
    for (const auto* part : {R"("outcome":"fault")", R"("errorPosition":1525)",
                             R"("file":"my/train.txt")", R"("line":40)", R"("cell":null)",
                             R"("message":"a station position is not a multiple of 50")",
                             R"("written":["A_linea.dat"])"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << " in " << json;
    }
}

}  // namespace
}  // namespace scenario::tool
