#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::testing {

// `scenario-tool lsp` as an editor runs it: a child whose standard input and output are pipes,
// spoken to in framed JSON-RPC messages. Its standard error goes to /dev/null. If it is still
// running when this ends, it is killed, so that a server that hangs cannot block its caller.
class LspPipe {
  public:
    // Starts the server with its cache (the format reference) under `cache`.
    LspPipe(const std::filesystem::path& tool, const std::filesystem::path& cache);
    ~LspPipe();
    LspPipe(const LspPipe&) = delete;
    LspPipe& operator=(const LspPipe&) = delete;

    // Writes bytes as they are, framed or not; false once the server has gone.
    bool send_raw(std::string_view bytes);
    // One message, framed with its length.
    bool send(const nlohmann::json& message);
    bool notify(const std::string& method, nlohmann::json params);
    // The answer to a request; every message that comes before it is appended to `others`.
    // Nothing when the server ends or stays silent for `most`.
    std::optional<nlohmann::json> request(const std::string& method, nlohmann::json params,
                                          std::vector<nlohmann::json>& others,
                                          std::chrono::milliseconds most);
    // The next message; nothing when the server ends or stays silent for `most`
    // (`timed_out()` then tells which).
    std::optional<nlohmann::json> next(std::chrono::milliseconds most);
    bool timed_out() const { return timed_out_; }

    // Closes the server's standard input, as an editor that goes away does.
    void close_input();
    // The exit status; -1 after a signal, or when it had not ended within `most`.
    int wait(std::chrono::milliseconds most);
    // The server's resident memory in KiB, or -1 where it cannot be read.
    long resident_kib() const;

  private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    bool timed_out_ = false;
    int to_ = -1;
    int from_ = -1;
    std::int64_t id_ = 0;
    std::string buffer_;
};

}  // namespace scenario::testing
