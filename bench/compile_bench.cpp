// The whole compile (both readers, the signalling pass, the stamps and the three writes) of the
// built-in texts and of the dense line at several route lengths, in a directory on disk.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "compiler/memorizza_percorso.h"
#include "files/file_names.h"
#include "files/replace_file.h"
#include "limits/dense_line.h"
#include "sources/content_table.h"
#include "sources/scenario_names.h"
#include "sources/writers.h"

namespace {

namespace fs = std::filesystem;
using scenario::compiler::BuildState;

class BenchDir {
  public:
    BenchDir() {
        std::random_device random;
        path_ = fs::temp_directory_path() / ("scenario-bench-" + std::to_string(random()));
        fs::create_directories(path_);
    }
    ~BenchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

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
    BenchDir dir;
    const std::string title(sources::kLineTitle);
    const std::string code(sources::kTrainCode);
    const auto line_file = files::full_path(dir.path(), files::line_text_name(title));
    const auto train_file = files::full_path(dir.path(), files::train_text_name(title, code));
    for (auto _ : bench) {
        bench.PauseTiming();
        files::replace_file(line_file, texts.line);
        files::replace_file(train_file, texts.train);
        BuildState state;
        state.LineTitle = title;
        state.TrainCode = code;
        bench.ResumeTiming();
        const auto result = compiler::memorizza_percorso(state, dir.path(), 1);
        benchmark::DoNotOptimize(result);
        if (state.errorNumber != 0 || result.fatalError != 0) {
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
