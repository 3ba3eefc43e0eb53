#include "lsp/record_layout.h"

#include <algorithm>
#include <map>
#include <set>

namespace scenario::tool::lsp {

namespace {

constexpr ValueLayout blanks(std::uint8_t n) {
    return {Padding::blanks, n};
}
constexpr ValueLayout right(std::uint8_t n) {
    return {Padding::right_aligned, n};
}

// The line text sets each value after a fixed run of blanks; the train text aligns most of its
// values to the right, as its writer's columns have them.
constexpr ValueLayout kFour[] = {blanks(4), blanks(4), blanks(4)};
constexpr ValueLayout kCurve[] = {blanks(2), blanks(2)};
constexpr ValueLayout kGradient[] = {blanks(2), blanks(3)};
constexpr ValueLayout kSpan[] = {blanks(3), blanks(2), blanks(2)};
constexpr ValueLayout kSpeedBoard[] = {blanks(2), blanks(2), blanks(2), blanks(2), blanks(2),
                                       blanks(2), blanks(2), blanks(2), blanks(2)};
constexpr ValueLayout kSignBoard[] = {blanks(2), blanks(3)};
constexpr ValueLayout kClock[] = {blanks(4), blanks(15), blanks(12)};
constexpr ValueLayout kSpeedLimit[] = {right(8), right(6)};
constexpr ValueLayout kAdhesion[] = {blanks(3), right(6)};
constexpr ValueLayout kStation[] = {right(8), right(3), right(5), right(3), right(2), right(2),
                                    right(3), right(1), right(1), right(3), right(1), right(1),
                                    right(5), right(4), right(2), right(2), blanks(1)};
constexpr ValueLayout kSlowdown[] = {right(8), right(6), right(5), right(2), right(3), right(3)};
constexpr ValueLayout kSignal[] = {right(8), right(4), right(2), right(2), right(3), right(2),
                                   right(5), right(3), right(1), right(1), blanks(1)};
constexpr ValueLayout kCodePoint[] = {right(8), right(6)};

constexpr RecordLayout kLayouts[] = {
    {"route length", std::span(kFour).first(1)},
    {"kilometric range", kFour},
    {"scenery", std::span(kFour).first(1)},
    {"signal repetition", std::span(kFour).first(2)},
    {"gradient", kGradient},
    {"curve", kCurve},
    {"mountain span", kSpan},
    {"maximum-speed board", kSpeedBoard},
    {"sign board", kSignBoard},
    {"braked mass", std::span(kFour).first(1)},
    {"coaches", std::span(kFour).first(1)},
    {"speed limit", kSpeedLimit},
    {"adhesion", kAdhesion, false, 0, 7},
    {"clock", kClock, true, 1},
    {"sand", std::span(kFour).first(1)},
    {"signal", kSignal},
    {"slowdown", kSlowdown},
    {"code point", kCodePoint},
    {"station", kStation},
};

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

bool all_blank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), is_blank);
}

// One record's line: where its keyword and values stand, relative to the line's start.
struct Piece {
    std::size_t begin = 0;
    std::size_t end = 0;
};

class LineLayout {
  public:
    LineLayout(std::string_view line, std::size_t line_start) : line_(line), start_(line_start) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == ',') {
                commas_.push_back(i);
            }
        }
    }

    // The field of a span, by the commas before it; -1 when the span crosses a comma or leaves
    // the line.
    int field_of(const compiler::FieldSpan& span) const {
        if (span.offset < start_ || span.offset + span.length > start_ + line_.size()) {
            return -1;
        }
        const std::size_t begin = span.offset - start_;
        const std::size_t end = begin + span.length;
        const auto before = std::lower_bound(commas_.begin(), commas_.end(), begin);
        const auto after = std::lower_bound(commas_.begin(), commas_.end(), end);
        if (before != after) {
            return -1;  // a comma inside the span
        }
        return static_cast<int>(before - commas_.begin());
    }

    std::size_t commas() const { return commas_.size(); }
    std::string_view line() const { return line_; }
    std::size_t start() const { return start_; }

  private:
    std::string_view line_;
    std::size_t start_;
    std::vector<std::size_t> commas_;
};

}  // namespace

