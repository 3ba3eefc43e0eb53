#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "compiler/model/build_state.h"

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

// Compiles the two texts in the directory into the compact files there: clears the table,
// reads both texts, runs the signalling pass, stamps the markers and the scenario codes, and
// writes the line binary file (j non-zero), the scenario file and the cell file.
// LineTitle and TrainCode of the state name the files. Throws NoCellsError or files::FileError.
CompileResult memorizza_percorso(BuildState& state, const std::filesystem::path& directory,
                                 std::int32_t j);

// The stamps and the three writes alone (steps after the signalling pass), for callers that
// already hold a filled model.
CompileResult stamp_and_write(BuildState& state, const std::filesystem::path& directory);

}  // namespace scenario::compiler
