// The I/O floor of a builder run: the least a program can do to leave the builder's six files in
// its own directory, safely. It writes the same bytes into the same six files, each as the
// builder must (into a temporary beside it, flushed to the disk, renamed over the name), and
// deletes the two text files, with nothing computed: the bytes are the builder's own output,
// linked in whole.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

// Each reference file becomes a pair of symbols around its bytes in the read-only data.
#define SCENARIO_EMBED(symbol, file)        \
    asm(".pushsection .rodata\n"            \
        ".global " #symbol "\n" #symbol     \
        ":\n"                               \
        ".incbin \"" file                   \
        "\"\n"                              \
        ".global " #symbol "_end\n" #symbol \
        "_end:\n"                           \
        ".popsection\n");                   \
    extern "C" const char symbol[];         \
    extern "C" const char symbol##_end[];

SCENARIO_EMBED(floor_notes, FLOOR_NOTES_FILE)
SCENARIO_EMBED(floor_order, FLOOR_ORDER_FILE)
SCENARIO_EMBED(floor_card, FLOOR_CARD_FILE)
SCENARIO_EMBED(floor_plan, FLOOR_PLAN_FILE)
SCENARIO_EMBED(floor_table, FLOOR_TABLE_FILE)
SCENARIO_EMBED(floor_cells, FLOOR_CELLS_FILE)

namespace {

std::string directory() {
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) {
        return ".";
    }
    exe[n] = '\0';
    const char* slash = std::strrchr(exe, '/');
    return slash == nullptr ? std::string(".")
                            : std::string(exe, static_cast<std::size_t>(slash - exe));
}

bool write_file(const std::string& dir, const char* name, const char* begin, const char* end) {
    const std::string path = dir + "/" + name;
    const std::string temporary = dir + "/." + name + ".floor.tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        return false;
    }
    for (const char* p = begin; p < end;) {
        const ssize_t n = ::write(fd, p, static_cast<std::size_t>(end - p));
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        p += n;
    }
    const bool flushed = ::fdatasync(fd) == 0;
    return ::close(fd) == 0 && flushed && std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace

int main() {
    const std::string dir = directory();
    // In the builder's order: the three documents, the two texts gone, the three compact files.
    bool ok = write_file(dir, FLOOR_NOTES_NAME, floor_notes, floor_notes_end) &&
              write_file(dir, FLOOR_ORDER_NAME, floor_order, floor_order_end) &&
              write_file(dir, FLOOR_CARD_NAME, floor_card, floor_card_end);
    ::unlink((dir + "/" + FLOOR_LINE_TEXT_NAME).c_str());
    ::unlink((dir + "/" + FLOOR_TRAIN_TEXT_NAME).c_str());
    ok = ok && write_file(dir, FLOOR_PLAN_NAME, floor_plan, floor_plan_end) &&
         write_file(dir, FLOOR_TABLE_NAME, floor_table, floor_table_end) &&
         write_file(dir, FLOOR_CELLS_NAME, floor_cells, floor_cells_end);
    if (!ok) {
        std::perror("scenario-io-floor");
        return 3;
    }
    return 0;
}
