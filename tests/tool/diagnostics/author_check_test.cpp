#include "diagnostics/author_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "cli/exit_status.h"
#include "diagnostics/warning_catalogue.h"
#include "io/json_writer.h"
#include "sources/content_table.h"
#include "sources/writers.h"
#include "support/fault_cases.h"

namespace scenario::tool {
namespace {

using testing::insert_line;
using testing::kBaseLine;
using testing::kBaseTrain;
using testing::Lines;
using testing::replace_line;
using testing::text_of;

std::vector<Diagnostic> check(const Lines& line, const Lines& train, CheckOptions options = {}) {
    const auto line_text = text_of(line);
    const auto train_text = text_of(train);
    return check_texts({line_text, "line.txt"}, {train_text, "train.txt"}, options);
}

std::string listed(const std::vector<Diagnostic>& diagnostics) {
    std::string text;
    for (const auto& d : diagnostics) {
        text += d.file + ":" + std::to_string(d.line) + ":" + std::to_string(d.column) + " " +
                d.code + " " + d.message + "\n";
    }
    return text;
}

TEST(AuthorCheck, TheBaseAndTheBuiltInTextsGiveNoDiagnosticAtAll) {
    EXPECT_EQ(listed(check(kBaseLine, kBaseTrain)), "");
    const auto line = sources::render(sources::content_table(sources::line_description_lines()));
    const auto train = sources::render(sources::content_table(sources::train_service_lines()));
    EXPECT_EQ(listed(check_texts({line, "l"}, {train, "t"}, {})), "");
}

TEST(AuthorCheck, EveryFaultTheBuildRecordsIsAnErrorAtTheBuildsPlace) {
    for (const auto& c : testing::tool_fault_cases()) {
        Lines line = kBaseLine;
        Lines train = kBaseTrain;
        c.edit(line, train);
        const auto found = check(line, train);
        const auto number = std::to_string(compiler::number_of(c.fault));
        const bool told = std::any_of(found.begin(), found.end(), [&](const Diagnostic& d) {
            const bool in_text = c.source == compiler::ErrorSource::line_text ||
                                 c.source == compiler::ErrorSource::train_text;
            return d.severity == Severity::error && d.code == number &&
                   (!in_text || (d.line == c.line && d.column == c.column));
        });
        EXPECT_TRUE(told) << c.name << "\n" << listed(found);
    }
}

TEST(AuthorCheck, FaultsPastTheRecordWhereTheBuildStopsAreReportedToo) {
    Lines train = kBaseTrain;
    replace_line(train, 18, testing::signal_at(1100));  // 16 on the speed board
    replace_line(train, 20, "segnale,   15010,   2, 3, 1,  0, 0,    0,  0,0,0, 0");
    insert_line(train, 21, "abbattimento,   15050,   100");  // 7 on the signal's cell
    const auto found = check(kBaseLine, train);
    ASSERT_EQ(found.size(), 3u) << listed(found);
    EXPECT_EQ(found[0].code, "16");
    EXPECT_EQ(found[0].line, 18);
    EXPECT_NE(found[0].notes.at(0).find("stops reading this text here"), std::string::npos);
    EXPECT_EQ(found[1].code, "not-on-grid");
    EXPECT_EQ(found[2].code, "7");
    EXPECT_EQ(found[2].line, 21);
    EXPECT_TRUE(found[2].notes.empty());
}

TEST(AuthorCheck, AFaultOfTheSignallingPassNamesItsCellAndTheRecordsInvolved) {
    Lines train = kBaseTrain;
    // Signals on cells 234 to 236, the first window before the slowdown's start cell 241.
    for (const int position : {11750, 11700, 11650}) {
        insert_line(train, 20, testing::signal_at(position));
    }
    const auto found = check(kBaseLine, train);
    ASSERT_EQ(found.size(), 1u) << listed(found);
    const auto& d = found[0];
    EXPECT_EQ(d.code, "12");
    EXPECT_EQ(d.message.find("(cell 241, position 12050 m)") != std::string::npos, true)
        << d.message;
    EXPECT_EQ(d.line, 16);  // the slowdown
    EXPECT_EQ(d.notes.at(0), "the slowdown at 12000 m (line 16) asks for this code point");
    EXPECT_EQ(std::count_if(d.notes.begin(), d.notes.end(),
                            [](const std::string& n) { return n.starts_with("the signal at"); }),
              3);
}

TEST(AuthorCheck, AReadingFailureIsToldByItsRecordAndValue) {
    struct Case {
        const char* line;  // replaces the speed limit at line 10 of the train text
        const char* message;
        std::int32_t column;
    };
    const Case cases[] = {
        {"velocita,    1100",
         "'velocita' needs a position and a speed; the line ends after the position", 18},
        {"velocita;    1100;    70",
         "'velocita;    1100;    70' needs a position and a speed; the line ends after the "
         "keyword",
         25},
        {"velocita,    1100;    70",
         "'velocita': a ';' stands where a comma should separate the values (a spreadsheet's "
         "export?)",
         14},
        {"velocita,    1100,    70.5",
         "'velocita': the speed '70.5' has a decimal point; values are whole numbers", 23},
        {"velocita,    99999999999,    70",
         "'velocita': the position 99999999999 does not fit its field (-2147483648 to "
         "2147483647)",
         14},
        {"velocita,    1100,    fast", "'velocita': the speed 'fast' is not a number", 23},
    };
    for (const auto& c : cases) {
        Lines train = kBaseTrain;
        replace_line(train, 10, c.line);
        const auto found = check(kBaseLine, train);
        const auto error = std::find_if(found.begin(), found.end(),
                                        [](const Diagnostic& d) { return d.code == "25"; });
        ASSERT_NE(error, found.end()) << c.line << "\n" << listed(found);
        EXPECT_EQ(error->message, c.message) << c.line;
        EXPECT_EQ(error->line, 10) << c.line;
        EXPECT_EQ(error->column, c.column) << c.line;
    }
}

TEST(AuthorCheck, ATextFieldTooLongToKeepIsToldWithItsLength) {
    Lines train = kBaseTrain;
    const std::string start =
        "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, ";
    replace_line(train, 13, start + std::string(70000, 'V'));
    const auto found = check(kBaseLine, train);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].code, "25");
    EXPECT_EQ(found[0].line, 13);
    EXPECT_EQ(found[0].column, static_cast<std::int32_t>(start.size() + 1));
    EXPECT_EQ(found[0].message, "'stazione': the name of 70000 bytes is longer than 65535");
}

