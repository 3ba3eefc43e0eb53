#include "files/file_names.h"

#include "files/os.h"

namespace scenario::files {

namespace {

std::string joined(std::string_view a, std::string_view b, std::string_view c = {},
                   std::string_view d = {}, std::string_view e = {}) {
    std::string name;
    name.reserve(a.size() + b.size() + c.size() + d.size() + e.size());
    name.append(a).append(b).append(c).append(d).append(e);
    return name;
}

}  // namespace

std::string line_text_name(std::string_view LineTitle) {
    return joined(LineTitle, "_linea.txt");
}

std::string train_text_name(std::string_view LineTitle, std::string_view TrainCode) {
    return joined(LineTitle, "_", TrainCode, "-.txt");
}

std::string notes_name(std::string_view LineTitle, std::string_view TrainCode) {
    return joined(LineTitle, "_", TrainCode, "_", "note.txt");
}

std::string slowdown_order_name(std::string_view LineTitle, std::string_view TrainCode) {
    return joined(LineTitle, "_", TrainCode, "_", "rallentamenti.txt");
}

std::string train_card_name(std::string_view LineTitle, std::string_view TrainCode) {
    return joined(LineTitle, "_", TrainCode, "_", "scheda_treno.txt");
}

std::string line_binary_name(std::string_view LineTitle) {
    return joined(LineTitle, "_linea.dat");
}

std::string scenario_file_name(std::string_view LineTitle, std::string_view TrainCode) {
    return joined(LineTitle, "_", TrainCode, ".sim");
}

std::string cell_file_name(std::string_view LineTitle, std::string_view TrainCode) {
    return joined(LineTitle, "_", TrainCode, ".dat");
}

bool is_device_name(std::string_view name) {
    auto base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') {
        base.remove_suffix(1);  // Windows drops the blanks before the extension
    }
    std::string upper;
    for (const char c : base) {
        upper.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") {
        return true;
    }
    if (upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT"))) {
        const auto digit = static_cast<unsigned char>(upper[3]);
        return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

std::filesystem::path full_path(const std::filesystem::path& directory, std::string_view name) {
    auto native = directory.native();
    native.push_back(static_cast<std::filesystem::path::value_type>(kSeparator));
    native.append(os::native_name(name));
    return std::filesystem::path(std::move(native));
}

}  // namespace scenario::files
