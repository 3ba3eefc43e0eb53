#include "compiler/readers/record_descriptions.h"

namespace scenario::compiler {

std::string value_list(std::span<const ValueDescription> values) {
    std::string list;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            list += i + 1 == values.size() ? " and " : ", ";
        }
        const std::string_view name = values[i].name;
        // "hours", "minutes": a plural takes no article.
        const auto first_word = name.substr(0, name.find(' '));
        if (!first_word.ends_with('s')) {
            list +=
                std::string_view("aeiou").find(name[0]) == std::string_view::npos ? "a " : "an ";
        }
        list += name;
    }
    return list;
}

}  // namespace scenario::compiler
