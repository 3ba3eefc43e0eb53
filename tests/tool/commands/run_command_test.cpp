#include "commands/run_command.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "sources/writers.h"
#include "support/fault_cases.h"
#include "support/run_program.h"
#include "tool.h"

namespace scenario::tool {
namespace {

using testing::Lines;
using testing::replace_line;

struct Ran {
    int status;
    std::string out;
    std::string err;
};

class RunTexts : public ::testing::Test {
  protected:
    Ran run(const Lines& train, std::vector<std::string> more = {}) {
        std::ofstream(line_file(), std::ios::binary) << testing::text_of(
            {sources::line_description_lines().begin(), sources::line_description_lines().end()});
        std::ofstream(train_file(), std::ios::binary) << testing::text_of(train);
        std::vector<std::string> args{"run", "--line", line_file(), "--train", train_file()};
        args.insert(args.end(), more.begin(), more.end());
        std::ostringstream out;
        std::ostringstream err;
        const int status = run_tool(args, out, err);
        return {status, out.str(), err.str()};
    }

    static Lines builtin_train() {
        return {sources::train_service_lines().begin(), sources::train_service_lines().end()};
    }

    std::string line_file() const { return (dir_.path() / "line.txt").string(); }
    std::string train_file() const { return (dir_.path() / "train.txt").string(); }

