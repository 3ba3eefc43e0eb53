#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "compiler/model/example_route.h"
#include "sources/writers.h"
#include "support/fault_cases.h"
#include "support/recording_observer.h"

namespace scenario::testing {
namespace {

using compiler::BuildState;
using compiler::CellUse;
using compiler::Diag;
using compiler::ErrorSource;
using compiler::RecordEnd;

std::string builtin(std::span<const std::string_view> lines) {
    return compiler::joined_text({lines.begin(), lines.end()});
}

TEST(OneReading, BuiltInTextsTellEveryRecordAndNothingElse) {
    BuildState state;
    RecordingObserver observer;
    const auto line = builtin(sources::line_description_lines());
    const auto train = builtin(sources::train_service_lines());
    compile_observed(state, line, train, observer);
    EXPECT_EQ(observer.names(), std::vector<std::string>{});
    // 320 records of the line text, 127 of the train text; every one placed.
    const auto in = [&](ErrorSource text) {
        return std::count_if(observer.records.begin(), observer.records.end(),
                             [&](const auto& r) { return r.text == text; });
    };
    EXPECT_EQ(in(ErrorSource::line_text), 320);
    EXPECT_EQ(in(ErrorSource::train_text), 127);
    for (const auto& r : observer.records) {
        EXPECT_TRUE(r.ended && r.end == RecordEnd::placed) << r.kind->kind;
        EXPECT_EQ(r.values.size(), r.kind->values.size()) << r.kind->kind;
    }
}

// The observer changes nothing the build records or writes, in build and in check mode alike.
TEST(OneReading, ListeningChangesNothingTheBuildWrites) {
    const auto line = builtin(sources::line_description_lines());
    const auto train = builtin(sources::train_service_lines());
    BuildState plain;
    compiler::CompileInput input;
    input.line_text = compiler::SourceText::of(line);
    input.train_text = compiler::SourceText::of(train);
    input.LineTitle = "A - B";
    input.TrainCode = "R1";
    const auto expected = compiler::compile_scenario(plain, input);
    for (const bool recovers : {false, true}) {
        BuildState state;
        RecordingObserver observer(recovers);
        const auto output = compile_observed(state, line, train, observer);
        ASSERT_TRUE(output.files && expected.files);
        EXPECT_EQ(output.files->cells, expected.files->cells);
        EXPECT_EQ(output.files->scenario, expected.files->scenario);
        EXPECT_EQ(output.files->plan, expected.files->plan);
    }
}

// A value's field: its line, column and length, and the value read.
TEST(OneReading, ValuesComeWithTheirPlaceInTheText) {
    BuildState state;
    RecordingObserver observer;
    compile_observed(state, text_of(kBaseLine), text_of(kBaseTrain), observer);
    const auto speed = std::find_if(observer.records.begin(), observer.records.end(), [](auto& r) {
        return r.kind->kind == "speed limit" && r.keyword.place.line == 10;
    });
    ASSERT_NE(speed, observer.records.end());
    ASSERT_EQ(speed->values.size(), 2u);
    // "velocita,    1100,    70"
    EXPECT_EQ(speed->values[0].first.place, (compiler::TextPlace{10, 14}));
    EXPECT_EQ(speed->values[0].first.length, 4u);
    EXPECT_EQ(speed->values[0].second, 1100);
    EXPECT_EQ(speed->values[1].first.place, (compiler::TextPlace{10, 23}));
    EXPECT_EQ(speed->values[1].second, 70);
    // Its value holds the cells from 1100 m (cell 22) up to the last speed's fill.
    const auto by = static_cast<compiler::RecordId>(speed - observer.records.begin());
    const auto cells = std::find_if(observer.written.begin(), observer.written.end(),
                                    [&](auto& c) { return c.by == by && c.use == CellUse::speed; });
    ASSERT_NE(cells, observer.written.end());
    EXPECT_EQ(cells->first, 22);
    EXPECT_EQ(cells->last, 537);
}

// Every entry of the catalogue with an example: the example route so edited raises that
// diagnostic first, a warning no other, as check mode hears it. A fault may be followed by its
// consequences, which the author's tools fold into it; the ends that write no compact file, and
// the warnings the tool raises itself, are tested with the tool.
TEST(OneReading, EveryCatalogueExampleRaisesItsDiagnostic) {
    for (const auto& entry : compiler::kDiagnosticCatalogue) {
        if (!entry.example.given() || entry.example.swap_texts || entry.number() >= 1250 ||
            entry.id == Diag::name_too_long_for_card || entry.id == Diag::kilometre_not_printable ||
            entry.id == Diag::timetable_too_tight) {
            continue;
        }
        const auto texts = compiler::example_texts(entry.example);
        BuildState state;
        RecordingObserver observer;
        compile_observed(state, compiler::joined_text(texts.line),
                         compiler::joined_text(texts.train), observer);
        const std::string name =
            compiler::is_fault(entry.id) ? std::to_string(entry.number()) : std::string(entry.name);
        const auto names = observer.names();
        if (compiler::is_fault(entry.id)) {
            ASSERT_FALSE(names.empty()) << entry.name;
            EXPECT_EQ(names.front(), name) << entry.name;
        } else {
            EXPECT_EQ(names, std::vector<std::string>{name}) << entry.name;
        }
    }
}

}  // namespace
}  // namespace scenario::testing
