#include "files/replace_file.h"

#include <limits>

#include "files/file_error.h"
#include "files/input_file.h"
#include "files/os.h"

namespace scenario::files {

void delete_file(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (ec) {
        throw FileError(file, "delete", ec.message());
    }
}

void replace_file(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                  Flush flush, ReadOnly read_only) {
    PendingFile output(file, flush, read_only);
    output.write(bytes);
    output.commit();
}

void replace_file(const std::filesystem::path& file, std::string_view text, Flush flush,
                  ReadOnly read_only) {
    replace_file(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                 flush, read_only);
}

std::string read_file(const std::filesystem::path& file) {
    return read_input_file(file, std::numeric_limits<std::uint64_t>::max());
}

}  // namespace scenario::files
