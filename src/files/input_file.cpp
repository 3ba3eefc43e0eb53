#include "files/input_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "files/output_file.h"
#include "files/replace_file.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// Reads the `size` bytes the file had when it was opened into a string of exactly that size
// (no growing by doubling: a 20 MB plan is held once), then whatever it has gained since, up to
// the limit. `read_some` gives the bytes it read, 0 at the end, -1 on a failure.
template <class ReadSome>
std::string read_to_end(const fs::path& file, std::uint64_t size, Limit limit, ReadSome read_some) {
    std::string content(static_cast<std::size_t>(size), '\0');
    std::size_t have = 0;
    long long got = 0;
    while (have < content.size() &&
           (got = read_some(content.data() + have, content.size() - have)) > 0) {
        have += static_cast<std::size_t>(got);
    }
    const bool shrank = have < content.size();
    content.resize(have);
    if (got >= 0 && !shrank) {
        char piece[1 << 16];
        while ((got = read_some(piece, sizeof piece)) > 0) {
            const auto grown =
                static_cast<std::uint64_t>(content.size()) + static_cast<std::uint64_t>(got);
            if (grown > limit.most) {
                throw FileError(file, "read", too_large_reason(grown, limit));
            }
            content.append(piece, static_cast<std::size_t>(got));
        }
    }
    if (got < 0) {
        throw FileError(file, "read", std::strerror(errno));
    }
    return content;
}

#ifdef _WIN32

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

#else

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

fs::file_type type_of(mode_t mode) {
    if (S_ISREG(mode)) {
        return fs::file_type::regular;
    }
    if (S_ISDIR(mode)) {
        return fs::file_type::directory;
    }
    if (S_ISFIFO(mode)) {
        return fs::file_type::fifo;
    }
    if (S_ISCHR(mode)) {
        return fs::file_type::character;
    }
    if (S_ISBLK(mode)) {
        return fs::file_type::block;
    }
    if (S_ISSOCK(mode)) {
        return fs::file_type::socket;
    }
    return fs::file_type::unknown;
}

#endif

}  // namespace

#ifdef _WIN32

// Windows has no FIFO that an open could wait on: the name is judged by the file system, then
// read.
std::string read_input_file(const fs::path& file, std::uint64_t most, std::string_view meaning) {
    const Limit limit{most, meaning};
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (ec || status.type() == fs::file_type::not_found) {
        throw FileError(file, "open", ec ? ec.message() : "it does not exist");
    }
    if (status.type() != fs::file_type::regular) {
        throw FileError(file, "read", not_regular_reason(status.type()));
    }
    const auto size = fs::file_size(file, ec);
    if (ec) {
        throw FileError(file, "read", ec.message());
    }
    if (size > most) {
        throw FileError(file, "read", too_large_reason(size, limit));
    }
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> f(_wfopen(file.c_str(), L"rb"));
    if (!f) {
        throw FileError(file, "open", std::strerror(errno));
    }
    return read_to_end(file, size, limit, [&](char* into, std::size_t count) -> long long {
        const auto got = std::fread(into, 1, count, f.get());
        return got == 0 && std::ferror(f.get()) ? -1 : static_cast<long long>(got);
    });
}

#else

// Opened without blocking, so that a FIFO with no writer does not hold the open; the type and
// the size come from the open file itself, so nothing can be swapped in between.
std::string read_input_file(const fs::path& file, std::uint64_t most, std::string_view meaning) {
    const Limit limit{most, meaning};
    Descriptor in;
    in.fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in.fd < 0) {
        throw FileError(file, "open", std::strerror(errno));
    }
    struct stat about {};
    if (::fstat(in.fd, &about) != 0) {
        throw FileError(file, "read", std::strerror(errno));
    }
    if (!S_ISREG(about.st_mode)) {
        throw FileError(file, "read", not_regular_reason(type_of(about.st_mode)));
    }
    const auto size = static_cast<std::uint64_t>(about.st_size);
    if (size > most) {
        throw FileError(file, "read", too_large_reason(size, limit));
    }
    return read_to_end(file, size, limit, [&](char* into, std::size_t count) -> long long {
        for (;;) {
            const ssize_t got = ::read(in.fd, into, count);
            if (got >= 0 || errno != EINTR) {
                return got;
            }
        }
    });
}

#endif

}  // namespace scenario::files
