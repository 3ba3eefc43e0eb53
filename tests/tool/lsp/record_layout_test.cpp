#include "lsp/record_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sources/writers.h"
#include "support/fault_cases.h"

namespace scenario::tool::lsp {
namespace {

using compiler::ErrorSource;
using testing::Lines;

Lines builtin(std::span<const std::string_view> lines) {
    return {lines.begin(), lines.end()};
}

// The text after the layout edits of one of the two texts.
std::string formatted(const Lines& line, const Lines& train, ErrorSource text) {
    ReadScenario scenario;
    ReadRequest request;
    request.reading.plans = false;
    read_scenario(scenario, {"line", testing::text_of(line)}, {"train", testing::text_of(train)},
                  request);
    auto edits = layout_edits(scenario, text);
    std::string bytes = scenario.file(text).bytes();
    std::sort(edits.begin(), edits.end(),
              [](const ByteEdit& a, const ByteEdit& b) { return a.offset > b.offset; });
    for (const auto& e : edits) {
        EXPECT_TRUE(std::all_of(e.replacement.begin(), e.replacement.end(),
                                [](char c) { return c == ' ' || c == ','; }));
        bytes.replace(e.offset, e.length, e.replacement);
    }
    return bytes;
}

// Every record line set otherwise: blanks before the keyword, none or many after each comma,
// blanks before each comma; a name or board text keeps what follows it.
Lines scrambled(const Lines& lines) {
    Lines out;
    int n = 0;
    for (const auto& l : lines) {
        if (l.find(',') == std::string::npos || l.starts_with("orologio")) {
            out.push_back(l);
            continue;
        }
        std::string s = " ";
        for (const char c : l) {
            if (c == ',') {
                s += std::string(n % 3, ' ') + "," + std::string((n + 1) % 5, ' ');
                ++n;
            } else if (c != ' ' || s.back() != ',') {
                s += c;
            }
        }
        out.push_back(s);
    }
    return out;
}

TEST(RecordLayout, TheBuiltInTextsAreAlreadyAsTheBuilderWritesThem) {
    const auto line = builtin(sources::line_description_lines());
    const auto train = builtin(sources::train_service_lines());
    EXPECT_EQ(formatted(line, train, ErrorSource::line_text), testing::text_of(line));
    EXPECT_EQ(formatted(line, train, ErrorSource::train_text), testing::text_of(train));
}

TEST(RecordLayout, SetsEveryRecordOfBothTextsBackAsTheBuilderWritesIt) {
    const auto line = builtin(sources::line_description_lines());
    const auto train = builtin(sources::train_service_lines());
    auto clock = scrambled(train);
    // The clock: its runs between the numbers and its one blank at the end.
    std::replace(clock.begin(), clock.end(), train[4], std::string("orologio,6 36  30"));
    EXPECT_EQ(formatted(scrambled(line), train, ErrorSource::line_text), testing::text_of(line));
    EXPECT_EQ(formatted(line, clock, ErrorSource::train_text), testing::text_of(train));
}

TEST(RecordLayout, LeavesAloneWhatIsNoRecordOfItsOwnLine) {
    struct Case {
        const char* name;
        int line;  // of the example route's train text
        const char* written;
        const char* formatted;
    };
    const Case cases[] = {
        {"a misspelt keyword", 10, "velocixa,1100,70", "velocixa,1100,70"},
        {"two kinds in one keyword", 10, "velocita aderenza,1,70,1,90",
         "velocita aderenza,1,70,1,90"},
        {"a value too many", 10, "velocita,1100,70,80", "velocita,1100,70,80"},
        {"blanks between numbers", 10, "velocita,1100 70", "velocita,1100 70"},
        {"a record cut short", 10, "velocita,1100", "velocita,1100"},
        {"a number wider than its column", 7, "aderenza,0,12345678", "aderenza,   0,12345678"},
        {"a negative number", 10, "velocita,-50,70", "velocita,     -50,    70"},
        {"a name's blanks", 13, "stazione,8000,11,300,0,0,1,1,1,0,4,1,1,60,6,48,0,  VAL LE  ",
         "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, VAL LE  "},
    };
    for (const auto& c : cases) {
        Lines train = testing::kBaseTrain;
        testing::replace_line(train, c.line, c.written);
        Lines expected = train;
        testing::replace_line(expected, c.line, c.formatted);
        EXPECT_EQ(formatted(testing::kBaseLine, train, ErrorSource::train_text),
                  testing::text_of(expected))
            << c.name;
    }
}

}  // namespace
}  // namespace scenario::tool::lsp
