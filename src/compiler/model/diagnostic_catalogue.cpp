#include "compiler/model/diagnostic_catalogue.h"

namespace scenario::compiler {

const DiagnosticEntry* find_fault(std::int32_t number) {
    const auto faults = fault_entries();
    const auto it = std::find_if(faults.begin(), faults.end(), [number](const DiagnosticEntry& e) {
        return e.number() == number;
    });
    return it == faults.end() ? nullptr : &*it;
}

const DiagnosticEntry* find_diagnostic(std::string_view name) {
    const auto* it = std::find_if(kDiagnosticCatalogue.begin(), kDiagnosticCatalogue.end(),
                                  [name](const DiagnosticEntry& e) { return e.name == name; });
    return it == kDiagnosticCatalogue.end() ? nullptr : it;
}

std::string_view error_meaning(std::int32_t number) {
    const auto* e = find_fault(number);
    return e ? e->meaning : std::string_view{"unknown error"};
}

bool error_sets_position(std::int32_t number) {
    const auto* e = find_fault(number);
    return e != nullptr && e->sets_position;
}

std::string format_message(std::string_view format, std::span<const Argument> arguments) {
    std::string text;
    text.reserve(format.size() + 32);
    std::size_t at = 0;
    while (at < format.size()) {
        const auto open = format.find('{', at);
        const auto close = open == std::string_view::npos ? open : format.find('}', open);
        if (close == std::string_view::npos) {
            text += format.substr(at);
            break;
        }
        text += format.substr(at, open - at);
        const auto name = format.substr(open + 1, close - open - 1);
        const auto argument = std::find_if(arguments.begin(), arguments.end(),
                                           [name](const Argument& a) { return a.name == name; });
        if (argument == arguments.end()) {
            text += format.substr(open, close - open + 1);
        } else {
            text += argument->value;
        }
        at = close + 1;
    }
    return text;
}

}  // namespace scenario::compiler
