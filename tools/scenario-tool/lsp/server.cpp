#include "lsp/server.h"

#include <algorithm>
#include <exception>

#include "lsp/completion.h"
#include "lsp/editor_diagnostics.h"
#include "lsp/hover.h"
#include "lsp/links.h"
#include "lsp/outline.h"
#include "lsp/record_layout.h"

#ifndef SCENARIO_VERSION
#define SCENARIO_VERSION "unknown"
#endif

namespace scenario::tool::lsp {

using compiler::ErrorSource;

namespace {

// The largest text the build reads; a larger one is held but not read.
constexpr std::size_t kLargestText = std::size_t{64} << 20;

// A text shows at most this many diagnostics; a note counts the others.
constexpr std::size_t kPublishedMost = 1000;

// The protocol's TextDocumentSyncKind.Incremental.
constexpr int kIncremental = 2;

bool valid_id(const json& id) {
    return id.is_number_integer() || id.is_string();
}

ErrorSource side_of(const OpenDocument& document) {
    return document.kind == TextKind::line ? ErrorSource::line_text : ErrorSource::train_text;
}

json locations_json(const std::vector<Location>& locations) {
    json out = json::array();
    for (const auto& l : locations) {
        out.push_back({{"uri", l.uri}, {"range", to_json(l.range)}});
    }
    return out;
}

}  // namespace

Server::Server(Sender send, Log log, Options options)
    : send_(std::move(send)),
      log_(std::move(log)),
      options_(std::move(options)),
      workspace_([this](const std::string& line) {
          if (log_) {
              log_(line);
          }
      }) {}

void Server::receive(std::string_view bytes) {
    frames_.receive(bytes);
    while (!finished_) {
        auto frame = frames_.next();
        if (!frame) {
            break;
        }
        handle(*frame);
    }
}

void Server::handle(const Frame& frame) {
    if (frame.kind == Frame::Kind::bad_header) {
        if (log_) {
            log_("skipped bytes that are no message: " + frame.problem);
        }
        return;
    }
    if (frame.kind == Frame::Kind::too_large) {
        fail(nullptr, error_code::invalid_request,
             frame.problem + " is larger than the " + std::to_string(kLargestMessage >> 20) +
                 " MiB a message may have");
        return;
    }
    if (log_) {
        log_("<- " + frame.body.substr(0, 400));
    }
    if (nesting_depth(frame.body) > options_.deepest_nesting) {
        fail(nullptr, error_code::parse_error,
             "the message is nested deeper than " + std::to_string(options_.deepest_nesting) +
                 " arrays and objects");
        return;
    }
    const json message = json::parse(frame.body, nullptr, false);
    if (message.is_discarded()) {
        fail(nullptr, error_code::parse_error, "the message is not JSON");
        return;
    }
    try {
        dispatch(message);
    } catch (const std::exception& failure) {
        // No message may end the server: say what failed, to a request's sender.
        const auto* id = member(message, "id");
        fail(id != nullptr && valid_id(*id) ? *id : json(nullptr), error_code::internal_error,
             std::string("the server failed on this message: ") + failure.what());
    }
}

void Server::dispatch(const json& message) {
    if (!message.is_object()) {
        fail(nullptr, error_code::invalid_request, "a message is a JSON object");
        return;
    }
    const auto* id = member(message, "id");
    const auto method = string_member(message, "method");
    if (!method) {
        if (id != nullptr && (member(message, "result") || member(message, "error"))) {
            return;  // an answer to a request of ours: the server sends none it waits for
        }
        fail(id != nullptr && valid_id(*id) ? *id : json(nullptr), error_code::invalid_request,
             "a request or notification names its method");
        return;
    }
    const auto* given = member(message, "params");
    const json params = given != nullptr ? *given : json::object();
    if (id == nullptr) {
        notification(*method, params);
        return;
    }
    if (!valid_id(*id)) {
        fail(nullptr, error_code::invalid_request, "a request's id is a number or a string");
        return;
    }
    request(*id, *method, params);
}

OpenDocument* Server::named_document(const json& params, std::string& problem) {
    const auto* text_document = member(params, "textDocument");
    const auto uri = text_document != nullptr ? string_member(*text_document, "uri") : std::nullopt;
    if (!uri) {
        problem = "the request names no textDocument.uri";
        return nullptr;
    }
    auto* document = workspace_.document(*uri);
    if (document == nullptr) {
        problem = "the document " + *uri + " is not open: open it first (textDocument/didOpen)";
    }
    return document;
}

void Server::request(const json& id, const std::string& method, const json& params) {
    if (method == "initialize") {
        if (initialized_) {
            fail(id, error_code::invalid_request, "the server is already initialized");
            return;
        }
        initialized_ = true;
        respond(id, initialize(params));
        return;
    }
    if (!initialized_) {
        fail(id, error_code::server_not_initialized, "initialize comes first");
        return;
    }
    if (shutdown_) {
        fail(id, error_code::invalid_request, "the server is shut down: only exit remains");
        return;
    }
    if (method == "shutdown") {
        shutdown_ = true;
        respond(id, nullptr);
        return;
    }
    static constexpr std::string_view kTextMethods[] = {
        "textDocument/hover",        "textDocument/completion", "textDocument/documentSymbol",
        "textDocument/foldingRange", "textDocument/definition", "textDocument/references",
        "textDocument/codeAction",   "textDocument/formatting"};
    if (std::find(std::begin(kTextMethods), std::end(kTextMethods), method) ==
        std::end(kTextMethods)) {
        fail(id, error_code::method_not_found, "no method " + method);
        return;
    }
    std::string problem;
    auto* document = named_document(params, problem);
    if (document == nullptr) {
        fail(id, error_code::invalid_params, problem);
        return;
    }
    if (method == "textDocument/foldingRange") {
        respond(id, folding_ranges(*document));
        return;
    }
    const bool readable = document->text.bytes().size() <= kLargestText;
    const Analysis* analysis = readable ? workspace_.analysis(*document) : nullptr;
    const auto* position_json = member(params, "position");
    const auto position = position_json != nullptr ? position_from(*position_json) : std::nullopt;
    const bool needs_position =
        method == "textDocument/hover" || method == "textDocument/completion" ||
        method == "textDocument/definition" || method == "textDocument/references";
    if (needs_position && !position) {
        fail(id, error_code::invalid_params, method + " needs a position");
        return;
    }
    if (analysis == nullptr) {
        // Not a text of the build's (scenario.ini), or one too large to read.
        const bool lists = method != "textDocument/hover";
        respond(id, lists ? (method == "textDocument/completion"
                                 ? json{{"isIncomplete", false}, {"items", json::array()}}
                                 : json::array())
                          : json(nullptr));
        return;
    }
    const EditorPlaces places(*analysis, workspace_, encoding_);
    const auto offset = position ? document->text.offset_of(*position, encoding_) : 0;
    if (method == "textDocument/hover") {
        const auto text = hover_text(*document, places, offset, options_.reference_page);
        respond(id, text ? json{{"contents", {{"kind", "markdown"}, {"value", *text}}}}
                         : json(nullptr));
    } else if (method == "textDocument/completion") {
        respond(id, {{"isIncomplete", false},
                     {"items", completion_items(*document, places, *position)}});
    } else if (method == "textDocument/documentSymbol") {
        respond(id, document_symbols(*document, places, hierarchical_symbols_));
    } else if (method == "textDocument/definition") {
        const auto items = editor_diagnostics(*document, places);
        respond(id, locations_json(definitions(*document, places, items, offset)));
    } else if (method == "textDocument/references") {
        const auto* context = member(params, "context");
        const bool declaration = context != nullptr && flag_member(*context, "includeDeclaration");
        respond(id, locations_json(references(*document, places, offset, declaration)));
    } else if (method == "textDocument/codeAction") {
        const auto* range_json = member(params, "range");
        const auto range = range_json != nullptr ? range_from(*range_json) : std::nullopt;
        if (!range) {
            fail(id, error_code::invalid_params, "textDocument/codeAction needs a range");
            return;
        }
        const auto items = editor_diagnostics(*document, places);
        respond(id, quick_fixes(*document, items, *range, places, options_.reference_page));
    } else {
        json edits = json::array();
        for (const auto& edit : layout_edits(analysis->scenario, side_of(*document))) {
            edits.push_back(
                {{"range", to_json(document->text.range_of(edit.offset, edit.length, encoding_))},
                 {"newText", edit.replacement}});
        }
        respond(id, std::move(edits));
    }
}

void Server::notification(const std::string& method, const json& params) {
    if (method == "exit") {
        finished_ = true;
        return;
    }
    if (!initialized_ || shutdown_) {
        return;
    }
    if (method == "textDocument/didOpen") {
        did_open(params);
    } else if (method == "textDocument/didChange") {
        did_change(params);
    } else if (method == "textDocument/didClose") {
        did_close(params);
    } else if (method == "workspace/didChangeWatchedFiles") {
        watched_files(params);
    } else if (method == "textDocument/didSave") {
        // The editor's text is read already; only a project on disk decides the pairs.
        std::string problem;
        if (const auto* document = named_document(params, problem);
            document != nullptr && document->kind == TextKind::project && document->path) {
            workspace_.file_changed(*document->path);
        }
    }
    // initialized, $/cancelRequest, $/setTrace and every other notification: nothing to do.
}

json Server::initialize(const json& params) {
    const auto* capabilities = member(params, "capabilities");
    const auto* general = capabilities != nullptr ? member(*capabilities, "general") : nullptr;
    const auto* encodings = general != nullptr ? member(*general, "positionEncodings") : nullptr;
    encoding_ = PositionEncoding::utf16;
    if (encodings != nullptr && encodings->is_array()) {
        for (const auto& e : *encodings) {
            if (e.is_string() && e.get_ref<const std::string&>() == "utf-8") {
                encoding_ = PositionEncoding::utf8;
            }
        }
    }
    const auto* text_document =
        capabilities != nullptr ? member(*capabilities, "textDocument") : nullptr;
    const auto* symbols =
        text_document != nullptr ? member(*text_document, "documentSymbol") : nullptr;
    hierarchical_symbols_ =
        symbols != nullptr && flag_member(*symbols, "hierarchicalDocumentSymbolSupport");
    return {{"capabilities",
             {{"positionEncoding", encoding_ == PositionEncoding::utf8 ? "utf-8" : "utf-16"},
              {"textDocumentSync",
               {{"openClose", true}, {"change", kIncremental}, {"save", {{"includeText", false}}}}},
              {"hoverProvider", true},
              {"completionProvider", {{"triggerCharacters", {"[", ","}}}},
              {"documentSymbolProvider", true},
              {"foldingRangeProvider", true},
              {"definitionProvider", true},
              {"referencesProvider", true},
              {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
              {"documentFormattingProvider", true}}},
            {"serverInfo", {{"name", "scenario-tool"}, {"version", SCENARIO_VERSION}}}};
}

void Server::did_open(const json& params) {
    const auto* text_document = member(params, "textDocument");
    if (text_document == nullptr) {
        return;
    }
    const auto uri = string_member(*text_document, "uri");
    const auto text = string_member(*text_document, "text");
    if (!uri || !text) {
        return;
    }
    auto& document = workspace_.open(*uri, string_member(*text_document, "languageId").value_or(""),
                                     integer_member(*text_document, "version").value_or(0), *text);
    published_.erase(document.uri);
    published_projects_.erase(document.uri);
}

void Server::did_change(const json& params) {
    std::string problem;
    auto* document = named_document(params, problem);
    const auto* changes = member(params, "contentChanges");
    if (document == nullptr || changes == nullptr || !changes->is_array()) {
        if (log_) {
            log_("change ignored: " + (problem.empty() ? "no contentChanges" : problem));
        }
        return;
    }
    for (const auto& change : *changes) {
        const auto text = string_member(change, "text");
        if (!text) {
            continue;
        }
        const auto* range_json = member(change, "range");
        if (range_json == nullptr) {
            document->text.replace_all(*text);
        } else if (const auto range = range_from(*range_json)) {
            document->text.replace(*range, *text, encoding_);
        } else if (log_) {
            log_("a change with a range that is no range is left out");
        }
    }
    if (const auto version = integer_member(*member(params, "textDocument"), "version")) {
        document->version = *version;
    }
    workspace_.touch(*document);
}

void Server::did_close(const json& params) {
    std::string problem;
    auto* document = named_document(params, problem);
    if (document == nullptr) {
        return;
    }
    const std::string uri = document->uri;
    workspace_.close(uri);
    published_.erase(uri);
    published_projects_.erase(uri);
    notify("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", json::array()}});
}

