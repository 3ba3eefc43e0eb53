#include "running_time/fastest_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "running_time/speed_profile.h"
#include "textbook_line.h"

// The fastest run against the textbook's formulas. On the 1 m grid a constant acceleration is
// exact at every metre (v² grows linearly) and so is the time of a metre (1 m over the mean of
// its end speeds); what the grid loses is the metre where acceleration meets braking, and a
// tail that clears a limit between two metres. So the tolerance is the time of one metre at the
// slowest speed that matters, 1 m / v, unless a case states another.
namespace scenario::running_time {
namespace {

using testing::add_passed;
using testing::add_stop;
using testing::kG;
using testing::level_line;
using testing::textbook_train;
using testing::with_length;

double run_time(const LineProfile& line, const TrainParameters& train) {
    const auto run = fastest_run(line, train);
    EXPECT_TRUE(run.computed()) << (run.issues.empty() ? "" : run.issues.front().message);
    return run.totals.running_time;
}

struct OpenLineCase {
    const char* name;
    double kmh, a, b, distance;
};

TEST(FastestRun, LevelLineTakesTheTextbookTime) {
    const OpenLineCase cases[] = {
        {"reaches its limit", 72, 0.5, 0.5, 5000},
        {"brakes harder than it accelerates", 90, 0.4, 0.8, 3000},
        {"never reaches its limit", 90, 0.5, 0.5, 300},
        {"short and uneven", 120, 0.3, 0.9, 800},
    };
    for (const auto& c : cases) {
        auto line = level_line(400, static_cast<std::int32_t>(c.kmh));
        add_stop(line, 1000);
        add_stop(line, 1000 + static_cast<std::int32_t>(c.distance));
        const double v = c.kmh / 3.6;
        const double peak = std::sqrt(2 * c.a * c.b * c.distance / (c.a + c.b));
        double expected = 0;
        double slowest = v;
        if (peak >= v) {
            expected = c.distance / v + v / (2 * c.a) + v / (2 * c.b);
        } else {
            expected = peak / c.a + peak / c.b;
            slowest = peak;
        }
        const auto run = fastest_run(line, textbook_train(c.a, c.b));
        ASSERT_TRUE(run.computed()) << c.name;
        EXPECT_NEAR(run.totals.running_time, expected, 1.0 / slowest) << c.name;
        // The top speed lies within the last metre's gain of v² below the peak.
        const double top = std::min(v, peak);
        EXPECT_NEAR(run.totals.top_speed / 3.6, top, c.a / top + 1e-9) << c.name;
    }
}

TEST(FastestRun, PowerLimitsTheAccelerationAboveTheSpeedWhereItBinds) {
    // Above v_c = P / (M a_max) the power alone accelerates: d(v³)/ds = 3 P / M. From rest to
    // V then takes v_c² / (2 a) + M (V³ - v_c³) / (3 P) metres and v_c / a + M (V² - v_c²) /
    // (2 P) seconds. Taking a at each metre's start errs by less than 0.1 % here.
    const double a = 0.5;
    const double v = 30;
    auto train = textbook_train(a, 0.5);
    train.power = 2000;  // kW
    train.locomotive_mass = 400;
    const double mass = train.locomotive_mass * 1000;
    const double power = train.power * 1000;
    const double vc = power / (mass * a);
    ASSERT_LT(vc, v);
    const double run_up = vc * vc / (2 * a) + mass * (v * v * v - vc * vc * vc) / (3 * power);
    const double run_up_time = vc / a + mass * (v * v - vc * vc) / (2 * power);
    const double distance = 20000;
    auto line = level_line(500, 108);
    add_stop(line, 1000);
    add_stop(line, 1000 + static_cast<std::int32_t>(distance));
    const double expected = run_up_time + (distance - run_up - v * v / (2 * 0.5)) / v + v / 0.5;
    EXPECT_NEAR(run_time(line, train), expected, 1e-3 * expected);
}

TEST(FastestRun, ClimbsAndCurvesPullOnTheMassAndOnlyTheGradeActsOnTheBrake) {
    // A climb i slows acceleration by g i / k and speeds braking by as much (k the rotating
    // masses: a_max caps the traction itself). A curve resists like a climb of 650 / (R - 55)
    // per mille (380 m: 2 per mille) and does not help the brake. On a uniform line the mean
    // over the train's length is the grade itself.
    struct Case {
        std::int32_t grade;
        double radius, curve, k, length;
    } const cases[] = {{10, 0, 0, 1, 0},    {-10, 0, 0, 1, 120}, {25, 0, 0, 1, 0},
                       {-30, 0, 0, 1, 0},   {20, 0, 0, 1.1, 0},  {0, 380, 2, 1, 0},
                       {10, 380, 2, 1, 120}};
    const double a = 0.5, b = 0.5, v = 20, distance = 6000;
    for (const auto& c : cases) {
        auto line = level_line(300, 72);
        line.gradient_permille.assign(line.gradient_permille.size(), c.grade);
        if (c.radius > 0) {
            line.curves.push_back({0, 15000, c.radius});
        }
        add_stop(line, 1000);
        add_stop(line, 1000 + static_cast<std::int32_t>(distance));
        auto train = with_length(textbook_train(a, b), c.length);
        train.rotating_mass = c.k;
        train.curve_resistance = true;
        const double pull = kG * (c.grade + c.curve) / 1000 / c.k;
        const double help = kG * c.grade / 1000 / c.k;
        const double expected = distance / v + v / (2 * (a - pull)) + v / (2 * (b + help));
        EXPECT_NEAR(run_time(line, train), expected, 1.0 / v) << c.grade << " " << c.radius;
    }
}

// A limit V2 over cells [c0, c1] of a line limited to V1, between stops at 1000 and 11000.
struct MiddleLimit {
    std::int32_t c0, c1, v1, v2;
    LineProfile line(bool as_slowdown) const {
        auto l = level_line(400, v1);
        if (as_slowdown) {
            l.slowdowns.push_back({c0, c1, v2});
        } else {
            for (std::int32_t c = c0; c <= c1; ++c) {
                l.limit_kmh[static_cast<std::size_t>(c)] = v2;
            }
        }
        add_stop(l, 1000);
        add_stop(l, 11000);
        return l;
    }
    // Accelerate to V1, brake to V2 by the limit's start, hold V2 until the tail has left the
    // limit, accelerate to V1, brake to the stop; cruise at V1 in between.
    double time(double a, double b, double length) const {
        const double u = v1 / 3.6, w = v2 / 3.6;
        const double start = 50.0 * c0, end = 50.0 * (c1 + 1) + length;
        const double ramps = u * u / (2 * a) + (u * u - w * w) / (2 * b) +
                             (u * u - w * w) / (2 * a) + u * u / (2 * b);
        const double cruise = 10000 - ramps - (end - start);
        return u / a + (u - w) / b + (end - start) / w + (u - w) / a + u / b + cruise / u;
    }
};

TEST(FastestRun, LowerLimitInTheMiddleIsMetAtItsStartAndLeftByTheTail) {
    const MiddleLimit limit{100, 119, 90, 36};  // metres 5000 to 6000
    const double a = 0.4, b = 0.6;
    for (const bool slowdown : {false, true}) {
        for (const double length : {0.0, 16 + 5 * 26.4, 250.0}) {
            const auto train = with_length(textbook_train(a, b), length);
            const double t = run_time(limit.line(slowdown), train);
            EXPECT_NEAR(t, limit.time(a, b, length), 1.0 / 10) << slowdown << " " << length;
        }
    }
    // The cleared point moves by the train's length: L metres more at V2 and fewer at V1.
    const double short_train = run_time(limit.line(false), textbook_train(a, b));
    const double long_train = run_time(limit.line(false), with_length(textbook_train(a, b), 200));
    EXPECT_NEAR(long_train - short_train, 200 * (1 / 10.0 - 1 / 25.0), 1e-6);
}

TEST(FastestRun, SpeedsMeetTheLowerLimitAtItsStartAndRiseOnlyAfterTheTailLeavesIt) {
    const MiddleLimit limit{100, 119, 90, 36};
    for (const std::int32_t length : {0, 150}) {
        const auto train = with_length(textbook_train(0.4, 0.6), length);
        const auto line = limit.line(true);
        const auto resolved = resolve_train(train, 5, 100).train;
        TrackTerms track;
        for (std::size_t c = 0; c < line.limit_kmh.size(); ++c) {
            const bool inside = c >= 100 && c <= 119;
            track.limit.push_back((inside ? 36 : 90) / 3.6);
        }
        track.gradient = line.gradient_permille;
        SpeedProfiler profiler(track, resolved);
        std::vector<double> v(10001);
        ASSERT_FALSE(profiler.leg(1000, 11000, v));
        const auto at = [&](std::int32_t metre) {
            return v[static_cast<std::size_t>(metre - 1000)];
        };
        EXPECT_GT(at(4999), 10 + 1e-9);
        EXPECT_NEAR(at(5000), 10, 1e-9);
        EXPECT_NEAR(at(6000 + length), 10, 1e-9);
        EXPECT_GT(at(6000 + length + 1), 10 + 1e-9);
    }
}

TEST(FastestRun, DwellAddsItsSecondsAndOnlyAStopDwells) {
    const double a = 0.5, b = 0.5, v = 20;
    const auto line_with = [](std::int32_t dwell, std::int32_t kind) {
        auto line = level_line(400, 72);
        add_stop(line, 1000, 45);  // the first station's dwell is before the run
        add_stop(line, 6000, dwell, 0, kind);
        add_stop(line, 11000, 30);  // and the last's after it
        return line;
    };
    const double leg = 5000 / v + v / (2 * a) + v / (2 * b);
    const auto train = textbook_train(a, b);
    EXPECT_NEAR(run_time(line_with(0, 11), train), 2 * leg, 2 / v);
    EXPECT_NEAR(run_time(line_with(90, 11), train), 2 * leg + 90, 2 / v);
    // A station of kind 25 or more is passed at its position: no stop, no dwell.
    EXPECT_NEAR(run_time(line_with(90, 27), train), 10000 / v + v / (2 * a) + v / (2 * b), 1 / v);
}

TEST(FastestRun, ReactionCostsTimeOnlyWhereTheTrainAcceleratesUpToItsBrakingPoint) {
    const double a = 0.5, b = 0.5, reaction = 3;
    auto train = textbook_train(a, b);
    train.reaction = reaction;
    // Cruising into the braking point: the constant speed of the reaction was run anyway.
    {
        auto line = level_line(400, 72);
        add_stop(line, 1000);
        add_stop(line, 6000);
        EXPECT_NEAR(run_time(line, train), 5000 / 20.0 + 20 / (2 * a) + 20 / (2 * b), 1 / 20.0);
    }
    // Too short to reach the limit: accelerate to v, hold v for the reaction, brake, with
    // v² / (2a) + v t_r + v² / (2b) = D.
    for (const double distance : {300.0, 600.0}) {
        auto line = level_line(400, 120);
        add_stop(line, 1000);
        add_stop(line, 1000 + static_cast<std::int32_t>(distance));
        const double q = 1 / (2 * a) + 1 / (2 * b);
        const double v = (-reaction + std::sqrt(reaction * reaction + 4 * q * distance)) / (2 * q);
        EXPECT_NEAR(run_time(line, train), v / a + reaction + v / b, 1 / v) << distance;
    }
}

TEST(FastestRun, TopSpeedCapsTheRunWhereNoLimitIsKnown) {
    // Cells before the first speed record store 0 km/h: the run takes the train's top speed
    // there and says so, instead of failing.
    auto line = level_line(400, 72);
    for (std::size_t c = 0; c < 60; ++c) {
        line.limit_kmh[c] = 0;
    }
    add_stop(line, 1000, 0, 6 * 3600);
    add_stop(line, 11000, 0, 6 * 3600 + 900);
    auto train = textbook_train(0.5, 0.5);
    train.top_speed = 108;
    const auto run = fastest_run(line, train);
    ASSERT_TRUE(run.computed());
    ASSERT_EQ(run.issues.size(), 1u);
    EXPECT_FALSE(run.issues[0].blocks);
    EXPECT_EQ(run.issues[0].from, 1000);  // from where the run covers it
    EXPECT_EQ(run.issues[0].to, 3000);
    EXPECT_NE(run.issues[0].message.find("top speed of 108 km/h"), std::string::npos);
    EXPECT_TRUE(run.stations[1].limit_unknown);
    EXPECT_NEAR(run.totals.top_speed, 108, 1);
}

struct BlockCase {
    const char* name;
    std::function<void(LineProfile&, TrainParameters&)> edit;
    const char* says;
};

TEST(FastestRun, WhatMakesTheRunImpossibleBlocksItWithAReason) {
    const BlockCase cases[] = {
        {"no braked mass", [](LineProfile&, TrainParameters& t) { t.braked_mass_percent = 0; },
         "without braked mass"},
        {"absurd braked mass",
         [](LineProfile&, TrainParameters& t) { t.braked_mass_percent = 900; }, "up to 250"},
        {"braked mass of the text",
         [](LineProfile& l, TrainParameters& t) {
             t.braked_mass_percent.reset();
             l.braked_mass_percent = 0;
         },
         "'percentuale massa frenata' is 0"},
        {"no power", [](LineProfile&, TrainParameters& t) { t.power = 0; }, "(power) is 0"},
        {"climb too steep to start",
         [](LineProfile& l, TrainParameters&) {
             l.gradient_permille.assign(l.gradient_permille.size(), 60);
         },
         "cannot start from its stop at 1000 m"},
        {"stalls on a climb",
         [](LineProfile& l, TrainParameters&) {
             for (std::size_t c = 80; c < 140; ++c) {
                 l.gradient_permille[c] = 80;
             }
         },
         "stalls on the climb"},
        {"descent the brake cannot hold",
         [](LineProfile& l, TrainParameters&) {
             for (std::size_t c = 100; c < 110; ++c) {
                 l.gradient_permille[c] = -60;
             }
         },
         "cannot hold the train on the descent"},
        {"slowdown of 0 km/h",
         [](LineProfile& l, TrainParameters&) {
             l.slowdowns.push_back({100, 104, 0});
         },
         "no train passes it"},
        {"one station", [](LineProfile& l, TrainParameters&) { l.stations.pop_back(); },
         "two stations at least"},
        {"stations out of order",
         [](LineProfile& l, TrainParameters&) { l.stations[1].zoneEnd = 900; }, "travel order"},
        {"station off the line",
         [](LineProfile& l, TrainParameters&) { l.stations[1].zoneEnd = 30000; }, "off the line"},
    };
    for (const auto& c : cases) {
        auto line = level_line(400, 90);
        add_stop(line, 1000);
        add_stop(line, 11000);
        auto train = textbook_train(0.5, 0.5);
        c.edit(line, train);
        const auto run = fastest_run(line, train);
        EXPECT_FALSE(run.computed()) << c.name;
        ASSERT_FALSE(run.issues.empty()) << c.name;
        EXPECT_TRUE(run.issues.back().blocks) << c.name;
        EXPECT_NE(run.issues.back().message.find(c.says), std::string::npos)
            << c.name << ": " << run.issues.back().message;
        EXPECT_TRUE(run.curve.empty()) << c.name;
    }
}

}  // namespace
}  // namespace scenario::running_time
