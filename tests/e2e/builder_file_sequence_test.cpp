// The order in which the builder creates, renames and deletes the files of its directory,
// watched from outside with inotify while it runs: the five texts, the reading (and deleting)
// of the two temporary texts, then the three compact files. Each file is written into a
// temporary beside it and renamed over its name when complete; the compact files are renamed
// together once all three are complete.
#include <gtest/gtest.h>

#ifdef __linux__
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace scenario::testing {
namespace {

const std::string kTitle = "MORENA LAGO - PIAN DI VALSO";
const std::string kCode = "R10537";

// "create NAME", "delete NAME" or "rename NAME" (moved into the directory under that name), in
// the order the kernel reported them.
std::vector<std::string> drain(int watch_fd) {
    std::vector<std::string> events;
    alignas(inotify_event) char buffer[64 * 1024];
    pollfd ready{watch_fd, POLLIN, 0};
    while (poll(&ready, 1, 0) > 0) {
        const ssize_t got = read(watch_fd, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            std::string name = event->len > 0 ? event->name : "";
            // A temporary is named after its file: ".NAME.NUMBER.tmp".
            static const std::regex temporary(R"(^\.scenario-[0-9a-f]{16}\.tmp$)");
            name = std::regex_replace(name, temporary, "a temporary");
            if (event->mask & IN_CREATE) {
                events.push_back("create " + name);
            } else if (event->mask & IN_DELETE) {
                events.push_back("delete " + name);
            } else if (event->mask & IN_MOVED_TO) {
                events.push_back("rename " + name);
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return events;
}

TEST(BuilderFileSequence,
     TextsAreWrittenReadBackAndDeletedBetweenTheDocumentsAndTheCompactFilesEachAsOneSet) {
    TempDir dir;
    const auto exe = copy_executable(SCENARIO_BUILDER_EXE, dir.path());
    const int watch_fd = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch_fd, 0);
    ASSERT_GE(inotify_add_watch(watch_fd, dir.path().c_str(), IN_CREATE | IN_DELETE | IN_MOVED_TO),
              0);
    const auto result = run_program(exe, {}, dir.path());
    const auto events = drain(watch_fd);
    close(watch_fd);
    ASSERT_EQ(result.status, 0) << result.err;

    // The texts one by one, each read back; the documents, then the compact files, each as one
    // set: all written first, then the journal, then the renames. The record of the texts stands
    // for the whole run, so that a killed run's texts are removed by the next writer.
    std::vector<std::string> expected{"create .scenario-scratch"};
    for (const auto& name : {kTitle + "_linea.txt", kTitle + "_" + kCode + "-.txt"}) {
        expected.push_back("create a temporary");
        expected.push_back("rename " + name);
    }
    const auto set = [&](const std::vector<std::string>& names) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            expected.push_back("create a temporary");
        }
        expected.push_back("create .scenario-journal");
        for (const auto& name : names) {
            expected.push_back("rename " + name);
        }
        expected.push_back("delete .scenario-journal");
    };
    set({kTitle + "_" + kCode + "_note.txt", kTitle + "_" + kCode + "_rallentamenti.txt",
         kTitle + "_" + kCode + "_scheda_treno.txt"});
    expected.push_back("delete " + kTitle + "_linea.txt");
    expected.push_back("delete " + kTitle + "_" + kCode + "-.txt");
    set({kTitle + "_linea.dat", kTitle + "_" + kCode + ".sim", kTitle + "_" + kCode + ".dat"});
    expected.push_back("delete .scenario-scratch");
    EXPECT_EQ(events, expected);
}

}  // namespace
}  // namespace scenario::testing
#endif
