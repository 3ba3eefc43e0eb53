#include "files/output_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "files/directory_lock.h"
#include "files/interrupt_cleanup.h"
#include "files/output_set.h"
#include "files/replace_file.h"
#include "files/write_hooks.h"
#include "support/run_program.h"

namespace scenario::files {
namespace {

namespace fs = std::filesystem;
using scenario::testing::file_names;
using scenario::testing::read_bytes;
using scenario::testing::TempDir;

std::span<const std::uint8_t> bytes_of(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void write_old(const fs::path& file) {
    std::ofstream(file, std::ios::binary) << "old";
}

TEST(OutputName, OnlyAFreeNameOrARegularFileTakesAnOutput) {
    TempDir dir;
    const auto file = dir.path() / "file";
    write_old(file);
    fs::create_directory(dir.path() / "directory");
    ::mkfifo((dir.path() / "fifo").c_str(), 0644);
    fs::create_symlink(file, dir.path() / "link");
    fs::create_symlink(dir.path() / "nowhere", dir.path() / "dangling");
    const struct {
        const char* name;
        const char* reason;  // nullptr: usable
    } cases[] = {
        {"free", nullptr},
        {"file", nullptr},
        {"directory", "it is a directory"},
        {"fifo", "it is a FIFO"},
        {"link", "it is a symbolic link (an output is never written through a link)"},
        {"dangling", "it is a symbolic link (an output is never written through a link)"},
    };
    for (const auto& c : cases) {
        const auto reason = unusable_output_reason(dir.path() / c.name);
        EXPECT_EQ(reason.has_value(), c.reason != nullptr) << c.name;
        if (reason && c.reason) {
            EXPECT_EQ(*reason, c.reason) << c.name;
        }
    }
    EXPECT_EQ(unusable_output_reason("/dev/null"), "it is a device");
}

TEST(PendingFile, TheOldFileStaysWholeUntilTheCommitAndNoTemporaryOutlivesIt) {
    TempDir dir;
    const auto file = dir.path() / "out.dat";
    write_old(file);
    {
        PendingFile pending(file);
        pending.write(bytes_of("new bytes"));
        pending.finish();
        EXPECT_EQ(read_bytes(file), "old");
        EXPECT_EQ(file_names(dir.path()).size(), 2u);  // the file and its temporary
        pending.commit();
    }
    EXPECT_EQ(read_bytes(file), "new bytes");
    EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{"out.dat"});
    {
        PendingFile abandoned(file);
        abandoned.write(bytes_of("never"));
    }
    EXPECT_EQ(read_bytes(file), "new bytes");
    EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{"out.dat"});
}

TEST(OutputSet, AnUnusableNameOrAFullDiskLeavesEveryOldFileAsItWas) {
    TempDir dir;
    const auto a = dir.path() / "a";
    const auto b = dir.path() / "b";
    write_old(a);
    write_old(b);

    fs::create_directory(dir.path() / "c");
    OutputSet refused;
    refused.add(a, bytes_of("new a"));
    EXPECT_THROW(refused.add(dir.path() / "c", bytes_of("new c")), FileError);

    for (const std::int64_t room : {0, 3, 7}) {
        set_write_hooks({.fail_after_bytes = room});
        OutputSet full;
        full.add(a, bytes_of("new a"));
        full.add(b, bytes_of("new b"));
        EXPECT_THROW(full.commit(), FileError) << room;
        EXPECT_EQ(read_bytes(a), "old") << room;
        EXPECT_EQ(read_bytes(b), "old") << room;
        EXPECT_EQ(file_names(dir.path()), (std::vector<std::string>{"a", "b", "c"})) << room;
    }
    set_write_hooks({});
    OutputSet whole;
    whole.add(a, bytes_of("new a"));
    whole.add(b, bytes_of("new b"));
    whole.commit();
    EXPECT_EQ(read_bytes(a), "new a");
    EXPECT_EQ(read_bytes(b), "new b");
}

TEST(ReplaceFile, ALinkAtTheNameIsRefusedAndWhatItPointsToIsNotTouched) {
    TempDir dir;
    const auto victim = dir.path() / "victim";
    write_old(victim);
    fs::create_symlink(victim, dir.path() / "out");
    EXPECT_THROW(replace_file(dir.path() / "out", std::string_view("new")), FileError);
    EXPECT_EQ(read_bytes(victim), "old");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "out"));
}

TEST(DirectoryLock, ASecondHolderWaitsAndGivesUpWithAClearError) {
    TempDir dir;
    const DirectoryLock first(dir.path());
    try {
        const DirectoryLock second(dir.path(), Locking::required, std::chrono::milliseconds(50));
        ADD_FAILURE() << "two holders of one directory";
    } catch (const FileError& failure) {
        EXPECT_NE(std::string(failure.what()).find("another scenario-builder or scenario-tool"),
                  std::string::npos);
    }
    TempDir other;
    EXPECT_NO_THROW(DirectoryLock(other.path(), Locking::required, std::chrono::milliseconds(50)));
}

TEST(RemovedOnInterrupt, ListedFilesGoAndTheSignalStillEndsTheProgram) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        TempDir dir;
        const auto listed = dir.path() / "listed";
        const auto released = dir.path() / "released";
        write_old(listed);
        write_old(released);
        const pid_t child = ::fork();
        if (child == 0) {
            remove_listed_files_on_interrupt();
            RemovedOnInterrupt keep(released);
            keep.release();
            const RemovedOnInterrupt remove(listed);
            ::raise(number);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == number) << number;
        EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{"released"}) << number;
    }
}

TEST(RemovedOnInterrupt, AnInterruptIgnoredAtTheStartStaysIgnored) {
    // As nohup starts a program, and a shell its background jobs (SIGINT).
    for (const int number : {SIGHUP, SIGINT}) {
        TempDir dir;
        const auto listed = dir.path() / "listed";
        write_old(listed);
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(number, SIG_IGN);
            remove_listed_files_on_interrupt();
            const RemovedOnInterrupt remove(listed);
            ::raise(number);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << number;
        EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{"listed"}) << number;
    }
}

TEST(PendingFile, AWritePastTheFileSizeLimitFailsAsAFullDiskDoes) {
    TempDir dir;
    const auto file = dir.path() / "out.dat";
    write_old(file);
    const pid_t child = ::fork();
    if (child == 0) {
        remove_listed_files_on_interrupt();
        const rlimit small{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &small);
        try {
            replace_file(file, std::string(100000, 'x'));
        } catch (const FileError& failure) {
            const bool named = std::string(failure.what()).find("out.dat") != std::string::npos;
            ::_exit(named ? 0 : 2);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(read_bytes(file), "old");
    EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{"out.dat"});
}

}  // namespace
}  // namespace scenario::files
