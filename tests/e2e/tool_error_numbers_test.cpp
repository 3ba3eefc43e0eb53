#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A small line and train run that compile without a fault: 20 km, a curve, two gradients, a
// mountain span, a speed board at 1100 (cell 23), a sign board at 2200 (cell 45), three
// stations (stop cells 15, 163 and 385), a 40 km/h slowdown from 12000 (warning cell 217,
// start 241, end 247) and three signals (cells 38, 101, 301).
const Lines kLine{
    "[generale]",                                              // 1
    "lunghezza percorso,    20000",                            // 2
    "progressiva chilometrica uno,    0,    20000,    1",      // 3
    "progressiva chilometrica due,    0,    0,    0",          // 4
    "progressiva chilometrica tre,    0,    0,    0",          // 5
    "sfondo uno,    1",                                        // 6
    "sfondo due,    0",                                        // 7
    "sfondo tre,    1",                                        // 8
    "ripetizione segnali 9 codici,    1000,    18000",         // 9
    "[curve]",                                                 // 10
    "curvad4,  2000,  300",                                    // 11
    "[pendenze]",                                              // 12
    "pendenza,  0,   0",                                       // 13
    "pendenza,  5000,   10",                                   // 14
    "[montagne]",                                              // 15
    "montagna,   6000,  6400,  11",                            // 16
    "[cartelli]",                                              // 17
    "indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0",  // 18
    "[indicazioni]",                                           // 19
    "cartello_indicatore,  2200,   (PONTE SUL)(FIUME)",        // 20
    "[fine]",                                                  // 21
};

const Lines kTrain{
    "[generale]",                                                                     // 1
    "numero vetture,    5",                                                           // 2
    "percentuale massa frenata,    100",                                              // 3
    "sabbia,    150",                                                                 // 4
    "orologio,    6               36            30 ",                                 // 5
    "[aderenze]",                                                                     // 6
    "aderenza,   0,    100",                                                          // 7
    "[vel_limite]",                                                                   // 8
    "velocita,       0,    60",                                                       // 9
    "velocita,    1100,    70",                                                       // 10
    "[stazioni]",                                                                     // 11
    "stazione,     400,  4,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, LAGO",   // 12
    "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, VALLE",  // 13
    "stazione,   19000,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,   7,10, 0, MONTE",  // 14
    "[rallentamenti]",                                                                // 15
    "rallentamento,   12000,    40,  300, 1,  1,  0",                                 // 16
    "[segnali]",                                                                      // 17
    "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0",                            // 18
    "segnale,    5000,   2, 4, 0,  0, 0,    0,  0,0,0, 0",                            // 19
    "segnale,   15000,   2, 3, 1,  0, 0,    0,  0,0,0, 0",                            // 20
    "[codici]",                                                                       // 21
    "[fine]",                                                                         // 22
};

std::string signal_at(int position) {
    return "segnale,   " + std::to_string(position) + ",   1, 4, 0,  0, 0,    0,  0,0,0, 0";
}

