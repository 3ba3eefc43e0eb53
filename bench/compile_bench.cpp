// The whole compile in memory (both readers, the signalling pass, the stamps and the packing of
// the three compact files) of the built-in texts and of the dense line at several route lengths.
#include <benchmark/benchmark.h>

#include <string>

#include "compiler/compile.h"
#include "limits/dense_line.h"
#include "sources/content_table.h"
#include "sources/scenario_names.h"
#include "sources/writers.h"

namespace {

using scenario::compiler::BuildState;

struct Texts {
    std::string line;
    std::string train;
};

Texts built_in_texts() {
    using namespace scenario::sources;
    return {render(content_table(line_description_lines())),
            render(content_table(train_service_lines()))};
}

void compile_texts(benchmark::State& bench, const Texts& texts, std::int32_t metres) {
    using namespace scenario;
    compiler::CompileInput input;
    input.line_text = compiler::SourceText::of(texts.line);
    input.train_text = compiler::SourceText::of(texts.train);
    input.LineTitle = sources::kLineTitle;
    input.TrainCode = sources::kTrainCode;
    for (auto _ : bench) {
        BuildState state;
        const auto output = compiler::compile_scenario(state, input);
        // The plan's bytes too, as the whole compile in memory made them before it packed the
        // plan straight into its file.
        auto plan = output.files && output.files->plan ? output.files->plan->bytes()
                                                       : std::vector<std::uint8_t>{};
        benchmark::DoNotOptimize(plan);
        benchmark::DoNotOptimize(output.files);
        if (state.errorNumber != 0 || output.fatal != compiler::FatalOutcome::none) {
            bench.SkipWithError(
                ("the texts record error " + std::to_string(state.errorNumber)).c_str());
            break;
        }
    }
    bench.counters["metres"] = metres;
    bench.counters["time_per_metre"] = benchmark::Counter(
        metres, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_CompileBuiltIn(benchmark::State& bench) {
    compile_texts(bench, built_in_texts(), 98000);
}
BENCHMARK(BM_CompileBuiltIn)->Unit(benchmark::kMillisecond);

void BM_CompileDenseLine(benchmark::State& bench) {
    const auto metres = static_cast<std::int32_t>(bench.range(0));
    const auto line = scenario::testing::dense_line(metres);
    compile_texts(bench, {line.line_text, line.train_text}, metres);
}
BENCHMARK(BM_CompileDenseLine)
    ->Arg(125000)
    ->Arg(250000)
    ->Arg(500000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
