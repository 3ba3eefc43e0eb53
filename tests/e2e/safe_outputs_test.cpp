// Both programs against kills, a full disk and directories that hold traps: every output is the
// old file or the new one, whole; nothing is written through a link or into a special file; no
// temporary is left behind by an interrupt that can be caught.
#include <gtest/gtest.h>

#ifdef __linux__
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/run_program.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;
using Environment = std::vector<std::pair<std::string, std::string>>;

const std::string kTitle = "MORENA LAGO - PIAN DI VALSO";
const std::string kCode = "R10537";
const std::string kLineText = kTitle + "_linea.txt";
const std::string kTrainText = kTitle + "_" + kCode + "-.txt";
const std::string kSim = kTitle + "_" + kCode + ".sim";
const std::string kDat = kTitle + "_" + kCode + ".dat";
const std::string kPlan = kTitle + "_linea.dat";

const std::vector<std::string> kBuilderOutputs{kTitle + "_" + kCode + "_note.txt",
                                               kTitle + "_" + kCode + "_rallentamenti.txt",
                                               kTitle + "_" + kCode + "_scheda_treno.txt",
                                               kPlan,
                                               kSim,
                                               kDat};
const std::vector<std::string> kCompactFiles{kPlan, kSim, kDat};

void write_bytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// What the writer leaves only while it runs: its temporaries and kept old files
// (".scenario-" and sixteen hexadecimal digits, ".tmp" or ".old"), the journal of a set and the
// record of the builder's texts.
std::vector<std::string> temporaries(const fs::path& directory) {
    static const std::regex ours(R"(^\.scenario-([0-9a-f]{16}\.(tmp|old)|journal|scratch)$)");
    std::vector<std::string> found;
    for (const auto& name : file_names(directory)) {
        if (std::regex_match(name, ours)) {
            found.push_back(name);
        }
    }
    return found;
}

std::map<std::string, std::string> contents(const fs::path& directory,
                                            const std::vector<std::string>& names) {
    std::map<std::string, std::string> bytes;
    for (const auto& name : names) {
        bytes[name] = read_bytes(directory / name);
    }
    return bytes;
}

// One program in its setting: the builder beside its outputs, or the tool compiling the
// built-in texts into out/.
struct Setting {
    const char* name;
    bool builder;

    fs::path program(const TempDir& dir) const {
        return builder ? copy_executable(SCENARIO_BUILDER_EXE, dir.path()) : SCENARIO_TOOL_EXE;
    }
    std::vector<std::string> args() const {
        if (builder) {
            return {};
        }
        return {"compile",
                "--line",
                "texts/" + kLineText,
                "--train",
                "texts/" + kTrainText,
                "--title",
                kTitle,
                "--code",
                kCode,
                "--out",
                "out"};
    }
    fs::path outputs_in(const TempDir& dir) const {
        return builder ? dir.path() : dir.path() / "out";
    }
    const std::vector<std::string>& outputs() const {
        return builder ? kBuilderOutputs : kCompactFiles;
    }
    // A directory ready for a run, and the bytes a complete run leaves.
    std::map<std::string, std::string> prepare(const TempDir& dir) const {
        if (!builder) {
            fs::create_directories(dir.path() / "out");
            EXPECT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "texts"}, dir.path()).status, 0);
        }
        const auto program_path = program(dir);
        EXPECT_EQ(run_program(program_path, args(), dir.path()).status, 0);
        return contents(outputs_in(dir), outputs());
    }
};

const Setting kSettings[] = {{"builder", true}, {"tool", false}};

void PrintTo(const Setting& setting, std::ostream* out) {
    *out << setting.name;
}

class SafeOutputs : public ::testing::TestWithParam<Setting> {};

std::string old_bytes(const std::string& name) {
    return "the old " + name + "\n";
}

void put_old_files(const fs::path& directory, const std::vector<std::string>& names) {
    for (const auto& name : names) {
        write_bytes(directory / name, old_bytes(name));
    }
}

