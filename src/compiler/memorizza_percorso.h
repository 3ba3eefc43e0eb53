#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "compiler/compile.h"
#include "compiler/model/build_state.h"
#include "files/output_file.h"

namespace scenario::compiler {

// The route ended up without cells (the line text gave no route length), so nothing can be
// stamped or written.
class NoCellsError : public std::runtime_error {
  public:
    NoCellsError();
};

struct CompileResult {
    // 0, or 1250 / 1251 when a reserved place was already in use: then no compact file was
    // written and the caller shows the error and ends.
    std::int32_t fatalError = 0;
    std::int32_t codePointsPlaced = 0;  // by the signalling pass
};

// The builder's compile of the two texts in the directory into the compact files there: clears
// the table, reads both texts and deletes them, runs the signalling pass, stamps the markers
// and the scenario codes, and writes the line binary file (j non-zero), the scenario file and
// the cell file. LineTitle and TrainCode of the state name the files. Throws NoCellsError or
// files::FileError.
CompileResult memorizza_percorso(BuildState& state, const std::filesystem::path& directory,
                                 std::int32_t j);

// Writes the compact files of a compile into the directory as one set: all of them are written
// and flushed first, then renamed into place in the builder's order (the line binary file when
// there is one, the scenario file, the cell file), so that the directory never holds a mix of
// an old set and a new one. Throws files::FileError; then no old file was replaced.
// A read-only compact file is refused unless `read_only` allows replacing it.
void write_compact_files(const CompactFiles& files, const std::filesystem::path& directory,
                         std::string_view LineTitle, std::string_view TrainCode,
                         files::ReadOnly read_only = files::ReadOnly::refuse);

}  // namespace scenario::compiler
