#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "files/file_names.h"
#include "sources/scenario_names.h"
#include "support/run_program.h"
#include "tool/synthetic_scenario.h"

namespace scenario::testing {
namespace {

RunResult tool(const std::vector<std::string>& args, const TempDir& dir) {
    return run_program(SCENARIO_TOOL_EXE, args, dir.path());
}

// The tool under `timeout`: one that waits on a FIFO is killed, and the test fails instead of
// hanging.
RunResult tool_in_time(std::vector<std::string> args, const TempDir& dir) {
    args.insert(args.begin(), {"-s", "KILL", "60", SCENARIO_TOOL_EXE});
    return run_program("/usr/bin/timeout", args, dir.path());
}

TEST(ToolCommandLine, HelpAndVersionGoToStandardOutput) {
    TempDir dir;
    for (const auto& args : std::vector<std::vector<std::string>>{{"help"},
                                                                  {"--help"},
                                                                  {"help", "compile"},
                                                                  {"compile", "--help"},
                                                                  {"dump", "-h"},
                                                                  {"plot", "--help"},
                                                                  {"sources", "--help"}}) {
        const auto result = tool(args, dir);
        EXPECT_EQ(result.status, 0) << args.front();
        EXPECT_NE(result.out.find("usage: scenario-tool"), std::string::npos) << args.front();
        EXPECT_EQ(result.err, "");
    }
    const auto version = tool({"--version"}, dir);
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("scenario-tool ")) << version.out;
    EXPECT_TRUE(file_names(dir.path()).empty());
}

TEST(ToolCommandLine, WrongUsageExitsWithTwoAndWritesNothing) {
    TempDir dir;
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"help", "frobnicate"},
             {"compile"},
             {"compile", "--line", "l.txt", "--train", "t.txt", "--title", "A", "--code", "B"},
             {"compile", "--line", "l.txt", "--bogus"},
             {"sources"},
             {"sources", "a", "b"},
             {"dump"},
             {"dump", "file.txt"},
             {"dump", "x.sim", "--cells", "1..2"},
             {"plot", "."},
         }) {
        const auto result = tool(args, dir);
        EXPECT_EQ(result.status, 2) << (args.empty() ? "(none)" : args.front());
        EXPECT_FALSE(result.err.empty());
    }
    EXPECT_TRUE(file_names(dir.path()).empty());
}

TEST(ToolCommandLine, UnusableFilesExitWithTwoAndAClearMessage) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "out");
    const std::vector<std::string> compile{
        "compile", "--line", "absent.txt", "--train", "absent-too.txt", "--title", "A",
        "--code",  "R1",     "--out",      "out"};
    auto result = tool(compile, dir);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("'absent.txt' does not exist"), std::string::npos) << result.err;

    result = tool({"dump", "absent.sim"}, dir);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("absent.sim"), std::string::npos);

    result = tool({"plot", "out", "--out", "x.svg"}, dir);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("no compiled scenario"), std::string::npos) << result.err;
    EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{"out"});
    EXPECT_TRUE(file_names(dir.path() / "out").empty());
}

// A text above 64 MiB, a compact file above the largest its layout gives, a device and a FIFO
// are refused at once, unread.
TEST(ToolCommandLine, InputsTooLargeOrNotRegularFilesAreRefusedUnread) {
    TempDir dir;
    const auto at = [&](const std::string& name) { return dir.path() / name; };
    for (const auto& [name, size] :
         std::vector<std::pair<std::string, std::uintmax_t>>{{"big.txt", (64u << 20) + 1},
                                                             {"big.sim", 5704503 + 1},
                                                             {"big.dat", 302115 + 1},
                                                             {"big_linea.dat", 20140020 + 1}}) {
        std::ofstream(at(name)).close();
        std::filesystem::resize_file(at(name), size);
    }
    std::ofstream(at("t.txt")) << "[fine]\r\n";
    write_synthetic_scenario(dir.path());
    std::filesystem::remove(at("LAGO & MONTE_linea.dat"));
    for (const auto* fifo : {"pipe.txt", "pipe.sim", "LAGO & MONTE_linea.dat"}) {
        ASSERT_EQ(::mkfifo(at(fifo).c_str(), 0600), 0);
    }
    const auto compile = [](const std::string& line) {
        return std::vector<std::string>{"compile", "--line", line, "--train", "t.txt", "--title",
                                        "A",       "--code", "R1", "--out",   "."};
    };
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {compile("big.txt"), "67108865 bytes, more than the 67108864 bytes"},
        {compile("/dev/zero"), "it is a device"},
        {compile("pipe.txt"), "it is a FIFO"},
        {{"dump", "big.sim"}, "more than the 5704503 bytes"},
        {{"dump", "big.dat"}, "more than the 302115 bytes"},
        {{"dump", "big_linea.dat"}, "more than the 20140020 bytes"},
        {{"dump", "/dev/zero", "--as", "plan"}, "it is a device"},
        {{"dump", "pipe.sim"}, "it is a FIFO"},
        {{"plot", ".", "--out", "x.svg", "--title", "LAGO & MONTE", "--code", "T00001"},
         "it is a FIFO"}};  // the plan
    const auto before = file_names(dir.path());
    for (const auto& [args, refusal] : cases) {
        const auto result = tool_in_time(args, dir);
        EXPECT_EQ(result.status, 2) << args[1];
        EXPECT_NE(result.err.find(refusal), std::string::npos) << result.err;
    }
    EXPECT_EQ(file_names(dir.path()), before);
}

