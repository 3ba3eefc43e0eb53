// The builder's refusals that leave every file as it was: no lock to be had, a read-only
// output, a rename that fails part-way, an immutable file; and its messages, which show the
// control characters of a name escaped.
#include <gtest/gtest.h>

#ifdef __linux__
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/run_program.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;

const std::string kTitle = "MORENA LAGO - PIAN DI VALSO";
const std::string kCode = "R10537";
const std::vector<std::string> kOutputs{kTitle + "_" + kCode + "_note.txt",
                                        kTitle + "_" + kCode + "_rallentamenti.txt",
                                        kTitle + "_" + kCode + "_scheda_treno.txt",
                                        kTitle + "_linea.dat",
                                        kTitle + "_" + kCode + ".sim",
                                        kTitle + "_" + kCode + ".dat"};

std::map<std::string, std::string> outputs_in(const fs::path& directory) {
    std::map<std::string, std::string> bytes;
    for (const auto& name : file_names(directory)) {
        if (name != "scenario-builder") {
            bytes[name] = read_bytes(directory / name);
        }
    }
    return bytes;
}

// Runs the builder with its standard error in a file, and its environment added to.
struct Run {
    int status;
    std::string err;
};
Run run_builder(const fs::path& program,
                const std::vector<std::pair<std::string, std::string>>& env) {
    const auto err = program.parent_path().parent_path() / "err.txt";
    std::string command;
    for (const auto& [name, value] : env) {
        command += name + "='" + value + "' ";
    }
    command += "env -u DISPLAY '" + program.string() + "' 2>'" + err.string() + "' >/dev/null";
    const int status = std::system(command.c_str());
    Run run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_bytes(err)};
    fs::remove(err);
    return run;
}

struct Refusal {
    const char* what;
    std::vector<std::pair<std::string, std::string>> env;
    std::function<bool(const fs::path& dir)> prepare;  // false: the case cannot be set up here
    const char* message;                               // a part of what standard error says
};

const Refusal kRefusals[] = {
    {"no lock to be had",
     {{"SCENARIO_TEST_NO_LOCKS", "1"}},
     [](const fs::path&) { return true; },
     "no lock can be held there"},
    {"a read-only output",
     {},
     [](const fs::path& dir) { return ::chmod((dir / kOutputs[5]).c_str(), 0444) == 0; },
     "it is read-only"},
    {"the second rename of the documents fails",
     {{"SCENARIO_TEST_FAIL_RENAME_AT", "4"}},  // the two texts, then the documents
     [](const fs::path&) { return true; },
     "nothing was changed"},
    {"an immutable notes file",
     {},
     [](const fs::path& dir) {
         const auto command = "chattr +i '" + (dir / kOutputs[0]).string() + "' 2>/dev/null";
         return std::system(command.c_str()) == 0;
     },
     "nothing was changed"},
};

TEST(BuilderOutputs, ARefusedOrFailedBuildLeavesEveryOutputAsItWas) {
    for (const auto& refusal : kRefusals) {
        TempDir dir;
        const auto place = dir.path() / "builder";
        fs::create_directory(place);
        const auto program = copy_executable(SCENARIO_BUILDER_EXE, place);
        for (const auto& name : kOutputs) {
            std::ofstream(place / name, std::ios::binary) << "old " << name;
        }
        if (!refusal.prepare(place)) {
            std::cout << "[ SKIPPED  ] " << refusal.what << ": cannot be set up here\n";
            continue;
        }
        const auto before = outputs_in(place);
        const auto run = run_builder(program, refusal.env);
        std::system(("chattr -i '" + (place / kOutputs[0]).string() + "' 2>/dev/null").c_str());
        EXPECT_EQ(run.status, 3) << refusal.what << ": " << run.err;
        EXPECT_NE(run.err.find(refusal.message), std::string::npos)
            << refusal.what << ": " << run.err;
        EXPECT_EQ(outputs_in(place), before) << refusal.what;
    }
}

TEST(BuilderOutputs, AReplacedOutputKeepsItsMode) {
    TempDir dir;
    const auto program = copy_executable(SCENARIO_BUILDER_EXE, dir.path());
    std::ofstream(dir.path() / kOutputs[4], std::ios::binary) << "old";
    ASSERT_EQ(::chmod((dir.path() / kOutputs[4]).c_str(), 0604), 0);
    ASSERT_EQ(run_builder(program, {}).status, 0);
    struct stat about {};
    ASSERT_EQ(::stat((dir.path() / kOutputs[4]).c_str(), &about), 0);
    EXPECT_EQ(about.st_mode & 07777, 0604u);
}

TEST(BuilderOutputs, ItsMessagesShowTheControlCharactersOfANameEscaped) {
    TempDir dir;
    const auto place = dir.path() / "scenario\x1b[2J\x07here";
    fs::create_directory(place);
    const auto program = copy_executable(SCENARIO_BUILDER_EXE, place);
    fs::create_directory(place / kOutputs[4]);
    const auto run = run_builder(program, {});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("scenario\\x1b[2J\\x07here"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.err.find('\x07'), std::string::npos);
}

}  // namespace
}  // namespace scenario::testing
#endif
