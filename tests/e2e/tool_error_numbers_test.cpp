#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/fault_cases.h"
#include "support/run_program.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;
using compiler::ErrorSource;

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

// The text the tool names for a fault: the train text holds the records of the signalling pass.
std::string quoted_file_of(ErrorSource source) {
    switch (source) {
        case ErrorSource::line_text:
            return "\"line.txt\"";
        case ErrorSource::train_text:
        case ErrorSource::signalling:
            return "\"train.txt\"";
        case ErrorSource::none:
            break;
    }
    return "null";
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
    const auto c = compile(kBaseLine, kBaseTrain, dir);
    EXPECT_EQ(c.run.status, 0) << c.run.out << c.run.err;
    EXPECT_EQ(member(c.run.out, "outcome"), "\"clean\"");
    EXPECT_EQ(member(c.run.out, "errorNumber"), "0");
    EXPECT_EQ(member(c.run.out, "stations"), "3");
    EXPECT_EQ(member(c.run.out, "signals"), "3");
    EXPECT_EQ(c.outputs,
              (std::vector<std::string>{"A - B_R1.dat", "A - B_R1.sim", "A - B_linea.dat"}));
}

class ToolErrorNumber : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ToolErrorNumber, IsReportedWithItsPlaceAndLeavesTheTextsAlone) {
    const auto& c = GetParam();
    Lines line = kBaseLine;
    Lines train = kBaseTrain;
    c.edit(line, train);
    TempDir dir;
    // An earlier compile's file stays when nothing is written.
    fs::create_directory(dir.path() / "out");
    std::ofstream(dir.path() / "out" / "A - B_R1.sim", std::ios::binary) << "earlier";
    const auto compiled = compile(line, train, dir);
    const auto& json = compiled.run.out;

    EXPECT_EQ(compiled.run.status, 1) << json << compiled.run.err;
    EXPECT_EQ(member(json, "errorNumber"), std::to_string(compiler::number_of(c.fault))) << json;
    EXPECT_EQ(member(json, "errorPosition"), c.position ? std::to_string(*c.position) : "null")
        << json;
    EXPECT_EQ(member(json, "file"), quoted_file_of(c.source)) << json;
    EXPECT_EQ(member(json, "line"), c.line > 0 ? std::to_string(c.line) : "null") << json;
    EXPECT_EQ(member(json, "column"), c.column > 0 ? std::to_string(c.column) : "null") << json;
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

INSTANTIATE_TEST_SUITE_P(EachNumber, ToolErrorNumber, ::testing::ValuesIn(tool_fault_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ToolErrorNumbers, TheTextReportNamesFileLineAndPosition) {
    TempDir dir;
    Lines train = kBaseTrain;
    replace_line(train, 18, signal_at(1100));
    compile(kBaseLine, train, dir);
    const auto result = run_program(SCENARIO_TOOL_EXE,
                                    {"compile", "--line", "line.txt", "--train", "train.txt",
                                     "--title", "A - B", "--code", "R1", "--out", "out"},
                                    dir.path());
    EXPECT_EQ(result.status, 1);
    // As compilers print it: the place, the line with a caret under the value, the notes (the
    // other party of the cell at its own place), the hint and the closing count.
    EXPECT_EQ(
        result.err,
        "train.txt:18:12: error 16: a signal lands on a cell that is already taken (position "
        "1100 m, cell 23)\n"
        " 18 | segnale,   1100,   1, 4, 0,  0, 0,    0,  0,0,0, 0\n"
        "    |            ^~~~\n"
        "note: the build stops reading this text here: the records after it are not "
        "compiled\n"
        "line.txt:18:19: note: the cell was taken here, by the maximum-speed board at 1100 m\n"
        " 18 | indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0\n"
        "    |                   ^~~~\n"
        "help: 'scenario-tool explain 16' tells the cause and the mend\n"
        "1 error generated.\n");
    EXPECT_TRUE(result.out.starts_with("route 20000 m, 541 cells, 3 stations, 0 signals"))
        << result.out;
}

}  // namespace
}  // namespace scenario::testing
