#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "running_time/fastest_run.h"

// Lines and trains for cases a textbook solves by formula.
namespace scenario::running_time::testing {

inline constexpr double kG = 9.81;

// A level line of `cells` cells with one limit everywhere.
inline LineProfile level_line(std::int32_t cells, std::int32_t kmh) {
    LineProfile line;
    line.limit_kmh.assign(static_cast<std::size_t>(cells), kmh);
    line.gradient_permille.assign(static_cast<std::size_t>(cells), 0);
    line.coaches = 0;
    line.braked_mass_percent = 100;
    return line;
}

// A stop whose head halts at `at`, with a dwell and a time of day (0: none).
inline void add_stop(LineProfile& line, std::int32_t at, std::int32_t dwell = 0,
                     std::int32_t time = 0, std::int32_t kind = 11) {
    RunStation s;
    s.name = "STATION " + std::to_string(line.stations.size() + 1);
    s.kind = kind;
    s.zoneStart = at - 200;
    s.zoneEnd = at;
    s.position = at - 100;
    s.dwell = dwell;
    if (time != 0) {
        s.time = time;
    }
    s.entry = line.stations.size() + 1;
    line.stations.push_back(s);
}

// A station passed at its position.
inline void add_passed(LineProfile& line, std::int32_t position, std::int32_t time = 0) {
    add_stop(line, position + 100, 0, time, 27);
}

// The point mass of the textbook: constant acceleration a and braking b, no power limit, no
// resistance, no rotating masses, no reaction, no length.
inline TrainParameters textbook_train(double a, double b) {
    TrainParameters t;
    t.coaches = 0;
    t.braked_mass_percent = 100;
    t.locomotive_length = 0;
    t.coach_length = 0;
    t.rotating_mass = 1;
    t.max_acceleration = a;
    t.power = std::numeric_limits<double>::infinity();
    t.top_speed = 500;
    t.rolling_resistance = 0;
    t.speed_resistance = 0;
    t.drag_area_head = 0;
    t.drag_area_coach = 0;
    t.service_braking = b;
    t.reaction = 0;
    t.curve_resistance = false;
    return t;
}

// The same train `length` metres long: five massless coaches behind a locomotive of no length.
inline TrainParameters with_length(TrainParameters train, double length) {
    train.coaches = 5;
    train.coach_length = length / 5;
    train.coach_mass = 0;
    return train;
}

}  // namespace scenario::running_time::testing
