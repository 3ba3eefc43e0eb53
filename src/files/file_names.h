#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "files/os.h"

namespace scenario::files {

// The separator put between the executable's directory and a file name: always added, even when
// the directory already ends with one.
using os::kSeparator;

// File names of the scenario, built from the line title and the train code.
std::string line_text_name(std::string_view LineTitle);
std::string train_text_name(std::string_view LineTitle, std::string_view TrainCode);
std::string notes_name(std::string_view LineTitle, std::string_view TrainCode);
std::string slowdown_order_name(std::string_view LineTitle, std::string_view TrainCode);
std::string train_card_name(std::string_view LineTitle, std::string_view TrainCode);
std::string line_binary_name(std::string_view LineTitle);
std::string scenario_file_name(std::string_view LineTitle, std::string_view TrainCode);
std::string cell_file_name(std::string_view LineTitle, std::string_view TrainCode);

// Whether a name (Windows-1252) is one that Windows keeps for a device, whatever follows its
// first full stop and in any case: CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 (and the
// superscript digits 1, 2 and 3 Windows takes there too). Such a name opens the device instead
// of a file, so neither program uses one as a title, a code or an output, on any system, so
// that a scenario made on one system can be copied to the other.
bool is_device_name(std::string_view name);

// The full name of a file of the scenario: the directory, the separator, the name (Windows-1252).
std::filesystem::path full_path(const std::filesystem::path& directory, std::string_view name);

}  // namespace scenario::files