TEST_P(SafeOutputs, KilledAnywhereEveryOutputIsTheOldFileOrTheNewOneWhole) {
    const auto& setting = GetParam();
    TempDir dir;
    const auto fresh = setting.prepare(dir);
    const auto program = setting.program(dir);
    const auto outputs = setting.outputs_in(dir);
    if (!setting.builder) {
        // The tool's inputs stay; only the builder's texts are temporaries.
        ASSERT_TRUE(fs::exists(dir.path() / "texts" / kLineText));
    }
    // A slowed writer, so that kills land inside the writes as often as between them.
    const Environment slow{{"SCENARIO_TEST_PIECE_DELAY_US", "400"}};
    const auto started = std::chrono::steady_clock::now();
    ChildProcess timed(program, setting.args(), dir.path(), slow);
    ASSERT_EQ(timed.wait(), 0);
    const auto run_us = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();

    std::mt19937 random(20261208);
    std::uniform_int_distribution<long> moment(0, run_us + run_us / 5);
    const int signals[] = {SIGTERM, SIGINT, SIGKILL};
    int changed = 0;
    for (int round = 0; round < 120; ++round) {
        const int number = signals[round % 3];
        // What a kill that cannot be caught left in the round before.
        for (const auto& name : temporaries(outputs)) {
            fs::remove(outputs / name);
        }
        fs::remove(dir.path() / kLineText);
        fs::remove(dir.path() / kTrainText);
        put_old_files(outputs, setting.outputs());
        ChildProcess run(program, setting.args(), dir.path(), slow);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        run.signal(number);
        run.wait();
        const auto after = contents(outputs, setting.outputs());
        for (const auto& name : setting.outputs()) {
            const bool whole =
                after.at(name) == old_bytes(name) || after.at(name) == fresh.at(name);
            ASSERT_TRUE(whole) << name << " after signal " << number << " in round " << round;
            changed += after.at(name) != old_bytes(name) ? 1 : 0;
        }
        if (number != SIGKILL) {
            // The compact files are one set: all old or all new. (A kill that cannot be caught
            // may fall between two renames; each file is whole all the same.)
            const bool plan_new = after.at(kPlan) == fresh.at(kPlan);
            EXPECT_EQ(after.at(kSim) == fresh.at(kSim), plan_new) << "round " << round;
            EXPECT_EQ(after.at(kDat) == fresh.at(kDat), plan_new) << "round " << round;
            EXPECT_EQ(temporaries(outputs), std::vector<std::string>{}) << "round " << round;
            EXPECT_FALSE(fs::exists(dir.path() / kLineText) && setting.builder) << round;
            EXPECT_FALSE(fs::exists(dir.path() / kTrainText) && setting.builder) << round;
        }
    }
    // The kills fell before, inside and after the writes.
    EXPECT_GT(changed, 0);
}

TEST_P(SafeOutputs, AFullDiskLeavesEveryOldFileWholeAndNoTemporary) {
    const auto& setting = GetParam();
    TempDir dir;
    const auto fresh = setting.prepare(dir);
    const auto program = setting.program(dir);
    const auto outputs = setting.outputs_in(dir);
    for (const char* room : {"0", "3000", "70000", "1000000", "2099000"}) {
        put_old_files(outputs, setting.outputs());
        ChildProcess full(program, setting.args(), dir.path(),
                          {{"SCENARIO_TEST_FAIL_AFTER_BYTES", room}});
        EXPECT_EQ(full.wait(), setting.builder ? 3 : 2) << room;
        const auto after = contents(outputs, setting.outputs());
        for (const auto& name : setting.outputs()) {
            const bool whole =
                after.at(name) == old_bytes(name) || after.at(name) == fresh.at(name);
            EXPECT_TRUE(whole) << name << " with room for " << room << " bytes";
        }
        for (const auto& name : kCompactFiles) {
            EXPECT_EQ(after.at(name), old_bytes(name)) << name << " with room for " << room;
        }
        EXPECT_EQ(temporaries(outputs), std::vector<std::string>{}) << room;
        EXPECT_FALSE(fs::exists(dir.path() / kLineText) && setting.builder) << room;
    }
}

// What stands at the scenario file's name instead of a regular file.
struct Trap {
    const char* what;
    void (*make)(const fs::path& name, const fs::path& victim);
};