std::string text_of(const Lines& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// The raw JSON value of a member of the tool's one-line report.
std::string member(const std::string& json, const std::string& key) {
    const auto at = json.find("\"" + key + "\":");
    if (at == std::string::npos) {
        return "(absent)";
    }
    const auto begin = at + key.size() + 3;
    if (json[begin] == '"') {
        return json.substr(begin, json.find('"', begin + 1) - begin + 1);
    }
    return json.substr(begin, json.find_first_of(",}", begin) - begin);
}

struct Compiled {
    RunResult run;
    std::string line_text;
    std::string train_text;
    std::vector<std::string> outputs;
};

Compiled compile(const Lines& line, const Lines& train, const TempDir& dir) {
    Compiled c;
    c.line_text = text_of(line);
    c.train_text = text_of(train);
    std::ofstream(dir.path() / "line.txt", std::ios::binary) << c.line_text;
    std::ofstream(dir.path() / "train.txt", std::ios::binary) << c.train_text;
    fs::create_directory(dir.path() / "out");
    c.run = run_program(SCENARIO_TOOL_EXE,
                        {"compile", "--line", "line.txt", "--train", "train.txt", "--title",
                         "A - B", "--code", "R1", "--out", "out", "--json"},
                        dir.path());
    c.outputs = file_names(dir.path() / "out");
    return c;
}

TEST(ToolErrorNumbers, TheBaseTextsCompileWithoutAFault) {
    TempDir dir;
    const auto c = compile(kLine, kTrain, dir);
    EXPECT_EQ(c.run.status, 0) << c.run.out << c.run.err;
    EXPECT_EQ(member(c.run.out, "outcome"), "\"clean\"");
    EXPECT_EQ(member(c.run.out, "errorNumber"), "0");
    EXPECT_EQ(member(c.run.out, "stations"), "3");
    EXPECT_EQ(member(c.run.out, "signals"), "3");
    EXPECT_EQ(c.outputs,
              (std::vector<std::string>{"A - B_R1.dat", "A - B_R1.sim", "A - B_linea.dat"}));
}

struct ErrorCase {
    const char* name;
    std::function<void(Lines& line, Lines& train)> edit;
    int number;
    std::optional<int> position;
    const char* file;  // "line.txt" or "train.txt"
    std::optional<int> line;
    std::optional<int> cell = std::nullopt;
    bool written = true;  // the compact files are written despite the fault
};

// Shown by the test runner in place of the raw bytes of the case.
void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << "error " << c.number;
}

void replace(Lines& lines, int line, std::string text) {
    lines.at(static_cast<std::size_t>(line - 1)) = std::move(text);
}

void insert(Lines& lines, int line, std::string text) {
    lines.insert(lines.begin() + (line - 1), std::move(text));
}

