#pragma once

#include <string>
#include <vector>

#include "compiler/compile.h"
#include "compiler/model/reading_observer.h"
#include "compiler/readers/record_descriptions.h"

namespace scenario::testing {

// Keeps everything one reading tells, for the tests of the readers.
class RecordingObserver : public compiler::ReadingObserver {
  public:
    explicit RecordingObserver(bool recovers = true) : recovers_(recovers) {}

    struct Record {
        compiler::ErrorSource text;
        const compiler::RecordDescription* kind;
        compiler::FieldSpan keyword;
        std::vector<std::pair<compiler::FieldSpan, std::int64_t>> values;
        compiler::RecordEnd end = compiler::RecordEnd::placed;
        bool ended = false;
    };
    struct Cells {
        compiler::RecordId by;
        compiler::CellUse use;
        std::int32_t first;
        std::int32_t last;
    };

    bool recovers() const override { return recovers_; }
    compiler::RecordId record_begins(compiler::ErrorSource text,
                                     const compiler::RecordDescription& kind,
                                     const compiler::FieldSpan& keyword) override {
        records.push_back({text, &kind, keyword, {}});
        return static_cast<compiler::RecordId>(records.size() - 1);
    }
    void value(compiler::RecordId record, std::size_t, const compiler::FieldSpan& field,
               std::int64_t read) override {
        records.at(static_cast<std::size_t>(record)).values.emplace_back(field, read);
    }
    void record_ends(compiler::RecordId record, compiler::RecordEnd how) override {
        auto& r = records.at(static_cast<std::size_t>(record));
        r.end = how;
        r.ended = true;
    }
    void cells(compiler::RecordId by, compiler::CellUse use, std::int32_t first,
               std::int32_t last) override {
        written.push_back({by, use, first, last});
    }
    void occurred(const compiler::Occurrence& occurrence) override {
        occurrences.push_back(occurrence);
    }

    // The names of what occurred, in order: "16", "speed-not-on-step".
    std::vector<std::string> names() const;

    std::vector<Record> records;
    std::vector<Cells> written;
    std::vector<compiler::Occurrence> occurrences;

  private:
    bool recovers_;
};

// Compiles two texts in memory with the observer listening.
compiler::CompileOutput compile_observed(compiler::BuildState& state, const std::string& line,
                                         const std::string& train, RecordingObserver& observer,
                                         std::int32_t buildFlag = 1);

}  // namespace scenario::testing
