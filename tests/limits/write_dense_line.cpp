// Writes the dense line and its train text, for measuring and for trying the authors' tool:
//   write-dense-line LENGTH LINE_TEXT TRAIN_TEXT
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "limits/dense_line.h"

namespace {

bool write(const char* file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: write-dense-line LENGTH LINE_TEXT TRAIN_TEXT\n", stderr);
        return 64;
    }
    char* end = nullptr;
    const long length = std::strtol(argv[1], &end, 10);
    if (*end != '\0' || length < 0 || length > 2000000000L) {
        std::fprintf(stderr, "write-dense-line: %s is not a route length in metres\n", argv[1]);
        return 64;
    }
    const auto line = scenario::testing::dense_line(static_cast<std::int32_t>(length));
    if (!write(argv[2], line.line_text) || !write(argv[3], line.train_text)) {
        std::fprintf(stderr, "write-dense-line: cannot write %s or %s\n", argv[2], argv[3]);
        return 1;
    }
    return 0;
}
