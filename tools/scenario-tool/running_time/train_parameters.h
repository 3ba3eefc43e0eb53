#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::running_time {

// What the running-time check assumes about the train. The defaults describe the built-in
// regional train: an electric locomotive of the E.464 class and five regional coaches; the
// reason for each stands in its row of train_parameter_table().
struct TrainParameters {
    std::optional<std::int32_t> coaches;        // none: the train text's 'numero vetture'
    std::optional<double> braked_mass_percent;  // none: 'percentuale massa frenata'
    double locomotive_length = 16.0;            // m
    double coach_length = 26.4;                 // m
    double locomotive_mass = 72.0;              // t
    double coach_mass = 42.0;                   // t, with its load
    double rotating_mass = 1.08;                // factor on the mass for accelerating
    double max_acceleration = 0.5;              // m/s², the traction's cap
    double power = 3000.0;                      // kW at the rail; infinity: no power limit
    double top_speed = 140.0;                   // km/h, the train's own
    double rolling_resistance = 1.5;            // per mille of the weight
    double speed_resistance = 0.02;             // per mille of the weight per m/s
    double drag_area_head = 8.0;                // m², drag coefficient times area
    double drag_area_coach = 1.3;               // m² for each coach
    double service_braking = 0.5;               // m/s² at a braked-mass percentage of 100
    double reaction = 3.0;                      // s from the end of traction to the brake
    bool curve_resistance = true;               // count the curves as a climb
};

// One settable number of TrainParameters, described once for the validation, the command's
// options and help, and the report of the values used.
struct TrainParameterRow {
    std::string_view key;      // the option's name without "--", and the JSON key
    std::string_view unit;     // "" for a pure number
    std::string_view meaning;  // what it is, in a few words: the option's help
    std::string_view reason;   // why its default is what it is
    double TrainParameters::*member;
    double lowest;        // the smallest value accepted
    double highest;       // the largest value accepted (may be infinity)
    bool lowest_allowed;  // false: the value must lie above `lowest`
};

std::span<const TrainParameterRow> train_parameter_table();

// What is wrong with a value of a row, named by its meaning and key with the range; nothing when
// it lies in the range.
std::optional<std::string> parameter_problem(const TrainParameterRow& row, double value);

// The two values the train text holds, with the range a run accepts.
inline constexpr std::int32_t kMostCoaches = 40;
inline constexpr double kLeastBrakedMass = 1.0;   // per cent
inline constexpr double kMostBrakedMass = 250.0;  // per cent

// What is wrong with a braked-mass percentage, the author's (`asked_for`) or the train text's.
std::optional<std::string> braked_mass_problem(double percent, bool asked_for);

// The train as the run uses it, every quantity in SI units.
struct ResolvedTrain {
    std::int32_t coaches = 0;
    double braked_mass_percent = 0;
    double length = 0;   // m, locomotive and coaches
    double mass = 0;     // kg, at rest (gravity acts on it)
    double inertia = 0;  // kg, mass times the rotating-mass factor
    double max_acceleration = 0;
    double power = 0;         // W
    double top_speed = 0;     // m/s
    double resistance_a = 0;  // N
    double resistance_b = 0;  // N per m/s
    double resistance_c = 0;  // N per (m/s)²
    double braking = 0;       // m/s² on the level
    double reaction = 0;      // s
    bool curve_resistance = true;
};

// The parameters checked and turned into the train. `problems` names every value out of its
// range (the parameter, the value and the range); the train is only usable without any.
struct TrainResolution {
    ResolvedTrain train;
    std::vector<std::string> problems;
};

TrainResolution resolve_train(const TrainParameters& parameters, std::int32_t text_coaches,
                              std::int32_t text_braked_mass_percent);

}  // namespace scenario::running_time
