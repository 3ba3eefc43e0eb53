// The plan of the longest route bends up to metre 1000000 and no further; every point is the
// step before it turned by the curve, summed in the order the line binary file is made with.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "compiler/memorizza_percorso.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "files/file_names.h"
#include "files/replace_file.h"
#include "support/run_program.h"

namespace scenario::testing {
namespace {

using compiler::Fault;
using compiler::PlanTag;

// The plan recomputed point by point from the table itself, as the recurrence reads; a curve
// from metre s over l metres bends points s + 1 to s + l.
void expect_plan_follows_the_recurrence(const compiler::PathPoints& plan, std::int64_t last,
                                        std::int64_t curve_from, std::int64_t curve_to, double k) {
    const auto& x = plan.axis[0].values;
    const auto& y = plan.axis[1].values;
    std::int64_t wrong = 0;
    for (std::int64_t m = 2; m <= last; ++m) {
        const auto i = static_cast<std::size_t>(m);
        const double dx = x[i - 1] - x[i - 2];
        const double dy = y[i - 1] - y[i - 2];
        const bool bends = m >= curve_from && m <= curve_to;
        const double xm = bends ? x[i - 1] + dx + k * dy : x[i - 1] + dx;
        const double ym = bends ? y[i - 1] + dy - k * dx : y[i - 1] + dy;
        if (xm != x[i] || ym != y[i] || plan.axis[0].tags[i] != PlanTag::real) {
            ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
}

void compile(const std::string& line, compiler::BuildState& state) {
    TempDir dir;
    files::replace_file(files::full_path(dir.path(), files::line_text_name("L")), line);
    files::replace_file(files::full_path(dir.path(), files::train_text_name("L", "T")),
                        std::string_view("[generale]\r\n[fine]\r\n"));
    state.LineTitle = "L";
    state.TrainCode = "T";
    compiler::memorizza_percorso(state, dir.path(), 1);
}

TEST(PlanAtTheLimit, ACurveUpToMetre999999BendsTheLastMetresAndTheRunOutGoesStraight) {
    compiler::BuildState state;
    compile(
        "[generale]\r\nlunghezza percorso,    1000000\r\n[curve]\r\ncurvad6,  998000,  1999\r\n"
        "curvas5,  999999,  0\r\n[fine]\r\n",
        state);
    EXPECT_EQ(state.errorNumber, 0);
    const auto last = state.plan.last_metre() - 2;
    ASSERT_EQ(last, 1006998);
    expect_plan_follows_the_recurrence(state.plan, last, 998001, 999999, 0.003);
    EXPECT_EQ(state.plan.axis[0].tags[1006999], PlanTag::empty);
    EXPECT_EQ(state.plan.axis[1].tags[1007000], PlanTag::empty);
}

TEST(PlanAtTheLimit, ACurvePastMetre1000000Records103WithThePlanComputedUpToIt) {
    compiler::BuildState state;
    compile(
        "[generale]\r\nlunghezza percorso,    1000000\r\n[curve]\r\ncurvas4,  999000,  2000\r\n"
        "[fine]\r\n",
        state);
    EXPECT_EQ(state.errorNumber, number_of(Fault::curve_without_class));
    expect_plan_follows_the_recurrence(state.plan, 1000000, 999001, 1001000, -0.001);
    // The reading stopped there: the run-out was never laid.
    EXPECT_EQ(state.plan.axis[0].tags[1000001], PlanTag::empty);
    EXPECT_EQ(state.plan.axis[1].tags[1006998], PlanTag::empty);
}

TEST(PlanAtTheLimit, AStraightRunToACurveBeyondTheLimitAlsoStopsAtMetre1000000) {
    compiler::BuildState state;
    compile(
        "[generale]\r\nlunghezza percorso,    1000000\r\n[curve]\r\ncurvad1,  1003000,  100\r\n"
        "[fine]\r\n",
        state);
    EXPECT_EQ(state.errorNumber, number_of(Fault::curve_without_class));
    expect_plan_follows_the_recurrence(state.plan, 1000000, 0, -1, 0);
    EXPECT_EQ(state.plan.axis[0].tags[1000001], PlanTag::empty);
}

}  // namespace
}  // namespace scenario::testing