void Server::watched_files(const json& params) {
    const auto* changes = member(params, "changes");
    if (changes == nullptr || !changes->is_array()) {
        return;
    }
    for (const auto& change : *changes) {
        if (const auto uri = string_member(change, "uri")) {
            if (const auto path = path_of_uri(*uri)) {
                workspace_.file_changed(*path);
            }
        }
    }
}

void Server::publish_project(const OpenDocument& document) {
    if (!document.normal) {
        return;
    }
    const auto& project = workspace_.project_in(document.normal->parent_path());
    auto& published = published_projects_[document.uri];
    if (published == project.stamp) {
        return;
    }
    published = project.stamp;
    json diagnostics = json::array();
    if (project.fault) {
        // Its columns count characters, and the editor's text holds one byte for each.
        const auto& text = document.text;
        const auto line =
            std::min<std::int64_t>(std::max(project.fault->line - 1, 0), text.line_count() - 1);
        const auto offset = std::min(text.line_start(line) + static_cast<std::size_t>(std::max(
                                                                 project.fault->column - 1, 0)),
                                     text.line_end(line));
        const auto at = text.position_of(offset, encoding_);
        diagnostics.push_back({{"range", to_json(Range{at, at})},
                               {"severity", 1},
                               {"source", "scenario-tool"},
                               {"message", project.fault->message}});
    }
    notify("textDocument/publishDiagnostics", {{"uri", document.uri},
                                               {"version", document.version},
                                               {"diagnostics", std::move(diagnostics)}});
}

