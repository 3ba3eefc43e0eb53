#include "compiler/model/error_catalogue.h"

#include <algorithm>
#include <array>

namespace scenario::compiler {

namespace {

constexpr std::array kCatalogue{
    ErrorMeaning{1, "the route length is above 1000000 m", false},
    ErrorMeaning{2,
                 "a kilometric range has a start or kilometric value that is not a multiple of 50",
                 false},
    ErrorMeaning{3, "the first value of the signal-repetition line is not a multiple of 50", false},
    ErrorMeaning{4, "the second value of the signal-repetition line is not a multiple of 50",
                 false},
    ErrorMeaning{5, "the signal-repetition keyword names neither the 4-code nor the 9-code system",
                 false},
    ErrorMeaning{6, "a sign board lands on a cell that is already taken", true},
    ErrorMeaning{7, "a code point (abbattimento) lands on a cell that is already taken", true},
    ErrorMeaning{8, "a station position is not a multiple of 50", true},
    ErrorMeaning{9, "a station length is not a multiple of 100", true},
    ErrorMeaning{10, "the location table has no room for a further station", false},
    ErrorMeaning{11,
                 "no free cell for a code point in the two cells before a signal within 20 cells "
                 "before a slowdown warning",
                 true},
    ErrorMeaning{12, "no free cell for a code point in one of the windows before a slowdown start",
                 true},
    ErrorMeaning{
        13,
        "no free cell for a code point along a slowdown below 110 km/h or before the first "
        "signal after its end",
        true},
    ErrorMeaning{15, "a record lies too near the end of the route", true},
    ErrorMeaning{16, "a signal lands on a cell that is already taken", true},
    ErrorMeaning{17,
                 "the warning board 1200 m before a slowdown lands on a cell that is already taken",
                 true},
    ErrorMeaning{18, "the start of a slowdown lands on a cell that is already taken", true},
    ErrorMeaning{19, "the end of a slowdown lands on a cell that is already taken", true},
    ErrorMeaning{20, "one of the four approach cells before a slowdown warning is already taken",
                 true},
    ErrorMeaning{21, "a maximum-speed board lands on a cell that is already taken", true},
    ErrorMeaning{22,
                 "a station zone starts less than 350 m after the end of the previous station zone",
                 true},
    ErrorMeaning{24, "a stopping station's zone ends so early that no stop cell fits before it",
                 false},
    ErrorMeaning{
        25,
        "the text could not be read: a value does not fit its field, a field is missing, or "
        "the file is unreadable",
        false},
    ErrorMeaning{kTooManySignBoards,
                 "the location table has no free entry for a further sign board", true},
    ErrorMeaning{kTooManySpans, "more than 80 mountain spans", true},
    ErrorMeaning{101, "the line description file does not exist", false},
    ErrorMeaning{102, "the line description file has no [generale] section", false},
    ErrorMeaning{
        103, "a curve names no curvature class 1 to 6, or its plan runs past metre 1000000", false},
    ErrorMeaning{1250, "the places of the format markers are already in use", false},
    ErrorMeaning{1251, "the places of the scenario codes are already in use", false},
};

const ErrorMeaning* find(std::int32_t number) {
    const auto* it = std::find_if(kCatalogue.begin(), kCatalogue.end(),
                                  [number](const ErrorMeaning& e) { return e.number == number; });
    return it == kCatalogue.end() ? nullptr : it;
}

}  // namespace

std::span<const ErrorMeaning> error_catalogue() {
    return kCatalogue;
}

std::string_view error_meaning(std::int32_t number) {
    const auto* e = find(number);
    return e ? e->meaning : std::string_view{"unknown error"};
}

bool error_sets_position(std::int32_t number) {
    const auto* e = find(number);
    return e != nullptr && e->sets_position;
}

}  // namespace scenario::compiler