struct WarningCase {
    const char* name;
    std::function<void(Lines& line, Lines& train)> edit;
    const char* file;
    std::int32_t line;
    std::int32_t column;  // of the value the warning is about (the keyword for a whole line)
    const char* hint = "";
};

const std::vector<WarningCase>& warning_cases() {
    static const std::vector<WarningCase> cases{
        {"unknown-keyword", [](Lines& l, Lines&) { replace_line(l, 14, "pendneza,  5000,   10"); },
         "line.txt", 14, 1, "did you mean 'pendenza'?"},
        {"other-text-record",
         [](Lines& l, Lines&) { insert_line(l, 21, "stazione,  9000,  4,  600,  0"); }, "line.txt",
         21, 1},
        {"value-changed", [](Lines& l, Lines&) { replace_line(l, 14, "pendenza,  5000,   -150"); },
         "line.txt", 14, 12},
        {"position-outside-route",
         [](Lines& l, Lines&) { replace_line(l, 14, "pendenza,  21000,   10"); }, "line.txt", 14,
         12},
        {"out-of-order", [](Lines&, Lines& t) { std::swap(t.at(8), t.at(9)); }, "train.txt", 10,
         17},
        {"overlapping-curves", [](Lines& l, Lines&) { insert_line(l, 12, "curvas3,  2200,  300"); },
         "line.txt", 12, 11},
        {"cut-at-route-end",
         [](Lines& l, Lines&) { replace_line(l, 16, "montagna,   6000,  30000,  11"); }, "line.txt",
         16, 13},
        {"station-time",
         [](Lines&, Lines& t) {
             replace_line(t, 14,
                          "stazione,   19000,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,   6,10, "
                          "0, MONTE");
         },
         "train.txt", 14, 13},
        {"not-on-grid",
         [](Lines&, Lines& t) {
             replace_line(t, 19, "segnale,    5010,   2, 4, 0,  0, 0,    0,  0,0,0, 0");
         },
         "train.txt", 19, 13},
        {"extra-values", [](Lines& l, Lines&) { replace_line(l, 14, "pendenza,  5000,   10,  7"); },
         "line.txt", 14, 25},
        {"missing-stations", [](Lines&, Lines& t) { t.erase(t.begin() + 11, t.begin() + 14); },
         "train.txt", 0, 0},
        {"utf8-text",
         [](Lines&, Lines& t) {
             replace_line(t, 13,
                          "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, "
                          "0, C\xC3\x80");
         },
         "train.txt", 13, 74},
        {"byte-order-mark", [](Lines& l, Lines&) { l[0] = "\xEF\xBB\xBF" + l[0]; }, "line.txt", 1,
         1},
        {"lone-cr", [](Lines& l, Lines&) { replace_line(l, 7, "sfondo due,\r    0"); }, "line.txt",
         7, 12},
    };
    return cases;
}

