#include "reading/route_facts.h"

#include <algorithm>
#include <string>

namespace scenario::tool {

namespace {

// The build adds this to the kilometric value of a decreasing range; the reading on the line is
// the value as written.
constexpr std::int32_t kDecreasingRangeOffset = 100;

}  // namespace

std::vector<KilometricRange> ranges_in_use(const compiler::BuildState& state) {
    std::vector<KilometricRange> ranges;
    for (std::size_t i = compiler::entry::range_tre; i <= compiler::entry::range_uno; ++i) {
        const auto& e = state.locations[i];
        KilometricRange range{e.zoneStart, e.zoneEnd, e.position};
        if (range.sense == 1) {
            range.value -= kDecreasingRangeOffset;
        }
        if (range.start != 0 || range.value != 0 || range.sense != 0) {
            ranges.push_back(range);
        }
    }
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const auto& a, const auto& b) { return a.start < b.start; });
    return ranges;
}

const KilometricRange* range_at(const std::vector<KilometricRange>& ranges, std::int64_t position) {
    const KilometricRange* in_force = nullptr;
    for (const auto& range : ranges) {
        if (range.start <= position) {
            in_force = &range;
        }
    }
    return in_force;
}

std::optional<std::int64_t> kilometre_at(const std::vector<KilometricRange>& ranges,
                                         std::int64_t position) {
    const KilometricRange* in_force = range_at(ranges, position);
    if (in_force == nullptr) {
        return std::nullopt;
    }
    const std::int64_t run = position - in_force->start;
    return in_force->sense == 1 ? in_force->value - run : in_force->value + run;
}

std::string kilometre_text(std::int64_t metres) {
    const std::string m = std::to_string(metres % 1000);
    return std::to_string(metres / 1000) + "+" + std::string(3 - m.size(), '0') + m;
}

}  // namespace scenario::tool
