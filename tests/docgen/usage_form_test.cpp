#include "usage_form.h"

#include <gtest/gtest.h>

namespace scenario::docgen {
namespace {

std::string describe(const UsageForm& form) {
    std::string text;
    for (const auto& word : form.command) {
        text += word + " ";
    }
    for (const auto& option : form.options) {
        static constexpr const char* kJoints[] = {"", " ", "=", ""};
        text += "{" + option.name + kJoints[option.joint] + option.value + "}";
    }
    for (const auto& positional : form.positionals) {
        text += " <" + positional + ">";
    }
    return text;
}

TEST(UsageForm, ReadsCommandOptionsAndPositionals) {
    struct Case {
        std::string_view form;
        std::string_view expected;
    };
    for (const auto& [form, expected] : std::initializer_list<Case>{
             {"tool sources DIR [--force]", "tool sources {--force} <DIR>"},
             {"tool dump FILE [--json] [--cells A..B] [--as scenario|cells|plan]",
              "tool dump {--json}{--cells A..B}{--as scenario|cells|plan} <FILE>"},
             {"tool check --line FILE [-Wno-NAME ...] [--color=auto|always|never]",
              "tool check {--line FILE}{-Wno-NAME}{--color=auto|always|never}"},
             {"tool plot DIR --out FILE.svg [--title TITLE --code CODE]",
              "tool plot {--out FILE.svg}{--title TITLE}{--code CODE} <DIR>"},
             {"tool explain N|NAME", "tool explain  <N|NAME>"},
             {"tool --help | --version", "tool {--help}{--version}"},
             {"tool -v", "tool {-v}"},
         }) {
        EXPECT_EQ(describe(parse_usage_form(form)), expected) << form;
    }
}

TEST(UsageForm, TellsFilesDirectoriesAndChoicesFromTheirWords) {
    EXPECT_EQ(value_kind("FILE").kind, ValueKind::file);
    EXPECT_EQ(value_kind("FILE").extension, "");
    EXPECT_EQ(value_kind("FILE.svg").extension, "svg");
    EXPECT_EQ(value_kind("DIR").kind, ValueKind::directory);
    EXPECT_EQ(value_kind("auto|always|never").choices,
              (std::vector<std::string>{"auto", "always", "never"}));
    for (const auto* none : {"N", "A..B", "TITLE", "N|NAME"}) {
        EXPECT_EQ(value_kind(none).kind, ValueKind::none) << none;
    }
}

}  // namespace
}  // namespace scenario::docgen