const std::vector<ErrorCase>& error_cases() {
    static const std::vector<ErrorCase> cases{
        {"RouteTooLong", [](Lines& l, Lines&) { replace(l, 2, "lunghezza percorso,    1000050"); },
         1, std::nullopt, "line.txt", 2, std::nullopt, false},
        {"KilometricRangeOffTheGrid",
         [](Lines& l, Lines&) {
             replace(l, 3, "progressiva chilometrica uno,    25,    20000,    1");
         },
         2, std::nullopt, "line.txt", 3},
        {"RepetitionStartOffTheGrid",
         [](Lines& l, Lines&) { replace(l, 9, "ripetizione segnali 9 codici,    1025,    18000"); },
         3, std::nullopt, "line.txt", 9},
        {"RepetitionEndOffTheGrid",
         [](Lines& l, Lines&) { replace(l, 9, "ripetizione segnali 9 codici,    1000,    18025"); },
         4, std::nullopt, "line.txt", 9},
        {"RepetitionWithoutCodeSystem",
         [](Lines& l, Lines&) { replace(l, 9, "ripetizione segnali codici,    1000,    18000"); },
         5, std::nullopt, "line.txt", 9},
        {"SignBoardOnTheSpeedBoard",
         [](Lines& l, Lines&) { replace(l, 20, "cartello_indicatore,  1100,   (PONTE)"); }, 6, 1100,
         "line.txt", 20},
        {"CodePointOnASignal",
         [](Lines&, Lines& t) { insert(t, 22, "abbattimento,   1900,   100"); }, 7, 1900,
         "train.txt", 22},
        {"StationOffTheGrid",
         [](Lines&, Lines& t) {
             replace(t, 13,
                     "stazione,    8010, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, "
                     "VALLE");
         },
         8, 8010, "train.txt", 13},
        {"StationLengthOffTheGrid",
         [](Lines&, Lines& t) {
             replace(t, 13,
                     "stazione,    8000, 11,  350,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, "
                     "VALLE");
         },
         9, 8000, "train.txt", 13},
        {"NoRoomForAnotherStation",
         [](Lines& l, Lines&) {
             // 78 more sign boards leave the sign slot at 1: the first station fills the table.
             for (int i = 0; i < 78; ++i) {
                 insert(l, 21 + i,
                        "cartello_indicatore,  " + std::to_string(3000 + 100 * i) + ",   (BOARD)");
             }
         },
         10, std::nullopt, "train.txt", 12},
        {"SignalWithoutRoomForItsCodePoint",
         [](Lines&, Lines& t) {
             // Signals on cells 208, 209 and 210, within 20 cells before the warning (217):
             // the one on 210 finds both cells before it taken.
             insert(t, 20, signal_at(10450));
             insert(t, 20, signal_at(10400));
             insert(t, 20, signal_at(10350));
         },
         11, 10500, "train.txt", std::nullopt, 210},
        {"SlowdownStartWithoutRoomForCodePoints",
         [](Lines&, Lines& t) {
             // Signals on cells 234 to 236, the first window before the start cell 241.
             insert(t, 20, signal_at(11750));
             insert(t, 20, signal_at(11700));
             insert(t, 20, signal_at(11650));
         },
         12, 12050, "train.txt", std::nullopt, 241},
        {"SlowSlowdownWithoutRoomForCodePoints",
         [](Lines&, Lines& t) {
             // 800 m long: end cell 257; the eighth cell after the start (249) and both its
             // neighbours hold signals.
             replace(t, 16, "rallentamento,   12000,    40,  800, 1,  1,  0");
             insert(t, 20, signal_at(12450));
             insert(t, 20, signal_at(12400));
             insert(t, 20, signal_at(12350));
         },
         13, 12450, "train.txt", std::nullopt, 249},
        {"RecordTooNearTheEnd",
         [](Lines&, Lines& t) { replace(t, 10, "velocita,   26950,    70"); }, 15, 26950,
         "train.txt", 10},
        {"SignalOnTheSpeedBoard", [](Lines&, Lines& t) { replace(t, 18, signal_at(1100)); }, 16,
         1100, "train.txt", 18},
        {"WarningBoardOnTheSpeedBoard",
         [](Lines&, Lines& t) { replace(t, 16, "rallentamento,    2300,    40,  300, 1,  1,  0"); },
         17, 2300, "train.txt", 16},
        {"SlowdownStartOnTheSpeedBoard",
         [](Lines&, Lines& t) { replace(t, 16, "rallentamento,    1100,    40,  300, 1,  1,  0"); },
         18, 1100, "train.txt", 16},
        {"SlowdownEndOnTheSignBoard",
         [](Lines&, Lines& t) { replace(t, 16, "rallentamento,    2000,    40,  200, 1,  1,  0"); },
         19, 2000, "train.txt", 16},
        {"ApproachCellOnTheSpeedBoard",
         [](Lines&, Lines& t) { replace(t, 16, "rallentamento,    2350,    40,  300, 1,  1,  0"); },
         20, 2350, "train.txt", 16},
        {"TwoSpeedBoardsOnOneCell",
         [](Lines& l, Lines&) {
             insert(l, 19, "indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0");
         },
         21, 1100, "line.txt", 19},
        {"StationZonesTooClose",
         [](Lines&, Lines& t) {
             replace(t, 13,
                     "stazione,    1000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, "
                     "VALLE");
         },
         22, 1000, "train.txt", 13},
        {"StopCellBeforeTheRoute",
         [](Lines&, Lines& t) {
             replace(t, 12,
                     "stazione,       0,  4,  100,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, "
                     "LAGO");
         },
         24, std::nullopt, "train.txt", 12},
        {"ValueTooLargeForItsField",
         [](Lines&, Lines& t) {
             replace(t, 12,
                     "stazione,     400,300,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, "
                     "LAGO");
         },
         25, std::nullopt, "train.txt", 12},
        {"MoreSignBoardsThanTheTableHolds",
         [](Lines& l, Lines&) {
             for (int i = 0; i < 80; ++i) {
                 insert(l, 21 + i,
                        "cartello_indicatore,  " + std::to_string(3000 + 100 * i) + ",   (BOARD)");
             }
         },
         26, 10900, "line.txt", 100},
        {"MoreMountainSpansThanSupported",
         [](Lines& l, Lines&) {
             for (int i = 0; i < 80; ++i) {
                 const int start = 7000 + 200 * i;
                 insert(l, 17 + i,
                        "montagna,   " + std::to_string(start) + ",  " +
                            std::to_string(start + 50) + ",  1");
             }
         },
         27, 22800, "line.txt", 96},
        {"NoGeneralSection", [](Lines& l, Lines&) { replace(l, 1, "[general]"); }, 102,
         std::nullopt, "line.txt", std::nullopt, std::nullopt, false},
        {"CurveWithoutClass", [](Lines& l, Lines&) { replace(l, 11, "curvad,  2000,  300"); }, 103,
         std::nullopt, "line.txt", 11},
        {"FormatMarkerPlaceInUse",
         [](Lines& l, Lines&) {
             replace(l, 18, "indicatori_vmax,  0,  60,  70,  70,  0,  ,  ,  ,  0");
         },
         1250, std::nullopt, nullptr, std::nullopt, std::nullopt, false},
        {"ScenarioCodePlaceInUse",
         [](Lines& l, Lines&) {
             replace(l, 18, "indicatori_vmax,  0,  0,  70,  70,  0,  ,  ,  ,  0");
         },
         1251, std::nullopt, nullptr, std::nullopt, std::nullopt, false},
    };
    return cases;
}

