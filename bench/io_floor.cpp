// The I/O floor of a builder run: the least a program can do to leave the builder's six files in
// its own directory, safely. It writes the same bytes into the same six files as the builder
// does, through the same writer (each set into flushed temporaries, a journal, the renames), and
// deletes the two text files, with nothing computed: the bytes are the builder's own output,
// linked in whole.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "embedded_file.h"
#include "files/directory_lock.h"
#include "files/file_error.h"
#include "files/file_names.h"
#include "files/output_set.h"

SCENARIO_EMBED(floor_notes, FLOOR_NOTES_FILE)
SCENARIO_EMBED(floor_order, FLOOR_ORDER_FILE)
SCENARIO_EMBED(floor_card, FLOOR_CARD_FILE)
SCENARIO_EMBED(floor_plan, FLOOR_PLAN_FILE)
SCENARIO_EMBED(floor_table, FLOOR_TABLE_FILE)
SCENARIO_EMBED(floor_cells, FLOOR_CELLS_FILE)

namespace {

std::filesystem::path directory() {
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) {
        return ".";
    }
    exe[n] = '\0';
    return std::filesystem::path(exe).parent_path();
}

}  // namespace

int main() {
    using namespace scenario;
    const auto dir = directory();
    const auto at = [&](const char* name) { return files::full_path(dir, name); };
    try {
        // In the builder's order and its way: the directory held, the three documents as one
        // set, the two texts gone, the three compact files as one set.
        const files::DirectoryLock lock(dir);
        files::OutputSet documents;
        documents.add(at(FLOOR_NOTES_NAME), embedded_bytes(floor_notes, floor_notes_end));
        documents.add(at(FLOOR_ORDER_NAME), embedded_bytes(floor_order, floor_order_end));
        documents.add(at(FLOOR_CARD_NAME), embedded_bytes(floor_card, floor_card_end));
        documents.commit();
        ::unlink(at(FLOOR_LINE_TEXT_NAME).c_str());
        ::unlink(at(FLOOR_TRAIN_TEXT_NAME).c_str());
        files::OutputSet compact;
        compact.add(at(FLOOR_PLAN_NAME), embedded_bytes(floor_plan, floor_plan_end));
        compact.add(at(FLOOR_TABLE_NAME), embedded_bytes(floor_table, floor_table_end));
        compact.add(at(FLOOR_CELLS_NAME), embedded_bytes(floor_cells, floor_cells_end));
        compact.commit();
    } catch (const files::FileError& failure) {
        std::fprintf(stderr, "scenario-io-floor: %s\n", failure.what());
        return 3;
    }
    return 0;
}
