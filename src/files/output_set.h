#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "files/output_file.h"

namespace scenario::files {

// Several outputs that belong together (the compact files of a compile, the documents, the
// texts of `sources`): the directory holds the whole old set or the whole new one.
//
// Every output is written into its temporary and flushed first. Then, before the first rename,
// every final name is checked once more to be replaceable, the old file at each is kept under a
// second name of ours (a hard link, or a copy where the file system has none), and a journal
// naming each temporary and its final name is written and flushed. Only then are the
// temporaries renamed into place, in the order they were added, with interrupts held; the
// directory is flushed, and the journal and the old files go.
//
// Why a journal and not a directory swap: the outputs live in a directory that holds other
// files (the builder's own executable among them), so the set cannot be one directory renamed
// at once; and each file stays under its own name at every moment, so a reader never finds a
// name missing. A rename that fails part-way (a file held open on Windows, an immutable file)
// puts the old files back at once and says which file and why. A kill between two renames
// cannot be caught; it leaves the journal, and the next writer in the directory, holding its
// lock, completes the set from it before anything else (recover_interrupted_writes): every
// temporary the journal names is complete and flushed, so completing it is always possible
// and gives the set the author asked for.
//
// What a reader of the directory (the simulator) sees: before the renames, the whole old set;
// during them (microseconds, all renames in one go), files of both sets, each whole; after
// them, the whole new set. Only a kill in that window leaves a mix, each file whole, until the
// next writer in the directory completes it.
class OutputSet {
  public:
    explicit OutputSet(ReadOnly read_only = ReadOnly::refuse);

    // Adds an output; nothing is written until commit. The name is checked at once, so that
    // no output is written when any name is unusable. The bytes must outlive the commit.
    void add(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);
    // The same for bytes the set keeps.
    void add(const std::filesystem::path& file, std::string bytes);
    // An output whose bytes are written when the set is committed, piece by piece as they are
    // made (into the temporary, through write()).
    void add(const std::filesystem::path& file, std::function<void(PendingFile&)> writer);

    // Writes all, then renames all as above. Throws FileError; then no old file was replaced.
    void commit();

  private:
    struct Entry {
        std::filesystem::path file;
        std::function<void(PendingFile&)> writer;
    };
    ReadOnly read_only_;
    std::vector<Entry> entries_;
};

// Files a run writes and deletes again within the run (the builder's two texts): a record of
// their names is left in the directory while they exist, so that if the run is killed the next
// writer there removes them. Removed on an interrupt that can be caught, and when this goes.
class ScratchFiles {
  public:
    ScratchFiles(const std::filesystem::path& directory, std::vector<std::filesystem::path> files);
    ~ScratchFiles();
    ScratchFiles(const ScratchFiles&) = delete;
    ScratchFiles& operator=(const ScratchFiles&) = delete;

  private:
    std::filesystem::path record_;
    std::vector<std::filesystem::path> files_;
    std::vector<std::unique_ptr<class RemovedOnInterrupt>> on_interrupt_;
};

// Puts right what writers killed in the directory left, before anything else is written there;
// only the holder of the directory's lock calls it (DirectoryLock does). Completes an
// interrupted set from its journal, removes the scratch files a record names, and removes
// every temporary and kept old file of ours (is_name_of_ours). Throws FileError when a set
// cannot be completed.
void recover_interrupted_writes(const std::filesystem::path& directory);

// The names of the journal of a set and of the record of scratch files, in a directory.
std::filesystem::path journal_of(const std::filesystem::path& directory);
std::filesystem::path scratch_record_of(const std::filesystem::path& directory);

}  // namespace scenario::files
