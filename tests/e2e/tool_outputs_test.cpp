// The tool's writing commands and their outputs: the lock or a refusal, read-only outputs and
// --force, titles that begin with '-' or name a device, the five texts of sources as one set,
// and a standard output that cannot be written.
#include <gtest/gtest.h>

#ifdef __linux__
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;
using Environment = std::vector<std::pair<std::string, std::string>>;

const std::string kTitle = "MORENA LAGO - PIAN DI VALSO";
const std::string kCode = "R10537";
const std::string kLine = "texts/" + kTitle + "_linea.txt";
const std::string kTrain = "texts/" + kTitle + "_" + kCode + "-.txt";
const std::vector<std::string> kCompact{kTitle + "_linea.dat", kTitle + "_" + kCode + ".sim",
                                        kTitle + "_" + kCode + ".dat"};

// Runs the tool in a directory with variables added, standard output to `out` (a file name,
// /dev/full included), and returns the exit status and standard error.
std::pair<int, std::string> run_tool(const fs::path& dir, const std::vector<std::string>& args,
                                     const Environment& env = {},
                                     const std::string& out = "/dev/null") {
    const auto err = dir / ".err";
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(dir.c_str()) != 0) {
            ::_exit(126);
        }
        const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out_fd, 1);
        ::dup2(err_fd, 2);
        for (const auto& [name, value] : env) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        std::vector<std::string> copies = args;
        std::string program = SCENARIO_TOOL_EXE;
        std::vector<char*> argv{program.data()};
        for (auto& a : copies) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const auto text = read_bytes(err);
    fs::remove(err);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

std::vector<std::string> compile(const std::string& title = kTitle,
                                 const std::vector<std::string>& more = {}) {
    std::vector<std::string> args{"compile", "--line", kLine, "--train", kTrain, "--title",
                                  title,     "--code", kCode, "--out",   "out"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// A directory with the built-in texts in texts/ and old compact files in out/.
struct Work {
    TempDir dir;
    Work() {
        EXPECT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "texts"}, dir.path()).status, 0);
        fs::create_directory(dir.path() / "out");
        for (const auto& name : kCompact) {
            std::ofstream(dir.path() / "out" / name) << "old " << name;
        }
    }
    std::map<std::string, std::string> out() const {
        std::map<std::string, std::string> bytes;
        for (const auto& name : file_names(dir.path() / "out")) {
            bytes[name] = read_bytes(dir.path() / "out" / name);
        }
        return bytes;
    }
};

struct Refusal {
    const char* what;
    std::vector<std::string> args;
    Environment env;
    std::function<void(const fs::path&)> prepare;
    const char* message;  // a part of what standard error says
};

const Refusal kRefusals[] = {
    {"a title given apart that begins with '-'",
     compile("-X"),
     {},
     nullptr,
     "write --title=-X if that is the title you mean"},
    {"a code given apart that begins with '-'",
     {"compile", "--line", kLine, "--train", kTrain, "--title", "T", "--code", "--out", "out"},
     {},
     nullptr,
     "write --code=--out if that is the code you mean"},
    {"a title that names a device", compile("con"), {}, nullptr, "the name of a device"},
    {"a title that names a device with an extension",
     compile("LPT1.x"),
     {},
     nullptr,
     "the name of a device"},
    {"a read-only compact file",
     compile(),
     {},
     [](const fs::path& dir) { ::chmod((dir / "out" / kCompact[1]).c_str(), 0444); },
     "it is read-only (--force replaces it)"},
    {"no lock to be had",
     compile(),
     {{"SCENARIO_TEST_NO_LOCKS", "1"}},
     nullptr,
     "(--no-lock writes all the same)"},
    {"the last rename fails",
     compile(),
     {{"SCENARIO_TEST_FAIL_RENAME_AT", "3"}},
     nullptr,
     "nothing was changed"},
};

TEST(ToolOutputs, ARefusedCompileLeavesTheOldFilesAndSaysWhy) {
    for (const auto& refusal : kRefusals) {
        Work work;
        if (refusal.prepare) {
            refusal.prepare(work.dir.path());
        }
        const auto before = work.out();
        const auto [status, err] = run_tool(work.dir.path(), refusal.args, refusal.env);
        EXPECT_EQ(status, 2) << refusal.what << ": " << err;
        EXPECT_NE(err.find(refusal.message), std::string::npos) << refusal.what << ": " << err;
        EXPECT_EQ(work.out(), before) << refusal.what;
    }
}

