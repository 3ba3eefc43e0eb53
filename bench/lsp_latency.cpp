// The language server as an editor meets it, over pipes: how long after a change both texts'
// diagnostics arrive (the built-in texts and the dense 1,000,000 m line), how long a hover
// takes, and the server's resident memory before and after 10,000 edits.
//   scenario-lsp-latency SCENARIO_TOOL [EDITS]
// Nothing is asserted; the figures go to standard output.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "limits/dense_line.h"
#include "sources/content_table.h"
#include "sources/writers.h"
#include "support/lsp_pipe.h"

namespace {

using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

// The server, where silence or an early end is the measurement's failure.
class Server {
  public:
    explicit Server(const char* tool) : pipe_(tool, std::filesystem::temp_directory_path()) {}

    void notify(const std::string& method, json params) {
        if (!pipe_.notify(method, std::move(params))) {
            throw std::runtime_error("the server has gone");
        }
    }
    json request(const std::string& method, json params) {
        std::vector<json> others;
        auto answer = pipe_.request(method, std::move(params), others, kPatience);
        if (!answer) {
            failed();
        }
        return *answer;
    }
    // Waits for the diagnostics of these documents, each at this version or later (a text is
    // published again with its own version when its partner changes).
    void await_published(std::vector<std::pair<std::string, std::int64_t>> waiting) {
        while (!waiting.empty()) {
            const auto message = pipe_.next(kPatience);
            if (!message) {
                failed();
            }
            if (message->value("method", "") != "textDocument/publishDiagnostics") {
                continue;
            }
            std::erase_if(waiting, [&](const auto& w) {
                return (*message)["params"]["uri"] == w.first &&
                       (*message)["params"]["version"] >= w.second;
            });
        }
    }
    long rss() const { return pipe_.resident_kib(); }

  private:
    static constexpr std::chrono::seconds kPatience{60};

    [[noreturn]] void failed() const {
        throw std::runtime_error(pipe_.timed_out() ? "the server said nothing for 60 s"
                                                   : "the server has gone");
    }

    scenario::testing::LspPipe pipe_;
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
