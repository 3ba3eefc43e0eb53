#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compile.h"
#include "compiler/model/reading_observer.h"
#include "compiler/readers/record_descriptions.h"

namespace scenario::tool {

using compiler::ErrorSource;
using compiler::FieldSpan;
using compiler::RecordId;

// One of the author's texts: the name to show, its bytes (Windows-1252) and where its lines
// start, so that a place can be shown with its line and turned into offsets.
class SourceFile {
  public:
    SourceFile() = default;
    SourceFile(std::string name, std::string bytes);

    const std::string& name() const { return name_; }
    const std::string& bytes() const { return bytes_; }
    // The number of lines: a text that ends with its line end has no empty line after it.
    std::int32_t line_count() const;
    // A line without its line end (CR LF or LF); empty past the last line.
    std::string_view line(std::int32_t number) const;
    // The byte offset of a line's first byte, and the line of an offset.
    std::size_t line_start(std::int32_t number) const;
    std::int32_t line_of(std::size_t offset) const;

  private:
    void index_lines() const;

    std::string name_;
    std::string bytes_;
    mutable std::vector<std::uint32_t> starts_;  // made when first asked
};

// What stands for a cell's holder besides a record.
inline constexpr RecordId kNobody = compiler::kNoRecord;
inline constexpr RecordId kSignallingPass = -2;

// A record as the reading met it.
struct ReadRecord {
    ErrorSource text = ErrorSource::none;
    std::uint8_t kind = 0;  // index in compiler::kRecordDescriptions
    compiler::RecordEnd end = compiler::RecordEnd::placed;
    bool ended = false;
    FieldSpan keyword;
    std::uint32_t first_value = 0;  // in values(), when values are kept
    std::uint32_t value_count = 0;
};

struct ReadValue {
    FieldSpan field;
    std::int64_t read = 0;  // numbers; 0 for a text (its bytes are the field's)
};

// Listens to one reading and keeps what the author's tools use: each record with its place,
// its values as written and read, who holds each cell, and each diagnostic as it occurred.
// The same reading serves check, compile's report, the documents, the plot's markers, dump's
// annotations, the language server and the route page.
class AuthorReading final : public compiler::ReadingObserver {
  public:
    struct Options {
        bool recovers = true;     // check mode: read on after a fault
        bool keep_values = true;  // every value's field; check of a huge text keeps none
        bool plans = true;        // the plan's points; a check needs none
    };
    explicit AuthorReading(Options options) : options_(options) {}
    AuthorReading() : AuthorReading(Options{}) {}

    const std::vector<ReadRecord>& records() const { return records_; }
    const ReadRecord& record(RecordId id) const {
        return records_.at(static_cast<std::size_t>(id));
    }
    const compiler::RecordDescription& kind_of(RecordId id) const;
    std::span<const ReadValue> values_of(RecordId id) const;
    const std::vector<compiler::Occurrence>& occurrences() const { return occurrences_; }
    // Keyword fields the reading skipped or took for headers, for outlines and colours.
    struct Keyword {
        ErrorSource text;
        FieldSpan field;
        compiler::KeywordUse use;
    };
    const std::vector<Keyword>& keywords() const { return keywords_; }

    // Who holds what a cell stores: the record whose object (signal, board, slowdown mark, code
    // point, stop) stands on it; whose approach mark it carries; whose speed, gradient,
    // adhesion or span it holds. kNobody, or kSignallingPass for the pass's code points.
    RecordId holder(compiler::CellUse use, std::int32_t cell) const;

    // --- the observer ------------------------------------------------------------------------
    bool recovers() const override { return options_.recovers; }
    bool plans() const override { return options_.plans; }
    void keyword(ErrorSource text, const FieldSpan& field, compiler::KeywordUse use) override;
    RecordId record_begins(ErrorSource text, const compiler::RecordDescription& kind,
                           const FieldSpan& keyword) override;
    void value(RecordId record, std::size_t index, const FieldSpan& field,
               std::int64_t read) override;
    void record_ends(RecordId record, compiler::RecordEnd how) override;
    void cells(RecordId by, compiler::CellUse use, std::int32_t first, std::int32_t last) override;
    void occurred(const compiler::Occurrence& occurrence) override;

  private:
    Options options_;
    std::vector<ReadRecord> records_;
    std::vector<ReadValue> values_;
    std::vector<compiler::Occurrence> occurrences_;
    std::vector<Keyword> keywords_;
    // One holder table per kind of use, grown to the highest cell told.
    std::vector<std::vector<RecordId>> holders_;
};

// Two texts read and compiled in memory with the reading listening.
struct ReadScenario {
    SourceFile line;
    SourceFile train;
    compiler::BuildState state;
    compiler::CompileOutput output;
    AuthorReading reading;

    const SourceFile& file(ErrorSource text) const {
        return text == ErrorSource::line_text ? line : train;
    }
};

struct ReadRequest {
    std::string LineTitle = "CHECK";
    std::string TrainCode = "C";
    std::int32_t buildFlag = 1;
    AuthorReading::Options reading = {};
};

// Reads the two texts as the build does, observed: check mode (`recovers`) reads on past each
// fault; the build's own mode stops where the build stops and gives its compact files.
void read_scenario(ReadScenario& scenario, SourceFile line, SourceFile train,
                   const ReadRequest& request);

}  // namespace scenario::tool
