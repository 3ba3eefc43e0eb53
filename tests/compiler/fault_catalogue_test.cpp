#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "compiler/compile.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "support/fault_cases.h"

namespace scenario::testing {
namespace {

using compiler::BuildState;
using compiler::CompileInput;
using compiler::CompileOutput;
using compiler::DiagnosticEntry;
using compiler::ErrorSite;
using compiler::ErrorSource;
using compiler::FatalOutcome;
using compiler::Fault;
const auto kFaultCatalogue = compiler::fault_entries();
using compiler::SourceText;

// A compile of two texts in memory, as scenario-tool compiles the author's files.
struct Compiled {
    std::string line_text;
    std::string train_text;
    BuildState state;
    CompileOutput output;

    // The fault the compile ended with: one that stopped it before the compact files, else the
    // one recorded last.
    std::int32_t number() const {
        const auto fatal = compiler::fatal_error_number(output.fatal);
        return fatal != 0 ? fatal : state.errorNumber;
    }
};

void compile(Compiled& c, const Lines& line, const Lines& train,
             MissingText missing = MissingText::none) {
    c.line_text = text_of(line);
    c.train_text = text_of(train);
    CompileInput input;
    input.line_text =
        missing == MissingText::line ? SourceText::missing() : SourceText::of(c.line_text);
    input.train_text =
        missing == MissingText::train ? SourceText::missing() : SourceText::of(c.train_text);
    input.LineTitle = "A - B";
    input.TrainCode = "R1";
    c.output = compiler::compile_scenario(c.state, input);
}

bool is_snake_case(std::string_view name) {
    const auto lower_or_digit = [](char ch) {
        return (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9');
    };
    if (name.empty() || !(name.front() >= 'a' && name.front() <= 'z') || name.back() == '_' ||
        name.find("__") != std::string_view::npos) {
        return false;
    }
    return std::all_of(name.begin(), name.end(),
                       [&](char ch) { return ch == '_' || lower_or_digit(ch); });
}

TEST(FaultCatalogue, TheBaseTextsCompileWithoutAFault) {
    Compiled c;
    compile(c, kBaseLine, kBaseTrain);
    EXPECT_EQ(c.output.fatal, FatalOutcome::none);
    EXPECT_EQ(c.state.errorNumber, 0);
    EXPECT_EQ(c.state.errorPosition, 0);
    EXPECT_EQ(c.state.errorSite, ErrorSite{});
    EXPECT_EQ(c.state.stationCount, 3);
    EXPECT_TRUE(c.output.files.has_value());
}

class RaisedFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(RaisedFault, IsRecordedWithItsNumberPositionAndPlace) {
    const auto& c = GetParam();
    // The table itself: a position exactly for the faults that carry one.
    ASSERT_EQ(c.position.has_value(), compiler::carries_position(c.fault));
    Lines line = kBaseLine;
    Lines train = kBaseTrain;
    c.edit(line, train);
    Compiled compiled;
    compile(compiled, line, train, c.missing);
    const auto& state = compiled.state;

    EXPECT_EQ(compiled.number(), compiler::number_of(c.fault));
    // The fatal ends are not recorded: nothing else was found before them.
    if (compiled.output.fatal == FatalOutcome::format_markers_in_use ||
        compiled.output.fatal == FatalOutcome::scenario_codes_in_use) {
        EXPECT_EQ(state.errorNumber, 0);
    }
    // A fresh state's position stays 0 unless the fault sets one.
    EXPECT_EQ(state.errorPosition, c.position.value_or(0));
    EXPECT_EQ(state.errorSite.source, c.source);
    EXPECT_EQ(state.errorSite.line, c.line);
    EXPECT_EQ(state.errorSite.column, c.column);
    EXPECT_EQ(state.errorSite.cell, c.cell.value_or(-1));
    EXPECT_EQ(state.errorSite.detail.empty(), c.fault != Fault::reading_failure)
        << state.errorSite.detail;
    EXPECT_EQ(compiled.output.files.has_value(), c.written);
}

INSTANTIATE_TEST_SUITE_P(EachFault, RaisedFault, ::testing::ValuesIn(fault_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FaultCatalogue, EveryEntryIsRaisedByACase) {
    std::set<Fault> raised;
    for (const auto& c : fault_cases()) {
        raised.insert(c.fault);
    }
    std::string missing;
    for (const auto& entry : kFaultCatalogue) {
        if (!raised.contains(entry.id)) {
            missing += " " + std::to_string(entry.number()) + " " + std::string(entry.name);
        }
    }
    EXPECT_EQ(missing, "") << "no fault case raises:" << missing;
}

TEST(FaultCatalogue, NamesAreUniqueSnakeCase) {
    std::set<std::string_view> names;
    for (const auto& entry : kFaultCatalogue) {
        EXPECT_TRUE(is_snake_case(entry.name)) << entry.name;
        EXPECT_TRUE(names.insert(entry.name).second) << "twice: " << entry.name;
        EXPECT_EQ(compiler::find_diagnostic(entry.name), &entry) << entry.name;
    }
}

// Each fault has one entry, found by its number, and the catalogue runs in ascending order.
TEST(FaultCatalogue, EachFaultHasOneEntryInAscendingOrder) {
    for (std::size_t i = 0; i < kFaultCatalogue.size(); ++i) {
        const DiagnosticEntry& entry = kFaultCatalogue[i];
        EXPECT_EQ(&compiler::catalogue_entry(entry.id), &entry) << entry.name;
        EXPECT_EQ(compiler::find_fault(entry.number()), &entry) << entry.name;
        EXPECT_EQ(compiler::carries_position(entry.id), entry.sets_position) << entry.name;
        EXPECT_EQ(compiler::error_sets_position(entry.number()), entry.sets_position) << entry.name;
        if (i > 0) {
            EXPECT_LT(kFaultCatalogue[i - 1].number(), entry.number()) << entry.name;
        }
    }
}

// The explanations are printed as they stand: plain ASCII lines, each ended by a newline,
// prose within 72 columns and quoted text lines (indented by four) within 80.
TEST(FaultCatalogue, EveryEntryHasAnExplanationOfShortPrintableLines) {
    for (const auto& entry : kFaultCatalogue) {
        const std::string_view text = entry.explanation;
        ASSERT_FALSE(text.empty()) << entry.name;
        EXPECT_FALSE(entry.meaning.empty()) << entry.name;
        EXPECT_TRUE(text.ends_with('\n')) << entry.name;
        std::size_t begin = 0;
        while (begin < text.size()) {
            const std::size_t end = text.find('\n', begin);
            const std::string_view line = text.substr(begin, end - begin);
            const std::size_t widest = line.starts_with("    ") ? 80 : 72;
            EXPECT_LE(line.size(), widest) << entry.name << ": " << line;
            EXPECT_TRUE(std::all_of(line.begin(), line.end(),
                                    [](char ch) { return ch >= ' ' && ch <= '~'; }))
                << entry.name << ": " << line;
            begin = end == std::string_view::npos ? text.size() : end + 1;
        }
    }
}

}  // namespace
}  // namespace scenario::testing