TEST(AuthorCheck, EachWarningIsGivenWithItsNameAndPlaceAndCanBeSilenced) {
    std::set<std::string> raised;
    for (const auto& c : warning_cases()) {
        Lines line = kBaseLine;
        Lines train = kBaseTrain;
        c.edit(line, train);
        const auto found = check(line, train);
        const auto warning = std::find_if(found.begin(), found.end(), [&](const Diagnostic& d) {
            return d.severity == Severity::warning && d.code == c.name;
        });
        ASSERT_NE(warning, found.end()) << c.name << "\n" << listed(found);
        raised.insert(c.name);
        EXPECT_EQ(warning->file, c.file) << c.name;
        EXPECT_EQ(warning->line, c.line) << c.name;
        EXPECT_EQ(warning->column, c.column) << c.name;
        EXPECT_EQ(warning->hint.find(c.hint), 0u) << c.name << ": " << warning->hint;

        CheckOptions silenced;
        silenced.silenced.insert(c.name);
        const auto quiet = check(line, train, silenced);
        EXPECT_TRUE(std::none_of(quiet.begin(), quiet.end(), [&](const Diagnostic& d) {
            return d.code == c.name;
        })) << c.name;
        CheckOptions strict;
        strict.strict = true;
        EXPECT_TRUE(has_errors(check(line, train, strict))) << c.name;
    }
    for (const auto& w : warning_catalogue()) {
        EXPECT_TRUE(raised.contains(std::string(w.name))) << "no case raises -W" << w.name;
        EXPECT_FALSE(w.explanation.empty()) << w.name;
    }
}

TEST(AuthorCheck, WarningOptionsAreTakenByNameAndAnUnknownNameIsAUsageError) {
    CheckOptions options;
    const auto rest = take_warning_options({"--line", "l", "-Wno-out-of-order", "--json"}, options);
    EXPECT_EQ(rest, (std::vector<std::string>{"--line", "l", "--json"}));
    EXPECT_TRUE(options.silenced.contains("out-of-order"));
    EXPECT_THROW(take_warning_options({"-Wno-spelling"}, options), UsageError);
}

TEST(Diagnostics, TextAndJsonFormsAsCompilersGiveThem) {
    Diagnostic d;
    d.file = "t.txt";
    d.line = 3;
    d.column = 5;
    d.severity = Severity::warning;
    d.code = "out-of-order";
    d.message = "late";
    d.hint = "sort them";
    d.source_line =
        "\tab\x1b"
        "c";
    EXPECT_EQ(render_text({d}, false),
              "t.txt:3:5: warning: late [-Wout-of-order]\n"
              " 3 | \tab\\x1bc\n"
              "   | \t      ^\n"
              "help: sort them\n");
    EXPECT_NE(render_text({d}, true).find("\x1b[1;35mwarning:"), std::string::npos);
    JsonWriter json;
    json.begin_object();
    write_json(json, {d});
    json.end_object();
    EXPECT_EQ(json.text(),
              R"({"diagnostics":[{"file":"t.txt","line":3,"column":5,"severity":"warning",)"
              R"("code":"out-of-order","message":"late","notes":[],"hint":"sort them"}],)"
              R"("errors":0,"warnings":1})");
}

}  // namespace
}  // namespace scenario::tool
