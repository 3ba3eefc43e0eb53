// The packer on its own: the three compact files of a model already in memory.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "compiler/model/build_state.h"
#include "compiler/model/packing.h"

namespace {

using namespace scenario::compiler;

// A plan of the longest route, shaped as the line reader leaves it: two integer points, the
// computed doubles, two empty points at the end.
PathPoints longest_plan() {
    constexpr std::int32_t last_metre = 1000000 + 7000;
    PathPoints plan;
    plan.allocate(last_metre);
    for (std::int32_t m = 0; m <= last_metre - 2; ++m) {
        for (auto& axis : plan.axis) {
            axis.tags[static_cast<std::size_t>(m)] = m < 2 ? PlanTag::integer : PlanTag::real;
        }
        plan.axis[0].values[static_cast<std::size_t>(m)] = m * 0.25;
        plan.axis[1].values[static_cast<std::size_t>(m)] = m < 2 ? m : m * 0.97;
    }
    return plan;
}

void BM_PackPlanOfTheLongestRoute(benchmark::State& bench) {
    const auto plan = longest_plan();
    std::size_t bytes = 0;
    for (auto _ : bench) {
        const auto packed = pack_path_points(plan);
        bytes = packed.size();
        benchmark::DoNotOptimize(packed.data());
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * bytes));
}
BENCHMARK(BM_PackPlanOfTheLongestRoute)->Unit(benchmark::kMillisecond);

void BM_PackCellsOfTheLongestRoute(benchmark::State& bench) {
    std::vector<TrackCell> cells((1000000 + 7000) / 50 + 1);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        cells[i].gradientCode = static_cast<std::uint8_t>(100 + i % 30);
        cells[i].speedStep = static_cast<std::uint8_t>(12 + i % 8);
    }
    for (auto _ : bench) {
        const auto packed = pack_cells(cells);
        benchmark::DoNotOptimize(packed.data());
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * cells.size() * 15));
}
BENCHMARK(BM_PackCellsOfTheLongestRoute)->Unit(benchmark::kMicrosecond);

void BM_PackFullTable(benchmark::State& bench) {
    BuildState state;
    for (std::size_t i = 1; i < state.locations.size(); ++i) {
        state.locations[i].name = "(PASSAGGIO)(A LIVELLO)";
    }
    for (auto _ : bench) {
        const auto packed = pack_locations(state.locations);
        benchmark::DoNotOptimize(packed.data());
    }
}
BENCHMARK(BM_PackFullTable)->Unit(benchmark::kMicrosecond);

}  // namespace
