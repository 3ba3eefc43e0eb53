// The whole compile of a line text and a train text, in memory as the authors' tool runs it:
// one input is split at its first NUL byte into the two texts (no NUL: the whole input is the
// line text and the train text is empty). Built twice: fuzz_compile compiles without the plan
// (buildFlag 0), since the plan's metres cost most of a compile and depend on the curves alone;
// fuzz_compile_plan (SCENARIO_FUZZ_PLAN) compiles with it. Besides the sanitizers, every run
// checks what must hold for any text: a recorded fault is one the catalogue knows, placed on a
// line of the text that raised it; the cell file holds exactly one record per cell, and the
// plan file is there exactly when it was asked for. fuzz_compile also compiles each input
// listened to, as the build and as a check: listening changes nothing the build writes, and
// what is told stays within the texts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "compiler/compile.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/model/reading_observer.h"

namespace {

using namespace scenario;

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "compile fuzz: %s\n", what);
        std::abort();
    }
}

// The number of lines of a text, counted as the field reader counts them.
std::int32_t lines_of(std::string_view text) {
    std::int32_t lines = 1;
    for (const char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    return lines;
}

// Listens as the author's tools do, and checks what every report must hold: each record is
// ended once, each place lies within its text, each diagnostic is one the catalogue knows.
class CheckingObserver final : public compiler::ReadingObserver {
  public:
    CheckingObserver(bool recovers, std::string_view line, std::string_view train)
        : recovers_(recovers),
          line_(line),
          train_(train),
          line_lines_(lines_of(line)),
          train_lines_(lines_of(train)) {}

    bool recovers() const override { return recovers_; }
    compiler::RecordId record_begins(compiler::ErrorSource text, const compiler::RecordDescription&,
                                     const compiler::FieldSpan& keyword) override {
        within(text, keyword);
        ended_.push_back(false);
        return static_cast<compiler::RecordId>(ended_.size() - 1);
    }
    void value(compiler::RecordId record, std::size_t, const compiler::FieldSpan&,
               std::int64_t) override {
        check(record >= 0 && static_cast<std::size_t>(record) < ended_.size() &&
                  !ended_[static_cast<std::size_t>(record)],
              "a value told for a record that is not being read");
    }
    void record_ends(compiler::RecordId record, compiler::RecordEnd) override {
        check(record >= 0 && static_cast<std::size_t>(record) < ended_.size() &&
                  !ended_[static_cast<std::size_t>(record)],
              "a record ended twice or never begun");
        ended_[static_cast<std::size_t>(record)] = true;
    }
    void cells(compiler::RecordId, compiler::CellUse, std::int32_t first,
               std::int32_t last) override {
        check(first >= 0 && first <= last, "cells told backwards");
    }
    void occurred(const compiler::Occurrence& o) override {
        check(compiler::catalogue_entry(o.id).id == o.id, "a diagnostic outside the catalogue");
        if (o.text == compiler::ErrorSource::line_text ||
            o.text == compiler::ErrorSource::train_text) {
            within(o.text, o.at);
        }
    }

  private:
    void within(compiler::ErrorSource text, const compiler::FieldSpan& span) {
        const bool of_line = text == compiler::ErrorSource::line_text;
        const auto bytes = of_line ? line_ : train_;
        check(span.offset + span.length <= bytes.size(), "a field past the end of its text");
        check(span.place.line <= (of_line ? line_lines_ : train_lines_),
              "a place past the last line of its text");
    }

    bool recovers_;
    std::string_view line_;
    std::string_view train_;
    std::int32_t line_lines_;  // counted once: a check of each record must not read the text
    std::int32_t train_lines_;
    std::vector<bool> ended_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto nul = input.find('\0');
    std::string_view line = input.substr(0, nul);
    std::string_view train;
    if (nul != std::string_view::npos) {
        train = input.substr(nul + 1);
    }
#ifdef SCENARIO_FUZZ_PLAN
    constexpr std::int32_t build_flag = 1;
#else
    constexpr std::int32_t build_flag = 0;
#endif

    compiler::CompileInput in;
    in.line_text = compiler::SourceText::of(line);
    in.train_text = compiler::SourceText::of(train);
    in.LineTitle = "L";
    in.TrainCode = "T";
    in.buildFlag = build_flag;
    compiler::BuildState state;
    const auto out = compiler::compile_scenario(state, in);

    // The build listened to writes what it writes unheard; check mode reads on and holds the
    // same invariants. The plan's metres add nothing to this, so only the target without it
    // listens.
    for (const bool recovers : {false, true}) {
        if (build_flag != 0) {
            break;
        }
        CheckingObserver observer(recovers, line, train);
        compiler::BuildState heard;
        heard.observer = &observer;
        const auto out_heard = compiler::compile_scenario(heard, in);
        if (!recovers) {
            check(heard.errorNumber == state.errorNumber &&
                      heard.errorPosition == state.errorPosition,
                  "listening changed the fault the build records");
            check(out_heard.fatal == out.fatal, "listening changed the outcome");
            check(out_heard.files.has_value() == out.files.has_value() &&
                      (!out.files || (out_heard.files->cells == out.files->cells &&
                                      out_heard.files->scenario == out.files->scenario &&
                                      out_heard.files->plan == out.files->plan)),
                  "listening changed the compact files");
        }
    }

    if (state.errorNumber != 0) {
        check(compiler::find_fault(state.errorNumber) != nullptr,
              "a fault outside the catalogue was recorded");
        const auto& site = state.errorSite;
        const bool in_text = site.source == compiler::ErrorSource::line_text ||
                             site.source == compiler::ErrorSource::train_text;
        if (in_text && site.line > 0) {
            const auto text = site.source == compiler::ErrorSource::line_text ? line : train;
            check(site.line <= lines_of(text), "a fault names a line past the end of its text");
            check(site.column >= 1, "a fault names a line but no column");
        }
    }
    check(out.files.has_value() == (out.fatal == compiler::FatalOutcome::none),
          "compact files and a fatal outcome go together");
    if (out.files) {
        check(out.files->cells.size() == state.cells.size() * 15,
              "the cell file does not hold one record per cell");
        check(out.files->plan.has_value() == (build_flag != 0),
              "the plan file is there without the flag, or missing with it");
    }
    return 0;
}
