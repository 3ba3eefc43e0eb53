// The I/O floor of `scenario-tool compile` of the dense 1,000,000 m line: the least a program
// can do to leave its three compact files safely, the same way the tool leaves them. It holds
// the directory's lock (and so puts right what a killed writer left), writes the same bytes into
// the same three names as one set (each into a flushed temporary, the journal, the renames, the
// directory flushed), and computes nothing: the bytes are the tool's own output, linked in whole.
//   scenario-compile-floor DIRECTORY
#include <cstdio>

#include "embedded_file.h"
#include "files/directory_lock.h"
#include "files/file_error.h"
#include "files/file_names.h"
#include "files/output_set.h"

SCENARIO_EMBED(dense_plan, DENSE_PLAN_FILE)
SCENARIO_EMBED(dense_table, DENSE_TABLE_FILE)
SCENARIO_EMBED(dense_cells, DENSE_CELLS_FILE)

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 64;
    }
    using namespace scenario;
    const std::filesystem::path directory = argv[1];
    try {
        const files::DirectoryLock lock(directory);
        files::OutputSet set;
        set.add(files::full_path(directory, files::line_binary_name(DENSE_TITLE)),
                embedded_bytes(dense_plan, dense_plan_end));
        set.add(files::full_path(directory, files::scenario_file_name(DENSE_TITLE, DENSE_CODE)),
                embedded_bytes(dense_table, dense_table_end));
        set.add(files::full_path(directory, files::cell_file_name(DENSE_TITLE, DENSE_CODE)),
                embedded_bytes(dense_cells, dense_cells_end));
        set.commit();
    } catch (const files::FileError& failure) {
        std::fprintf(stderr, "scenario-compile-floor: %s\n", failure.what());
        return 2;
    }
    return 0;
}
