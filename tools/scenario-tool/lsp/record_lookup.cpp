#include "lsp/record_lookup.h"

#include <algorithm>

#include "compiler/model/numbers.h"

namespace scenario::tool::lsp {

using compiler::ErrorSource;

std::optional<RecordAt> record_at(const ReadScenario& scenario, ErrorSource text,
                                  std::size_t offset) {
    const auto& file = scenario.file(text);
    const auto& reading = scenario.reading;
    const std::int32_t line = file.line_of(offset);
    std::optional<RecordAt> found;
    for (RecordId id = 0; id < static_cast<RecordId>(reading.records().size()); ++id) {
        const auto& r = reading.record(id);
        if (r.text != text) {
            continue;
        }
        const auto values = reading.values_of(id);
        const bool on_line = r.keyword.place.line == line ||
                             std::any_of(values.begin(), values.end(), [&](const ReadValue& v) {
                                 return v.field.place.line == line;
                             });
        if (!on_line) {
            continue;
        }
        const auto holds = [&](const compiler::FieldSpan& span) {
            return span.place.line == line && offset >= span.offset &&
                   offset <= span.offset + span.length;
        };
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (holds(values[i].field)) {
                return RecordAt{id, static_cast<int>(i)};
            }
        }
        if (holds(r.keyword)) {
            return RecordAt{id, -1};
        }
        if (found) {
            continue;  // a second record on the line: the first keeps the blanks
        }
        // Between fields: the field the commas before the offset lead to.
        if (r.keyword.place.line == line && offset > r.keyword.offset) {
            const auto bytes =
                std::string_view(file.bytes()).substr(r.keyword.offset, offset - r.keyword.offset);
            const auto commas = std::count(bytes.begin(), bytes.end(), ',');
            const int field = static_cast<int>(commas) - 1;
            found = RecordAt{id, field < static_cast<int>(values.size()) ? field : -1};
        } else {
            found = RecordAt{id, -1};
        }
    }
    return found;
}

std::int64_t cell_of(std::int64_t position) {
    return compiler::round_half_even(static_cast<double>(position) / 50.0);
}

std::optional<std::int64_t> record_position(const ReadScenario& scenario, RecordId id) {
    const auto& kind = scenario.reading.kind_of(id);
    const auto values = scenario.reading.values_of(id);
    if (kind.bound_margin == 0 || values.empty()) {
        return std::nullopt;
    }
    return values[0].read;
}

std::string_view text_value(const ReadScenario& scenario, RecordId id, std::size_t index) {
    const auto values = scenario.reading.values_of(id);
    if (index >= values.size()) {
        return {};
    }
    const auto& r = scenario.reading.record(id);
    return std::string_view(scenario.file(r.text).bytes())
        .substr(values[index].field.offset, values[index].field.length);
}

CurveReading curve_reading(std::string_view keyword) {
    // The reader's own order: the first of the digits 1 to 6 it finds, an 's' anywhere.
    static constexpr std::int32_t kRadius[] = {10000, 5000, 2500, 1000, 500, 333};
    CurveReading curve;
    for (int digit = 1; digit <= 6; ++digit) {
        if (keyword.find(static_cast<char>('0' + digit)) != std::string_view::npos) {
            curve.curve_class = digit;
            curve.radius = kRadius[digit - 1];
            break;
        }
    }
    curve.left = keyword.find_first_of("sS") != std::string_view::npos;
    return curve;
}

bool is_header(std::string_view line) {
    const auto first = line.find_first_not_of(" \t");
    const auto last = line.find_last_not_of(" \t");
    return first != std::string_view::npos && line[first] == '[' && line[last] == ']' &&
           line.find(',') == std::string_view::npos;
}

}  // namespace scenario::tool::lsp
