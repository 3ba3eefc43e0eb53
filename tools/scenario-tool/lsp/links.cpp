#include "lsp/links.h"

#include <algorithm>
#include <set>

#include "lsp/record_lookup.h"

namespace scenario::tool::lsp {

using compiler::CellUse;

namespace {

struct Zone {
    std::int64_t start = 0;
    std::int64_t end = 0;
};

// The stop zone the build laid out for a station record, from the table's entry at its place.
std::optional<Zone> station_zone(const ReadScenario& s, RecordId id) {
    if (s.reading.kind_of(id).kind != "station") {
        return std::nullopt;
    }
    const auto position = record_position(s, id);
    for (std::size_t k = 1; position && k <= static_cast<std::size_t>(s.state.stationCount) &&
                            k < compiler::entry::first_sign_slot;
         ++k) {
        const auto& entry = s.state.locations[k];
        if (entry.position == *position) {
            return Zone{entry.zoneStart, entry.zoneEnd};
        }
    }
    return std::nullopt;
}

bool is_station(const ReadScenario& s, RecordId id) {
    return s.reading.kind_of(id).kind == "station";
}

std::vector<RecordId> records_in_zone(const ReadScenario& s, const Zone& zone, RecordId except) {
    std::vector<RecordId> found;
    for (RecordId id = 0; id < static_cast<RecordId>(s.reading.records().size()); ++id) {
        const auto position = record_position(s, id);
        if (id != except && position && !is_station(s, id) && zone.start <= *position &&
            *position <= zone.end) {
            found.push_back(id);
        }
    }
    return found;
}

std::vector<RecordId> stations_around(const ReadScenario& s, std::int64_t position) {
    std::vector<RecordId> found;
    for (RecordId id = 0; id < static_cast<RecordId>(s.reading.records().size()); ++id) {
        const auto zone = station_zone(s, id);
        if (zone && zone->start <= position && position <= zone->end) {
            found.push_back(id);
        }
    }
    return found;
}

std::optional<Location> record_location(const EditorPlaces& places, RecordId id) {
    const auto& s = places.analysis().scenario;
    const auto& r = s.reading.record(id);
    const auto values = s.reading.values_of(id);
    return places.of(r.text, values.empty() ? r.keyword : values[0].field);
}

void add(std::vector<Location>& out, const std::optional<Location>& location) {
    if (!location) {
        return;
    }
    const auto same = [&](const Location& l) {
        return l.uri == location->uri && l.range.start == location->range.start &&
               l.range.end == location->range.end;
    };
    if (std::none_of(out.begin(), out.end(), same)) {
        out.push_back(*location);
    }
}

}  // namespace

std::vector<Location> definitions(const OpenDocument& document, const EditorPlaces& places,
                                  const std::vector<EditorDiagnostic>& diagnostics,
                                  std::size_t offset) {
    std::vector<Location> out;
    const auto side = places.side_of(document.uri);
    if (!side) {
        return out;
    }
    const auto& s = places.analysis().scenario;
    // The other party of a fault, and the other places the notes name.
    for (const auto& item : diagnostics) {
        if (item.diagnostic == nullptr || offset < item.offset ||
            offset > item.offset + item.length) {
            continue;
        }
        for (const auto& note : item.diagnostic->notes) {
            if (note.place.in_text()) {
                add(out, places.of(note.place));
            }
        }
    }
    const auto at = record_at(s, *side, offset);
    const auto position = at ? record_position(s, at->id) : std::nullopt;
    if (!position) {
        return out;
    }
    std::vector<RecordId> found;
    const auto cell = static_cast<std::int32_t>(cell_of(*position));
    // Objects stand on the cell after their position; what applies holds from the cell of it.
    for (const auto use : {CellUse::object, CellUse::stop, CellUse::marker}) {
        for (const auto c : {cell, cell + 1}) {
            found.push_back(s.reading.holder(use, c));
        }
    }
    for (const auto use : {CellUse::gradient, CellUse::speed, CellUse::adhesion, CellUse::span}) {
        found.push_back(s.reading.holder(use, cell));
    }
    if (const auto zone = station_zone(s, at->id)) {
        for (const auto id : records_in_zone(s, *zone, at->id)) {
            found.push_back(id);
        }
    } else {
        for (const auto id : stations_around(s, *position)) {
            found.push_back(id);
        }
    }
    for (const auto id : found) {
        if (id >= 0 && id != at->id) {
            add(out, record_location(places, id));
        }
    }
    return out;
}

std::vector<Location> references(const OpenDocument& document, const EditorPlaces& places,
                                 std::size_t offset, bool with_declaration) {
    std::vector<Location> out;
    const auto side = places.side_of(document.uri);
    if (!side) {
        return out;
    }
    const auto& s = places.analysis().scenario;
    const auto at = record_at(s, *side, offset);
    const auto position = at ? record_position(s, at->id) : std::nullopt;
    if (!position) {
        return out;
    }
    if (with_declaration) {
        add(out, record_location(places, at->id));
    }
    const auto cell = cell_of(*position);
    for (RecordId id = 0; id < static_cast<RecordId>(s.reading.records().size()); ++id) {
        const auto other = record_position(s, id);
        if (id != at->id && other && cell_of(*other) == cell) {
            add(out, record_location(places, id));
        }
    }
    if (const auto zone = station_zone(s, at->id)) {
        for (const auto id : records_in_zone(s, *zone, at->id)) {
            add(out, record_location(places, id));
        }
    }
    return out;
}

}  // namespace scenario::tool::lsp
