#include "compiler/model/error_catalogue.h"

namespace scenario::compiler {

const FaultEntry* find_fault(std::int32_t number) {
    const auto* it = std::find_if(kFaultCatalogue.begin(), kFaultCatalogue.end(),
                                  [number](const FaultEntry& e) { return e.number() == number; });
    return it == kFaultCatalogue.end() ? nullptr : it;
}

const FaultEntry* find_fault(std::string_view name) {
    const auto* it = std::find_if(kFaultCatalogue.begin(), kFaultCatalogue.end(),
                                  [name](const FaultEntry& e) { return e.name == name; });
    return it == kFaultCatalogue.end() ? nullptr : it;
}

std::string_view error_meaning(std::int32_t number) {
    const auto* e = find_fault(number);
    return e ? e->meaning : std::string_view{"unknown error"};
}

bool error_sets_position(std::int32_t number) {
    const auto* e = find_fault(number);
    return e != nullptr && e->sets_position;
}

}  // namespace scenario::compiler
