// The whole compile of a line text and a train text, in memory as the authors' tool runs it:
// one input is split at its first NUL byte into the two texts (no NUL: the whole input is the
// line text and the train text is empty). Built twice: fuzz_compile compiles without the plan
// (buildFlag 0), since the plan's metres cost most of a compile and depend on the curves alone;
// fuzz_compile_plan (SCENARIO_FUZZ_PLAN) compiles with it. Besides the sanitizers, every run
// checks what must hold for any text: a recorded fault is one the catalogue knows, placed on a
// line of the text that raised it; the cell file holds exactly one record per cell, and the
// plan file is there exactly when it was asked for.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "compiler/compile.h"
#include "compiler/model/diagnostic_catalogue.h"

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
