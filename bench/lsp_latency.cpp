// The language server as an editor meets it, over pipes: how long after a change both texts'
// diagnostics arrive (the built-in texts and the dense 1,000,000 m line), how long a hover
// takes, and the server's resident memory before and after 10,000 edits.
//   scenario-lsp-latency SCENARIO_TOOL [EDITS]
// Nothing is asserted; the figures go to standard output.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "limits/dense_line.h"
#include "sources/content_table.h"
#include "sources/writers.h"

namespace {

using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

class Server {
  public:
    explicit Server(const char* program) {
        int in[2];
        int out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) {
            throw std::runtime_error("no pipe");
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            for (const int fd : {in[0], in[1], out[0], out[1]}) {
                ::close(fd);
            }
            ::setenv("XDG_CACHE_HOME", std::filesystem::temp_directory_path().c_str(), 1);
            ::execl(program, program, "lsp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        to_ = in[1];
        from_ = out[0];
    }
    ~Server() {
        ::close(to_);
        ::close(from_);
        ::waitpid(pid_, nullptr, 0);
    }

    void send(const json& message) {
        const auto body = message.dump();
        const auto bytes = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        for (std::size_t at = 0; at < bytes.size();) {
            const auto wrote = ::write(to_, bytes.data() + at, bytes.size() - at);
            if (wrote <= 0) {
                throw std::runtime_error("the server has gone");
            }
            at += static_cast<std::size_t>(wrote);
        }
    }
    void notify(const std::string& method, json params) {
        send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
    }
    json request(const std::string& method, json params) {
        const auto id = ++id_;
        send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}});
        for (;;) {
            auto message = next();
            if (message.contains("id") && message["id"] == id) {
                return message;
            }
        }
    }
    // Waits for the diagnostics of these documents, each at this version or later (a text is
    // published again with its own version when its partner changes).
    void await_published(std::vector<std::pair<std::string, std::int64_t>> waiting) {
        while (!waiting.empty()) {
            const auto message = next();
            if (message.value("method", "") != "textDocument/publishDiagnostics") {
                continue;
            }
            std::erase_if(waiting, [&](const auto& w) {
                return message["params"]["uri"] == w.first &&
                       message["params"]["version"] >= w.second;
            });
        }
    }
    // Resident memory, in KiB.
    long rss() const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.starts_with("VmRSS:")) {
                return std::stol(line.substr(6));
            }
        }
        return -1;
    }

  private:
    json next() {
        for (;;) {
            const auto end = buffer_.find("\r\n\r\n");
            if (end != std::string::npos) {
                const auto length = std::stoul(buffer_.substr(buffer_.find(':') + 1));
                if (buffer_.size() >= end + 4 + length) {
                    auto body = buffer_.substr(end + 4, length);
                    buffer_.erase(0, end + 4 + length);
                    return json::parse(body);
                }
            }
            pollfd p{from_, POLLIN, 0};
            char chunk[1 << 16];
            const auto got = ::poll(&p, 1, 60000) > 0 ? ::read(from_, chunk, sizeof chunk) : 0;
            if (got <= 0) {
                throw std::runtime_error("the server said nothing for 60 s");
            }
            buffer_.append(chunk, static_cast<std::size_t>(got));
        }
    }

    pid_t pid_ = -1;
    int to_ = -1;
    int from_ = -1;
    std::int64_t id_ = 0;
    std::string buffer_;
};

json range(std::int64_t line, std::int64_t from, std::int64_t to) {
    return {{"start", {{"line", line}, {"character", from}}},
            {"end", {{"line", line}, {"character", to}}}};
}

std::int64_t line_starting(const std::string& text, const std::string& start) {
    std::int64_t line = 0;
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1, ++line) {
        if (text.compare(at, start.size(), start) == 0) {
            return line;
        }
        if (text.find('\n', at) == std::string::npos) {
            break;
        }
    }
    throw std::runtime_error("no line starts with " + start);
}

struct Figures {
    std::vector<double> ms;
    std::string summary() {
        std::sort(ms.begin(), ms.end());
        char text[160];
        std::snprintf(text, sizeof text, "median %.2f ms, p95 %.2f ms, max %.2f ms (%zu runs)",
                      ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back(), ms.size());
        return text;
    }
};

