#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace scenario::testing {

// A program started in the background, for the tests that interrupt it or run two at once.
class ChildProcess {
  public:
    // Starts the program without a display in the working directory, with these variables
    // added to its environment; its output goes to /dev/null.
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                 const std::filesystem::path& working_directory,
                 const std::vector<std::pair<std::string, std::string>>& environment = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void signal(int number);
    // The exit status; -1 after a signal, or when it had not ended within the time (it is
    // then killed, so that a program that hangs fails its test instead of blocking it).
    int wait(std::chrono::milliseconds most = std::chrono::seconds(20));
    bool ended_by_signal() const { return by_signal_; }

  private:
    int pid_ = -1;
    bool reaped_ = false;
    bool by_signal_ = false;
};

}  // namespace scenario::testing
