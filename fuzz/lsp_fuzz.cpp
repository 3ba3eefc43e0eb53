// The language server's handling of what an editor sends, in memory: the input is a byte stream
// of the base protocol (framed messages, and anything else), fed in pieces to a server that has
// been initialized and has the example route's two texts open, with an idle moment after every
// eighth piece and at the end, so that the diagnostics are read and published. The first byte
// chooses the position encoding (bit 0), the outline's form (bit 1) and the size of the pieces
// (bits 2 to 7, 1 to 64 bytes). Besides the sanitizers it checks what an editor relies on: every
// message out is framed, is JSON-RPC 2.0, and is a response with an id and a result or an error, or
// a notification with a method; nothing is sent after the server has ended.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool utf8 = (data[0] & 1) != 0;
    const bool hierarchical = (data[0] & 2) != 0;
    const std::size_t piece = 1 + (data[0] >> 2);
    FrameReader out;
    const Server* self = nullptr;
    Server server(
        [&](std::string_view framed) {
            check(self == nullptr || !self->finished(), "a message after exit");
            out.receive(framed);
            while (auto f = out.next()) {
                check(f->kind == Frame::Kind::message, "a message out of frame");
                const auto message = json::parse(f->body, nullptr, false);
                check(message.is_object(), "a message out that is no JSON object");
                check(message.value("jsonrpc", "") == "2.0", "a message out without jsonrpc 2.0");
                const bool response = message.contains("id") &&
                                      (message.contains("result") != message.contains("error"));
                check(response || message.contains("method"), "neither response nor notification");
            }
        },
        {}, {.reference_page = "file:///reference/text-format.md"});
    self = &server;
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
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (std::size_t at = 0, n = 0; at < stream.size() && !server.finished(); at += piece, ++n) {
        server.receive(stream.substr(at, piece));
        if (n % 8 == 7) {
            server.idle();
        }
    }
    server.idle();
    return 0;
}
