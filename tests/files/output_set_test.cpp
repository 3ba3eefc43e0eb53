// A set of outputs through failures and kills, and what the next writer in a directory puts
// right: the journal, the kept old files, the temporaries and scratch files of killed runs.
#include "files/output_set.h"

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
#include "files/write_hooks.h"
#include "support/run_program.h"

namespace scenario::files {
namespace {

namespace fs = std::filesystem;
using scenario::testing::file_names;
using scenario::testing::read_bytes;
using scenario::testing::TempDir;

void write_text(const fs::path& file, std::string_view text) {
    std::ofstream(file, std::ios::binary) << text;
}

std::string hex(std::string_view name) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (const char c : name) {
        out.push_back(kHex[static_cast<unsigned char>(c) >> 4]);
        out.push_back(kHex[static_cast<unsigned char>(c) & 0xF]);
    }
    return out;
}

TEST(OutputSet, ARenameThatFailsPartWayPutsTheOldFilesBackAndNamesTheFile) {
    // The set a, b, c over old a and c (b is new): the rename of each in turn fails.
    for (const std::uint32_t failing : {1u, 2u, 3u}) {
        TempDir dir;
        write_text(dir.path() / "a", "old a");
        write_text(dir.path() / "c", "old c");
        set_write_hooks({.fail_rename_at = failing});
        OutputSet set;
        set.add(dir.path() / "a", std::string("new a"));
        set.add(dir.path() / "b", std::string("new b"));
        set.add(dir.path() / "c", std::string("new c"));
        try {
            set.commit();
            ADD_FAILURE() << "the rename " << failing << " did not fail";
        } catch (const FileError& failure) {
            const std::string what = failure.what();
            const std::string name(1, static_cast<char>('a' + failing - 1));
            EXPECT_EQ(failure.file(), dir.path() / name) << what;
            EXPECT_NE(what.find("nothing was changed"), std::string::npos) << what;
        }
        set_write_hooks({});
        EXPECT_EQ(file_names(dir.path()), (std::vector<std::string>{"a", "c"})) << failing;
        EXPECT_EQ(read_bytes(dir.path() / "a"), "old a") << failing;
        EXPECT_EQ(read_bytes(dir.path() / "c"), "old c") << failing;
    }
}

TEST(OutputSet, ANameMadeReadOnlyOrSpecialMeanwhileIsFoundBeforeAnyRename) {
    TempDir dir;
    write_text(dir.path() / "a", "old a");
    write_text(dir.path() / "b", "old b");
    OutputSet set;
    set.add(dir.path() / "a", std::string("new a"));
    set.add(dir.path() / "b", [&](PendingFile& file) {
        file.write(std::span(reinterpret_cast<const std::uint8_t*>("new b"), 5));
        ::chmod((dir.path() / "b").c_str(), 0444);  // while the set is being written
    });
    EXPECT_THROW(set.commit(), FileError);
    EXPECT_EQ(read_bytes(dir.path() / "a"), "old a");
    EXPECT_EQ(read_bytes(dir.path() / "b"), "old b");
    EXPECT_EQ(file_names(dir.path()), (std::vector<std::string>{"a", "b"}));

    OutputSet forced(ReadOnly::replace);
    forced.add(dir.path() / "a", std::string("new a"));
    forced.add(dir.path() / "b", std::string("new b"));
    forced.commit();
    EXPECT_EQ(read_bytes(dir.path() / "b"), "new b");
    struct stat about {};
    ASSERT_EQ(::stat((dir.path() / "b").c_str(), &about), 0);
    EXPECT_EQ(about.st_mode & 07777, 0444u) << "the replaced file keeps its mode";
}

TEST(OutputSet, AReplacedFileKeepsItsModeAndANewFileGetsThatOfAPlainCreate) {
    TempDir dir;
    write_text(dir.path() / "kept", "old");
    ::chmod((dir.path() / "kept").c_str(), 0640);
    const mode_t before = ::umask(027);
    OutputSet set;
    set.add(dir.path() / "kept", std::string("new"));
    set.add(dir.path() / "fresh", std::string("new"));
    set.commit();
    ::umask(before);
    struct stat kept {};
    struct stat fresh {};
    ASSERT_EQ(::stat((dir.path() / "kept").c_str(), &kept), 0);
    ASSERT_EQ(::stat((dir.path() / "fresh").c_str(), &fresh), 0);
    EXPECT_EQ(kept.st_mode & 07777, 0640u);
    EXPECT_EQ(fresh.st_mode & 07777, 0640u);  // 0666 less the umask 027
}

// What a writer killed between the renames of a set leaves, and what the next one does.
TEST(Recovery, TheNextWriterCompletesASetFromItsJournal) {
    TempDir dir;
    const std::string a_tmp = ".scenario-0123456789abcdef.tmp";
    const std::string b_tmp = ".scenario-fedcba9876543210.tmp";
    const std::string kept = ".scenario-00000000000000aa.old";
    write_text(dir.path() / "a", "new a");  // renamed before the kill
    write_text(dir.path() / kept, "old a");
    write_text(dir.path() / "b", "old b");
    write_text(dir.path() / b_tmp, "new b");  // not yet renamed
    write_text(dir.path() / ".scenario-journal", "scenario-set 1\n" + hex(a_tmp) + " " + hex("a") +
                                                     "\n" + hex(b_tmp) + " " + hex("b") +
                                                     "\nend\n");
    { const DirectoryLock lock(dir.path()); }
    EXPECT_EQ(file_names(dir.path()), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(read_bytes(dir.path() / "a"), "new a");
    EXPECT_EQ(read_bytes(dir.path() / "b"), "new b");
}

TEST(Recovery, AJournalCutShortOrNamingAnotherDirectoryIsNotActedOn) {
    const std::string tmp = ".scenario-0123456789abcdef.tmp";
    const struct {
        const char* what;
        std::string journal;
    } cases[] = {
        {"cut short", "scenario-set 1\n" + hex(tmp) + " " + hex("b") + "\n"},
        {"a final name outside", "scenario-set 1\n" + hex(tmp) + " " + hex("../b") + "\nend\n"},
        {"a temporary not of ours", "scenario-set 1\n" + hex("a") + " " + hex("b") + "\nend\n"},
        {"not a journal", "hello\nend\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        fs::create_directory(dir.path() / "inner");
        write_text(dir.path() / "a", "a");
        write_text(dir.path() / "b", "old b");
        write_text(dir.path() / tmp, "new b");
        write_text(dir.path() / ".scenario-journal", c.journal);
        { const DirectoryLock lock(dir.path() / "inner" / ".."); }
        EXPECT_EQ(read_bytes(dir.path() / "b"), "old b") << c.what;
        // The temporary goes all the same: a name of ours, left by a killed run.
        EXPECT_EQ(file_names(dir.path()), (std::vector<std::string>{"a", "b", "inner"})) << c.what;
    }
}

TEST(Recovery, OnlyNamesOfOursAndTheTextsARecordNamesAreRemoved) {
    TempDir dir;
    const std::vector<std::string> ours{".scenario-0123456789abcdef.tmp",
                                        ".scenario-0123456789abcdef.old"};
    const std::vector<std::string> others{
        ".scenario-0123456789abcde.tmp",   // one digit short
        ".scenario-0123456789ABCDEF.tmp",  // capitals
        ".scenario-0123456789abcdef.txt", ".MORENA.sim.123.tmp", "notes.txt", "text_linea.txt"};
    for (const auto& name : ours) {
        write_text(dir.path() / name, "x");
    }
    for (const auto& name : others) {
        write_text(dir.path() / name, "x");
    }
    write_text(dir.path() / "killed_linea.txt", "left by a killed builder");
    write_text(dir.path() / ".scenario-scratch", "scenario-scratch 1\n" + hex("killed_linea.txt") +
                                                     "\n" + hex("gone.txt") + "\nend\n");
    // A directory of ours is not a temporary: only regular files go.
    fs::create_directory(dir.path() / ".scenario-aaaaaaaaaaaaaaaa.tmp");
    { const DirectoryLock lock(dir.path()); }
    auto expected = others;
    expected.push_back(".scenario-aaaaaaaaaaaaaaaa.tmp");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(file_names(dir.path()), expected);
}

TEST(Recovery, WithoutTheLockNothingIsTouched) {
    TempDir dir;
    write_text(dir.path() / ".scenario-0123456789abcdef.tmp", "x");
    set_write_hooks({.no_locks = true});
    EXPECT_THROW(DirectoryLock(dir.path()), FileError);
    {
        const DirectoryLock unlocked(dir.path(), Locking::not_wanted);
        EXPECT_FALSE(unlocked.held());
    }
    set_write_hooks({});
    EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{".scenario-0123456789abcdef.tmp"});
}

TEST(ScratchFiles, TheRecordStandsWhileTheFilesDoAndGoesWithThem) {
    TempDir dir;
    {
        const ScratchFiles scratch(dir.path(), {dir.path() / "one.txt", dir.path() / "two.txt"});
        write_text(dir.path() / "one.txt", "1");
        EXPECT_EQ(file_names(dir.path()),
                  (std::vector<std::string>{".scenario-scratch", "one.txt"}));
    }
    EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{});
}

TEST(OutputNames, TemporariesHaveOneShortLengthWhateverTheFinalName) {
    TempDir dir;
    const std::string longest(255, 'x');
    for (const std::string& name : {std::string("a"), longest}) {
        PendingFile pending(dir.path() / name);
        const auto temporary = pending.temporary().filename().string();
        EXPECT_EQ(temporary.size(), 30u) << temporary;
        EXPECT_TRUE(is_name_of_ours(temporary)) << temporary;
    }
}

TEST(OutputNames, ANameLongerThanTheFileSystemTakesIsRefusedWithTheLimit) {
    TempDir dir;
    const std::string too_long(256, 'x');
    const auto reason = unusable_output_reason(dir.path() / too_long);
    ASSERT_TRUE(reason.has_value());
    EXPECT_NE(reason->find("256 characters, more than the 255"), std::string::npos) << *reason;
    EXPECT_THROW(PendingFile(dir.path() / too_long), FileError);
    EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{});
}

// A directory with write and search rights alone cannot be opened to be locked; a lock file of
// ours stands in. Run as another user where the tests run as root, who may open any directory.
TEST(DirectoryLock, ADirectoryThatCannotBeListedIsLockedAllTheSame) {
    TempDir dir;
    const uid_t nobody = 65534;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(dir.path().c_str(), nobody, nobody), 0);
    }
    ASSERT_EQ(::chmod(dir.path().c_str(), 0333), 0);
    const auto try_lock = [&](bool hold) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::geteuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
                ::_exit(3);
            }
            try {
                const DirectoryLock lock(dir.path(), Locking::required,
                                         std::chrono::milliseconds(50));
                if (hold) {
                    ::sleep(2);
                }
                ::_exit(lock.held() ? 0 : 1);
            } catch (const FileError&) {
                ::_exit(2);
            }
        }
        return child;
    };
    const auto status_of = [](pid_t child) {
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const pid_t holder = try_lock(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(status_of(try_lock(false)), 2) << "a second writer must wait for the first";
    EXPECT_EQ(status_of(holder), 0);
    ::chmod(dir.path().c_str(), 0700);
}

}  // namespace
}  // namespace scenario::files
