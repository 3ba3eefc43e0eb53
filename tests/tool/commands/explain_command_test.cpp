#include "commands/explain_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "tool.h"

namespace scenario::tool {
namespace {

using compiler::Fault;
const auto kFaultCatalogue = compiler::fault_entries();

struct Run {
    int status;
    std::string out;
    std::string err;
};

Run run(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = run_tool(args, out, err);
    return {status, out.str(), err.str()};
}

bool has(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

// A number no entry has: explain must not make one up.
std::string unused_number() {
    std::int32_t n = 1;
    while (compiler::find_fault(n) != nullptr) {
        ++n;
    }
    return std::to_string(n);
}

TEST(Explain, EveryCatalogueEntryByNumberAndByName) {
    for (const auto& entry : kFaultCatalogue) {
        const auto by_number = run({"explain", std::to_string(entry.number())});
        const auto by_name = run({"explain", std::string(entry.name)});
        EXPECT_EQ(by_number.status, kExitClean) << entry.name;
        EXPECT_EQ(by_number.err, "");
        EXPECT_EQ(by_name.out, by_number.out) << entry.name;
        EXPECT_TRUE(by_number.out.starts_with("error " + std::to_string(entry.number()) + "  " +
                                              std::string(entry.name) + "\n"))
            << by_number.out;
        EXPECT_TRUE(has(by_number.out, entry.meaning)) << entry.name;
        EXPECT_TRUE(has(by_number.out, entry.explanation)) << entry.name;
        EXPECT_TRUE(has(by_number.out, entry.sets_position ? "position:  recorded with it"
                                                           : "position:  none goes with it"))
            << entry.name;
    }
}

TEST(Explain, UnknownNumbersAndNamesPointToTheList) {
    const auto unused = unused_number();
    const auto name = std::string(compiler::catalogue_entry(Fault::signal_cell_taken).name);
    for (const auto& [word, says] : std::vector<std::pair<std::string, std::string>>{
             {unused, "nothing is numbered '" + unused + "'"},
             {name.substr(0, name.size() - 1),
              "nothing is named '" + name.substr(0, name.size() - 1)},
             {"SIGNAL_CELL_TAKEN", "nothing is named 'SIGNAL_CELL_TAKEN'"},
             {"16x", "nothing is named '16x'"}}) {
        const auto result = run({"explain", word});
        EXPECT_EQ(result.status, kExitUsage) << word;
        EXPECT_EQ(result.out, "") << word;
        EXPECT_TRUE(has(result.err, says)) << result.err;
        EXPECT_TRUE(has(result.err, "scenario-tool explain --list")) << result.err;
    }
}

TEST(Explain, WrongUsageExitsWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"explain"},
                                                                  {"explain", "16", "17"},
                                                                  {"explain", "--list", "16"},
                                                                  {"explain", "--all"}}) {
        const auto result = run(args);
        EXPECT_EQ(result.status, kExitUsage) << args.back();
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(has(result.err, "see 'scenario-tool explain --help'")) << result.err;
    }
}

TEST(Explain, ListGivesEveryErrorAndThenEveryWarningOnALineOfItsOwn) {
    const auto result = run({"explain", "--list"});
    EXPECT_EQ(result.status, kExitClean);
    std::istringstream lines(result.out);
    std::string line;
    std::size_t count = 0;
    const auto warnings = compiler::warning_entries();
    while (std::getline(lines, line)) {
        ASSERT_LT(count, kFaultCatalogue.size() + warnings.size()) << line;
        if (count < kFaultCatalogue.size()) {
            const auto& entry = kFaultCatalogue[count++];
            EXPECT_TRUE(line.starts_with("error ")) << line;
            EXPECT_TRUE(has(line, " " + std::to_string(entry.number()) + "  ")) << line;
            EXPECT_TRUE(has(line, "  " + std::string(entry.name) + " ")) << line;
            EXPECT_TRUE(line.ends_with("  " + std::string(entry.meaning))) << line;
        } else {
            const auto& warning = warnings[count++ - kFaultCatalogue.size()];
            EXPECT_TRUE(line.starts_with("warning ")) << line;
            EXPECT_TRUE(has(line, " -W" + std::string(warning.name) + " ")) << line;
            EXPECT_TRUE(line.ends_with("  " + std::string(warning.meaning))) << line;
        }
    }
    EXPECT_EQ(count, kFaultCatalogue.size() + warnings.size());
}

TEST(Explain, AWarningIsExplainedByItsName) {
    const auto result = run({"explain", "out-of-order"});
    EXPECT_EQ(result.status, kExitClean);
    EXPECT_TRUE(result.out.starts_with("warning  -Wout-of-order  (-Wno-out-of-order "))
        << result.out;
    EXPECT_EQ(run({"explain", "0"}).status, kExitUsage);  // warnings have no number
}

}  // namespace
}  // namespace scenario::tool
