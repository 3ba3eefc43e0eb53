// Times two programs run in turn, A B B A A B ..., so that a machine whose load drifts during
// the measurement slows both alike; the figure is the ratio of their median times.
//   scenario-alternate RUNS WARMUP PROGRAM_A PROGRAM_B
//   scenario-alternate RUNS WARMUP PROGRAM_A [ARGS...] -- PROGRAM_B [ARGS...]
// Each program runs in its own directory, the one that holds it, with its arguments (none in
// the first form); its output and errors go to /dev/null. Prints one line per program and the
// ratio of A to B.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Runs the program once and returns its wall time in milliseconds; exits on a failed run.
double run_once(const std::vector<std::string>& command) {
    const std::string& program = command.front();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", program.c_str(), status);
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    return n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

void report(const char* name, const std::vector<double>& times) {
    double sum = 0;
    for (const double t : times) {
        sum += t;
    }
    std::printf("%s: median %.3f ms, mean %.3f ms, min %.3f ms, max %.3f ms\n", name, median(times),
                sum / static_cast<double>(times.size()),
                *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()));
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + std::min(argc, 3), argv + argc);
    const auto split = std::find(words.begin(), words.end(), "--");
    std::vector<std::string> a(words.begin(), split);
    std::vector<std::string> b(split == words.end() ? split : split + 1, words.end());
    if (split == words.end() && a.size() == 2) {
        b = {a[1]};
        a.resize(1);
    }
    if (argc < 5 || a.empty() || b.empty()) {
        std::fprintf(stderr, "usage: %s RUNS WARMUP PROGRAM_A [ARGS...] -- PROGRAM_B [ARGS...]\n",
                     argv[0]);
        return 64;
    }
    const int runs = std::atoi(argv[1]);
    const int warmup = std::atoi(argv[2]);
    a[0] = std::filesystem::absolute(a[0]).string();
    b[0] = std::filesystem::absolute(b[0]).string();
    std::vector<double> times_a;
    std::vector<double> times_b;
    for (int i = -warmup; i < runs; ++i) {
        // A B, then B A: neither program always runs right after the other.
        const bool a_first = i % 2 == 0;
        const auto& first = a_first ? a : b;
        const auto& second = a_first ? b : a;
        std::filesystem::current_path(std::filesystem::path(first[0]).parent_path());
        const double t1 = run_once(first);
        std::filesystem::current_path(std::filesystem::path(second[0]).parent_path());
        const double t2 = run_once(second);
        if (i >= 0) {
            times_a.push_back(a_first ? t1 : t2);
            times_b.push_back(a_first ? t2 : t1);
        }
    }
    report("A", times_a);
    report("B", times_b);
    std::printf("ratio of medians A/B: %.2f\n", median(times_a) / median(times_b));
    return 0;
}
