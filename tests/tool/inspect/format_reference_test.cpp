#include "inspect/format_reference.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "compiler/readers/record_descriptions.h"
#include "tool.h"

namespace scenario::tool {
namespace {

using compiler::kRecordDescriptions;

std::string help_format(std::vector<std::string> options, int expected_status = kExitClean) {
    std::vector<std::string> args{"help", "format"};
    args.insert(args.end(), options.begin(), options.end());
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(run_tool(args, out, err), expected_status);
    return expected_status == kExitClean ? out.str() : err.str();
}

TEST(FormatReference, ThePageInDocsIsInStepWithTheRecordDescriptions) {
    const std::string page_path = std::string(SCENARIO_SOURCE_DIR) + "/docs/text-format.md";
    std::ifstream page(page_path, std::ios::binary);
    ASSERT_TRUE(page) << page_path
                      << " is missing; make it with: scenario-tool help format "
                         "--markdown > docs/text-format.md";
    const std::string committed{std::istreambuf_iterator<char>(page), {}};
    EXPECT_TRUE(committed == help_format({"--markdown"}))
        << "docs/text-format.md is out of step with the record descriptions; regenerate it "
           "with: scenario-tool help format --markdown > docs/text-format.md";
}

TEST(FormatReference, BothStylesShowEveryKindWithItsExampleAndValues) {
    for (const auto& text : {help_format({}), help_format({"--markdown"})}) {
        for (const auto& record : kRecordDescriptions) {
            EXPECT_NE(text.find(std::string(record.kind) + ": "), std::string::npos) << record.kind;
            EXPECT_NE(text.find(std::string(record.example) + "\n"), std::string::npos)
                << record.example;
            for (const auto& value : record.values) {
                EXPECT_NE(text.find(std::string(value.name)), std::string::npos) << value.name;
            }
        }
        EXPECT_EQ(text.find('{'), std::string::npos) << "a fault left unnamed";
    }
}

TEST(FormatReference, TheTerminalTextFitsEightyColumnsBesideTheExamples) {
    std::istringstream lines(help_format({}));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.starts_with("  example:")) {
            EXPECT_LT(line.size(), 80U) << line;
        }
    }
}

TEST(FormatReference, TakesOnlyTheMarkdownOption) {
    EXPECT_NE(help_format({"--html"}, kExitUsage).find("--markdown"), std::string::npos);
    help_format({"--markdown", "--markdown"}, kExitUsage);
}

}  // namespace
}  // namespace scenario::tool
