// The longest route the reader accepts, with content as dense as the placement rules allow,
// compiled through the authors' tool; and the first length past it.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "compiler/memorizza_percorso.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/model/packing.h"
#include "files/file_names.h"
#include "files/replace_file.h"
#include "limits/dense_line.h"
#include "support/run_program.h"

#if defined(__SANITIZE_ADDRESS__)
#define SCENARIO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SCENARIO_UNDER_ASAN 1
#endif
#endif

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;
using compiler::Fault;
using compiler::TrackCell;

constexpr std::int32_t kLastMetre = kLongestRoute + 7000;
constexpr std::int32_t kLastCell = kLastMetre / 50;

void write_texts(const DenseLine& line, const fs::path& dir) {
    files::replace_file(dir / "line.txt", line.line_text);
    files::replace_file(dir / "train.txt", line.train_text);
}

std::vector<std::string> compile_args(const fs::path& dir, const fs::path& out) {
    return {"compile",
            "--line",
            (dir / "line.txt").string(),
            "--train",
            (dir / "train.txt").string(),
            "--title",
            "LUNGA",
            "--code",
            "D1",
            "--out",
            out.string(),
            "--json"};
}

std::array<std::int32_t, 15> count_kinds(const std::vector<TrackCell>& cells) {
    std::array<std::int32_t, 15> counts{};
    for (const auto& cell : cells) {
        if (cell.kind < counts.size()) {
            ++counts[cell.kind];
        }
    }
    return counts;
}

std::int32_t board_cell(std::int32_t position) {
    return position / 50 + 1;  // positions here are multiples of 50
}

class LongestLine : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::string(SCENARIO_TOOL_EXE).empty()) {
            GTEST_SKIP() << "scenario-tool is not built";
        }
    }
    TempDir dir_;
};

TEST_F(LongestLine, CompilesCleanlyWithEveryObjectOnItsCell) {
    const auto line = dense_line(kLongestRoute);
    write_texts(line, dir_.path());
    const auto out = dir_.path() / "out";
    fs::create_directory(out);
    const auto result = run_program(SCENARIO_TOOL_EXE, compile_args(dir_.path(), out), dir_.path());
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("\"outcome\":\"clean\",\"errorNumber\":0"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\"stations\":48,\"signals\":1000"), std::string::npos) << result.out;
    // Eight code points around each slowdown: one before the signal ahead of its warning, three
    // before its start, three along it and one before the first signal after it.
    EXPECT_NE(result.out.find("\"codePointsPlaced\":160"), std::string::npos) << result.out;

    const auto plan_bytes = read_bytes(out / "LUNGA_linea.dat");
    EXPECT_EQ(plan_bytes.size(), 2u * (4 + 4 + 10u * (kLastMetre - 3) + 2 + 2));
    const auto cell_bytes = read_bytes(out / "LUNGA_D1.dat");
    const auto cells = compiler::unpack_cells(
        std::span(reinterpret_cast<const std::uint8_t*>(cell_bytes.data()), cell_bytes.size()));
    ASSERT_TRUE(cells.has_value());
    ASSERT_EQ(cells->size(), static_cast<std::size_t>(kLastCell) + 1);

    const auto kinds = count_kinds(*cells);
    const auto slowdowns = static_cast<std::int32_t>(line.slowdowns.size());
    std::int32_t stops = 0;
    for (auto kind : line.station_kinds) {
        stops += kind < 25 ? 1 : 0;
    }
    EXPECT_EQ(kinds[1], static_cast<std::int32_t>(line.signals.size()));
    EXPECT_EQ(kinds[2], slowdowns);
    EXPECT_EQ(kinds[3], slowdowns);
    EXPECT_EQ(kinds[4], slowdowns);
    EXPECT_EQ(kinds[5], 4 * slowdowns);
    EXPECT_EQ(kinds[6], static_cast<std::int32_t>(line.speed_boards.size()));
    EXPECT_EQ(kinds[10], stops);
    EXPECT_EQ(kinds[12], static_cast<std::int32_t>(line.code_points.size()) + 160);
    EXPECT_EQ(kinds[13], static_cast<std::int32_t>(line.cancels.size()));
    EXPECT_EQ(kinds[14], kDenseSignBoards);
    for (auto p : line.signals) {
        EXPECT_EQ((*cells)[static_cast<std::size_t>(board_cell(p))].kind, 1) << "signal at " << p;
    }
    // The last signal stands at 999600 m, past the metre at which curves must end.
    EXPECT_EQ((*cells)[static_cast<std::size_t>(board_cell(999600))].kind, 1);
    EXPECT_EQ((*cells)[1].ref, 5121);
    // The gradient runs on to cell N - 3; the speed of the last record is in force there too.
    EXPECT_NE((*cells)[kLastCell - 3].gradientCode, 0);
    EXPECT_NE((*cells)[kLastCell - 3].speedStep, 0);
}

