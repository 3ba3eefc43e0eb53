#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "compiler/compile.h"
#include "limits/dense_line.h"
#include "running_time/fastest_run.h"
#include "running_time/line_profile.h"
#include "sources/content_table.h"
#include "sources/scenario_names.h"
#include "sources/writers.h"

// The profile the build lays out for the built-in texts and for the dense line, and the runs
// along them.
namespace scenario::running_time {
namespace {

compiler::BuildState compiled(const std::string& line, const std::string& train) {
    compiler::CompileInput input;
    input.line_text = compiler::SourceText::of(line);
    input.train_text = compiler::SourceText::of(train);
    input.LineTitle = sources::kLineTitle;
    input.TrainCode = sources::kTrainCode;
    compiler::BuildState state;
    const auto output = compiler::compile_scenario(state, input);
    EXPECT_EQ(state.errorNumber, 0);
    EXPECT_EQ(output.fatal, compiler::FatalOutcome::none);
    return state;
}

const LineProfile& built_in() {
    static const LineProfile profile = [] {
        const std::string line =
            sources::render(sources::content_table(sources::line_description_lines()));
        const std::string train =
            sources::render(sources::content_table(sources::train_service_lines()));
        return line_profile_of(compiled(line, train));
    }();
    return profile;
}

TEST(BuiltInProfile, HoldsWhatTheBuildLaidOut) {
    const auto& p = built_in();
    ASSERT_EQ(p.limit_kmh.size(), 2101u);
    EXPECT_EQ(p.limit_kmh[0], 60);             // velocita 0, 60
    EXPECT_EQ(p.limit_kmh[22], 70);            // velocita 1100, 70
    EXPECT_EQ(p.limit_kmh[910], 90);           // velocita 45300, 90
    EXPECT_EQ(p.gradient_permille[169], 29);   // pendenza 8450, 29
    EXPECT_EQ(p.gradient_permille[182], -20);  // pendenza 9100, -20
    // rallentamento 71200, 40 over 300 m: boards on cells 1425 and 1431.
    ASSERT_EQ(p.slowdowns.size(), 1u);
    EXPECT_EQ(p.slowdowns[0].first_cell, 1425);
    EXPECT_EQ(p.slowdowns[0].last_cell, 1431);
    EXPECT_EQ(p.slowdowns[0].kmh, 40);
    EXPECT_EQ(p.coaches, 5);
    EXPECT_EQ(p.braked_mass_percent, 100);
    ASSERT_EQ(p.stations.size(), 24u);
    EXPECT_EQ(p.stations[0].name, "MORENA LAGO");
    EXPECT_EQ(p.stations[0].zoneEnd, 800);
    EXPECT_EQ(p.stations[0].time, (6 * 60 + 37) * 60);
    EXPECT_FALSE(p.stations[1].time);  // RIVA BELLA, passed
    EXPECT_FALSE(p.stations[1].stops());
    EXPECT_EQ(p.stations[2].zoneEnd, 7700);  // CASTELLETTO LAGO: 7500 + 150 + 50
    EXPECT_EQ(p.stations[2].dwell, 90);
}

TEST(BuiltInRun, RunsEveryStationAndKeepsTheSlowdown) {
    const auto& p = built_in();
    const auto run = fastest_run(p, {});
    ASSERT_TRUE(run.computed()) << run.issues.front().message;
    EXPECT_TRUE(run.issues.empty()) << run.issues.front().message;
    ASSERT_EQ(run.stations.size(), 24u);
    EXPECT_EQ(run.train.coaches, 5);
    EXPECT_NEAR(run.train.length, 16 + 5 * 26.4, 1e-9);
    // Times are departures: from 06:37 to 06:48, the 90 s at CASTELLETTO LAGO included.
    const auto& castelletto = run.stations[2];
    EXPECT_EQ(castelletto.scheduled, 11 * 60);
    EXPECT_GT(*castelletto.fastest, castelletto.departure - castelletto.arrival);
    EXPECT_DOUBLE_EQ(castelletto.departure - castelletto.arrival, 90);
    EXPECT_EQ(run.stations.back().scheduled, 8 * 60);  // PIEVE DI VALSO 8:26 to 8:34
    EXPECT_EQ(run.totals.scheduled, (8 * 60 + 34 - 6 * 60 - 37) * 60);
    EXPECT_DOUBLE_EQ(run.totals.distance, 95500 - 800);
    // No point of the curve runs faster than 40 km/h while the train is on the slowdown,
    // from its start board's cell to where the tail leaves the end board's.
    const double tail_clear = 71600 + run.train.length;
    for (const auto& point : run.curve) {
        if (point.metre >= 71250 && point.metre <= tail_clear) {
            EXPECT_LE(point.kmh, 40 + 1e-3) << point.metre;
        }
        EXPECT_LE(point.kmh, 90 + 0.5) << point.metre;
    }
    EXPECT_LE(run.curve.size(), 4000u);
    EXPECT_EQ(run.curve.front().metre, 800);
    EXPECT_EQ(run.curve.back().metre, 95500);
}

TEST(DenseLineRun, FitsItsCurveIntoAFewThousandPoints) {
    const auto line = testing::dense_line(testing::kLongestRoute);
    const auto profile = line_profile_of(compiled(line.line_text, line.train_text));
    const auto run = fastest_run(profile, {});
    ASSERT_TRUE(run.computed()) << run.issues.front().message;
    EXPECT_EQ(run.stations.size(), static_cast<std::size_t>(testing::kDenseStations));
    EXPECT_LE(run.curve.size(), 4000u);
    EXPECT_GT(run.curve.size(), 1000u);
    EXPECT_GT(run.totals.top_speed, 100);
}

}  // namespace
}  // namespace scenario::running_time
