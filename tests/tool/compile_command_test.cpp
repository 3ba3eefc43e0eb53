#include "compile_command.h"

#include <gtest/gtest.h>

#include <fstream>

#include "exit_status.h"
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

    CompileRequest request() const { return {line(), train(), "A - B", "R1", out(), true}; }

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

}  // namespace
}  // namespace scenario::tool
