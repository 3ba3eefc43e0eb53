// The running-time check on its own: the fastest run of the train along the dense line (the
// model alone, on a profile taken once from the compiled line) and the taking of the profile
// from the build state.
#include <benchmark/benchmark.h>

#include <string>

#include "compiler/compile.h"
#include "limits/dense_line.h"
#include "running_time/fastest_run.h"
#include "running_time/line_profile.h"
#include "sources/scenario_names.h"

namespace {

using scenario::compiler::BuildState;

BuildState compiled_dense_line(std::int32_t metres) {
    using namespace scenario;
    const auto line = testing::dense_line(metres);
    compiler::CompileInput input;
    input.line_text = compiler::SourceText::of(line.line_text);
    input.train_text = compiler::SourceText::of(line.train_text);
    input.LineTitle = sources::kLineTitle;
    input.TrainCode = sources::kTrainCode;
    BuildState state;
    compiler::compile_scenario(state, input);
    return state;
}

void BM_FastestRunDenseLine(benchmark::State& bench) {
    using namespace scenario::running_time;
    const auto metres = static_cast<std::int32_t>(bench.range(0));
    const auto profile = line_profile_of(compiled_dense_line(metres));
    for (auto _ : bench) {
        const auto run = fastest_run(profile, {});
        benchmark::DoNotOptimize(run.curve.data());
        if (!run.computed()) {
            bench.SkipWithError(run.issues.front().message.c_str());
            break;
        }
    }
    bench.counters["metres"] = metres;
}
BENCHMARK(BM_FastestRunDenseLine)->Arg(250000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_LineProfileDenseLine(benchmark::State& bench) {
    const auto state = compiled_dense_line(1000000);
    for (auto _ : bench) {
        const auto profile = scenario::running_time::line_profile_of(state);
        benchmark::DoNotOptimize(profile.curves.data());
    }
}
BENCHMARK(BM_LineProfileDenseLine)->Unit(benchmark::kMillisecond);

}  // namespace
