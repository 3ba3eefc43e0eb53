#include "reading/author_reading.h"

#include <algorithm>

namespace scenario::tool {

namespace {

std::size_t use_index(compiler::CellUse use) {
    return static_cast<std::size_t>(use);
}

constexpr std::size_t kUses = static_cast<std::size_t>(compiler::CellUse::adhesion) + 1;

}  // namespace

SourceFile::SourceFile(std::string name, std::string bytes)
    : name_(std::move(name)), bytes_(std::move(bytes)) {}

void SourceFile::index_lines() const {
    if (!starts_.empty()) {
        return;
    }
    starts_.push_back(0);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (bytes_[i] == '\n') {
            starts_.push_back(static_cast<std::uint32_t>(i + 1));
        }
    }
}

std::int32_t SourceFile::line_count() const {
    index_lines();
    const auto count = static_cast<std::int32_t>(starts_.size());
    // A final line end opens no further line.
    return starts_.back() == bytes_.size() && count > 1 ? count - 1 : count;
}

std::size_t SourceFile::line_start(std::int32_t number) const {
    index_lines();
    if (number < 1) {
        return 0;
    }
    if (static_cast<std::size_t>(number) > starts_.size()) {
        return bytes_.size();
    }
    return starts_[static_cast<std::size_t>(number - 1)];
}

std::int32_t SourceFile::line_of(std::size_t offset) const {
    index_lines();
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
    return static_cast<std::int32_t>(it - starts_.begin());
}

std::string_view SourceFile::line(std::int32_t number) const {
    if (number < 1 || number > line_count()) {
        return {};
    }
    const std::size_t start = line_start(number);
    std::size_t end = bytes_.find('\n', start);
    if (end == std::string::npos) {
        end = bytes_.size();
    }
    std::string_view text(bytes_.data() + start, end - start);
    if (text.ends_with('\r') && end < bytes_.size()) {
        text.remove_suffix(1);
    }
    return text;
}

const compiler::RecordDescription& AuthorReading::kind_of(RecordId id) const {
    return compiler::kRecordDescriptions[record(id).kind];
}

std::span<const ReadValue> AuthorReading::values_of(RecordId id) const {
    const auto& r = record(id);
    if (!options_.keep_values || r.first_value >= values_.size()) {
        return {};
    }
    return std::span(values_).subspan(r.first_value, r.value_count);
}

RecordId AuthorReading::holder(compiler::CellUse use, std::int32_t cell) const {
    const auto u = use_index(use);
    if (u >= holders_.size() || cell < 0 || static_cast<std::size_t>(cell) >= holders_[u].size()) {
        return kNobody;
    }
    return holders_[u][static_cast<std::size_t>(cell)];
}

void AuthorReading::keyword(ErrorSource text, const FieldSpan& field, compiler::KeywordUse use) {
    if (options_.keep_values) {
        keywords_.push_back({text, field, use});
    }
}

RecordId AuthorReading::record_begins(ErrorSource text, const compiler::RecordDescription& kind,
                                      const FieldSpan& keyword) {
    ReadRecord r;
    r.text = text;
    r.kind = static_cast<std::uint8_t>(&kind - compiler::kRecordDescriptions);
    r.keyword = keyword;
    r.first_value = static_cast<std::uint32_t>(values_.size());
    records_.push_back(r);
    return static_cast<RecordId>(records_.size() - 1);
}

void AuthorReading::value(RecordId record, std::size_t, const FieldSpan& field, std::int64_t read) {
    if (!options_.keep_values || record < 0) {
        return;
    }
    values_.push_back({field, read});
    ++records_[static_cast<std::size_t>(record)].value_count;
}

void AuthorReading::record_ends(RecordId record, compiler::RecordEnd how) {
    if (record < 0) {
        return;
    }
    auto& r = records_[static_cast<std::size_t>(record)];
    r.end = how;
    r.ended = true;
}

void AuthorReading::cells(RecordId by, compiler::CellUse use, std::int32_t first,
                          std::int32_t last) {
    if (first < 0 || last < first) {
        return;
    }
    if (holders_.empty()) {
        holders_.resize(kUses);
    }
    auto& table = holders_[use_index(use)];
    if (table.size() <= static_cast<std::size_t>(last)) {
        table.resize(static_cast<std::size_t>(last) + 1, kNobody);
    }
    const RecordId holder = by == compiler::kNoRecord ? kSignallingPass : by;
    std::fill(table.begin() + first, table.begin() + last + 1, holder);
}

void AuthorReading::occurred(const compiler::Occurrence& occurrence) {
    occurrences_.push_back(occurrence);
}

void read_scenario(ReadScenario& scenario, SourceFile line, SourceFile train,
                   const ReadRequest& request) {
    scenario.line = std::move(line);
    scenario.train = std::move(train);
    scenario.reading = AuthorReading(request.reading);
    compiler::CompileInput input;
    input.line_text = compiler::SourceText::of(scenario.line.bytes());
    input.train_text = compiler::SourceText::of(scenario.train.bytes());
    input.LineTitle = request.LineTitle;
    input.TrainCode = request.TrainCode;
    input.buildFlag = request.buildFlag;
    scenario.state.observer = &scenario.reading;
    scenario.output = compiler::compile_scenario(scenario.state, input);
    scenario.state.observer = nullptr;
}

}  // namespace scenario::tool
