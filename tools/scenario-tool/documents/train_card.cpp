#include "documents/train_card.h"

#include <optional>

#include "documents/document_forms.h"

namespace scenario::tool {

namespace {

// The cells of the route table, between the bars at columns 1, 7, 13, 24, 30, 59, 76 and 82.
constexpr std::size_t kSpeedWidth = 5;
constexpr std::size_t kKilometreWidth = 10;
constexpr std::size_t kKilometreDigits = 8;  // right-aligned, then two blanks
constexpr std::size_t kNameWidth = 28;       // two blanks, then the name
constexpr std::size_t kTimeWidth = 16;
// The header box: the train in a cell of 19, the terminals in one of 45, category and braked
// mass in one of 14.
constexpr std::size_t kTrainWidth = 19;
constexpr std::size_t kTerminalWidth = 45;
constexpr std::size_t kHeaderRightWidth = 14;
constexpr std::size_t kClassificationWidth = 19;

const std::string kTableRule =
    " |_____|_____|__________|_____|____________________________|________________|_____|";
const std::string kEmptyRow =
    " |     |     |          |     |                            |                |     |";

// A row of the route table: a location with its times, or a change of speed alone.
struct RouteRow {
    std::int32_t position = 0;
    const CardLocation* location = nullptr;
    const SpeedLimitLine* change = nullptr;  // the speed-limit line of a speed row
    std::optional<std::int32_t> limit;       // printed only where it changes
    std::optional<std::int32_t> running;
};

std::string where(const RouteRow& row) {
    if (row.location != nullptr) {
        return "the station " + quoted(row.location->name) + " at " +
               std::to_string(row.location->position) + " m";
    }
    return "the speed limit of " + std::to_string(row.change->speed) + " km/h from " +
           std::to_string(row.change->position) + " m";
}

std::int32_t line_of(const RouteRow& row) {
    return row.location != nullptr ? row.location->line : row.change->line;
}

// The speed limit in force at a position: the last speed-limit line not past it.
std::optional<std::int32_t> limit_at(const DocumentScenario& s, std::int64_t position) {
    std::optional<std::int32_t> limit;
    for (const auto& line : s.speedLimits) {
        if (line.position <= position) {
            limit = line.speed;
        }
    }
    return limit;
}

void check_travel_order(const DocumentScenario& s) {
    for (std::size_t i = 1; i < s.speedLimits.size(); ++i) {
        if (s.speedLimits[i].position < s.speedLimits[i - 1].position) {
            throw DocumentRefusal(
                "the speed-limit line at " + std::to_string(s.speedLimits[i].position) +
                    " m comes after one at " + std::to_string(s.speedLimits[i - 1].position) +
                    " m: the card needs them in travel order",
                s.speedLimits[i].line);
        }
    }
}

// The rows in travel order. A train leaves its first station from a stop: a change of limit
// within the departure station's platform length goes into the departure row, which so gives
// the limit of the line the train runs out onto, while its running speed stays that of the limit
// it starts under. Every other change has a row of its own (or shares a location's row).
std::vector<RouteRow> route_rows(const DocumentScenario& s) {
    check_travel_order(s);
    const auto& departure = s.locations.front();
    const auto& arrival = s.locations.back();
    const std::int64_t leaves = std::int64_t{departure.position} + departure.platform;

    RouteRow first;
    first.position = departure.position;
    first.location = &departure;
    first.limit = limit_at(s, departure.position);
    if (first.limit) {
        first.running = running_speed(*first.limit);
    }
    std::vector<const SpeedLimitLine*> changes;
    for (const auto& line : s.speedLimits) {
        if (line.position > departure.position && line.position < leaves) {
            first.limit = line.speed;
        } else if (line.position > departure.position && line.position >= leaves &&
                   line.position <= arrival.position) {
            changes.push_back(&line);
        }
    }
    std::vector<RouteRow> rows{first};
    auto shown_limit = first.limit;
    auto shown_running = first.running;

    auto next_location = s.locations.begin() + 1;
    auto next_change = changes.begin();
    while (next_location != s.locations.end() || next_change != changes.end()) {
        RouteRow row;
        const bool location_first =
            next_change == changes.end() || (next_location != s.locations.end() &&
                                             next_location->position <= (*next_change)->position);
        row.position = location_first ? next_location->position : (*next_change)->position;
        if (location_first) {
            row.location = &*next_location++;
        }
        // All the lines at this position: the last one is in force.
        while (next_change != changes.end() && (*next_change)->position == row.position) {
            row.change = *next_change++;
        }
        if (row.change != nullptr) {
            const std::int32_t limit = row.change->speed;
            const std::int32_t running = running_speed(limit);
            if (limit != shown_limit) {
                row.limit = shown_limit = limit;
            }
            if (running != shown_running) {
                row.running = shown_running = running;
            }
        }
        if (row.location != nullptr || row.limit || row.running) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::string speed_cell(const std::optional<std::int32_t>& speed, const RouteRow& row) {
    if (!speed) {
        return std::string(kSpeedWidth, ' ');
    }
    auto cell = in_cell(" " + std::to_string(*speed), kSpeedWidth);
    if (!cell) {
        throw DocumentRefusal(where(row) + ": the speed " + std::to_string(*speed) +
                                  " km/h does not fit the card's speed column",
                              line_of(row));
    }
    return *cell;
}

std::string kilometre_cell(const DocumentScenario& s, const RouteRow& row) {
    const auto metres = s.kilometre(row.position);
    if (!metres) {
        throw DocumentRefusal(where(row) + ": no kilometric range of the line covers it",
                              line_of(row));
    }
    const std::string text = *metres < 0 ? "-" + kilometre_form(-*metres) : kilometre_form(*metres);
    if (*metres < 0 || text.size() > kKilometreDigits) {
        throw DocumentRefusal(where(row) + ": its kilometre " + text +
                                  " cannot be printed on the card (0+000 to 9999+999)",
                              line_of(row));
    }
    return std::string(kKilometreDigits - text.size(), ' ') + text +
           std::string(kKilometreWidth - kKilometreDigits, ' ');
}

std::string name_cell(const RouteRow& row) {
    if (row.location == nullptr) {
        return std::string(kNameWidth, ' ');
    }
    const std::string name = printed_name(row.location->name);
    auto cell = in_cell("  " + name, kNameWidth);
    if (!cell) {
        throw DocumentRefusal(where(row) + ": its name has " + std::to_string(name.size()) +
                                  " characters, the train card's column holds " +
                                  std::to_string(kNameWidth - 2),
                              line_of(row));
    }
    return *cell;
}

std::string clock_of(std::int64_t seconds, const RouteRow& row, std::string_view what) {
    auto form = clock_form(seconds);
    if (!form) {
        const std::int64_t s = seconds < 0 ? -seconds : seconds;
        const std::string shown = (seconds < 0 ? "-" : "") + std::to_string(s / 3600) + ":" +
                                  std::to_string(s / 60 % 60) + ":" + std::to_string(s % 60);
        throw DocumentRefusal(where(row) + ": its " + std::string(what) + " " + shown +
                                  " cannot be printed on the card, which shows times of day in "
                                  "whole and half minutes",
                              line_of(row));
    }
    return *form;
}

enum class Role { departure, stop, arrival };

std::string time_cell(const RouteRow& row, Role role) {
    const CardLocation* l = row.location;
    const bool has_time = l != nullptr && l->timeOfDay != 0 && (role != Role::stop || l->stops());
    if (!has_time) {
        return std::string(kTimeWidth, ' ');
    }
    if (role != Role::stop) {
        const auto time =
            clock_of(l->timeOfDay, row, role == Role::departure ? "departure" : "arrival");
        return *in_cell(std::string(6, ' ') + time, kTimeWidth);
    }
    const auto departure = clock_of(l->timeOfDay, row, "departure");
    const auto arrival =
        clock_of(std::int64_t{l->timeOfDay} - l->dwell, row, "arrival (departure less the stop)");
    const std::string times = arrival + " - " + departure;
    // Two blanks before the times where they leave room for them, one where they do not.
    if (auto cell = in_cell("  " + times, kTimeWidth)) {
        return *cell;
    }
    return *in_cell(" " + times, kTimeWidth);
}

std::string route_line(const DocumentScenario& s, const RouteRow& row, Role role) {
    return " |" + speed_cell(row.limit, row) + "|" + speed_cell(row.running, row) + "|" +
           kilometre_cell(s, row) + "|     |" + name_cell(row) + "|" + time_cell(row, role) +
           "|     |";
}

std::string header_cell(std::optional<std::string> cell, const std::string& what, std::size_t width,
                        std::int32_t line = 0) {
    if (!cell) {
        throw DocumentRefusal(what + " does not fit its cell of the train card's header (" +
                                  std::to_string(width) + " characters)",
                              line);
    }
    return *cell;
}

std::string terminal_cell(const CardLocation& l, std::string_view lead, std::string_view role) {
    return header_cell(in_cell(std::string(lead) + printed_name(l.name), kTerminalWidth),
                       "the name of the station of " + std::string(role) + " " + quoted(l.name),
                       kTerminalWidth - lead.size(), l.line);
}

}  // namespace

TrainCard train_card(const DocumentScenario& s, const CardOptions& options) {
    if (s.locations.size() < 2) {
        throw DocumentRefusal(
            "the train card needs a station of departure and one of arrival; "
            "the train text has " +
            std::to_string(s.locations.size()) + " station lines");
    }
    const auto& departure = s.locations.front();
    const auto& arrival = s.locations.back();
    const std::string train = header_cell(in_cell("   TRENO n. " + s.TrainCode + " ", kTrainWidth),
                                          "the train code " + quoted(s.TrainCode), kTrainWidth);
    const std::string category =
        header_cell(centred(options.category, kHeaderRightWidth),
                    "--category " + quoted(options.category), kHeaderRightWidth);
    const std::string braked = header_cell(
        centred(std::to_string(s.brakedMass) + "%", kHeaderRightWidth),
        "the braked-mass percentage " + std::to_string(s.brakedMass), kHeaderRightWidth);
    const std::string classification =
        header_cell(centred(options.classification, kClassificationWidth),
                    "--classification " + quoted(options.classification), kClassificationWidth);
    const std::string locked = header_cell(
        in_cell(std::string(6, ' ') + std::to_string(options.lockedMass) + "T",
                kClassificationWidth),
        "--locked-mass " + std::to_string(options.lockedMass), kClassificationWidth - 6);

    TrainCard card;
    card.lines = {
        "",
        "",
        "  " + std::string(19, '_') + std::string(47, ' ') + std::string(14, '_'),
        " |                   |                    SCHEDA                   |              |",
        " |" + train + "|" + terminal_cell(departure, std::string(19, ' ') + "da: ", "departure") +
            "|" + category + "|",
        " |___________________|" + terminal_cell(arrival, std::string(20, ' ') + "a: ", "arrival") +
            "|" + braked + "|",
        std::string(67, ' ') + "|______________|",
        "  ___________________                ___________________",
        " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
        " |" + classification + "|              |" + locked + "|",
        " |___________________|              |___________________|",
        "",
        "  " + std::string(80, '_'),
        " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
        " | Lim.|Marc.|          |  Rs |                            |                |     |",
        kTableRule,
        kEmptyRow,
    };
    const auto rows = route_rows(s);
    for (const auto& row : rows) {
        const Role role = row.location == &departure ? Role::departure
                          : row.location == &arrival ? Role::arrival
                                                     : Role::stop;
        card.lines.push_back(route_line(s, row, role));
        (row.location != nullptr ? card.locationRows : card.speedRows) += 1;
    }
    // The last route row ends with one blank after its bar.
    card.lines.back() += ' ';
    card.lines.push_back(kTableRule);
    card.lines.push_back("");
    return card;
}

std::vector<DocumentNote> speed_changes_without_board(const DocumentScenario& s) {
    std::vector<DocumentNote> notes;
    if (s.locations.empty()) {
        return notes;
    }
    std::optional<std::int32_t> in_force;
    for (const auto& line : s.speedLimits) {
        const bool changes = in_force && line.speed != *in_force;
        in_force = line.speed;
        if (changes && line.position > s.locations.front().position &&
            line.position <= s.locations.back().position && !s.has_speed_board_at(line.position)) {
            notes.push_back({line.line, "the speed limit changes to " + std::to_string(line.speed) +
                                            " km/h at " + std::to_string(line.position) +
                                            " m, where the line has no maximum-speed board; the "
                                            "card gives the change there all the same"});
        }
    }
    return notes;
}

}  // namespace scenario::tool
