#include "commands/compile_command.h"

#include <gtest/gtest.h>

#include <fstream>

#include "cli/exit_status.h"
#include "commands/sources_command.h"
#include "files/file_names.h"
#include "inspect/compact_file.h"
#include "sources/scenario_names.h"
#include "support/run_program.h"

namespace scenario::tool {
namespace {

namespace fs = std::filesystem;
using testing::file_names;
using testing::read_bytes;
using testing::TempDir;

void write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// A line text without a route length: no cells, so no compact file, whatever the readers
// record about it.
constexpr const char* kNoRouteLength = "[generale]\r\nsfondo uno,    1\r\n[curve]\r\n[fine]\r\n";
constexpr const char* kTrain = "[generale]\r\nnumero vetture,    5\r\n[fine]\r\n";

class CompileTexts : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(out());
        write(line(), kNoRouteLength);
        write(train(), kTrain);
    }

    fs::path line() const { return dir_.path() / "line.txt"; }
    fs::path train() const { return dir_.path() / "train.txt"; }
    fs::path out() const { return dir_.path() / "out"; }

    CompileRequest request() const { return {line(), train(), "A - B", "R1", out(), true, {}}; }

    void expect_inputs_unchanged() const {
        EXPECT_EQ(read_bytes(line()), kNoRouteLength);
        EXPECT_EQ(read_bytes(train()), kTrain);
    }

    TempDir dir_;
};

TEST_F(CompileTexts, WithoutCellsNothingIsWrittenAndEarlierFilesStay) {
    write(out() / "A - B_R1.sim", "earlier");
    const auto report = compile_texts(request());
    EXPECT_EQ(report.outcome, CompileOutcome::refused);
    EXPECT_TRUE(report.written.empty());
    EXPECT_EQ(file_names(out()), std::vector<std::string>{"A - B_R1.sim"});
    EXPECT_EQ(read_bytes(out() / "A - B_R1.sim"), "earlier");
    expect_inputs_unchanged();
}

TEST_F(CompileTexts, RefusesNamesThatCannotNameFilesBeforeWritingAnything) {
    for (const auto* title : {"../A", "A/B", "..", "A\nB"}) {
        auto r = request();
        r.LineTitle = title;
        EXPECT_THROW(compile_texts(r), UsageError) << title;
    }
    EXPECT_TRUE(file_names(out()).empty());
    expect_inputs_unchanged();
}

TEST_F(CompileTexts, RefusesInputsAndOutputsItCannotUse) {
    auto missing = request();
    missing.train_text = dir_.path() / "absent.txt";
    EXPECT_THROW(compile_texts(missing), EnvironmentError);

    auto directory_as_text = request();
    directory_as_text.line_text = out();
    EXPECT_THROW(compile_texts(directory_as_text), EnvironmentError);

    auto no_directory = request();
    no_directory.out_directory = dir_.path() / "absent";
    EXPECT_THROW(compile_texts(no_directory), EnvironmentError);

    auto file_as_directory = request();
    file_as_directory.out_directory = line();
    EXPECT_THROW(compile_texts(file_as_directory), EnvironmentError);

    EXPECT_TRUE(file_names(out()).empty());
    EXPECT_FALSE(fs::exists(dir_.path() / "absent"));
    expect_inputs_unchanged();
}

TEST_F(CompileTexts, NeverWritesOverAnInput) {
    // The author keeps the train text under the name the cell file would take.
    const auto text_named_like_output = out() / "A - B_R1.dat";
    write(text_named_like_output, kTrain);
    auto r = request();
    r.train_text = text_named_like_output;
    EXPECT_THROW(compile_texts(r), EnvironmentError);
    EXPECT_EQ(read_bytes(text_named_like_output), kTrain);
    EXPECT_EQ(file_names(out()), std::vector<std::string>{"A - B_R1.dat"});
}

TEST_F(CompileTexts, TheCommandReportsAsJsonAndExitsWithOne) {
    std::ostringstream out_text;
    std::ostringstream err_text;
    const std::vector<std::string> args{"--line",  line().string(), "--train", train().string(),
                                        "--title", "A - B",         "--code",  "R1",
                                        "--out",   out().string(),  "--json"};
    EXPECT_EQ(compile_command(args, out_text, err_text), kExitTextFault);
    EXPECT_TRUE(out_text.str().starts_with(R"({"outcome":"refused",)")) << out_text.str();
    EXPECT_EQ(err_text.str(), "");
}

// A small line and train run that compile without a fault.
constexpr const char* kCleanLine =
    "[generale]\r\nlunghezza percorso,    10000\r\n"
    "progressiva chilometrica uno,    0,    10000,    1\r\n"
    "ripetizione segnali 9 codici,    1000,    9000\r\n[curve]\r\ncurvas5,  2000,  400\r\n"
    "[pendenze]\r\npendenza,  0,   0\r\npendenza,  3000,   12\r\n[montagne]\r\n"
    "montagna,   4000,  4600,  11\r\n[cartelli]\r\n[indicazioni]\r\n"
    "cartello_indicatore,  2200,   (PONTE)\r\n[fine]\r\n";
