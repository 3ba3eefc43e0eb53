#include "diagnostics/reading_diagnostics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cli/exit_status.h"
#include "commands/check_command.h"
#include "compiler/model/example_route.h"
#include "diagnostics/diagnostic_json.h"
#include "tool.h"

#include <sstream>
#include "io/json.h"
#include "sources/writers.h"
#include "support/fault_cases.h"
#include "support/run_program.h"

#include <fstream>
#include <functional>

namespace scenario::tool {
namespace {

using compiler::Diag;
using testing::kBaseLine;
using testing::kBaseTrain;
using testing::Lines;
using testing::replace_line;
using testing::text_of;

std::vector<Diagnostic> check(const Lines& line, const Lines& train, DiagnoseOptions options = {}) {
    ReadScenario scenario;
    read_scenario(scenario, {"line.txt", text_of(line)}, {"train.txt", text_of(train)}, {});
    return diagnose(scenario, options);
}

void write_text(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string listed(const std::vector<Diagnostic>& diagnostics) {
    std::string text;
    for (const auto& d : diagnostics) {
        text += d.place.file + ":" + std::to_string(d.place.line) + ":" +
                std::to_string(d.place.column) + " " + d.code + " " + d.message + "\n";
    }
    return text;
}

Lines builtin_line() {
    return {sources::line_description_lines().begin(), sources::line_description_lines().end()};
}
Lines builtin_train() {
    return {sources::train_service_lines().begin(), sources::train_service_lines().end()};
}

TEST(Check, TheExampleRouteAndTheBuiltInTextsGiveNoDiagnosticAtAll) {
    EXPECT_EQ(listed(check(kBaseLine, kBaseTrain)), "");
    EXPECT_EQ(listed(check(builtin_line(), builtin_train())), "");
}

// Every entry of the catalogue: its example route gives exactly it, after the tool has folded
// the consequences into their causes (the rustc way: examples that are tests).
TEST(Check, EveryCatalogueExampleGivesExactlyItsDiagnostic) {
    for (const auto& entry : compiler::kDiagnosticCatalogue) {
        if (!entry.example.given()) {
            continue;
        }
        const auto texts = compiler::example_texts(entry.example);
        std::vector<Diagnostic> found;
        if (entry.example.swap_texts) {
            testing::TempDir dir;
            const auto line = dir.path() / "line.txt";
            const auto train = dir.path() / "train.txt";
            write_text(line, compiler::joined_text(texts.line));
            write_text(train, compiler::joined_text(texts.train));
            found = check_files(line, train, {});
        } else {
            found = check(texts.line, texts.train);
        }
        const std::string code =
            compiler::is_fault(entry.id) ? std::to_string(entry.number()) : std::string(entry.name);
        ASSERT_EQ(found.size(), 1u) << entry.name << "\n" << listed(found);
        EXPECT_EQ(found[0].code, code) << entry.name << "\n" << listed(found);
    }
}

// The note "the build stops reading" goes on the first fault that stops a text; check reads on.
TEST(Check, FaultsPastTheRecordWhereTheBuildStopsAreReportedToo) {
    Lines train = kBaseTrain;
    replace_line(train, 18, testing::signal_at(1100));  // 16 on the speed board
    replace_line(train, 20, "segnale,   15050,   2, 3, 1,  0, 0,    0,  0,0,0, 0");
    testing::insert_line(train, 21, "abbattimento,   15100,   100");  // 7 on the signal's cell
    const auto found = check(kBaseLine, train);
    ASSERT_EQ(found.size(), 2u) << listed(found);
    EXPECT_EQ(found[0].code, "16");
    EXPECT_EQ(found[0].place.line, 18);
    EXPECT_NE(found[0].notes.at(0).message.find("stops reading this text here"), std::string::npos);
    EXPECT_EQ(found[1].code, "7");
    EXPECT_EQ(found[1].place.line, 21);
    ASSERT_EQ(found[1].notes.size(), 1u);
    EXPECT_EQ(found[1].notes[0].message, "the cell was taken here, by the signal at 15050 m");
    EXPECT_EQ(found[1].notes[0].place.line, 20);
}

TEST(Check, AFaultOfTheSignallingPassStandsAtTheSlowdownAndNamesTheCellsTaken) {
    Lines line = kBaseLine;
    for (const int position : {11750, 11700, 11650}) {
        testing::insert_line(line, 21,
                             "cartello_indicatore,  " + std::to_string(position) + ",   (PONTE)");
    }
    const auto found = check(line, kBaseTrain);
    ASSERT_EQ(found.size(), 1u) << listed(found);
    const auto& d = found[0];
    EXPECT_EQ(d.code, "12");
    EXPECT_NE(d.message.find("(position 12050 m, cell 241)"), std::string::npos) << d.message;
    EXPECT_EQ(d.place.file, "train.txt");
    EXPECT_EQ(d.place.line, 16);  // the slowdown
    ASSERT_EQ(d.notes.size(), 3u);
    EXPECT_EQ(d.notes[0].message, "cell 236 at 11800 m is taken, by the sign board at 11750 m");
    EXPECT_EQ(d.notes[0].place.file, "line.txt");
}

TEST(Check, AReadingFailureIsToldByItsRecordAndValue) {
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
        EXPECT_EQ(error->place.line, 10) << c.line;
        EXPECT_EQ(error->place.column, c.column) << c.line;
    }
}

// The mends check carries (and the language server offers): each one, applied, leaves a line the
// build reads without that diagnostic, at the value the build would take.
TEST(Check, MendsSemicolonsDecimalPointsThousandsAndValuesOffTheirStep) {
    struct Case {
        bool in_line;  // the line text; else the train text
        int line;
        const char* written;
        const char* code;
        const char* mended;
    };
    const Case cases[] = {
        {false, 10, "velocita;    1100;    70", "25", "velocita,    1100,    70"},
        {false, 10, "velocita,    1100;    70", "25", "velocita,    1100,    70"},
        {false, 13,
         "stazione;    8000; 11;  300;  0; 0; 1;  1;1;0;  4;1;1;   60;   6;48; 0; VALLE; ALTA",
         "25",
         "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, VALLE; ALTA"},
        {false, 10, "velocita,    1.100,    70", "25", "velocita,    1100,    70"},
        {false, 10, "velocita,    1100,    72.5", "25", "velocita,    1100,    70"},
        {false, 10, "velocita,    1100,    67.5", "25", "velocita,    1100,    70"},
        {false, 10, "velocita,    1120,    70", "not-on-grid", "velocita,    1100,    70"},
        {false, 10, "velocita,    1100,    72", "speed-not-on-step", "velocita,    1100,    70"},
        {false, 13, "stazione,    8020, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, VALLE",
         "8", "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, VALLE"},
        {false, 13, "stazione,    8000, 11,  350,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, VALLE",
         "9", "stazione,    8000, 11,  400,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, VALLE"},
        {true, 14, "pendenza,  5000,   2.500", "25", "pendenza,  5000,   2"},
        {true, 14, "pendenza,  5000.5,   10", "25", "pendenza,  5000,   10"},
        {true, 9, "ripetizione segnali 9 codici,    1025,    18000", "3",
         "ripetizione segnali 9 codici,    1000,    18000"},
        {true, 9, "ripetizione segnali 9 codici,    1000,    18030", "4",
         "ripetizione segnali 9 codici,    1000,    18050"},
        {true, 3, "progressiva chilometrica uno,    25,    20010,    1", "2",
         "progressiva chilometrica uno,    0,    20000,    1"},
    };
    for (const auto& c : cases) {
        Lines line = kBaseLine;
        Lines train = kBaseTrain;
        Lines& edited = c.in_line ? line : train;
        replace_line(edited, c.line, c.written);
        const auto found = check(line, train);
        const auto d = std::find_if(found.begin(), found.end(),
                                    [&](const Diagnostic& d) { return d.code == c.code; });
        ASSERT_NE(d, found.end()) << c.written << "\n" << listed(found);
        ASSERT_TRUE(d->fix) << c.written;
        EXPECT_EQ(d->place.file, c.in_line ? "line.txt" : "train.txt");
        std::string bytes = text_of(edited);
        bytes.replace(d->fix->offset, d->fix->length, d->fix->replacement);
        replace_line(edited, c.line, c.mended);
        EXPECT_EQ(bytes, text_of(edited)) << c.written << ": " << d->fix->title;
        const auto after = check(line, train);
        EXPECT_TRUE(std::none_of(after.begin(), after.end(),
                                 [&](const Diagnostic& d) { return d.code == c.code; }))
            << c.written << "\n"
            << listed(after);
    }
}

// One cause, its consequences folded into it: as the author sees the mistakes of the issue.
TEST(Check, OneMistakeIsToldOnceWhereItWasMade) {
    struct Case {
        const char* name;
        std::function<void(Lines&, Lines&)> edit;
        std::size_t most;   // diagnostics at most
        std::string code;   // of the first
        std::string file;   // of the first
        std::int32_t line;  // of the first
    };
    const Case cases[] = {
        {"RouteLengthTypedShort",
         [](Lines& l, Lines&) {
             std::replace(l.begin(), l.end(), std::string("lunghezza percorso,    98000"),
                          std::string("lunghezza percorso,    9800"));
         },
         5, "15", "line.txt", 2},
        {"StationKilometreTypedLong",
         [](Lines&, Lines& t) {
             for (auto& s : t) {
                 if (s.starts_with("stazione,    7500,")) {
                     s.replace(0, 18, "stazione,   75000,");
                 }
             }
         },
         1, "22", "train.txt", 41},
        {"CurveHeaderMissing",
         [](Lines& l, Lines&) { l.erase(std::find(l.begin(), l.end(), "[curve]")); }, 1,
         "out-of-section", "line.txt", 10},
    };
    for (const auto& c : cases) {
        Lines line = builtin_line();
        Lines train = builtin_train();
        c.edit(line, train);
        const auto found = check(line, train);
        ASSERT_FALSE(found.empty()) << c.name;
        EXPECT_LE(found.size(), c.most) << c.name << "\n" << listed(found);
        EXPECT_EQ(found[0].code, c.code) << c.name;
        EXPECT_EQ(found[0].place.file, c.file) << c.name;
        EXPECT_EQ(found[0].place.line, c.line) << c.name;
    }
}

TEST(Check, RepeatsBeyondThreeAreCountedAndTheErrorLimitStopsTheList) {
    Lines train = kBaseTrain;
    for (int i = 0; i < 6; ++i) {
        testing::insert_line(train, 21,
                             "abbattimento,   " + std::to_string(1850 + 50 * i) + ",   100");
    }
    // Six code points out of order after the signals: six warnings of one kind.
    auto found = check(kBaseLine, train);
    const auto of_kind = std::count_if(
        found.begin(), found.end(), [](const Diagnostic& d) { return d.code == "out-of-order"; });
    EXPECT_LE(of_kind, 3);
    DiagnoseOptions all;
    all.all = true;
    EXPECT_GE(check(kBaseLine, train, all).size(), found.size());
    DiagnoseOptions limited;
    limited.error_limit = 1;
    Lines faulty = kBaseTrain;
    replace_line(faulty, 18, testing::signal_at(1100));
    replace_line(faulty, 19, "segnale,    5000;   2");
    const auto capped = check(kBaseLine, faulty, limited);
    ASSERT_EQ(std::count_if(capped.begin(), capped.end(),
                            [](const Diagnostic& d) { return d.severity == Severity::error; }),
              1);
    EXPECT_NE(capped.back().notes.back().message.find("too many errors"), std::string::npos);
}

TEST(Check, WarningsAreSilencedByNameAndMadeErrorsByStrict) {
    Lines line = kBaseLine;
    replace_line(line, 14, "pendneza,  5000,   10");
    const auto found = check(line, kBaseTrain);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].severity, Severity::warning);
    EXPECT_EQ(found[0].hint, "did you mean 'pendenza'?");
    ASSERT_TRUE(found[0].fix.has_value());
    EXPECT_EQ(found[0].fix->replacement, "pendenza");
    DiagnoseOptions options;
    options.silenced.insert("unknown-keyword");
    EXPECT_TRUE(check(line, kBaseTrain, options).empty());
    // -Wno- takes the names of warnings only.
    for (const std::string name : {"spelling", "signal_cell_taken"}) {
        std::ostringstream out;
        std::ostringstream err;
        const std::vector<std::string> args{"check", "-Wno-" + name, "--line", "l", "--train", "t"};
        EXPECT_EQ(run_tool(args, out, err), kExitUsage) << name;
        EXPECT_NE(err.str().find("there is no warning"), std::string::npos) << err.str();
    }
    DiagnoseOptions strict;
    strict.strict = true;
    EXPECT_TRUE(has_errors(check(line, kBaseTrain, strict)));
}