const Trap kTraps[] = {
    {"directory", [](const fs::path& name, const fs::path&) { fs::create_directory(name); }},
    {"FIFO", [](const fs::path& name, const fs::path&) { ::mkfifo(name.c_str(), 0644); }},
    {"dangling link",
     [](const fs::path& name, const fs::path& victim) { fs::create_symlink(victim, name); }},
    {"link to a file",
     [](const fs::path& name, const fs::path& victim) {
         write_bytes(victim, "victim");
         fs::create_symlink(victim, name);
     }},
    {"link to a device",
     [](const fs::path& name, const fs::path&) { fs::create_symlink("/dev/null", name); }},
};

TEST_P(SafeOutputs, ANameThatIsNotARegularFileIsRefusedBeforeAnythingIsWritten) {
    const auto& setting = GetParam();
    for (const auto& trap : kTraps) {
        TempDir dir;
        TempDir elsewhere;
        const auto program = setting.program(dir);
        if (!setting.builder) {
            fs::create_directories(dir.path() / "out");
            run_program(SCENARIO_TOOL_EXE, {"sources", "texts"}, dir.path());
        }
        const auto outputs = setting.outputs_in(dir);
        const auto victim = elsewhere.path() / "victim";
        trap.make(outputs / kSim, victim);
        const auto before = file_names(outputs);
        ChildProcess run(program, setting.args(), dir.path());
        EXPECT_EQ(run.wait(), setting.builder ? 3 : 2) << trap.what;
        EXPECT_EQ(file_names(outputs), before) << trap.what;
        EXPECT_EQ(file_names(elsewhere.path()), fs::exists(victim)
                                                    ? std::vector<std::string>{"victim"}
                                                    : std::vector<std::string>{})
            << trap.what;
        if (fs::exists(victim)) {
            EXPECT_EQ(read_bytes(victim), "victim") << trap.what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, SafeOutputs, ::testing::ValuesIn(kSettings),
                         [](const auto& info) { return std::string(info.param.name); });

// A writer killed at any moment, then another writer in the same directory: the sets of the
// killed one are each wholly old or wholly new, and nothing of the killed run is left.
struct KilledWriter {
    const char* name;
    bool builder;
    std::vector<std::string> args;               // for the tool
    std::vector<std::vector<std::string>> sets;  // the sets it writes, each as one
};

std::vector<std::string> tool_args(const std::string& command, const std::string& out) {
    return {command,
            "--line",
            "texts/" + kLineText,
            "--train",
            "texts/" + kTrainText,
            "--title",
            kTitle,
            "--code",
            kCode,
            "--out",
            out};
}

const KilledWriter kKilledWriters[] = {
    {"builder",
     true,
     {},
     {{kTitle + "_" + kCode + "_note.txt", kTitle + "_" + kCode + "_rallentamenti.txt",
       kTitle + "_" + kCode + "_scheda_treno.txt"},
      {kPlan, kSim, kDat}}},
    {"compile", false, tool_args("compile", "."), {{kPlan, kSim, kDat}}},
    {"documents",
     false,
     tool_args("documents", "."),
     {{kTitle + "_" + kCode + "_rallentamenti.txt", kTitle + "_" + kCode + "_scheda_treno.txt"}}},
};

void PrintTo(const KilledWriter& writer, std::ostream* out) {
    *out << writer.name;
}

class KilledRuns : public ::testing::TestWithParam<KilledWriter> {};

TEST_P(KilledRuns, TheNextWriterLeavesEverySetWhollyOldOrWhollyNewAndNothingOfTheKilledRun) {
    const auto& writer = GetParam();
    TempDir dir;
    // The texts for the tool, and for the writer that comes next in every round.
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "texts"}, dir.path()).status, 0);
    const auto texts = dir.path() / "texts";
    const auto program = writer.builder ? copy_executable(SCENARIO_BUILDER_EXE, dir.path())
                                        : fs::path(SCENARIO_TOOL_EXE);
    // The tool works in the directory itself, as the builder does.
    const auto run_in = dir.path();
    ASSERT_EQ(run_program(program, writer.args, run_in).status, 0);
    std::vector<std::string> all;
    for (const auto& set : writer.sets) {
        all.insert(all.end(), set.begin(), set.end());
    }
    const auto fresh = contents(dir.path(), all);

    // Slow renames, so that a good share of the kills fall between two renames of a set.
    const Environment slow{{"SCENARIO_TEST_RENAME_DELAY_MS", "3"},
                           {"SCENARIO_TEST_PIECE_DELAY_US", "50"}};
    const auto started = std::chrono::steady_clock::now();
    {
        ChildProcess timed(program, writer.args, run_in, slow);
        ASSERT_EQ(timed.wait(), 0);
    }
    const auto run_us = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
    const std::vector<std::string> next{"documents",
                                        "--line",
                                        "texts/" + kLineText,
                                        "--train",
                                        "texts/" + kTrainText,
                                        "--title",
                                        "OTHER",
                                        "--code",
                                        "X00001",
                                        "--out",
                                        "."};

    std::mt19937 random(20261209);
    std::uniform_int_distribution<long> moment(0, run_us + run_us / 10);
    int journals_left = 0;
    int rounds_new = 0;
    for (int round = 0; round < 200; ++round) {
        put_old_files(dir.path(), all);
        ChildProcess run(program, writer.args, run_in, slow);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        run.signal(SIGKILL);
        run.wait();
        journals_left += fs::exists(dir.path() / ".scenario-journal") ? 1 : 0;

        ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, next, dir.path()).status, 0) << round;
        const auto after = contents(dir.path(), all);
        for (const auto& set : writer.sets) {
            const bool old = std::all_of(set.begin(), set.end(), [&](const auto& name) {
                return after.at(name) == old_bytes(name);
            });
            const bool whole_new = std::all_of(set.begin(), set.end(), [&](const auto& name) {
                return after.at(name) == fresh.at(name);
            });
            ASSERT_TRUE(old || whole_new) << set.front() << " ... in round " << round;
            rounds_new += whole_new ? 1 : 0;
        }
        ASSERT_EQ(temporaries(dir.path()), std::vector<std::string>{}) << round;
        ASSERT_FALSE(fs::exists(dir.path() / kLineText)) << round;
        ASSERT_FALSE(fs::exists(dir.path() / kTrainText)) << round;
    }
    // The kills fell between the renames of a set as well as before and after them.
    EXPECT_GT(journals_left, 0);
    EXPECT_GT(rounds_new, 0);
}

