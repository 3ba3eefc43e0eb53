// The readers on their own, and the plan integration as the difference between reading the
// line text with the plan and without it (the curves are then skipped as keyword fields).
#include <benchmark/benchmark.h>

#include <string>

#include "compiler/model/build_state.h"
#include "compiler/readers/line_reader.h"
#include "compiler/readers/train_reader.h"
#include "limits/dense_line.h"
#include "sources/content_table.h"
#include "sources/writers.h"

namespace {

using namespace scenario;

std::string built_in_line() {
    return sources::render(sources::content_table(sources::line_description_lines()));
}

std::string built_in_train() {
    return sources::render(sources::content_table(sources::train_service_lines()));
}

// Reads a line text again and again.
void read_line(benchmark::State& bench, const std::string& text, std::int32_t build_flag,
               std::int32_t metres) {
    for (auto _ : bench) {
        compiler::BuildState state;
        state.buildFlag = build_flag;
        const auto outcome = compiler::read_line_text(state, text);
        benchmark::DoNotOptimize(outcome);
        benchmark::DoNotOptimize(state.cells.data());
        if (state.errorNumber != 0) {
            bench.SkipWithError("the line text records a fault");
            break;
        }
    }
    bench.counters["time_per_metre"] = benchmark::Counter(
        metres, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReadBuiltInLineText(benchmark::State& bench) {
    read_line(bench, built_in_line(), static_cast<std::int32_t>(bench.range(0)), 98000);
}
BENCHMARK(BM_ReadBuiltInLineText)->ArgName("plan")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ReadDenseLineText(benchmark::State& bench) {
    const auto line = testing::dense_line(testing::kLongestRoute);
    read_line(bench, line.line_text, static_cast<std::int32_t>(bench.range(0)),
              testing::kLongestRoute);
}
BENCHMARK(BM_ReadDenseLineText)->ArgName("plan")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The train text after its line text, without the plan; only the train half is timed.
void read_train(benchmark::State& bench, const std::string& line_text,
                const std::string& train_text) {
    for (auto _ : bench) {
        bench.PauseTiming();
        compiler::BuildState state;
        const auto outcome = compiler::read_line_text(state, line_text);
        bench.ResumeTiming();
        compiler::read_train_text(state, train_text, outcome);
        benchmark::DoNotOptimize(state.cells.data());
        if (state.errorNumber != 0) {
            bench.SkipWithError("the train text records a fault");
            break;
        }
    }
}

void BM_ReadBuiltInTrainText(benchmark::State& bench) {
    read_train(bench, built_in_line(), built_in_train());
}
BENCHMARK(BM_ReadBuiltInTrainText)->Unit(benchmark::kMicrosecond);

void BM_ReadDenseTrainText(benchmark::State& bench) {
    const auto line = testing::dense_line(testing::kLongestRoute);
    read_train(bench, line.line_text, line.train_text);
}
BENCHMARK(BM_ReadDenseTrainText)->Unit(benchmark::kMillisecond);

}  // namespace
