#include "documents/train_text_records.h"

namespace scenario::tool {

TrainTextRecords train_text_records(const AuthorReading& reading) {
    TrainTextRecords records;
    for (RecordId id = 0; id < static_cast<RecordId>(reading.records().size()); ++id) {
        const auto& r = reading.record(id);
        if (r.text != ErrorSource::train_text || r.end != compiler::RecordEnd::placed) {
            continue;
        }
        const auto kind = reading.kind_of(id).kind;
        const auto v = reading.values_of(id);
        const std::int32_t line = r.keyword.place.line;
        const auto value = [&](std::size_t i) { return static_cast<std::int32_t>(v[i].read); };
        if (kind == "speed limit" && v.size() == 2) {
            records.speedLimits.push_back({value(0), value(1), line});
        } else if (kind == "slowdown" && v.size() == 6) {
            records.slowdowns.push_back(
                {value(0), value(1), value(2), value(3), value(4), value(5), line});
        } else if (kind == "station" && v.size() >= 3) {
            records.stations.push_back({value(0), value(2), line});
        }
    }
    return records;
}

}  // namespace scenario::tool