INSTANTIATE_TEST_SUITE_P(EachWriter, KilledRuns, ::testing::ValuesIn(kKilledWriters),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SafeOutputs, ALinkSwappedInDuringTheWriteIsReplacedNotFollowed) {
    TempDir dir;
    TempDir elsewhere;
    const Setting tool{"tool", false};
    tool.prepare(dir);
    const auto out = dir.path() / "out";
    const auto victim = elsewhere.path() / "victim";
    write_bytes(victim, "victim");
    put_old_files(out, kCompactFiles);
    // The renames wait: the link goes in once the set's journal is there, that is after every
    // check of the names and before the scenario file's rename.
    ChildProcess run(SCENARIO_TOOL_EXE, tool.args(), dir.path(),
                     {{"SCENARIO_TEST_RENAME_DELAY_MS", "300"}});
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool swapped = false;
    while (!swapped && std::chrono::steady_clock::now() < give_up) {
        if (fs::exists(out / ".scenario-journal")) {
            fs::remove(out / kSim);
            fs::create_symlink(victim, out / kSim);
            swapped = true;
        }
    }
    ASSERT_TRUE(swapped);
    EXPECT_EQ(run.wait(), 0);
    EXPECT_EQ(read_bytes(victim), "victim");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out / kSim)));
    EXPECT_NE(read_bytes(out / kSim), old_bytes(kSim));
}

TEST(SafeOutputs, TwoBuildersInOneDirectoryRunOneAfterTheOther) {
    TempDir reference;
    const Setting builder{"builder", true};
    const auto fresh = builder.prepare(reference);
    for (int round = 0; round < 15; ++round) {
        TempDir dir;
        const auto program = builder.program(dir);
        ChildProcess first(program, {}, dir.path());
        ChildProcess second(program, {}, dir.path());
        EXPECT_EQ(first.wait(), 0) << round;
        EXPECT_EQ(second.wait(), 0) << round;
        auto expected = kBuilderOutputs;
        expected.push_back("scenario-builder");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(file_names(dir.path()), expected) << round;
        EXPECT_EQ(contents(dir.path(), kBuilderOutputs), fresh) << round;
    }
}

}  // namespace
}  // namespace scenario::testing
#endif
