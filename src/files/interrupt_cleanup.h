#pragma once

#include <filesystem>

namespace scenario::files {

// Files to remove when the program is interrupted (SIGINT, SIGTERM, SIGHUP and SIGQUIT; on
// Windows Ctrl-C, Ctrl-Break and the closing of its console): the temporaries of the outputs being
// written and the builder's texts while they exist, so that an interrupted run leaves none of them.
// The list is process-wide because a signal handler can reach nothing else; it holds a few names.
class RemovedOnInterrupt {
  public:
    explicit RemovedOnInterrupt(const std::filesystem::path& file);
    ~RemovedOnInterrupt();
    RemovedOnInterrupt(const RemovedOnInterrupt&) = delete;
    RemovedOnInterrupt& operator=(const RemovedOnInterrupt&) = delete;
    // The file is no longer ours to remove (renamed into place, or deleted).
    void release() noexcept;

  private:
    int slot_ = -1;
};

// While it lives, an interrupt waits: the renames of a set of outputs run to their end, so that
// the directory holds the whole old set or the whole new one. (A kill that cannot be caught can
// still fall between two renames; the next writer in the directory completes the set from its
// journal, see OutputSet.)
class InterruptsHeld {
  public:
    InterruptsHeld();
    ~InterruptsHeld();
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;
};

// Installs the handlers that remove the listed files and then end the program as the signal
// would have; an interrupt that was ignored when the program started stays ignored, and a write
// past the file size limit fails as a full disk does. Called once, by main, before anything is
// written.
void remove_listed_files_on_interrupt();

}  // namespace scenario::files
