#include "running_time/train_parameters.h"

#include <array>
#include <cmath>
#include <limits>
#include <sstream>

namespace scenario::running_time {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kGravity = 9.81;    // m/s²
constexpr double kAirDensity = 1.2;  // kg/m³, at sea level and 20 °C

constexpr std::array<TrainParameterRow, 14> kRows{{
    {"locomotive-length", "m", "length of the locomotive",
     "an E.464 regional locomotive is 15.75 m over buffers", &TrainParameters::locomotive_length, 0,
     100, true},
    {"coach-length", "m", "length of one coach",
     "the common 26.4 m of a regional coach over buffers", &TrainParameters::coach_length, 0, 100,
     true},
    {"locomotive-mass", "t", "mass of the locomotive", "an E.464 weighs 72 t",
     &TrainParameters::locomotive_mass, 0, 1000, false},
    {"coach-mass", "t", "mass of one coach with its load",
     "about 37 t empty and 60 passengers of 80 kg", &TrainParameters::coach_mass, 0, 1000, true},
    {"rotating-mass", "", "mass factor of the rotating parts",
     "wheelsets and motors: about 1.18 for a locomotive and 1.04 for a coach, by mass",
     &TrainParameters::rotating_mass, 1, 2, true},
    {"max-acceleration", "m/s2", "acceleration at low speed",
     "about 150 kN of a 200 kN locomotive over the train's 300 t, within the adhesion of a wet "
     "rail",
     &TrainParameters::max_acceleration, 0, 5, false},
    {"power", "kW", "power at the rail ('inf' for none)",
     "an E.464 gives 3500 kW at the motors, about 3000 kW at the rail", &TrainParameters::power, 0,
     kInfinity, false},
    {"top-speed", "km/h", "the train's own top speed",
     "the category V140 the train card gives by default", &TrainParameters::top_speed, 0, 500,
     false},
    {"rolling-resistance", "per mille", "resistance at rest",
     "1.5 per mille: bearings and rolling on a tangent track", &TrainParameters::rolling_resistance,
     0, 50, true},
    {"speed-resistance", "per mille per m/s", "resistance by speed",
     "flange and track losses, about 0.5 per mille at 90 km/h", &TrainParameters::speed_resistance,
     0, 10, true},
    {"drag-area-head", "m2", "drag area of the locomotive",
     "0.8 times the 10 m2 front of a locomotive", &TrainParameters::drag_area_head, 0, 100, true},
    {"drag-area-coach", "m2", "drag area each coach adds", "skin friction and gaps of a 26 m coach",
     &TrainParameters::drag_area_coach, 0, 100, true},
    {"service-braking", "m/s2", "braking at 100 % braked mass",
     "half the 1 m/s2 a train of 100 per cent reaches in an emergency: the brake a driver uses "
     "for stops and limits",
     &TrainParameters::service_braking, 0, 5, false},
    {"reaction", "s", "coasting before each braking",
     "a second for the driver and two for the air brake to build up", &TrainParameters::reaction, 0,
     60, true},
}};

std::string number(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

bool in_range(const TrainParameterRow& row, double value) {
    if (std::isnan(value)) {
        return false;
    }
    const bool above = row.lowest_allowed ? value >= row.lowest : value > row.lowest;
    return above && value <= row.highest;
}

std::string range_text(const TrainParameterRow& row) {
    std::string text = row.lowest_allowed ? "from " : "above ";
    text += number(row.lowest);
    if (std::isinf(row.highest)) {
        text += " up to infinity";
    } else {
        text += " up to " + number(row.highest);
    }
    if (!row.unit.empty()) {
        text += " ";
        text += row.unit;
    }
    return text;
}

}  // namespace

std::span<const TrainParameterRow> train_parameter_table() {
    return kRows;
}

std::optional<std::string> parameter_problem(const TrainParameterRow& row, double value) {
    if (in_range(row, value)) {
        return std::nullopt;
    }
    return "the " + std::string(row.meaning) + " (" + std::string(row.key) + ") is " +
           number(value) + ", and must be " + range_text(row);
}

std::optional<std::string> braked_mass_problem(double percent, bool asked_for) {
    if (!std::isnan(percent) && percent >= kLeastBrakedMass && percent <= kMostBrakedMass) {
        return std::nullopt;
    }
    std::string what = asked_for ? "the braked-mass percentage asked for"
                                 : "the train text's 'percentuale massa frenata'";
    what += " is " + number(percent) + ", and must be from " + number(kLeastBrakedMass) +
            " up to " + number(kMostBrakedMass);
    if (!std::isnan(percent) && percent <= 0) {
        what += ": a train without braked mass cannot stop at any station";
    }
    return what;
}

TrainResolution resolve_train(const TrainParameters& parameters, std::int32_t text_coaches,
                              std::int32_t text_braked_mass_percent) {
    TrainResolution out;
    for (const auto& row : train_parameter_table()) {
        if (auto problem = parameter_problem(row, parameters.*row.member)) {
            out.problems.push_back(std::move(*problem));
        }
    }
    const std::int32_t coaches = parameters.coaches.value_or(text_coaches);
    if (coaches < 0 || coaches > kMostCoaches) {
        out.problems.push_back(std::string(parameters.coaches
                                               ? "the number of coaches asked for"
                                               : "the train text's 'numero vetture'") +
                               " is " + std::to_string(coaches) + ", and must be from 0 up to " +
                               std::to_string(kMostCoaches));
    }
    const double braked = parameters.braked_mass_percent.value_or(text_braked_mass_percent);
    if (auto problem = braked_mass_problem(braked, parameters.braked_mass_percent.has_value())) {
        out.problems.push_back(std::move(*problem));
    }
    if (!out.problems.empty()) {
        return out;
    }

    auto& t = out.train;
    t.coaches = coaches;
    t.braked_mass_percent = braked;
    t.length = parameters.locomotive_length + coaches * parameters.coach_length;
    t.mass = (parameters.locomotive_mass + coaches * parameters.coach_mass) * 1000.0;
    t.inertia = t.mass * parameters.rotating_mass;
    t.max_acceleration = parameters.max_acceleration;
    t.power = parameters.power * 1000.0;
    t.top_speed = parameters.top_speed / 3.6;
    const double weight = t.mass * kGravity;
    t.resistance_a = weight * parameters.rolling_resistance / 1000.0;
    t.resistance_b = weight * parameters.speed_resistance / 1000.0;
    t.resistance_c =
        0.5 * kAirDensity * (parameters.drag_area_head + coaches * parameters.drag_area_coach);
    // The braking distance of a train goes about inversely with its braked-mass percentage.
    t.braking = parameters.service_braking * braked / 100.0;
    t.reaction = parameters.reaction;
    t.curve_resistance = parameters.curve_resistance;
    return out;
}

}  // namespace scenario::running_time
