// The running-time check on its own: the fastest run of the train along the dense line (the
// model alone, on a profile taken once from the line as check reads it), the taking of the
// profile from that reading, and the timetable's diagnostics a check adds.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "diagnostics/timetable_check.h"
#include "limits/dense_line.h"
#include "running_time/fastest_run.h"

namespace {

using scenario::tool::ReadScenario;

// The dense line read as check reads it: check mode, no plan points.
std::unique_ptr<ReadScenario> read_dense_line(std::int32_t metres) {
    using namespace scenario;
    const auto line = testing::dense_line(metres);
    auto scenario = std::make_unique<ReadScenario>();
    tool::ReadRequest request;
    request.reading.plans = false;
    tool::read_scenario(*scenario, {"line", line.line_text}, {"train", line.train_text}, request);
    return scenario;
}

void BM_FastestRunDenseLine(benchmark::State& bench) {
    using namespace scenario::running_time;
    const auto metres = static_cast<std::int32_t>(bench.range(0));
    const auto profile = scenario::tool::run_profile_of(*read_dense_line(metres));
    for (auto _ : bench) {
        const auto run = fastest_run(profile, {});
        benchmark::DoNotOptimize(run.curve.data());
        if (!run.computed()) {
            bench.SkipWithError(run.issues.front().message.c_str());
            break;
        }
    }
    bench.counters["metres"] = metres;
    bench.counters["curves"] = static_cast<double>(profile.curves.size());
}
BENCHMARK(BM_FastestRunDenseLine)->Arg(250000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_RunProfileDenseLine(benchmark::State& bench) {
    const auto scenario = read_dense_line(1000000);
    for (auto _ : bench) {
        const auto profile = scenario::tool::run_profile_of(*scenario);
        benchmark::DoNotOptimize(profile.curves.data());
    }
}
BENCHMARK(BM_RunProfileDenseLine)->Unit(benchmark::kMillisecond);

// What a check of the dense line spends on its timetable: the run without its curve, and the
// diagnostics.
void BM_TimetableCheckDenseLine(benchmark::State& bench) {
    const auto scenario = read_dense_line(1000000);
    for (auto _ : bench) {
        const auto found = scenario::tool::timetable_occurrences(*scenario);
        benchmark::DoNotOptimize(found.data());
    }
}
BENCHMARK(BM_TimetableCheckDenseLine)->Unit(benchmark::kMillisecond);

}  // namespace