constexpr const char* kCleanTrain =
    "[generale]\r\nnumero vetture,    4\r\n[aderenze]\r\naderenza,   0,    100\r\n"
    "[vel_limite]\r\nvelocita,       0,    80\r\n[stazioni]\r\n"
    "stazione,     400,  4,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, PRIMA\r\n"
    "stazione,    9000,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,   7,10, 0, ULTIMA\r\n"
    "[rallentamenti]\r\nrallentamento,    6000,    40,  300, 1,  1,  0\r\n[segnali]\r\n"
    "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0\r\n[fine]\r\n";

class CompileCleanTexts : public CompileTexts {
  protected:
    void SetUp() override {
        CompileTexts::SetUp();
        write(line(), kCleanLine);
        write(train(), kCleanTrain);
    }
};

TEST_F(CompileCleanTexts, WritesTheThreeCompactFilesAndCountsTheScenario) {
    const auto report = compile_texts(request());
    EXPECT_EQ(report.outcome, CompileOutcome::clean) << diagnostic_line(report);
    EXPECT_EQ(report.routeLength, 10000);
    EXPECT_EQ(report.cellCount, 341);
    EXPECT_EQ(report.stationCount, 2);
    EXPECT_EQ(report.signalCount, 1);
    EXPECT_EQ(report.written,
              (std::vector<std::string>{"A - B_linea.dat", "A - B_R1.sim", "A - B_R1.dat"}));
    EXPECT_EQ(file_names(out()),
              (std::vector<std::string>{"A - B_R1.dat", "A - B_R1.sim", "A - B_linea.dat"}));
    EXPECT_EQ(read_bytes(line()), kCleanLine);
    EXPECT_EQ(read_bytes(train()), kCleanTrain);
}

TEST_F(CompileCleanTexts, EveryCompiledFileDecodesAndRepacksToTheSameBytes) {
    compile_texts(request());
    for (const auto* name : {"A - B_linea.dat", "A - B_R1.sim", "A - B_R1.dat"}) {
        const auto bytes = read_bytes(out() / name);
        const std::vector<std::uint8_t> view(bytes.begin(), bytes.end());
        const auto decoded = decode_compact(view, *kind_from_name(name));
        ASSERT_TRUE(decoded.file) << name << ": " << decoded.misfit;
        const auto repacked = repack(*decoded.file);
        EXPECT_EQ(std::string(repacked.begin(), repacked.end()), bytes) << name;
    }
}

TEST(CompileBuiltInTexts, TheCompiledFilesDecodeAndRepackToTheSameBytes) {
    TempDir dir;
    write_sources(dir.path(), false);
    const std::string title(sources::kLineTitle);
    const std::string code(sources::kTrainCode);
    const auto report =
        compile_texts({files::full_path(dir.path(), files::line_text_name(title)),
                       files::full_path(dir.path(), files::train_text_name(title, code)),
                       title,
                       code,
                       dir.path(),
                       true,
                       {}});
    ASSERT_EQ(report.outcome, CompileOutcome::clean) << diagnostic_line(report);
    ASSERT_EQ(report.written.size(), 3u);
    for (const auto& name : report.written) {
        const auto bytes = read_bytes(files::full_path(dir.path(), name));
        const std::vector<std::uint8_t> view(bytes.begin(), bytes.end());
        const auto decoded = decode_compact(view, *kind_from_name(name));
        ASSERT_TRUE(decoded.file) << name << ": " << decoded.misfit;
        const auto repacked = repack(*decoded.file);
        EXPECT_EQ(std::string(repacked.begin(), repacked.end()), bytes) << name;
    }
}

// The limits of dump and plot are what the compile makes of the longest route.
TEST_F(CompileCleanTexts, TheLongestRouteGivesTheLargestCellFileAndPlan) {
    std::string text = kCleanLine;
    text.replace(text.find("10000"), 5, "1000000");  // the route length
    write(line(), text);
    ASSERT_NE(compile_texts(request()).outcome, CompileOutcome::refused);
    EXPECT_EQ(fs::file_size(out() / "A - B_R1.dat"), largest_compact_size(CompactKind::cells));
    // Every point a 10-byte double but the two 4-byte integers at the start of each axis and the
    // two 2-byte empty ones at its end.
    EXPECT_EQ(fs::file_size(out() / "A - B_linea.dat"),
              largest_compact_size(CompactKind::plan) - 2 * (2 * 6 + 2 * 8));
}

TEST_F(CompileCleanTexts, WithoutThePlanAnEarlierLineBinaryFileStays) {
    write(out() / "A - B_linea.dat", "earlier plan");
    write(out() / "A - B_R1.dat", "earlier cells");
    auto r = request();
    r.with_plan = false;
    const auto report = compile_texts(r);
    EXPECT_EQ(report.written, (std::vector<std::string>{"A - B_R1.sim", "A - B_R1.dat"}));
    EXPECT_EQ(read_bytes(out() / "A - B_linea.dat"), "earlier plan");
    EXPECT_EQ(read_bytes(out() / "A - B_R1.dat").size(), 341u * 15u);
}

TEST_F(CompileCleanTexts, TheTitleAndCodeNameTheFilesAndEnterTheTable) {
    auto r = request();
    r.LineTitle = "CITT\xC0 - MARE";
    r.TrainCode = "X9";
    compile_texts(r);
    const auto sim = read_bytes(out() / "CITT\xC0 - MARE_X9.sim");
    EXPECT_NE(sim.find("CITT\xC0 - MARE"), std::string::npos);
    EXPECT_TRUE(fs::exists(out() / "CITT\xC0 - MARE_linea.dat"));
}

}  // namespace
}  // namespace scenario::tool
