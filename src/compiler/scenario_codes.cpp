#include "compiler/scenario_codes.h"

#include "files/windows_1252.h"

namespace scenario::compiler {

namespace {
constexpr std::size_t kCodeLength = 25;
constexpr std::string_view kPadding = "aabbccddeeffgghhiillmmnnoo";
}  // namespace

std::string code_string(const BuildState& state) {
    std::string text = files::to_lower_1252(state.locations[entry::repetition].name);
    text += files::to_lower_1252(state.locations[entry::scenery].name);
    text += kPadding;
    text.resize(kCodeLength);
    return text;
}

std::int32_t codice_gara_st(const BuildState& state) {
    const auto text = code_string(state);
    std::int32_t sum = 0;
    for (std::size_t p = 1; p <= kCodeLength; ++p) {
        sum += static_cast<std::int32_t>(static_cast<unsigned char>(text[p - 1])) *
               static_cast<std::int32_t>(p);
    }
    return sum;
}

std::int16_t codice_gara_og(const BuildState& state) {
    std::int32_t sum = 0;
    for (const char c : code_string(state)) {
        sum += static_cast<unsigned char>(c);
    }
    // At most 25 x 255 = 6375: always fits the 16-bit field.
    return static_cast<std::int16_t>(sum);
}

}  // namespace scenario::compiler