TEST(ToolOutputs, WhatWasRefusedIsWrittenWhenTheAuthorSaysSo) {
    {
        Work work;
        ::chmod((work.dir.path() / "out" / kCompact[1]).c_str(), 0444);
        EXPECT_EQ(run_tool(work.dir.path(), compile(kTitle, {"--force"})).first, 0);
        struct stat about {};
        ASSERT_EQ(::stat((work.dir.path() / "out" / kCompact[1]).c_str(), &about), 0);
        EXPECT_EQ(about.st_mode & 07777, 0444u) << "the replaced file keeps its mode";
        EXPECT_NE(work.out().at(kCompact[1]), "old " + kCompact[1]);
    }
    {
        Work work;
        const auto [status, err] = run_tool(work.dir.path(), compile(kTitle, {"--no-lock"}),
                                            {{"SCENARIO_TEST_NO_LOCKS", "1"}});
        EXPECT_EQ(status, 0) << err;
        EXPECT_NE(work.out().at(kCompact[2]), "old " + kCompact[2]);
    }
    {
        Work work;
        const auto [status, err] = run_tool(work.dir.path(), compile("-X", {}));
        EXPECT_EQ(status, 2);
        auto args = compile("-X");
        args[5] = "--title=-X";
        args.erase(args.begin() + 6);
        EXPECT_EQ(run_tool(work.dir.path(), args).first, 0);
        EXPECT_TRUE(fs::exists(work.dir.path() / "out" / "-X_R10537.sim"));
    }
}

TEST(ToolOutputs, AFailedWriteToStandardOutputIsReported) {
    Work work;
    const auto [status, err] = run_tool(work.dir.path(), compile(), {}, "/dev/full");
    EXPECT_EQ(status, 2);
    EXPECT_NE(err.find("scenario-tool: cannot write to standard output: No space left on device"),
              std::string::npos)
        << err;
}

TEST(ToolOutputs, SourcesWritesItsFiveTextsAsOneSet) {
    TempDir dir;
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "texts"}, dir.path()).status, 0);
    const auto texts = dir.path() / "texts";
    const auto names = file_names(texts);
    ASSERT_EQ(names.size(), 5u);
    for (const auto& name : names) {
        std::ofstream(texts / name, std::ios::binary) << "my edit of " << name;
    }
    // The third rename of the five fails: the two renamed before go back.
    const auto [status, err] = run_tool(dir.path(), {"sources", "texts", "--force"},
                                        {{"SCENARIO_TEST_FAIL_RENAME_AT", "3"}});
    EXPECT_EQ(status, 2);
    EXPECT_NE(err.find("nothing was changed"), std::string::npos) << err;
    EXPECT_EQ(file_names(texts), names);
    for (const auto& name : names) {
        EXPECT_EQ(read_bytes(texts / name), "my edit of " + name);
    }
    EXPECT_EQ(run_tool(dir.path(), {"sources", "texts", "--force"}).first, 0);
    for (const auto& name : names) {
        EXPECT_NE(read_bytes(texts / name), "my edit of " + name);
    }
}

TEST(ToolOutputs, AWritePastTheFileSizeLimitIsReportedAsAFullDiskIs) {
    Work work;
    const auto before = work.out();
    // ulimit -f: 64 blocks of 512 bytes, less than the plan's 2 MB.
    const std::string command = "cd '" + work.dir.path().string() + "' && ulimit -f 64 && '" +
                                SCENARIO_TOOL_EXE + "' compile --line '" + kLine + "' --train '" +
                                kTrain + "' --title '" + kTitle + "' --code " + kCode +
                                " --out out >/dev/null 2>err.txt";
    const int status = std::system(("bash -c \"" + command + "\"").c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal";
    EXPECT_EQ(WEXITSTATUS(status), 2);
    const auto err = read_bytes(work.dir.path() / "err.txt");
    EXPECT_NE(err.find("File too large"), std::string::npos) << err;
    EXPECT_EQ(work.out(), before);
}

}  // namespace
}  // namespace scenario::testing
#endif
