#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace scenario::testing {

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& args,
                           const std::filesystem::path& working_directory,
                           const std::vector<std::pair<std::string, std::string>>& environment) {
    pid_ = ::fork();
    if (pid_ != 0) {
        return;
    }
    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0 || ::chdir(working_directory.c_str()) != 0) {
        ::_exit(126);
    }
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::unsetenv("DISPLAY");
    for (const auto& [name, value] : environment) {
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<std::string> copies = args;
    std::string name = program.string();
    std::vector<char*> argv{name.data()};
    for (auto& a : copies) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    ::execv(name.c_str(), argv.data());
    ::_exit(127);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void ChildProcess::signal(int number) {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, number);
    }
}

int ChildProcess::wait(std::chrono::milliseconds most) {
    if (pid_ <= 0 || reaped_) {
        return -1;
    }
    const auto give_up = std::chrono::steady_clock::now() + most;
    int status = 0;
    for (;;) {
        const pid_t got = ::waitpid(pid_, &status, WNOHANG);
        if (got == pid_) {
            break;
        }
        if (std::chrono::steady_clock::now() >= give_up) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            reaped_ = true;
            by_signal_ = true;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    reaped_ = true;
    by_signal_ = WIFSIGNALED(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace scenario::testing