double since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One pair of texts open: the changes of a gradient's keyword, each until both texts are
// published again, and hovers over a speed value.
struct Pair {
    std::string line_uri;
    std::string train_uri;
    std::string line;
    std::string train;
    std::int64_t version = 1;
};

void open(Server& server, Pair& pair) {
    for (const auto& [uri, text, language] :
         {std::tuple{pair.line_uri, pair.line, "scenario-line"},
          std::tuple{pair.train_uri, pair.train, "scenario-train"}}) {
        server.notify("textDocument/didOpen",
                      {{"textDocument",
                        {{"uri", uri}, {"languageId", language}, {"version", 1}, {"text", text}}}});
    }
    server.await_published({{pair.line_uri, 1}, {pair.train_uri, 1}});
}

Figures changes(Server& server, Pair& pair, std::int64_t line, int count) {
    Figures figures;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        ++pair.version;
        server.notify(
            "textDocument/didChange",
            {{"textDocument", {{"uri", pair.line_uri}, {"version", pair.version}}},
             {"contentChanges", json::array({{{"range", range(line, 0, 8)},
                                              {"text", i % 2 == 0 ? "pendneza" : "pendenza"}}})}});
        server.await_published({{pair.line_uri, pair.version}, {pair.train_uri, 1}});
        figures.ms.push_back(since(start));
    }
    return figures;
}

Figures hovers(Server& server, const Pair& pair, std::int64_t line, int count) {
    Figures figures;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        const auto answer = server.request("textDocument/hover",
                                           {{"textDocument", {{"uri", pair.train_uri}}},
                                            {"position", {{"line", line}, {"character", 22}}}});
        figures.ms.push_back(since(start));
        if (!answer.contains("result") || answer["result"].is_null()) {
            throw std::runtime_error("no hover");
        }
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: scenario-lsp-latency SCENARIO_TOOL [EDITS]\n", stderr);
        return 64;
    }
    const int edits = argc > 2 ? std::stoi(argv[2]) : 10000;
    ::signal(SIGPIPE, SIG_IGN);
    using namespace scenario;
    try {
        Server server(argv[1]);
        server.request("initialize", {{"capabilities", json::object()}});
        server.notify("initialized", json::object());

        Pair builtin{"file:///bench/builtin/B_linea.txt", "file:///bench/builtin/B_R1-.txt",
                     sources::render(sources::content_table(sources::line_description_lines())),
                     sources::render(sources::content_table(sources::train_service_lines()))};
        open(server, builtin);
        const auto gradient = line_starting(builtin.line, "pendenza,  8450");
        const auto speed = line_starting(builtin.train, "velocita,    1100");
        changes(server, builtin, gradient, 20);  // warm
        std::printf("built-in texts, both published after a change: %s\n",
                    changes(server, builtin, gradient, 200).summary().c_str());
        std::printf("built-in texts, hover over a speed: %s\n",
                    hovers(server, builtin, speed, 1000).summary().c_str());
        const long before = server.rss();
        const auto start = Clock::now();
        changes(server, builtin, gradient, edits / 2);
        const long middle = server.rss();
        changes(server, builtin, gradient, edits - edits / 2);
        std::printf(
            "resident memory: %ld KiB before %d edits, %ld KiB after %d, %ld KiB after "
            "all (%.1f s)\n",
            before, edits, middle, edits / 2, server.rss(), since(start) / 1000);

        const auto dense = testing::dense_line(testing::kLongestRoute);
        Pair longest{"file:///bench/dense/D_linea.txt", "file:///bench/dense/D_R1-.txt",
                     dense.line_text, dense.train_text};
        open(server, longest);
        const auto dense_gradient = line_starting(longest.line, "pendenza");
        const auto dense_speed = line_starting(longest.train, "velocita");
        changes(server, longest, dense_gradient, 4);  // warm
        std::printf("dense 1000000 m line, both published after a change: %s\n",
                    changes(server, longest, dense_gradient, 40).summary().c_str());
        std::printf("dense 1000000 m line, hover over a speed: %s\n",
                    hovers(server, longest, dense_speed, 200).summary().c_str());
        std::printf("resident memory with both pairs open: %ld KiB\n", server.rss());
        server.request("shutdown", nullptr);
        server.notify("exit", nullptr);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "scenario-lsp-latency: %s\n", failure.what());
        return 1;
    }
    return 0;
}
