#include "files/output_set.h"

#include <optional>
#include <string_view>

#include "files/file_error.h"
#include "files/interrupt_cleanup.h"
#include "files/os.h"

namespace scenario::files {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSetHeader = "scenario-set 1";
constexpr std::string_view kScratchHeader = "scenario-scratch 1";
constexpr std::string_view kEnd = "end";

// A record's names are the file names alone (the directory is the record's own), each native
// character as hexadecimal digits, so that any name reads back exactly.
std::string hex_of(const os::NativeString& name) {
    static constexpr char kHex[] = "0123456789abcdef";
    constexpr std::size_t digits = 2 * sizeof(os::NativeChar);
    std::string hex;
    for (const auto c : name) {
        const auto value = static_cast<std::uint32_t>(c);
        for (std::size_t i = 0; i < digits; ++i) {
            hex.push_back(kHex[(value >> (4 * (digits - 1 - i))) & 0xF]);
        }
    }
    return hex;
}

std::optional<os::NativeString> name_of_hex(std::string_view hex) {
    constexpr std::size_t digits = 2 * sizeof(os::NativeChar);
    if (hex.empty() || hex.size() % digits != 0) {
        return std::nullopt;
    }
    os::NativeString name;
    for (std::size_t at = 0; at < hex.size(); at += digits) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < digits; ++i) {
            const char c = hex[at + i];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : -1;
            if (digit < 0) {
                return std::nullopt;
            }
            value = value * 16 + static_cast<std::uint32_t>(digit);
        }
        // A name of a record never holds a separator or a NUL: it names a file of this
        // directory and nothing else.
        if (value == 0 || value == '/' || value == '\\') {
            return std::nullopt;
        }
        name.push_back(static_cast<os::NativeChar>(value));
    }
    if (name == os::native_name(".") || name == os::native_name("..")) {
        return std::nullopt;
    }
    return name;
}

// Writes a small record, flushed to the disk when it must survive the machine's crash too; it
// is created new, never over another.
void write_record(const fs::path& record, const std::string& text, Flush flush) {
    const os::Handle handle = os::create_new(record);
    if (handle == os::kNoHandle) {
        const std::string reason = os::last_failure() == os::Failure::name_taken
                                       ? "another writer's record is there"
                                       : os::last_reason();
        throw FileError(record, "create", reason);
    }
    auto bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    std::size_t left = text.size();
    bool written = true;
    while (left > 0 && written) {
        std::size_t done = 0;
        written = os::write_some(handle, bytes, left, done);
        bytes += done;
        left -= done;
    }
    const bool flushed = written && (flush == Flush::not_needed || os::flush_to_disk(handle));
    const std::string reason = os::last_reason();
    if (!os::close(handle) || !flushed) {
        os::remove(record);
        throw FileError(record, "write", reason);
    }
}

// The lines of a complete record after its header, or nothing when it is missing, is not ours
// or was cut short (then it was never acted on: a set's renames begin only once its journal is
// whole on the disk).
std::optional<std::vector<std::string>> read_record(const fs::path& record,
                                                    std::string_view header) {
    const auto facts = os::facts_of(record);
    if (!facts || facts->type != fs::file_type::regular || facts->size > (1u << 20)) {
        return std::nullopt;
    }
    const os::Handle handle = os::open_to_read(record);
    if (handle == os::kNoHandle) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(facts->size), '\0');
    std::size_t have = 0;
    long long got = 0;
    while (have < text.size() &&
           (got = os::read_some(handle, text.data() + have, text.size() - have)) > 0) {
        have += static_cast<std::size_t>(got);
    }
    os::close_quietly(handle);
    text.resize(have);
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const auto end = text.find('\n', from);
        if (end == std::string::npos) {
            return std::nullopt;
        }
        lines.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    if (lines.size() < 2 || lines.front() != header || lines.back() != kEnd) {
        return std::nullopt;
    }
    return std::vector<std::string>(lines.begin() + 1, lines.end() - 1);
}

