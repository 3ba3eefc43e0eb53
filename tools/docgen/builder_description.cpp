#include "builder_description.h"

#include <array>
#include <iterator>

#include "driver/usage_text.h"

namespace scenario::docgen {

namespace {

constexpr auto kOptions = [] {
    std::array<tool::OptionDescription, std::size(driver::kOptions)> options{};
    for (std::size_t i = 0; i < options.size(); ++i) {
        options[i].name = driver::kOptions[i].name;
        options[i].help = driver::kOptions[i].help;
    }
    return options;
}();

constexpr tool::Paragraph kParagraphs[] = {
    {.text = driver::kDescription},
    {.kind = tool::ParagraphKind::options},
    {.text = driver::kExitStatus},
};

constexpr tool::CommandDescription kBuilder{
    .summary = driver::kSummary,
    .synopsis = driver::kForms,
    .options = kOptions,
    .paragraphs = kParagraphs,
    .program = driver::kProgram,
};

}  // namespace

const tool::CommandDescription& builder_description() {
    return kBuilder;
}

}  // namespace scenario::docgen
