#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "lsp/framing.h"
#include "lsp/protocol.h"
#include "lsp/workspace.h"

namespace scenario::tool::lsp {

// The language server of the line and train texts, without its transport: bytes of the base
// protocol go in through receive(), framed messages come out through the sender. Everything it
// tells comes from the build's reading of the texts as they stand in the editor. One thread;
// a request is answered from the texts with every change received before it. A copy carries on
// from the same state on its own, through the same sender.
class Server {
  public:
    using Sender = std::function<void(std::string_view framed)>;
    using Log = std::function<void(const std::string&)>;
    struct Options {
        // The URI of the format reference, for the links of codes and record kinds; empty for
        // none.
        std::string reference_page;
        // Deepest nesting of a message's arrays and objects taken.
        std::size_t deepest_nesting = 64;
    };

    Server(Sender send, Log log, Options options);

    // Bytes from the client, in pieces of any size.
    void receive(std::string_view bytes);
    // Nothing more is waiting: publish the diagnostics of the texts whose reading changed.
    void idle();

    // The client said exit; the process ends with exit_code().
    bool finished() const { return finished_; }
    // 0 after shutdown and exit, 1 when the client left without shutdown.
    int exit_code() const { return shutdown_ ? 0 : 1; }

  private:
    void handle(const Frame& frame);
    void dispatch(const json& message);
    void request(const json& id, const std::string& method, const json& params);
    void notification(const std::string& method, const json& params);

    void respond(const json& id, json result);
    void fail(const json& id, int code, const std::string& message);
    void notify(const std::string& method, json params);
    void send(const json& message);

    json initialize(const json& params);
    void did_open(const json& params);
    void did_change(const json& params);
    void did_close(const json& params);
    void watched_files(const json& params);
    void publish(OpenDocument& document);
    // A scenario.ini's fault as its file on disk stands, at its place; none when it pairs.
    void publish_project(const OpenDocument& document);

    // The open document a request names; sets the error to answer when there is none.
    OpenDocument* named_document(const json& params, std::string& problem);

    Sender send_;
    Log log_;
    Options options_;
    FrameReader frames_;
    Workspace workspace_;
    PositionEncoding encoding_ = PositionEncoding::utf16;
    bool hierarchical_symbols_ = false;
    bool initialized_ = false;
    bool shutdown_ = false;
    bool finished_ = false;
    std::uint64_t idle_at_ = 0;  // the workspace's count of changes at the last idle moment
    // The reading each open text last published diagnostics from.
    std::map<std::string, std::uint64_t> published_;
    // The state of the file each open scenario.ini last published from.
    std::map<std::string, std::string> published_projects_;
};

}  // namespace scenario::tool::lsp
