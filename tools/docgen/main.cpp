// Makes the installed documents of both programs from their command descriptions and the format
// reference: the manual pages and the bash completion. Run by the build.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "bash_completion.h"
#include "builder_description.h"
#include "help_page.h"
#include "markdown_page.h"
#include "tool.h"

#ifndef SCENARIO_VERSION
#define SCENARIO_VERSION "unknown"
#endif

namespace {

using namespace scenario::docgen;

constexpr std::string_view kUsage =
    "usage: scenario-docgen tool-page OUT [SEE_ALSO ...]\n"
    "       scenario-docgen builder-page OUT INSTALLED_PROGRAM [SEE_ALSO ...]\n"
    "       scenario-docgen format-page MARKDOWN OUT [SEE_ALSO ...]\n"
    "       scenario-docgen bash-completion OUT\n";

void write(const std::string& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + file);
    }
}

std::string read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + file);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto rest = [&](std::size_t from) {
        return std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(from),
                                        args.end());
    };
    try {
        const std::string what = args.empty() ? "" : args[0];
        if (what == "tool-page" && args.size() >= 2) {
            write(args[1],
                  tool_page({"scenario-tool", 1, SCENARIO_VERSION},
                            scenario::tool::tool_description(), scenario::tool::command_list(),
                            scenario::tool::command_descriptions(), rest(2)));
        } else if (what == "builder-page" && args.size() >= 3) {
            write(args[1], builder_page({"scenario-builder", 1, SCENARIO_VERSION},
                                        builder_description(), args[2], rest(3)));
        } else if (what == "format-page" && args.size() >= 3) {
            write(args[2],
                  markdown_page({"scenario-text", 5, SCENARIO_VERSION}, read(args[1]), rest(3)));
        } else if (what == "bash-completion" && args.size() == 2) {
            write(args[1], bash_completion("scenario-tool", scenario::tool::command_descriptions(),
                                           scenario::tool::help_topics()));
        } else {
            std::cerr << kUsage;
            return 2;
        }
    } catch (const std::exception& failure) {
        std::cerr << "scenario-docgen: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}