    testing::TempDir dir_;
};

// The exit status tells whether every time can be kept; what cannot run says why.
TEST_F(RunTexts, TheExitStatusTellsWhetherTheTimetableCanBeKept) {
    Lines late = builtin_train();
    replace_line(late, 40,
                 "stazione,    7500, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   90,   6,43, 0, "
                 "CASTELLETTO LAGO");
    Lines faulty = builtin_train();
    replace_line(faulty, 40, "stazione,    7520, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   90");
    struct Case {
        const char* what;
        Lines train;
        std::vector<std::string> options;
        int status;
        const char* out;  // a piece of standard output, its columns one space apart
        const char* err;
    } const cases[] = {
        {"the built-in texts",
         builtin_train(),
         {},
         0,
         "VALSO DI SOTTO 44400 4100 07:43:00 360 336.5 23.5 6.5 90\n",
         ""},
        {"a note under a higher threshold",
         builtin_train(),
         {"--margin-note", "7"},
         0,
         "VALSO DI SOTTO 44400 4100 07:43:00 360 336.5 23.5 6.5 90 tight\n",
         ""},
        {"CASTELLETTO LAGO at 6:43", late, {}, 1, "06:43:00 360 496.4 -136.4 -37.9 70 late\n", ""},
        {"a fault", faulty, {}, 1, "", "compile without a fault"},
        {"a brake that cannot hold the train",
         builtin_train(),
         {"--service-braking", "0.01"},
         1,
         "",
         "the run cannot be made: the service brake of 0.01 m/s2 cannot hold the train"},
        {"a parameter that is no number",
         builtin_train(),
         {"--power", "much"},
         2,
         "",
         "--power takes a number, not 'much'"},
        {"a parameter out of its range",
         builtin_train(),
         {"--coach-mass", "-3"},
         2,
         "",
         "(coach-mass) is -3, and must be from 0 up to 1000 t"},
        {"too many coaches", builtin_train(), {"--coaches", "41"}, 2, "", "--coaches takes"},
        {"a threshold past 100 %",
         builtin_train(),
         {"--margin-note", "101"},
         2,
         "",
         "--margin-note takes"},
    };
    for (const auto& c : cases) {
        const auto ran = run(c.train, c.options);
        EXPECT_EQ(ran.status, c.status) << c.what << "\n" << ran.err;
        std::string out;
        for (const char ch : ran.out) {
            if (ch != ' ' || out.empty() || out.back() != ' ') {
                out += ch;
            }
        }
        EXPECT_NE(out.find(c.out), std::string::npos) << c.what << "\n" << ran.out;
        EXPECT_NE(ran.err.find(c.err), std::string::npos) << c.what << "\n" << ran.err;
    }
}

// The JSON: the stations with the members the route page and scripts rely on, the whole run
// and the train as used; names in UTF-8.
TEST_F(RunTexts, TheJsonHoldsEachStationTheWholeRunAndTheTrain) {
    Lines train = builtin_train();
    replace_line(train, 39,
                 "stazione,    4900, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, RIV\xC0 "
                 "BELLA");
    const auto ran = run(train, {"--json", "--coaches", "4"});
    ASSERT_EQ(ran.status, 0) << ran.err;
    const auto& json = ran.out;
    EXPECT_EQ(json.rfind("{\"computed\":true,\"stations\":[{\"name\":\"MORENA LAGO\","
                         "\"position\":400,\"stops\":true,\"time\":\"06:37:00\",\"arrival\":0,"
                         "\"departure\":0,\"scheduled\":null,\"fastest\":null,\"margin\":null,",
                         0),
              0u)
        << json;
    EXPECT_NE(json.find("{\"name\":\"RIV\xC3\x80 BELLA\",\"position\":4900,\"stops\":false,"
                        "\"time\":null,"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"name\":\"CASTELLETTO LAGO\",\"position\":7500,\"stops\":true,"
                        "\"time\":\"06:48:00\","),
              std::string::npos);
    EXPECT_NE(json.find("\"scheduled\":660,\"fastest\":"), std::string::npos);
    EXPECT_NE(json.find("],\"totals\":{\"distance\":94700,\"runningTime\":"), std::string::npos);
    EXPECT_NE(json.find("\"scheduled\":7020,"), std::string::npos);
    EXPECT_NE(json.find("\"lateSpans\":0},\"marginNote\":3,\"train\":{\"coaches\":4,"
                        "\"braked-mass\":100,"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"locomotive-length\":16,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"reaction\":3"), std::string::npos) << json;
    EXPECT_EQ(json.back(), '\n');
}

// The project names the texts and sets the run: run and check judge the timetable by its [run],
// an option of run overrides it, and a bad value is a fault of the project at its place.
TEST_F(RunTexts, RunCheckCompileAndViewJudgeTheTimetableByTheProjectsRun) {
    run(builtin_train());  // writes the texts
    const std::string tight = "VALSO DI SOTTO 44400 4100 07:43:00 360 336.5 23.5 6.5 90 tight\n";
    const std::vector<std::string> compiled{"--title", "A - B",     "--code",   "R1",
                                            "--out",   dir_.path(), "--no-lock"};
    const std::vector<std::string> page{"--out", (dir_.path() / "page.html").string(), "--no-lock"};
    struct Case {
        const char* command;
        const char* run_section;
        std::vector<std::string> options;
        int status;
        std::string piece;  // of standard output and error together
        bool present;
    } const cases[] = {
        {"run", "margin-note = 7\n", {}, 0, tight, true},
        {"run", "margin-note = 7\n", {"--margin-note", "3"}, 0, tight, false},
        {"run", "coaches = 41\n", {}, 2, "scenario.ini:4:11: coaches takes a whole number", true},
        {"check", "margin-note = 7\n", {}, 0, "timetable-margin-low", true},
        {"check", "", {}, 0, "timetable-margin-low", false},
        {"check",
         "curves = no\nmargin-note = much\n",
         {},
         2,
         "scenario.ini:5:15: margin-note takes a number, not 'much'",
         true},
        {"compile", "margin-note = 7\n", compiled, 0, "timetable-margin-low", true},
        {"compile", "", compiled, 0, "timetable-margin-low", false},
        {"view", "margin-note = 7\n", page, 0, "1 warning shown on the page", true},
        {"view", "", page, 0, "shown on the page", false},
    };
    const auto project = dir_.path() / "scenario.ini";
    for (const auto& c : cases) {
        std::ofstream(project, std::ios::binary) << "line = line.txt\ntrain = train.txt\n[run]\n"
                                                 << c.run_section;
        std::vector<std::string> args{c.command, "--project", project.string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        std::ostringstream out;
        std::ostringstream err;
        const int status = run_tool(args, out, err);
        std::string both;
        for (const char ch : out.str() + err.str()) {
            if (ch != ' ' || both.empty() || both.back() != ' ') {
                both += ch;
            }
        }
        EXPECT_EQ(status, c.status) << c.command << " " << c.run_section << "\n" << both;
        EXPECT_EQ(both.find(c.piece) != std::string::npos, c.present)
            << c.command << " " << c.run_section << "\n"
            << both;
    }
}

}  // namespace
}  // namespace scenario::tool