const RecordLayout* record_layout(std::string_view kind) {
    for (const auto& layout : kLayouts) {
        if (layout.kind == kind) {
            return &layout;
        }
    }
    return nullptr;
}

std::vector<ByteEdit> layout_edits(const ReadScenario& scenario, compiler::ErrorSource text) {
    std::vector<ByteEdit> edits;
    const auto& reading = scenario.reading;
    const auto& file = scenario.file(text);
    // Lines that hold more than one record are the author's to sort out.
    std::map<std::int32_t, int> records_on_line;
    for (const auto& r : reading.records()) {
        if (r.text == text) {
            ++records_on_line[r.keyword.place.line];
        }
    }
    std::set<std::string_view> kinds_met;
    for (RecordId id = 0; id < static_cast<RecordId>(reading.records().size()); ++id) {
        const auto& r = reading.record(id);
        if (r.text != text) {
            continue;
        }
        const auto& kind = reading.kind_of(id);
        const bool first_of_kind = kinds_met.insert(kind.kind).second;
        const auto* layout = record_layout(kind.kind);
        const auto values = reading.values_of(id);
        const std::int32_t number = r.keyword.place.line;
        if (layout == nullptr || values.size() != kind.values.size() ||
            values.size() != layout->values.size() || records_on_line[number] != 1) {
            continue;
        }
        const LineLayout line(file.line(number), file.line_start(number));
        if (line.commas() != (layout->one_field ? 1 : values.size()) ||
            line.field_of(r.keyword) != 0) {
            continue;
        }
        // Each value in its own field (the clock's all in the first), nothing but blanks around.
        std::vector<Piece> pieces{
            {r.keyword.offset - line.start(), r.keyword.offset - line.start() + r.keyword.length}};
        bool fits = true;
        for (std::size_t i = 0; i < values.size() && fits; ++i) {
            const auto& span = values[i].field;
            const int expected = layout->one_field ? 1 : static_cast<int>(i) + 1;
            fits = span.place.line == number && line.field_of(span) == expected;
            pieces.push_back(
                {span.offset - line.start(), span.offset - line.start() + span.length});
        }
        for (std::size_t i = 1; i < pieces.size() && fits; ++i) {
            const auto gap =
                line.line().substr(pieces[i - 1].end, pieces[i].begin - pieces[i - 1].end);
            // The fields put the commas in their places; between the pieces only blanks.
            fits =
                pieces[i].begin >= pieces[i - 1].end &&
                std::all_of(gap.begin(), gap.end(), [](char c) { return c == ',' || is_blank(c); });
        }
        if (!fits || !all_blank(line.line().substr(0, pieces[0].begin))) {
            continue;
        }
        const auto edit = [&](std::size_t begin, std::size_t end, std::string wanted) {
            if (line.line().substr(begin, end - begin) != wanted) {
                edits.push_back({static_cast<std::uint32_t>(line.start() + begin),
                                 static_cast<std::uint32_t>(end - begin), std::move(wanted)});
            }
        };
        edit(0, pieces[0].begin, "");
        for (std::size_t i = 0; i < values.size(); ++i) {
            const auto& piece = pieces[i + 1];
            ValueLayout value = layout->values[i];
            if (i == 1 && first_of_kind && layout->first_record_second_size > 0) {
                value.size = layout->first_record_second_size;
            }
            const std::size_t length = piece.end - piece.begin;
            const std::size_t run = value.padding == Padding::blanks
                                        ? value.size
                                        : value.size - std::min<std::size_t>(value.size, length);
            const bool comma = !layout->one_field || i == 0;
            edit(pieces[i].end, piece.begin, (comma ? "," : "") + std::string(run, ' '));
        }
        // Blanks after the last number carry nothing; after a name or a board text they are
        // part of it.
        const auto& last = kind.values.back();
        if (last.width != compiler::ValueWidth::text) {
            edit(pieces.back().end, line.line().size(), std::string(layout->trailing, ' '));
        }
    }
    return edits;
}

}  // namespace scenario::tool::lsp
