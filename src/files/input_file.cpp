#include "files/input_file.h"

#include "files/file_error.h"
#include "files/os.h"
#include "files/output_file.h"

namespace scenario::files {

namespace {

namespace fs = std::filesystem;

std::string not_regular_reason(fs::file_type type) {
    const auto kind = kind_of_file(type);
    return kind.empty() ? std::string("it is not a regular file")
                        : "it is " + std::string(kind) + ", not a regular file";
}

// The most bytes a file may have, and what they stand for.
struct Limit {
    std::uint64_t most;
    std::string_view meaning;
};

std::string too_large_reason(std::uint64_t size, Limit limit) {
    return "it holds " + std::to_string(size) + " bytes, more than the " +
           std::to_string(limit.most) + " bytes " + std::string(limit.meaning);
}

struct OpenFile {
    os::Handle handle = os::kNoHandle;
    ~OpenFile() {
        if (handle != os::kNoHandle) {
            os::close_quietly(handle);
        }
    }
};

// Reads the `size` bytes the file had when it was opened into a string of exactly that size
// (no growing by doubling: a 20 MB plan is held once), then whatever it has gained since, up to
// the limit.
std::string read_to_end(const fs::path& file, os::Handle handle, std::uint64_t size, Limit limit) {
    std::string content(static_cast<std::size_t>(size), '\0');
    std::size_t have = 0;
    long long got = 0;
    while (have < content.size() &&
           (got = os::read_some(handle, content.data() + have, content.size() - have)) > 0) {
        have += static_cast<std::size_t>(got);
    }
    const bool shrank = have < content.size();
    content.resize(have);
    if (got >= 0 && !shrank) {
        char piece[1 << 16];
        while ((got = os::read_some(handle, piece, sizeof piece)) > 0) {
            const auto grown =
                static_cast<std::uint64_t>(content.size()) + static_cast<std::uint64_t>(got);
            if (grown > limit.most) {
                throw FileError(file, "read", too_large_reason(grown, limit));
            }
            content.append(piece, static_cast<std::size_t>(got));
        }
    }
    if (got < 0) {
        throw FileError(file, "read", os::last_reason());
    }
    return content;
}

}  // namespace

// Opened without waiting for a writer, so that a FIFO with no writer does not hold the open;
// the type and the size come from the open file itself, so nothing can be swapped in between.
std::string read_input_file(const fs::path& file, std::uint64_t most, std::string_view meaning) {
    const Limit limit{most, meaning};
    OpenFile in;
    in.handle = os::open_to_read(file);
    if (in.handle == os::kNoHandle) {
        throw FileError(file, "open", os::last_reason());
    }
    const auto facts = os::facts_of_open(in.handle);
    if (!facts) {
        throw FileError(file, "read", os::last_reason());
    }
    if (facts->type != fs::file_type::regular) {
        throw FileError(file, "read", not_regular_reason(facts->type));
    }
    if (facts->size > most) {
        throw FileError(file, "read", too_large_reason(facts->size, limit));
    }
    return read_to_end(file, in.handle, facts->size, limit);
}

}  // namespace scenario::files
