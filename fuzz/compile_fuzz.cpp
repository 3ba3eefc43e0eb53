// The whole compile of a line text and a train text, as the authors' tool runs it: one input is
// split at its first NUL byte into the two texts (no NUL: the whole input is the line text and
// the train text is empty). A second NUL right after the first asks for a compile without the
// plan (buildFlag 0). Besides the sanitizers, every run checks what must hold for any text:
// the line text is gone, a recorded fault is one the catalogue knows, and the cell file holds
// exactly one record per cell.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "compiler/memorizza_percorso.h"
#include "compiler/model/error_catalogue.h"
#include "files/file_names.h"
#include "files/replace_file.h"
#include "fuzz_directory.h"

namespace {

using namespace scenario;

constexpr std::string_view kTitle = "L";
constexpr std::string_view kCode = "T";

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "compile fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto nul = input.find('\0');
    std::string_view line = input.substr(0, nul);
    std::string_view train;
    std::int32_t build_flag = 1;
    if (nul != std::string_view::npos) {
        train = input.substr(nul + 1);
        if (!train.empty() && train.front() == '\0') {
            build_flag = 0;
            train.remove_prefix(1);
        }
    }

    const auto& dir = fuzzing::fuzz_directory();
    const auto line_file = files::full_path(dir, files::line_text_name(kTitle));
    const auto train_file = files::full_path(dir, files::train_text_name(kTitle, kCode));
    const auto cell_file = files::full_path(dir, files::cell_file_name(kTitle, kCode));
    files::replace_file(line_file, line);
    files::replace_file(train_file, train);
    files::delete_file(cell_file);

    compiler::BuildState state;
    state.LineTitle = kTitle;
    state.TrainCode = kCode;
    bool written = false;
    try {
        const auto result = compiler::memorizza_percorso(state, dir, build_flag);
        written = result.fatalError == 0;
    } catch (const compiler::NoCellsError&) {
        // The line text gave no route length: nothing to stamp, nothing written.
    }

    check(!std::filesystem::exists(line_file), "the line text was not deleted");
    check(state.errorNumber == 0 ||
              compiler::error_meaning(state.errorNumber) != compiler::error_meaning(-1),
          "a fault outside the catalogue was recorded");
    if (written) {
        const auto cells = static_cast<std::uintmax_t>(state.cells.size());
        check(std::filesystem::file_size(cell_file) == cells * 15,
              "the cell file does not hold one record per cell");
    } else {
        check(!std::filesystem::exists(cell_file), "a cell file was written after a fatal error");
    }
    files::delete_file(train_file);
    return 0;
}
