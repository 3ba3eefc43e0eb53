#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "exit_status.h"
#include "tool.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        const int status = scenario::tool::run_tool(args, std::cout, std::cerr);
        std::cout.flush();
        return std::cout ? status : scenario::tool::kExitUsage;
    } catch (const std::exception& failure) {
        std::cerr << "scenario-tool: " << failure.what() << '\n';
        return scenario::tool::kExitUsage;
    }
}
