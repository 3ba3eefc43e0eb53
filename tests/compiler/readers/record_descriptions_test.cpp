#include "compiler/readers/record_descriptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "compiler/readers/field_reader.h"
#include "sources/writers.h"
#include "support/fault_cases.h"

namespace scenario::testing {
namespace {

using compiler::FieldReader;
using compiler::KeywordField;
using compiler::KeywordMatch;
using compiler::kRecordDescriptions;
using compiler::RecordDescription;
using compiler::RecordScope;
using compiler::SourceTextKind;
using compiler::ValueWidth;

// The readers' own test: every word contained, in the description's compare mode.
bool recognises(const RecordDescription& record, std::string_view keyword_field) {
    const KeywordField field{keyword_field};
    return std::all_of(record.words.begin(), record.words.end(), [&](std::string_view word) {
        return word.empty() ||
               (record.match == KeywordMatch::any_case ? field.has(word) : field.has_exact(word));
    });
}

// Whether one reader tests both kinds on the same keyword fields: the line text's general
// section and its records are read apart, the train text in one loop.
bool read_together(const RecordDescription& a, const RecordDescription& b) {
    return a.text == b.text && a.scope == b.scope;
}

// The next value of a record by its width, as text; a number outside its width throws.
std::string read_value(FieldReader& in, ValueWidth width) {
    switch (width) {
        case ValueWidth::int32:
            return std::to_string(in.read_int32());
        case ValueWidth::int16:
            return std::to_string(in.read_int16());
        case ValueWidth::uint8:
            return std::to_string(in.read_uint8());
        case ValueWidth::text:
            break;
    }
    return in.read_text();
}

TEST(RecordDescriptions, EachExampleIsRecognisedByItsOwnKindAlone) {
    for (const auto& record : kRecordDescriptions) {
        FieldReader in(record.example);
        const std::string keyword = in.read_text();
        EXPECT_EQ(keyword, record.keyword) << record.kind;
        EXPECT_TRUE(recognises(record, keyword)) << record.kind;
        for (const auto& other : kRecordDescriptions) {
            if (&other != &record && read_together(record, other)) {
                EXPECT_FALSE(recognises(other, keyword))
                    << "the " << record.kind << " keyword '" << keyword << "' is read as a "
                    << other.kind << " too";
            }
        }
    }
}

TEST(RecordDescriptions, EachExampleHoldsTheValuesItsKindLists) {
    for (const auto& record : kRecordDescriptions) {
        FieldReader in(record.example);
        in.read_text();
        for (const auto& value : record.values) {
            try {
                const std::string read = read_value(in, value.width);
                if (value.range) {
                    const auto number = std::stoll(read);
                    EXPECT_GE(number, value.range->lowest) << record.kind << ": " << value.name;
                    EXPECT_LE(number, value.range->highest) << record.kind << ": " << value.name;
                }
            } catch (const compiler::FieldFailure& failure) {
                ADD_FAILURE() << record.kind << ": " << value.name << ": " << failure.what();
                break;
            }
        }
        EXPECT_TRUE(in.at_end()) << record.kind << ": the example holds more values";
    }
}

TEST(RecordDescriptions, StatedRangesLieWithinTheWidths) {
    for (const auto& record : kRecordDescriptions) {
        for (const auto& value : record.values) {
            const auto width = compiler::width_range(value.width);
            if (value.range && width) {
                EXPECT_LE(width->lowest, value.range->lowest) << record.kind << ": " << value.name;
                EXPECT_LE(value.range->lowest, value.range->highest) << value.name;
                EXPECT_LE(value.range->highest, width->highest)
                    << record.kind << ": " << value.name;
            }
            EXPECT_FALSE(value.range && !width) << value.name << ": a text has no range";
        }
    }
}

// The section headers of the built-in texts are no records, and every kind names one of them.
TEST(RecordDescriptions, SectionHeadersAreRecognisedAsNoKind) {
    const auto headers = [](SourceTextKind text) {
        std::vector<std::string_view> found;
        for (const auto line : text == SourceTextKind::line_text ? sources::line_description_lines()
                                                                 : sources::train_service_lines()) {
            if (line.starts_with('[')) {
                found.push_back(line);
            }
        }
        return found;
    };
    for (const auto& record : kRecordDescriptions) {
        const auto own = headers(record.text);
        EXPECT_NE(std::find(own.begin(), own.end(), record.section), own.end()) << record.kind;
        for (const auto header : own) {
            EXPECT_FALSE(recognises(record, header)) << header << " is read as a " << record.kind;
        }
    }
}

// A record of the kind at the position, its other numbers 0 so that nothing else can refuse it:
// "segnale, 26900, 0, 0, ...".
std::string record_at(const RecordDescription& record, std::int32_t position) {
    FieldReader in(record.example);
    std::string line = in.read_text() + ", " + std::to_string(position);
    read_value(in, record.values[0].width);
    for (std::size_t i = 1; i < record.values.size(); ++i) {
        const auto value = read_value(in, record.values[i].width);
        line += ", " + (record.values[i].width == ValueWidth::text ? value : std::string("0"));
    }
    return line;
}

compiler::BuildState compile_with(const RecordDescription& record, std::int32_t position) {
    Lines line = kBaseLine;
    Lines train =
        record.text == SourceTextKind::line_text ? Lines{"[generale]", "[fine]"} : kBaseTrain;
    Lines& edited = record.text == SourceTextKind::line_text ? line : train;
    insert_line(edited, static_cast<int>(edited.size()), record_at(record, position));
    const std::string line_text = text_of(line);
    const std::string train_text = text_of(train);
    compiler::CompileInput input;
    input.line_text = compiler::SourceText::of(line_text);
    input.train_text = compiler::SourceText::of(train_text);
    input.LineTitle = "A - B";
    input.TrainCode = "R1";
    compiler::BuildState state;
    compiler::compile_scenario(state, input);
    return state;
}

TEST(RecordDescriptions, TheBoundMarginIsTheOneTheReaderApplies) {
    // The base route: 20000 m, cells 0 to 540.
    constexpr std::int32_t kLastCell = 540;
    const auto refused = compiler::number_of(compiler::Fault::record_near_route_end);
    for (const auto& record : kRecordDescriptions) {
        if (record.bound_margin == 0) {
            continue;
        }
        const std::int32_t last_read = 50 * kLastCell - record.bound_margin;
        const auto read = compile_with(record, last_read);
        EXPECT_EQ(read.errorNumber, 0) << record.kind << " at " << last_read;
        const auto past = compile_with(record, last_read + 50);
        EXPECT_EQ(past.errorNumber, refused) << record.kind << " at " << last_read + 50;
        EXPECT_EQ(past.errorPosition, last_read + 50) << record.kind;
    }
}

TEST(RecordDescriptions, ValuesAreNamedAsOnePhrase) {
    namespace values = compiler::record_values;
    const struct {
        std::span<const compiler::ValueDescription> values;
        std::string phrase;
    } cases[] = {
        {values::kScenery, "a scenery value"},
        {values::kGradient, "a position and a gradient"},
        {values::kCurve, "a start and a length"},
        {values::kMountainSpan, "a start, an end and a kind"},
        {values::kClock, "hours, minutes and seconds"},
        {values::kAdhesion, "a position and an adhesion"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compiler::value_list(c.values), c.phrase);
    }
}

}  // namespace
}  // namespace scenario::testing
