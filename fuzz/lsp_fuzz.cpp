// The language server's handling of what an editor sends, in memory: the input is a byte stream
// of the base protocol (framed messages, and anything else), fed in pieces to a server that has
// been initialized and has the example route's two texts open, with an idle moment after every
// eighth piece and at the end, so that the diagnostics are read and published. The first byte
// chooses the position encoding (bit 0), the outline's form (bit 1) and the size of the pieces
// (bits 2 to 7, 1 to 64 bytes). Besides the sanitizers it checks what an editor relies on: every
// message out is framed, is JSON-RPC 2.0, and is a response with an id and a result or an error, or
// a notification with a method; nothing is sent after the server has ended.
//
// Opening the example route is the same for every input and took a quarter of each run: each
// input's server is a copy of one made once for its encoding and outline form.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/model/example_route.h"
#include "lsp/framing.h"
#include "lsp/protocol.h"
#include "lsp/server.h"

namespace {

using namespace scenario::tool::lsp;

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "lsp fuzz: %s\n", what);
        std::abort();
    }
}

// What a message out holds at its top level, read without building its tree.
class TopLevel final : public json::json_sax_t {
  public:
    bool object = false;
    bool jsonrpc_2 = false;
    bool id = false;
    bool result = false;
    bool error = false;
    bool method = false;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t& text) override {
        if (depth_ == 1 && key_ == "jsonrpc") {
            jsonrpc_2 = text == "2.0";  // the last one counts, as in a parsed object
        }
        return true;
    }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override {
        object = object || depth_ == 0;
        ++depth_;
        return true;
    }
    bool key(string_t& name) override {
        if (depth_ == 1) {
            key_ = name;
            id = id || name == "id";
            result = result || name == "result";
            error = error || name == "error";
            method = method || name == "method";
        }
        return true;
    }
    bool end_object() override {
        --depth_;
        return true;
    }
    bool start_array(std::size_t) override {
        ++depth_;
        return true;
    }
    bool end_array() override {
        --depth_;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

  private:
    std::size_t depth_ = 0;
    string_t key_;
};

// Checks every message a server sends.
struct Outgoing {
    FrameReader frames;
    const Server* server = nullptr;

    void receive(std::string_view framed) {
        check(!server->finished(), "a message after exit");
        frames.receive(framed);
        while (auto f = frames.next()) {
            check(f->kind == Frame::Kind::message, "a message out of frame");
            TopLevel message;
            const bool parsed = json::sax_parse(f->body, &message);
            check(parsed && message.object, "a message out that is no JSON object");
            check(message.jsonrpc_2, "a message out without jsonrpc 2.0");
            const bool response = message.id && (message.result != message.error);
            check(response || message.method, "neither response nor notification");
        }
    }
};

Outgoing* outgoing = nullptr;  // where the servers' messages go now

std::string text_of(std::span<const std::string_view> lines) {
    std::string text;
    for (const auto line : lines) {
        text.append(line);
        text += "\r\n";
    }
    return text;
}

json open(const char* uri, const char* language, std::span<const std::string_view> lines) {
    return {
        {"jsonrpc", "2.0"},
        {"method", "textDocument/didOpen"},
        {"params",
         {{"textDocument",
           {{"uri", uri}, {"languageId", language}, {"version", 1}, {"text", text_of(lines)}}}}}};
}

// A server initialized with the encoding and outline form given, the example route open and
// its diagnostics published.
Server opened_server(bool utf8, bool hierarchical) {
    Outgoing out;
    outgoing = &out;
    Server server([](std::string_view framed) { outgoing->receive(framed); }, {},
                  {.reference_page = "file:///reference/text-format.md"});
    out.server = &server;
    json capabilities = json::object();
    if (utf8) {
        capabilities["general"] = {{"positionEncodings", {"utf-8"}}};
    }
    if (hierarchical) {
        capabilities["textDocument"] = {
            {"documentSymbol", {{"hierarchicalDocumentSymbolSupport", true}}}};
    }
    const json preamble[] = {
        {{"jsonrpc", "2.0"},
         {"id", 0},
         {"method", "initialize"},
         {"params", {{"capabilities", capabilities}}}},
        open("file:///route/T_linea.txt", "scenario-line", scenario::compiler::example_line_text()),
        open("file:///route/T_R1-.txt", "scenario-train", scenario::compiler::example_train_text()),
    };
    for (const auto& message : preamble) {
        server.receive(frame(serialised(message)));
    }
    server.idle();
    outgoing = nullptr;
    return server;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool utf8 = (data[0] & 1) != 0;
    const bool hierarchical = (data[0] & 2) != 0;
    const std::size_t piece = 1 + (data[0] >> 2);
    static std::array<std::optional<Server>, 4> opened;
    auto& prototype = opened[data[0] & 3];
    if (!prototype) {
        prototype.emplace(opened_server(utf8, hierarchical));
    }
    Server server = *prototype;
    Outgoing out;
    out.server = &server;
    outgoing = &out;
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (std::size_t at = 0, n = 0; at < stream.size() && !server.finished(); at += piece, ++n) {
        server.receive(stream.substr(at, piece));
        if (n % 8 == 7) {
            server.idle();
        }
    }
    server.idle();
    outgoing = nullptr;
    return 0;
}
