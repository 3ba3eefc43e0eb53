// The JSON of compile, check and dump against files written by an earlier build of the tool:
// every key, its order, every value and every escape stay as scripts and editors have read
// them. The numbers of the track plan are compared by value: they read back as the same
// doubles whatever digits write them.
//
// SCENARIO_JSON_REFERENCE_TOOL=/path/to/scenario-tool remakes the files with that program.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "io/json.h"
#include "sources/writers.h"
#include "support/run_program.h"
#include "tool.h"

namespace scenario::tool {
namespace {

namespace fs = std::filesystem;
using testing::read_bytes;
using testing::TempDir;

using Edits = std::vector<std::pair<std::string_view, std::string_view>>;

// The built-in texts with a few lines changed, under the names the tool is given.
struct Texts {
    std::string line_name = "line.txt";
    Edits line_edits = {};
    Edits train_edits = {};
};

// One run of the tool on the texts. LINE, TRAIN and OUT in an argument stand for the texts and
// the output directory; the output goes to expected_json/NAME.json.
struct Run {
    std::string_view name;
    std::vector<std::string> args;
    int status;
    bool same_bytes = true;  // false for the plan's doubles, compared by value
};

struct Case {
    Texts texts;
    std::vector<Run> runs;
};

const std::string kTitle = "MORENA LAGO - PIAN DI VALSO";
const std::vector<std::string> kCompile = {"compile", "--line",  "LINE", "--train",
                                           "TRAIN",   "--title", kTitle, "--code",
                                           "R10537",  "--out",   "OUT",  "--json"};
const std::vector<std::string> kCheck = {"check", "--line", "LINE", "--train", "TRAIN", "--json"};

std::vector<Case> cases() {
    return {
        {{},
         {{"builtin_compile", kCompile, 0},
          {"builtin_check", kCheck, 0},
          {"builtin_cells",
           {"dump", "OUT/" + kTitle + "_R10537.dat", "--json", "--cells", "14..40"},
           0},
          {"builtin_plan",
           {"dump", "OUT/" + kTitle + "_linea.dat", "--json", "--every", "20000"},
           0,
           false}}},
        // A station off the 50 m grid: a fault with its position.
        {{.train_edits = {{"stazione,    7500, 11,  300", "stazione,    7510, 11,  300"}}},
         {{"fault_compile", kCompile, 1}, {"fault_check", kCheck, 1}}},
        // A misspelt keyword and a record cut short: a warning and an error with a note.
        {{.line_edits = {{"pendenza,  8450,   29", "pendneza,  8450,   29"}},
          .train_edits = {{"velocita,    1100,    70", "velocita,    1100"}}},
         {{"warning_check", kCheck, 1}}},
        // A station named with an accent, control characters and a byte that stands for no
        // character; a line text whose name holds what JSON escapes, a C1 control and a byte
        // that is not UTF-8; a title with an accent.
        {{.line_name = "l\xC3\xADnea \"\\\t\n\x1b\xC2\x9B\xFF.txt",
          .line_edits = {{"pendenza,  8450,   29", "pendneza,  8450,   29"}},
          .train_edits = {{"RIVA BELLA", "RIV\xC0 \x08\x0c\x1b\x7f\x81 BELLA"}}},
         {{"names_compile",
           {"compile", "--line", "LINE", "--train", "TRAIN", "--title", "CITT\xC3\x80 - PIAN",
            "--code", "R1", "--out", "OUT", "--json"},
           0},
          {"names_check", kCheck, 0},
          {"names_scenario", {"dump", "OUT/CITT\xC0 - PIAN_R1.sim", "--json"}, 0}}},
    };
}

std::string edited(std::span<const std::string_view> lines, const Edits& edits) {
    std::string text;
    for (const auto line : lines) {
        text.append(line);
        text += "\r\n";
    }
    for (const auto& [from, to] : edits) {
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << "no '" << from << "' in the built-in text";
        if (at != std::string::npos) {
            text.replace(at, from.size(), to);
        }
    }
    return text;
}

void write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

fs::path expected_file(std::string_view name) {
    return fs::path(SCENARIO_SOURCE_DIR) / "tests/tool/commands/expected_json" /
           (std::string(name) + ".json");
}

TEST(JsonOutputs, CompileCheckAndDumpWriteTheJsonTheyAlwaysHave) {
    const char* reference_tool = std::getenv("SCENARIO_JSON_REFERENCE_TOOL");
    for (const auto& [texts, runs] : cases()) {
        TempDir dir;
        const auto line = dir.path() / texts.line_name;
        const auto train = dir.path() / "train.txt";
        fs::create_directory(dir.path() / "out");
        write(line, edited(sources::line_description_lines(), texts.line_edits));
        write(train, edited(sources::train_service_lines(), texts.train_edits));
        // Paths are given whole and shown relative to the directory, the same in every run.
        const std::string prefix = dir.path().string() + "/";
        for (const auto& run : runs) {
            SCOPED_TRACE(std::string(run.name));
            std::vector<std::string> args;
            for (auto arg : run.args) {
                arg = arg == "LINE"    ? line.string()
                      : arg == "TRAIN" ? train.string()
                      : arg == "OUT"   ? prefix + "out"
                                       : arg;
                args.push_back(replaced(arg, "OUT/", prefix + "out/"));
            }
            std::ostringstream out;
            std::ostringstream err;
            int status = 0;
            if (reference_tool != nullptr) {
                const auto result = testing::run_program(reference_tool, args, dir.path());
                status = result.status;
                out << result.out;
                err << result.err;
            } else {
                status = run_tool(args, out, err);
            }
            EXPECT_EQ(status, run.status) << err.str();
            const std::string written = replaced(out.str(), prefix, "");
            if (reference_tool != nullptr) {
                write(expected_file(run.name), written);
                continue;
            }
            const std::string expected = read_bytes(expected_file(run.name));
            ASSERT_FALSE(expected.empty()) << expected_file(run.name);
            if (run.same_bytes) {
                EXPECT_EQ(written, expected);
            }
            const auto written_value = parse_json(written);
            ASSERT_TRUE(written_value) << written;
            EXPECT_EQ(written_value, parse_json(expected));
        }
    }
}

}  // namespace
}  // namespace scenario::tool