void complete_interrupted_set(const fs::path& directory) {
    const auto journal = journal_of(directory);
    if (const auto lines = read_record(journal, kSetHeader)) {
        for (const auto& line : *lines) {
            const auto space = line.find(' ');
            const auto temporary = name_of_hex(std::string_view(line).substr(0, space));
            const auto final_name = space == std::string::npos
                                        ? std::nullopt
                                        : name_of_hex(std::string_view(line).substr(space + 1));
            if (!temporary || !final_name || !is_name_of_ours(*temporary)) {
                continue;
            }
            const auto from = directory / *temporary;
            const auto facts = os::facts_of(from);
            if (facts && facts->type == fs::file_type::regular) {
                const auto to = directory / *final_name;
                if (!os::rename_over(from, to)) {
                    throw FileError(to, "complete the set of outputs interrupted at",
                                    os::last_reason());
                }
            }
        }
        os::flush_directory(directory);
    }
    if (!os::remove(journal)) {
        throw FileError(journal, "remove", os::last_reason());
    }
}

void remove_scratch_files(const fs::path& directory) {
    const auto record = scratch_record_of(directory);
    if (const auto lines = read_record(record, kScratchHeader)) {
        for (const auto& line : *lines) {
            if (const auto name = name_of_hex(line)) {
                const auto file = directory / *name;
                const auto facts = os::facts_of(file);
                if (facts && facts->type == fs::file_type::regular) {
                    os::remove(file);
                }
            }
        }
    }
    os::remove(record);
}

void remove_names_of_ours(const fs::path& directory) {
    const auto names = os::names_in(directory);
    if (!names) {
        return;  // a directory that cannot be listed: what a journal names is all we can find
    }
    for (const auto& name : *names) {
        if (is_name_of_ours(name)) {
            const auto file = directory / name;
            const auto facts = os::facts_of(file);
            if (facts && facts->type == fs::file_type::regular) {
                os::remove(file);
            }
        }
    }
}

// The old file at a final name, kept under a name of ours until its set is complete.
class KeptOldFile {
  public:
    KeptOldFile(const fs::path& file) : name_(name_of_ours(file.parent_path(), ".old")) {
        on_interrupt_ = std::make_unique<RemovedOnInterrupt>(name_);
        if (os::add_name(file, name_)) {
            return;
        }
        copy(file);
    }
    ~KeptOldFile() {
        if (!name_.empty()) {
            os::remove(name_);
        }
    }
    KeptOldFile(const KeptOldFile&) = delete;
    KeptOldFile& operator=(const KeptOldFile&) = delete;

    // Puts the old file back at its name.
    bool put_back(const fs::path& file) {
        if (!os::rename_over(name_, file)) {
            return false;
        }
        name_.clear();
        return true;
    }
    // Leaves the old file where it is, for the person who reads the message.
    const fs::path& keep() {
        on_interrupt_.reset();
        return name_;
    }

  private:
    // A file system without second names: a copy, flushed like every output.
    void copy(const fs::path& file) {
        const os::Handle in = os::open_to_read(file);
        if (in == os::kNoHandle) {
            throw FileError(file, "keep the old bytes of", os::last_reason());
        }
        PendingFile copy(name_, Flush::to_disk, ReadOnly::replace);
        std::vector<std::uint8_t> piece(std::size_t{1} << 16);
        long long got = 0;
        while ((got = os::read_some(in, reinterpret_cast<char*>(piece.data()), piece.size())) > 0) {
            copy.write(std::span(piece.data(), static_cast<std::size_t>(got)));
        }
        const bool failed = got < 0;
        const std::string reason = os::last_reason();
        os::close_quietly(in);
        if (failed) {
            throw FileError(file, "keep the old bytes of", reason);
        }
        copy.commit();
    }

    fs::path name_;
    std::unique_ptr<RemovedOnInterrupt> on_interrupt_;
};

}  // namespace

fs::path journal_of(const fs::path& directory) {
    return directory / os::native_name(".scenario-journal");
}

fs::path scratch_record_of(const fs::path& directory) {
    return directory / os::native_name(".scenario-scratch");
}

OutputSet::OutputSet(ReadOnly read_only) : read_only_(read_only) {}

void OutputSet::add(const fs::path& file, std::span<const std::uint8_t> bytes) {
    add(file, [bytes](PendingFile& pending) { pending.write(bytes); });
}