void Server::publish(OpenDocument& document) {
    if (document.kind == TextKind::project) {
        publish_project(document);
        return;
    }
    const bool too_large = document.text.bytes().size() > kLargestText;
    const Analysis* analysis = too_large ? nullptr : workspace_.analysis(document);
    if (!too_large && analysis == nullptr) {
        return;  // not a text of the build's
    }
    const std::uint64_t reading =
        too_large ? document.changed | (std::uint64_t{1} << 63) : analysis->number;
    const auto previous = published_.find(document.uri);
    if (previous != published_.end() && previous->second == reading) {
        return;
    }
    published_[document.uri] = reading;
    json diagnostics = json::array();
    if (too_large) {
        diagnostics.push_back(
            {{"range", to_json(Range{})},
             {"severity", 1},
             {"source", "scenario-tool"},
             {"message", "this text is larger than the 64 MiB the build reads: it is not read"}});
    } else {
        const EditorPlaces places(*analysis, workspace_, encoding_);
        const auto items = editor_diagnostics(document, places);
        for (std::size_t i = 0; i < std::min(items.size(), kPublishedMost); ++i) {
            diagnostics.push_back(to_json(items[i], places, options_.reference_page));
        }
        if (items.size() > kPublishedMost) {
            diagnostics.push_back(
                {{"range", to_json(items[kPublishedMost].range)},
                 {"severity", 3},
                 {"source", "scenario-tool"},
                 {"message", std::to_string(items.size() - kPublishedMost) +
                                 " more diagnostics from here on are not shown: 'scenario-tool "
                                 "check' lists them"}});
        }
    }
    notify("textDocument/publishDiagnostics", {{"uri", document.uri},
                                               {"version", document.version},
                                               {"diagnostics", std::move(diagnostics)}});
}

void Server::idle() {
    // Nothing changed since the last time: every text has published what it has to.
    if (!initialized_ || shutdown_ || finished_ || workspace_.changes() == idle_at_) {
        return;
    }
    idle_at_ = workspace_.changes();
    for (const auto& [uri, document] : workspace_.documents()) {
        publish(*workspace_.document(uri));
    }
    workspace_.forget_unused();
}

void Server::respond(const json& id, json result) {
    send({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

void Server::fail(const json& id, int code, const std::string& message) {
    if (log_) {
        log_("error " + std::to_string(code) + ": " + message);
    }
    send({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

void Server::notify(const std::string& method, json params) {
    send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

void Server::send(const json& message) {
    const auto body = serialised(message);
    if (log_) {
        log_("-> " + body.substr(0, 400));
    }
    send_(frame(body));
}

}  // namespace scenario::tool::lsp
