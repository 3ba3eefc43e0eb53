#include "files/replace_file.h"

#include "files/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace scenario::files {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::FILE* open_file(const std::filesystem::path& file, const char* mode) {
#ifdef _WIN32
    std::wstring wide_mode(mode, mode + std::strlen(mode));
    return _wfopen(file.c_str(), wide_mode.c_str());
#else
    return std::fopen(file.c_str(), mode);
#endif
}

std::string describe(const std::filesystem::path& file) {
    // Shown to a person: the path as the platform spells it.
    return file.string();
}

std::string last_reason() {
    return std::strerror(errno);
}

}  // namespace

FileError::FileError(const std::filesystem::path& file, const std::string& action,
                     const std::string& reason)
    : std::runtime_error("cannot " + action + " " + describe(file) + ": " + reason), file_(file) {}

void delete_file(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (ec) {
        throw FileError(file, "delete", ec.message());
    }
}

void replace_file(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                  Flush flush) {
    PendingFile output(file, flush);
    output.write(bytes);
    output.commit();
}

void replace_file(const std::filesystem::path& file, std::string_view text, Flush flush) {
    replace_file(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                 flush);
}

std::string read_file(const std::filesystem::path& file) {
    errno = 0;
    FileHandle f(open_file(file, "rb"));
    if (!f) {
        throw FileError(file, "open", last_reason());
    }
    std::string content;
    // Room for the whole file at once where its size is known: a 20 MB plan read back would
    // otherwise grow the string by doubling, to well over twice its size at the peak.
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (!ec && size < content.max_size()) {
        content.reserve(static_cast<std::size_t>(size));
    }
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) {
        content.append(buffer, got);
        if (got < sizeof buffer) {
            break;  // the end of the file, or a failure that ferror tells
        }
    }
    if (std::ferror(f.get())) {
        throw FileError(file, "read", last_reason());
    }
    return content;
}

}  // namespace scenario::files
