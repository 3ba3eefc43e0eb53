// Every command runs with each of its options on the built-in texts, in process: a command that
// asks its parsed arguments for an option its description does not declare throws a logic
// error here, whichever option it is.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/file_names.h"
#include "running_time/train_parameters.h"
#include "sources/scenario_names.h"
#include "support/run_program.h"
#include "tool.h"

namespace scenario::tool {
namespace {

using sources::kLineTitle;
using sources::kTrainCode;

struct Run {
    int status;
    std::string out;
    std::string err;
};

// Standard input read from these bytes while it lives: what an editor says to `lsp`.
class StandardInput {
  public:
    explicit StandardInput(const std::string& bytes) : saved_(::dup(0)) {
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        EXPECT_EQ(::write(ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(ends[1]);
        ::dup2(ends[0], 0);
        ::close(ends[0]);
    }
    ~StandardInput() {
        ::dup2(saved_, 0);
        ::close(saved_);
    }
    StandardInput(const StandardInput&) = delete;
    StandardInput& operator=(const StandardInput&) = delete;

  private:
    int saved_;
};

std::string framed(const std::string& body) {
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

Run run(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = run_tool(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(CommandDescriptions, EveryCommandRunsWithEachOfItsOptions) {
    testing::TempDir dir;
    const auto at = [&](std::string_view name) { return (dir.path() / name).string(); };
    const std::string texts = at("texts");
    const std::string line = (dir.path() / "texts" / files::line_text_name(kLineTitle)).string();
    const std::string train =
        (dir.path() / "texts" / files::train_text_name(kLineTitle, kTrainCode)).string();
    const std::string title(kLineTitle);
    const std::string code(kTrainCode);
    const std::vector<std::string> texts_of{"--line", line, "--train", train};
    const std::vector<std::string> names{"--title", title, "--code", code, "--out", texts};
    const auto with = [](std::vector<std::string> args, const std::vector<std::string>& more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const std::string compact = texts + "/" + title;
    const std::string project = at("scenario.ini");
    std::ofstream(project, std::ios::binary)
        << "line = texts/" << files::line_text_name(kLineTitle) << "\ntrain = texts/"
        << files::train_text_name(kLineTitle, kTrainCode) << "\ntitle = " << title
        << "\ncode = " << code << "\nout = texts\n";
    // run with every parameter of the train at its default.
    std::vector<std::string> train_parameters{"--json"};
    const running_time::TrainParameters defaults;
    for (const auto& row : running_time::train_parameter_table()) {
        train_parameters.push_back("--" + std::string(row.key));
        std::ostringstream value;
        value << defaults.*row.member;
        train_parameters.push_back(value.str());
    }
    // clang-format off
    const std::vector<std::vector<std::string>> cases{
        {"sources", texts},
        {"sources", texts, "--force"},
        with(with({"check"}, texts_of), {"--strict", "-Wno-out-of-order", "--color=never"}),
        with(with({"check"}, texts_of), {"--json"}),
        {"check", "--project", project},
        {"compile", "--project", project, "--no-plan"},
        with(with(with({"compile"}, texts_of), names), {"--no-plan", "--json"}),
        with(with({"compile"}, texts_of), names),
        {"dump", compact + "_" + code + ".sim", "--json"},
        {"dump", compact + "_" + code + ".dat", "--cells", "3..4", "--as", "cells"},
        {"dump", compact + "_linea.dat", "--every", "5000"},
        with({"plot", texts, "--out", at("plot.svg"), "--title", title, "--code", code}, texts_of),
        with(with({"view"}, texts_of), {"--out", at("route.html"), "--title", "T", "--code", "C"}),
        {"explain", "16"},
        {"explain", "--list"},
        with(with(with({"documents"}, texts_of), names),
             {"--leave-off", "LIDO DI SERENA", "--leave-off", "RIVA BELLA", "--category",
              "V140 B", "--classification", "REGIONALE", "--locked-mass", "330"}),
        {"documents", "--project", project, "--leave-off", "LIDO DI SERENA"},
        with(with({"run"}, texts_of), {"--margin-note", "3", "--coaches", "5", "--braked-mass",
                                       "100", "--no-curves"}),
        with(with({"run"}, texts_of), train_parameters),
        {"lsp", "--log", at("lsp.log")},
    };
    // clang-format on
    for (const auto* command : command_descriptions()) {
        const auto help = run({std::string(command->name), "--help"});
        EXPECT_EQ(help.status, 0) << command->name;
        bool ran = false;
        for (const auto& args : cases) {
            if (args.front() != command->name) {
                continue;
            }
            ran = true;
            // The language server reads an editor's messages until it is told to exit.
            const StandardInput editor(
                framed(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})") +
                framed(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})") +
                framed(R"({"jsonrpc":"2.0","method":"exit"})"));
            const auto result = run(args);
            EXPECT_EQ(result.status, 0) << args.front() << " " << args.back() << "\n" << result.err;
        }
        EXPECT_TRUE(ran) << command->name << " has no case here";
    }
}

}  // namespace
}  // namespace scenario::tool
