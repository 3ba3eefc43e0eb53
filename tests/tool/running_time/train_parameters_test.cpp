#include "running_time/train_parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace scenario::running_time {
namespace {

TEST(TrainParameters, DefaultTrainMeetsAFewPerMilleOfResistanceAt90) {
    const auto t = resolve_train({}, 5, 100).train;
    const double v = 25;
    const double share =
        (t.resistance_a + t.resistance_b * v + t.resistance_c * v * v) / (t.mass * 9.81);
    EXPECT_GT(share, 0.003);
    EXPECT_LT(share, 0.006);
}

TEST(TrainParameters, BrakingScalesWithTheBrakedMassAndOverridesWin) {
    TrainParameters p;
    EXPECT_NEAR(resolve_train(p, 5, 150).train.braking, 0.75, 1e-12);
    p.braked_mass_percent = 80;
    p.coaches = 8;
    const auto r = resolve_train(p, 5, 150);
    EXPECT_NEAR(r.train.braking, 0.4, 1e-12);
    EXPECT_EQ(r.train.coaches, 8);
}

TEST(TrainParameters, EveryRowRefusesValuesOutOfItsRangeByName) {
    std::set<std::string> keys;
    for (const auto& row : train_parameter_table()) {
        EXPECT_TRUE(keys.insert(std::string(row.key)).second) << row.key;
        TrainParameters p;
        const double good = p.*row.member;
        EXPECT_TRUE(resolve_train(p, 5, 100).problems.empty()) << row.key << " " << good;
        for (const double bad : {row.lowest - 1, std::nan(""), row.highest * 2 + 1}) {
            if (std::isinf(bad)) {
                continue;
            }
            p.*row.member = bad;
            const auto r = resolve_train(p, 5, 100);
            ASSERT_EQ(r.problems.size(), 1u) << row.key << " " << bad;
            EXPECT_NE(r.problems[0].find("(" + std::string(row.key) + ")"), std::string::npos);
        }
    }
    EXPECT_FALSE(resolve_train({}, -1, 100).problems.empty());
    EXPECT_FALSE(resolve_train({}, 41, 100).problems.empty());
}

}  // namespace
}  // namespace scenario::running_time