void OutputSet::add(const fs::path& file, std::string bytes) {
    auto kept = std::make_shared<std::string>(std::move(bytes));
    add(file, [kept](PendingFile& pending) {
        pending.write(std::span(reinterpret_cast<const std::uint8_t*>(kept->data()), kept->size()));
    });
}

void OutputSet::add(const fs::path& file, std::function<void(PendingFile&)> writer) {
    if (auto reason = unusable_output_reason(file, read_only_)) {
        throw FileError(file, "replace", *reason);
    }
    entries_.push_back({file, std::move(writer)});
}

void OutputSet::commit() {
    std::vector<PendingFile> pending;
    pending.reserve(entries_.size());
    for (const auto& entry : entries_) {
        pending.emplace_back(entry.file, Flush::to_disk, read_only_);
        entry.writer(pending.back());
        pending.back().finish();
    }
    if (pending.size() == 1) {
        pending.front().commit();  // one rename is whole by itself
        return;
    }
    // Every name once more, now that the renames are near: a file made read-only or opened by
    // another program meanwhile is found before anything is replaced.
    for (const auto& file : pending) {
        if (auto reason = unusable_output_reason(file.file(), read_only_)) {
            throw FileError(file.file(), "replace", *reason + "; nothing was changed");
        }
    }
    std::vector<std::unique_ptr<KeptOldFile>> old(pending.size());
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (pending[i].replaced_) {
            old[i] = std::make_unique<KeptOldFile>(pending[i].file());
        }
    }
    const auto directory = pending.front().file().parent_path();
    std::string journal = std::string(kSetHeader) + "\n";
    for (const auto& file : pending) {
        journal += hex_of(file.temporary().filename().native()) + " " +
                   hex_of(file.file().filename().native()) + "\n";
    }
    journal += std::string(kEnd) + "\n";

    const InterruptsHeld held;
    write_record(journal_of(directory), journal, Flush::to_disk);
    for (std::size_t i = 0; i < pending.size(); ++i) {
        auto& file = pending[i];
        if (file.replaced_ && file.replaced_->read_only) {
            os::allow_replacing(file.file(), *file.replaced_);
        }
        const auto reason = rename_into_place(file.temporary(), file.file());
        if (!reason) {
            file.renamed();
            continue;
        }
        // Put back what was renamed so far, the last first; a name that had no old file
        // loses its new one.
        std::string unrestored;
        for (std::size_t j = i; j-- > 0;) {
            const bool back =
                old[j] ? old[j]->put_back(pending[j].file()) : os::remove(pending[j].file());
            if (!back) {
                unrestored = pending[j].file().string();
                break;
            }
        }
        if (!unrestored.empty()) {
            // Leave the journal and the temporaries: the next writer here completes the set.
            for (auto& rest : pending) {
                rest.renamed();
            }
            throw FileError(file.file(), "replace",
                            *reason + "; the old " + unrestored +
                                " could not be put back, and the next run in this directory "
                                "completes the new set");
        }
        os::flush_directory(directory);
        os::remove(journal_of(directory));
        throw FileError(file.file(), "replace", *reason + "; nothing was changed");
    }
    os::flush_directory(directory);
    os::remove(journal_of(directory));
}

ScratchFiles::ScratchFiles(const fs::path& directory, std::vector<fs::path> files)
    : record_(scratch_record_of(directory)), files_(std::move(files)) {
    std::string record = std::string(kScratchHeader) + "\n";
    for (const auto& file : files_) {
        record += hex_of(file.filename().native()) + "\n";
        on_interrupt_.push_back(std::make_unique<RemovedOnInterrupt>(file));
    }
    record += std::string(kEnd) + "\n";
    on_interrupt_.push_back(std::make_unique<RemovedOnInterrupt>(record_));
    // Not flushed: after a crash of the machine the texts are whole all the same, and the next
    // builder replaces them.
    write_record(record_, record, Flush::not_needed);
}

ScratchFiles::~ScratchFiles() {
    for (const auto& file : files_) {
        os::remove(file);
    }
    os::remove(record_);
}

void recover_interrupted_writes(const fs::path& directory) {
    complete_interrupted_set(directory);
    remove_scratch_files(directory);
    remove_names_of_ours(directory);
}

}  // namespace scenario::files
