#include "files/file_error.h"

namespace scenario::files {

namespace {

// Shown to a person: the path in UTF-8 on Windows (whatever its characters), as its bytes
// elsewhere.
std::string shown(const std::filesystem::path& file) {
    const auto utf8 = file.u8string();
    return std::string(utf8.begin(), utf8.end());
}

}  // namespace

FileError::FileError(const std::filesystem::path& file, const std::string& action,
                     const std::string& reason)
    : std::runtime_error("cannot " + action + " " + shown(file) + ": " + reason), file_(file) {}

}  // namespace scenario::files