class ToolErrorNumber : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ToolErrorNumber, IsReportedWithItsPlaceAndLeavesTheTextsAlone) {
    const auto& c = GetParam();
    Lines line = kLine;
    Lines train = kTrain;
    c.edit(line, train);
    TempDir dir;
    // An earlier compile's file stays when nothing is written.
    fs::create_directory(dir.path() / "out");
    std::ofstream(dir.path() / "out" / "A - B_R1.sim", std::ios::binary) << "earlier";
    const auto compiled = compile(line, train, dir);
    const auto& json = compiled.run.out;

    EXPECT_EQ(compiled.run.status, 1) << json << compiled.run.err;
    EXPECT_EQ(member(json, "errorNumber"), std::to_string(c.number)) << json;
    EXPECT_EQ(member(json, "errorPosition"), c.position ? std::to_string(*c.position) : "null")
        << json;
    EXPECT_EQ(member(json, "file"), c.file ? "\"" + std::string(c.file) + "\"" : "null") << json;
    EXPECT_EQ(member(json, "line"), c.line ? std::to_string(*c.line) : "null") << json;
    EXPECT_EQ(member(json, "cell"), c.cell ? std::to_string(*c.cell) : "null") << json;
    EXPECT_EQ(member(json, "outcome"), c.written ? "\"fault\"" : "\"refused\"") << json;

    EXPECT_EQ(read_bytes(dir.path() / "line.txt"), compiled.line_text);
    EXPECT_EQ(read_bytes(dir.path() / "train.txt"), compiled.train_text);
    if (c.written) {
        EXPECT_EQ(compiled.outputs,
                  (std::vector<std::string>{"A - B_R1.dat", "A - B_R1.sim", "A - B_linea.dat"}));
        EXPECT_NE(read_bytes(dir.path() / "out" / "A - B_R1.sim"), "earlier");
    } else {
        EXPECT_EQ(compiled.outputs, std::vector<std::string>{"A - B_R1.sim"});
        EXPECT_EQ(read_bytes(dir.path() / "out" / "A - B_R1.sim"), "earlier");
    }
}

INSTANTIATE_TEST_SUITE_P(EachNumber, ToolErrorNumber, ::testing::ValuesIn(error_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ToolErrorNumbers, TheTextReportNamesFileLineAndPosition) {
    TempDir dir;
    Lines train = kTrain;
    replace(train, 18, signal_at(1100));
    compile(kLine, train, dir);
    const auto result = run_program(SCENARIO_TOOL_EXE,
                                    {"compile", "--line", "line.txt", "--train", "train.txt",
                                     "--title", "A - B", "--code", "R1", "--out", "out"},
                                    dir.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "train.txt:18:12: error 16: a signal lands on a cell that is already taken (position "
              "1100 m)\n");
    EXPECT_TRUE(result.out.starts_with("route 20000 m, 541 cells, 3 stations, 0 signals"))
        << result.out;
}

}  // namespace
}  // namespace scenario::testing
