#include "documents/train_text_records.h"

#include <array>
#include <string>

#include "compiler/readers/field_reader.h"

namespace scenario::tool {

namespace {

using compiler::FieldReader;
using compiler::KeywordField;

enum class Kept : std::uint8_t { nothing, speed_limit, slowdown, station };

// A record of the train text: the words its keyword must contain, the number fields after it
// and whether a name follows them. In the order the train reader tests them: a keyword that
// contains the words of several records is read as each of them in turn.
struct TrainRecord {
    std::array<std::string_view, 2> words;
    int numbers = 0;
    bool name = false;
    Kept kept = Kept::nothing;
};

constexpr std::array kTrainRecords{
    TrainRecord{{"frenata", "massa"}, 1},
    TrainRecord{{"vetture", ""}, 1},
    TrainRecord{{"velocit", ""}, 2, false, Kept::speed_limit},
    TrainRecord{{"aderenza", ""}, 2},
    TrainRecord{{"orologio", ""}, 3},
    TrainRecord{{"sabbia", ""}, 1},
    TrainRecord{{"segnale", ""}, 11},
    TrainRecord{{"rallentamento", ""}, 6, false, Kept::slowdown},
    TrainRecord{{"abbattimento", ""}, 2},
    TrainRecord{{"stazione", ""}, 16, true, Kept::station},
};

bool is_record(const KeywordField& field, const TrainRecord& record) {
    for (const auto word : record.words) {
        if (!word.empty() && !field.has(word)) {
            return false;
        }
    }
    return true;
}

// The keyword of the next record, skipping at most two separator fields; false where the train
// reader's loop ends (the field that reaches the end of the text is dropped).
bool next_keyword(FieldReader& in, std::string& keyword) {
    if (in.at_end()) {
        return false;
    }
    keyword = in.read_text("keyword");
    if (in.at_end()) {
        return false;
    }
    for (int skipped = 0; skipped < 2 && KeywordField(keyword).has("-"); ++skipped) {
        keyword = in.read_text("keyword");
        if (in.at_end()) {
            return false;
        }
    }
    in.begin_record(keyword);
    return true;
}

void keep(TrainTextRecords& records, Kept kept, const std::vector<std::int32_t>& v,
          std::int32_t line) {
    switch (kept) {
        case Kept::speed_limit:
            records.speedLimits.push_back({v[0], v[1], line});
            break;
        case Kept::slowdown:
            records.slowdowns.push_back({v[0], v[1], v[2], v[3], v[4], v[5], line});
            break;
        case Kept::station:
            records.stations.push_back({v[0], v[2], line});
            break;
        case Kept::nothing:
            break;
    }
}

}  // namespace

TrainTextRecords read_train_text_records(std::string_view text) {
    TrainTextRecords records;
    FieldReader in(text);
    // Everything before the general section is ignored, as by the train reader.
    while (!in.at_end()) {
        if (KeywordField(in.read_text("keyword")).has("[generale]")) {
            break;
        }
    }
    std::string keyword;
    std::vector<std::int32_t> values;
    while (next_keyword(in, keyword)) {
        const KeywordField field(keyword);
        const std::int32_t line = in.line();
        for (const auto& record : kTrainRecords) {
            if (!is_record(field, record)) {
                continue;
            }
            // Every number is read as 32 bits: in a text that compiled, each one fitted its
            // narrower field too, and the width does not change what a field takes.
            values.clear();
            for (int i = 0; i < record.numbers; ++i) {
                values.push_back(in.read_int32());
            }
            if (record.name) {
                in.read_text("name");
            }
            keep(records, record.kept, values, line);
        }
    }
    return records;
}

}  // namespace scenario::tool
