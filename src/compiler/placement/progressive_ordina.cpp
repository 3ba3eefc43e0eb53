#include <array>

#include "compiler/placement/placement.h"

namespace scenario::compiler {

namespace {

// One kilometric range: start, kilometric value, sense.
struct Range {
    std::int32_t start = 0;
    std::int32_t value = 0;
    std::int32_t sense = 0;
};

Range range_of(const LocationEntry& e) {
    return {e.zoneStart, e.zoneEnd, e.position};
}

void store(LocationEntry& e, const Range& r) {
    e.zoneStart = r.start;
    e.zoneEnd = r.value;
    e.position = r.sense;
}

// The new tre, due, uno, from the ranges as they stand.
std::array<Range, 3> ordered(const Range& t, const Range& d, const Range& u) {
    const Range none{};
    if (static_cast<std::int64_t>(t.start) + d.start + u.start == 0) {
        if (u.value > 0) {
            return {u, d, t};
        }
        if (d.value > 0) {
            return {d, t, u};
        }
        if (t.value > 0) {
            return {t, d, u};
        }
        return {none, none, none};
    }
    if (t.start > d.start && t.start > u.start) {
        return d.start > u.start ? std::array{t, d, u} : std::array{t, u, d};
    }
    if (d.start > t.start && d.start > u.start) {
        return t.start > u.start ? std::array{d, t, u} : std::array{d, u, t};
    }
    if (u.start > t.start && u.start > d.start) {
        return t.start > d.start ? std::array{u, t, d} : std::array{u, d, t};
    }
    // No single greatest start.
    return {none, none, none};
}

}  // namespace

void progressive_ordina(BuildState& state) {
    auto& tre = state.locations[entry::range_tre];
    auto& due = state.locations[entry::range_due];
    auto& uno = state.locations[entry::range_uno];
    const auto ranges = ordered(range_of(tre), range_of(due), range_of(uno));
    store(tre, ranges[0]);
    store(due, ranges[1]);
    store(uno, ranges[2]);
    for (auto* e : {&tre, &due, &uno}) {
        if (e->position == 1) {
            e->zoneEnd = low_bits<std::int32_t>(static_cast<std::int64_t>(e->zoneEnd) + 100);
        }
    }
}

}  // namespace scenario::compiler
