#include "support/lsp_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <thread>

namespace scenario::testing {

namespace {

constexpr std::string_view kLengthHeader = "Content-Length:";

}  // namespace

LspPipe::LspPipe(const std::filesystem::path& tool, const std::filesystem::path& cache) {
    // A server that has gone must show as a failed write, not end its caller.
    ::signal(SIGPIPE, SIG_IGN);
    int in[2];
    int out[2];
    if (::pipe(in) != 0) {
        return;
    }
    if (::pipe(out) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        for (const int fd : {in[0], in[1], out[0], out[1], null}) {
            ::close(fd);
        }
        ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
        ::execl(tool.c_str(), tool.c_str(), "lsp", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    to_ = in[1];
    from_ = out[0];
}

LspPipe::~LspPipe() {
    close_input();
    if (from_ >= 0) {
        ::close(from_);
    }
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

bool LspPipe::send_raw(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto wrote = to_ >= 0 ? ::write(to_, bytes.data(), bytes.size()) : -1;
        if (wrote <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

bool LspPipe::send(const nlohmann::json& message) {
    const auto body = message.dump();
    return send_raw(std::string(kLengthHeader) + " " + std::to_string(body.size()) + "\r\n\r\n" +
                    body);
}

bool LspPipe::notify(const std::string& method, nlohmann::json params) {
    return send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

std::optional<nlohmann::json> LspPipe::request(const std::string& method, nlohmann::json params,
                                               std::vector<nlohmann::json>& others,
                                               std::chrono::milliseconds most) {
    const auto id = ++id_;
    timed_out_ = false;
    if (!send(
            {{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}})) {
        return std::nullopt;
    }
    while (auto message = next(most)) {
        if (message->contains("id") && (*message)["id"] == id) {
            return message;
        }
        others.push_back(std::move(*message));
    }
    return std::nullopt;
}

std::optional<nlohmann::json> LspPipe::next(std::chrono::milliseconds most) {
    timed_out_ = false;
    for (;;) {
        const auto end = buffer_.find("\r\n\r\n");
        if (end != std::string::npos) {
            // The server frames every message with its length alone.
            const auto header = buffer_.find(kLengthHeader);
            if (header == std::string::npos || header > end) {
                return std::nullopt;
            }
            const auto length =
                std::strtoul(buffer_.c_str() + header + kLengthHeader.size(), nullptr, 10);
            if (buffer_.size() >= end + 4 + length) {
                auto message = nlohmann::json::parse(buffer_.substr(end + 4, length));
                buffer_.erase(0, end + 4 + length);
                return message;
            }
        }
        pollfd ready{from_, POLLIN, 0};
        if (from_ < 0 || ::poll(&ready, 1, static_cast<int>(most.count())) <= 0) {
            timed_out_ = from_ >= 0;
            return std::nullopt;
        }
        char chunk[1 << 16];
        const auto got = ::read(from_, chunk, sizeof chunk);
        if (got <= 0) {
            return std::nullopt;
        }
        buffer_.append(chunk, static_cast<std::size_t>(got));
    }
}

void LspPipe::close_input() {
    if (to_ >= 0) {
        ::close(to_);
        to_ = -1;
    }
}

int LspPipe::wait(std::chrono::milliseconds most) {
    const auto give_up = std::chrono::steady_clock::now() + most;
    while (pid_ > 0 && !reaped_) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            reaped_ = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (std::chrono::steady_clock::now() >= give_up) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -1;
}

long LspPipe::resident_kib() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

}  // namespace scenario::testing