#ifndef _WIN32
// Peak resident memory of a child process, in kilobytes, and its exit status.
struct ChildUse {
    int status = -1;
    long max_rss_kb = 0;
};

ChildUse run_measured(const std::vector<std::string>& args, const fs::path& log) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (!std::freopen(log.c_str(), "w", stdout) || !std::freopen(log.c_str(), "a", stderr)) {
            ::_exit(126);
        }
        std::vector<std::string> copies = args;
        std::vector<char*> argv;
        for (auto& a : copies) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ChildUse use;
    int status = 0;
    rusage usage{};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) {
        use.status = WEXITSTATUS(status);
        use.max_rss_kb = usage.ru_maxrss;
    }
    return use;
}

TEST_F(LongestLine, CompilesWithinSixtyFourMegabytes) {
#ifdef SCENARIO_UNDER_ASAN
    GTEST_SKIP() << "the sanitizers' shadow memory says nothing about the program's own";
#endif
    write_texts(dense_line(kLongestRoute), dir_.path());
    const auto out = dir_.path() / "out";
    fs::create_directory(out);
    auto args = compile_args(dir_.path(), out);
    args.insert(args.begin(), SCENARIO_TOOL_EXE);
    const auto use = run_measured(args, dir_.path() / "log");
    ASSERT_EQ(use.status, 0) << read_bytes(dir_.path() / "log");
    EXPECT_LT(use.max_rss_kb, 64 * 1024) << "peak " << use.max_rss_kb << " kB";
    EXPECT_GT(use.max_rss_kb, 20 * 1024) << "the plan alone is 20 MB: was it measured at all?";
}
#endif

TEST_F(LongestLine, OneMetreMoreRecordsError1AndWritesNoCompactFile) {
    write_texts(dense_line(kLongestRoute + 1), dir_.path());
    const auto out = dir_.path() / "out";
    fs::create_directory(out);
    // A cell file of an earlier compile stays exactly as it was.
    files::replace_file(out / "LUNGA_D1.dat", std::string_view("earlier"));
    const auto result = run_program(SCENARIO_TOOL_EXE, compile_args(dir_.path(), out), dir_.path());
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    const auto error_number =
        "\"errorNumber\":" + std::to_string(number_of(Fault::route_too_long)) + ",";
    EXPECT_NE(result.out.find(error_number), std::string::npos) << result.out;
    EXPECT_EQ(file_names(out), std::vector<std::string>{"LUNGA_D1.dat"});
    EXPECT_EQ(read_bytes(out / "LUNGA_D1.dat"), "earlier");
    // The author's texts are only read.
    EXPECT_EQ(read_bytes(dir_.path() / "line.txt"), dense_line(kLongestRoute + 1).line_text);
}

TEST(LongestLineCompile, OneMetreMoreStopsTheReaderBeforeAnyCellOrPlan) {
    TempDir dir;
    const auto line = dense_line(kLongestRoute + 1);
    files::replace_file(files::full_path(dir.path(), files::line_text_name("L")), line.line_text);
    files::replace_file(files::full_path(dir.path(), files::train_text_name("L", "T")),
                        line.train_text);
    compiler::BuildState state;
    state.LineTitle = "L";
    state.TrainCode = "T";
    EXPECT_THROW(compiler::memorizza_percorso(state, dir.path(), 1), compiler::NoCellsError);
    EXPECT_EQ(state.errorNumber, number_of(Fault::route_too_long));
    EXPECT_FALSE(state.has_cells());
    EXPECT_FALSE(state.plan.allocated());
    EXPECT_FALSE(fs::exists(files::full_path(dir.path(), files::line_text_name("L"))));
    for (const auto& name : {files::scenario_file_name("L", "T"), files::cell_file_name("L", "T"),
                             files::line_binary_name("L")}) {
        EXPECT_FALSE(fs::exists(files::full_path(dir.path(), name))) << name;
    }
}

}  // namespace
}  // namespace scenario::testing