TEST(Diagnostics, TextAndJsonFormsAsCompilersGiveThem) {
    Diagnostic d;
    d.id = Diag::out_of_order;
    d.place = {"t.txt", 3, 5, 2,
               "\tab\x1b"
               "cd"};
    d.severity = Severity::warning;
    d.code = "out-of-order";
    d.message = "late";
    d.hint = "sort them";
    d.notes.push_back({"the one before", {"t.txt", 2, 1, 1, "x"}});
    EXPECT_EQ(render_text({d}, false),
              "t.txt:3:5: warning: late [-Wout-of-order]\n"
              " 3 | \tab\\x1bcd\n"
              "   | \t      ^~\n"
              "t.txt:2:1: note: the one before\n"
              " 2 | x\n"
              "   | ^\n"
              "help: sort them\n");
    EXPECT_EQ(closing_line({d}), "1 warning generated.\n");
    EXPECT_NE(render_text({d}, true).find("\x1b[1;35mwarning:"), std::string::npos);
    Json json = Json::object();
    write_json(json, {d});
    EXPECT_EQ(json_text(json),
              R"({"diagnostics":[{"file":"t.txt","line":3,"column":5,"endColumn":7,)"
              R"("severity":"warning","code":"out-of-order","message":"late","notes":[)"
              R"({"message":"the one before","file":"t.txt","line":2,"column":1}],)"
              R"("hint":"sort them","fix":null,"position":null,"cell":null}],)"
              R"("errors":0,"warnings":1})");
}

}  // namespace
}  // namespace scenario::tool
