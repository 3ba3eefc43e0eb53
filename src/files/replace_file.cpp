#include "files/replace_file.h"

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

void create_if_absent(const std::filesystem::path& file) {
    errno = 0;
    std::FILE* f = open_file(file, "ab");
    if (f == nullptr) {
        throw FileError(file, "create", last_reason());
    }
    if (std::fclose(f) != 0) {
        throw FileError(file, "close", last_reason());
    }
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

void replace_file_in_pieces(const std::filesystem::path& file,
                            const std::function<void(const ByteSink&)>& produce) {
    create_if_absent(file);
    delete_file(file);
    errno = 0;
    FileHandle f(open_file(file, "wb"));
    if (!f) {
        throw FileError(file, "create", last_reason());
    }
    // Pieces go straight to the file, past the stream's own buffer.
    std::setvbuf(f.get(), nullptr, _IONBF, 0);
    produce([&](std::span<const std::uint8_t> bytes) {
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
            throw FileError(file, "write", last_reason());
        }
    });
    if (std::fclose(f.release()) != 0) {
        throw FileError(file, "write", last_reason());
    }
}

void replace_file(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    replace_file_in_pieces(file, [bytes](const ByteSink& sink) { sink(bytes); });
}

void replace_file(const std::filesystem::path& file, std::string_view text) {
    replace_file(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
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
