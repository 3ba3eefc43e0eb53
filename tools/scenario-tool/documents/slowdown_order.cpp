#include "documents/slowdown_order.h"

#include <algorithm>

#include "documents/document_forms.h"
#include "sources/content_table.h"
#include "sources/writers.h"

namespace scenario::tool {

namespace {

// The cells of the table, between the bars at columns 1, 5, 34, 47, 58, 68 and 81.
constexpr std::size_t kNumberWidth = 3;
constexpr std::size_t kStationsWidth = 28;  // two blanks, then the stations
constexpr std::size_t kPostWidth = 12;      // three blanks, then the post
constexpr std::size_t kSpeedWidth = 10;     // four blanks, then the speed
constexpr std::size_t kLengthWidth = 9;     // three blanks, then the length
constexpr std::size_t kLettersWidth = 12;   // five blanks, then the letters
// The table has at least this many rows under its first empty one; restrictions fill them
// from the top.
constexpr std::size_t kTableRows = 25;
// The cells of the route are 50 m long.
constexpr std::int64_t kCell = 50;
// Blanks after the closing bar of a restriction row.
constexpr std::size_t kRowTail = 17;

const std::string kTableRule =
    " |___|____________________________|____________|__________|_________|____________|";
const std::string kEmptyRow =
    " |   |                            |            |          |         |            |";

std::string where(const SlowdownLine& s) {
    return "the slowdown at " + std::to_string(s.x) + " m";
}

// A cell of the row: the lead blanks and the value, padded; a value too long is refused.
std::string cell(std::size_t lead, const std::string& value, std::size_t width,
                 const SlowdownLine& s, const std::string& what) {
    auto fitted = in_cell(std::string(lead, ' ') + value, width);
    if (!fitted) {
        throw DocumentRefusal(where(s) + ": " + what + " " + tool::quoted(value) + ": " +
                                  std::to_string(value.size()) +
                                  " characters, where its column of the slowdown order holds " +
                                  std::to_string(width - lead),
                              s.line);
    }
    return *fitted;
}

std::string station_name(const CardLocation& l) {
    return mixed_case(printed_name(l.name));
}

// The station that holds the restriction, or the two that enclose it (one at either end of the
// run).
std::string stations_of(const DocumentScenario& scenario, const SlowdownLine& s) {
    const std::int64_t end = std::int64_t{s.x} + s.l;
    const auto& locations = scenario.locations;
    for (const auto& l : locations) {
        if (l.zoneStart <= s.x && end <= l.zoneEnd) {
            return station_name(l);
        }
    }
    const CardLocation* before = nullptr;
    const CardLocation* after = nullptr;
    for (const auto& l : locations) {
        if (l.position <= s.x) {
            before = &l;
        }
        if (after == nullptr && l.position >= end) {
            after = &l;
        }
    }
    if (before == nullptr || after == nullptr || before == after) {
        return station_name(before != nullptr ? *before : *after);
    }
    return station_name(*before) + " - " + station_name(*after);
}

// The kilometre post the restriction begins after, in the direction of travel.
std::string post_of(const DocumentScenario& scenario, const SlowdownLine& s) {
    const auto* range = scenario.range_at(s.x);
    if (range == nullptr) {
        throw DocumentRefusal(where(s) + ": no kilometric range of the line covers it", s.line);
    }
    const std::int64_t reading = *scenario.kilometre(s.x);
    if (reading < 0) {
        throw DocumentRefusal(where(s) + ": it begins before kilometre 0 of its range", s.line);
    }
    const std::int64_t post =
        range->sense == 1 ? (reading + 999) / 1000 * 1000 : reading / 1000 * 1000;
    return kilometre_form(post);
}

// The letters of the legend that apply: A with the whole train (f_tt), B when it reaches into a
// station it does not lie in, D when another restriction begins on the cell after its end or
// ends on the cell before its start (two restrictions cannot share a cell).
std::string prescriptions(const DocumentScenario& scenario, const SlowdownLine& s) {
    const std::int64_t end = std::int64_t{s.x} + s.l;
    std::vector<std::string> letters;
    if (s.f_tt != 0) {
        letters.push_back("A");
    }
    const bool held =
        std::any_of(scenario.locations.begin(), scenario.locations.end(),
                    [&](const auto& l) { return l.zoneStart <= s.x && end <= l.zoneEnd; });
    const bool reaches =
        std::any_of(scenario.locations.begin(), scenario.locations.end(),
                    [&](const auto& l) { return s.x < l.zoneEnd && end > l.zoneStart; });
    if (reaches && !held) {
        letters.push_back("B");
    }
    const auto follows = [](std::int64_t end_of_one, std::int64_t start_of_next) {
        return start_of_next >= end_of_one && start_of_next - end_of_one <= kCell;
    };
    const bool contiguous =
        std::any_of(scenario.slowdowns.begin(), scenario.slowdowns.end(), [&](const auto& o) {
            return &o != &s && (follows(std::int64_t{o.x} + o.l, s.x) || follows(end, o.x));
        });
    if (contiguous) {
        letters.push_back("D");
    }
    std::string text;
    for (const auto& letter : letters) {
        text += (text.empty() ? "" : ", ") + letter;
    }
    return text;
}

std::string restriction_row(const DocumentScenario& scenario, const SlowdownLine& s,
                            std::size_t number) {
    return " |" + cell(1, std::to_string(number), kNumberWidth, s, "its number") + "|" +
           cell(2, stations_of(scenario, s), kStationsWidth, s, "the names of its stations") + "|" +
           cell(3, post_of(scenario, s), kPostWidth, s, "its kilometre post") + "|" +
           cell(4, std::to_string(s.v), kSpeedWidth, s, "its speed") + "|" +
           cell(3, std::to_string(s.l), kLengthWidth, s, "its length") + "|" +
           cell(5, prescriptions(scenario, s), kLettersWidth, s, "its prescriptions") + "|" +
           std::string(kRowTail, ' ');
}

}  // namespace

std::vector<std::string> slowdown_order(const DocumentScenario& scenario) {
    std::vector<const SlowdownLine*> in_travel_order;
    for (const auto& s : scenario.slowdowns) {
        in_travel_order.push_back(&s);
    }
    std::stable_sort(in_travel_order.begin(), in_travel_order.end(),
                     [](const auto* a, const auto* b) { return a->x < b->x; });
    if (in_travel_order.size() > kMostRestrictions) {
        const auto& first_too_many = *in_travel_order[kMostRestrictions];
        throw DocumentRefusal(where(first_too_many) + " would be restriction " +
                                  std::to_string(kMostRestrictions + 1) +
                                  ": the slowdown order numbers at most " +
                                  std::to_string(kMostRestrictions) + " (the train text has " +
                                  std::to_string(in_travel_order.size()) + " slowdown lines)",
                              first_too_many.line);
    }
    if (!in_travel_order.empty() && scenario.locations.empty()) {
        throw DocumentRefusal(
            "the slowdown order names the stations of each restriction, and "
            "the train text has no station lines");
    }
    std::vector<std::string> lines{
        "",
        "                               Modulo M. 3",
        "                           ORDINE DI RALLENTAMENTO",
        " " + std::string(80, '_'),
        "  Linea  " + printed_name(scenario.LineTitle),
        "  Si ordina al macchinista del treno " + scenario.TrainCode +
            " di effettuare i seguenti rallentamenti",
        "  " + std::string(79, '_'),
        " |   |                            |Inizio dopo |          |         |            |",
        " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
        " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
        kTableRule,
        kEmptyRow,
    };
    for (std::size_t i = 0; i < in_travel_order.size(); ++i) {
        lines.push_back(restriction_row(scenario, *in_travel_order[i], i + 1));
    }
    for (std::size_t i = in_travel_order.size(); i < kTableRows; ++i) {
        lines.push_back(kEmptyRow);
    }
    // The closing rule and the legend under it, as the built-in order prints them.
    const auto built_in = sources::slowdown_order_lines();
    const auto rule = std::find(built_in.rbegin(), built_in.rend(), kTableRule);
    for (auto it = rule.base() - 1; it != built_in.end() && *it != sources::kEndMarker; ++it) {
        lines.emplace_back(*it);
    }
    return lines;
}

}  // namespace scenario::tool
