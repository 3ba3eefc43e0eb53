#include "io/author_texts.h"

#include <cstdint>
#include <system_error>

#include "cli/exit_status.h"
#include "compiler/model/limits.h"
#include "files/input_file.h"
#include "files/replace_file.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace fs = std::filesystem;

namespace {

// The largest text the tool reads: 67 bytes for each metre of the longest route, room for a
// full record line at every metre, finer than records can be placed, in whole MiB (64 for a
// route of 1,000,000 m). The densest line of the tests (write-dense-line 1000000) is some
// 210 KB. A larger file is no text of a route, and is refused before it is read.
constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr std::uint64_t kLargestTextMiB =
    (67 * std::uint64_t{compiler::kLongestRoute} + kMiB - 1) / kMiB;
constexpr std::uint64_t kLargestText = kLargestTextMiB * kMiB;

}  // namespace

std::string read_input(const fs::path& file, std::string_view what) {
    std::error_code ec;
    if (!fs::exists(file, ec)) {
        throw EnvironmentError("the " + std::string(what) + " '" + shown(file) +
                               "' does not exist");
    }
    if (fs::is_directory(file, ec)) {
        throw EnvironmentError("the " + std::string(what) + " '" + shown(file) +
                               "' is a directory, not a text");
    }
    try {
        return files::read_input_file(
            file, kLargestText,
            "(" + std::to_string(kLargestTextMiB) + " MiB) a text of the longest route can need");
    } catch (const files::FileError& failure) {
        throw EnvironmentError("the " + std::string(what) + " cannot be read: " + failure.what());
    }
}

}  // namespace scenario::tool
