#include <array>
#include <string_view>

#include "files/file_names.h"
#include "sources/content_table.h"
#include "sources/writers.h"

namespace scenario::sources {

namespace {

// Placeholder until the built-in text is written.
constexpr std::array<std::string_view, 1> kLines{
    "[fine]",
};

}  // namespace

std::span<const std::string_view> train_card_lines() {
    return kLines;
}

void dati_scheda(const std::filesystem::path& directory, std::string_view LineTitle,
                 std::string_view TrainCode) {
    write_content(files::full_path(directory, files::train_card_name(LineTitle, TrainCode)),
                  content_table(kLines));
}

}  // namespace scenario::sources