// Each command that writes, with a directory, a FIFO, a dangling link or a link to a file at (the
// last of) its output names: refused before anything is written, and no link followed.
TEST(ToolCommandLine, OutputNamesThatAreNoRegularFileAreRefusedAndNothingIsWritten) {
    namespace fs = std::filesystem;
    const std::string title(sources::kLineTitle);
    const std::string code(sources::kTrainCode);
    const std::vector<std::pair<std::string, std::vector<std::string>>> commands{
        {"out/" + files::cell_file_name(title, code),
         {"compile", "--line", "texts/" + files::line_text_name(title), "--train",
          "texts/" + files::train_text_name(title, code), "--title", title, "--code", code, "--out",
          "out"}},
        {"out/line.svg", {"plot", "scenario", "--out", "out/line.svg"}},
        {"out/route.html",
         {"view", "--line", "texts/" + files::line_text_name(title), "--train",
          "texts/" + files::train_text_name(title, code), "--out", "out/route.html"}},
        {"out/" + files::train_card_name(title, code), {"sources", "out", "--force"}}};
    const std::vector<std::function<void(const fs::path&)>> non_files{
        [](const fs::path& at) { fs::create_directory(at); },
        [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); },
        [](const fs::path& at) { fs::create_symlink("../nowhere", at); },
        [](const fs::path& at) { fs::create_symlink("../victim.txt", at); }};
    for (const auto& [output, args] : commands) {
        for (std::size_t kind = 0; kind < non_files.size(); ++kind) {
            TempDir dir;
            ASSERT_EQ(tool({"sources", "texts"}, dir).status, 0);
            fs::create_directories(dir.path() / "scenario");
            fs::create_directory(dir.path() / "out");
            write_synthetic_scenario(dir.path() / "scenario");
            std::ofstream(dir.path() / "victim.txt") << "keep me";
            non_files[kind](dir.path() / output);
            const auto before = file_names(dir.path() / "out");
            const auto result = tool_in_time(args, dir);
            EXPECT_EQ(result.status, 2) << args[0] << " " << kind;
            EXPECT_NE(result.err.find("cannot be replaced"), std::string::npos) << result.err;
            EXPECT_EQ(file_names(dir.path() / "out"), before) << args[0] << " " << kind;
            EXPECT_EQ(read_bytes(dir.path() / "victim.txt"), "keep me");
            EXPECT_FALSE(fs::exists(dir.path() / "nowhere"));
        }
    }
}

// A diagnostic quotes the text (Windows-1252 as UTF-8) and names files; no control byte of them
// reaches the terminal as it is.
TEST(ToolCommandLine, ControlBytesOfTextsAndNamesAreEscapedInMessages) {
    TempDir dir;
    std::ofstream(dir.path() / "l\x07.txt") << "[generale]\r\nlunghezza percorso, \x1b[31m\xE8\r\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"compile", "--line", "l\x07.txt", "--train", "l\x07.txt", "--title", "A", "--code", "R1",
          "--out", "."},
         "l\\x07.txt:2:21: error 25: 'lunghezza percorso': the route length '\\x1b[31m\xC3\xA8' "
         "is not a number"},
        {{"dump", "absent\x1b[2J.sim"}, "absent\\x1b[2J.sim"},
        {{"plot", "no\xC2\x9B", "--out", "x.svg"}, "'no\\x9b'"}};
    for (const auto& [args, shown] : cases) {
        const auto err = tool(args, dir).err;
        EXPECT_NE(err.find(shown), std::string::npos) << err;
        EXPECT_EQ(err.find_first_of("\x1b\x07\x9b"), std::string::npos) << err;
    }
}

TEST(ToolCommandLine, UnsafeTitlesAndCodesAreRefused) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "out");
    for (const auto& [title, code] : std::vector<std::pair<std::string, std::string>>{
             {"../escape", "R1"}, {"A", "x/y"}, {"A\x01", "R1"}, {"A", ".."}}) {
        const auto result = tool({"compile", "--line", "l.txt", "--train", "t.txt", "--title",
                                  title, "--code", code, "--out", "out"},
                                 dir);
        EXPECT_EQ(result.status, 2) << title << " " << code;
        EXPECT_NE(result.err.find("cannot name files"), std::string::npos) << result.err;
    }
    EXPECT_TRUE(file_names(dir.path() / "out").empty());
}

}  // namespace
}  // namespace scenario::testing
