// An editor's session with the real `scenario-tool lsp` over pipes, as an editor runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_names.h"
#include "sources/content_table.h"
#include "sources/scenario_names.h"
#include "sources/writers.h"
#include "support/lsp_pipe.h"
#include "support/run_program.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

// The server with the test's own expectations: a server silent for 20 s fails the test, and
// the notifications that come before an answer are kept for the checks of diagnostics.
class Editor {
  public:
    explicit Editor(const fs::path& cache) : pipe_(SCENARIO_TOOL_EXE, cache) {}

    void send_raw(const std::string& bytes) { EXPECT_TRUE(pipe_.send_raw(bytes)); }
    void notify(const std::string& method, json params) {
        EXPECT_TRUE(pipe_.notify(method, std::move(params))) << method;
    }
    json request(const std::string& method, json params) {
        auto answer = pipe_.request(method, std::move(params), notes_, kPatience);
        expect_not_silent();
        return answer ? *answer : json(nullptr);
    }
    // The diagnostics published for a version of a document: the last of those come or coming
    // (a text is published again when its partner opens).
    json diagnostics_of(const std::string& uri, std::int64_t version) {
        for (;;) {
            for (auto it = notes_.begin(); it != notes_.end(); ++it) {
                if ((*it)["method"] == "textDocument/publishDiagnostics" &&
                    (*it)["params"]["uri"] == uri && (*it)["params"]["version"] == version &&
                    std::none_of(it + 1, notes_.end(), [&](const json& later) {
                        return later["method"] == "textDocument/publishDiagnostics" &&
                               later["params"]["uri"] == uri;
                    })) {
                    auto found = (*it)["params"]["diagnostics"];
                    notes_.erase(notes_.begin(), it + 1);
                    return found;
                }
            }
            auto message = pipe_.next(kPatience);
            if (!message) {
                expect_not_silent();
                return nullptr;
            }
            notes_.push_back(std::move(*message));
        }
    }
    void close_input() { pipe_.close_input(); }
    // The exit status, or -1 when the server has not ended within the time.
    int wait() { return pipe_.wait(kPatience); }

  private:
    static constexpr std::chrono::seconds kPatience{20};

    void expect_not_silent() {
        if (pipe_.timed_out()) {
            ADD_FAILURE() << "the server said nothing for 20 s";
        }
    }

    LspPipe pipe_;
    std::vector<json> notes_;
};

std::string text_of(std::span<const std::string_view> lines) {
    return sources::render(sources::content_table(lines));
}

std::string uri_of(const fs::path& file) {
    std::string uri = "file://";
    for (const char c : file.string()) {
        uri += c == ' ' ? std::string("%20") : std::string(1, c);
    }
    return uri;
}

json at(const std::string& uri, std::int64_t line, std::int64_t character) {
    return {{"textDocument", {{"uri", uri}}},
            {"position", {{"line", line}, {"character", character}}}};
}

json change(const json& range, const std::string& text) {
    return json::array({{{"range", range}, {"text", text}}});
}

std::int64_t line_starting(std::span<const std::string_view> lines, std::string_view start) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].starts_with(start)) {
            return static_cast<std::int64_t>(i);
        }
    }
    return -1;
}

TEST(ToolLsp, AnEditorsSessionOnTheBuiltInTexts) {
    TempDir dir;
    const auto line_file = dir.path() / files::line_text_name(sources::kLineTitle);
    const auto train_file =
        dir.path() / files::train_text_name(sources::kLineTitle, sources::kTrainCode);
    const auto line = uri_of(line_file);
    const auto train = uri_of(train_file);
    Editor editor(dir.path() / "cache");

    const auto init = editor.request("initialize", {{"capabilities", json::object()}});
    EXPECT_EQ(init["result"]["capabilities"]["textDocumentSync"]["change"], 2);
    editor.notify("initialized", json::object());

    // Both built-in texts: nothing to tell.
    editor.notify("textDocument/didOpen",
                  {{"textDocument",
                    {{"uri", line},
                     {"languageId", "scenario-line"},
                     {"version", 1},
                     {"text", text_of(sources::line_description_lines())}}}});
    editor.notify("textDocument/didOpen", {{"textDocument",
                                            {{"uri", train},
                                             {"languageId", "scenario-train"},
                                             {"version", 1},
                                             {"text", text_of(sources::train_service_lines())}}}});
    EXPECT_EQ(editor.diagnostics_of(train, 1), json::array());
    EXPECT_EQ(editor.diagnostics_of(line, 1), json::array());

    // A misspelt keyword, typed as an incremental change: the warning, its range, its fix.
    const auto gradient = line_starting(sources::line_description_lines(), "pendenza,  8450");
    const json keyword = {{"start", {{"line", gradient}, {"character", 0}}},
                          {"end", {{"line", gradient}, {"character", 8}}}};
    editor.notify("textDocument/didChange", {{"textDocument", {{"uri", line}, {"version", 2}}},
                                             {"contentChanges", change(keyword, "pendneza")}});
    const auto warned = editor.diagnostics_of(line, 2);
    ASSERT_EQ(warned.size(), 1u) << warned.dump();
    EXPECT_EQ(warned[0]["code"], "unknown-keyword");
    EXPECT_EQ(warned[0]["severity"], 2);
    EXPECT_EQ(warned[0]["range"], keyword);
    const auto actions = editor.request("textDocument/codeAction",
                                        {{"textDocument", {{"uri", line}}},
                                         {"range", keyword},
                                         {"context", {{"diagnostics", warned}}}})["result"];
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0]["kind"], "quickfix");
    const auto edit = actions[0]["edit"]["changes"][line][0];
    EXPECT_EQ(edit["newText"], "pendenza");
    // The fix applied as the editor applies it: the warning clears.
    editor.notify("textDocument/didChange",
                  {{"textDocument", {{"uri", line}, {"version", 3}}},
                   {"contentChanges", change(edit["range"], edit["newText"])}});
    EXPECT_EQ(editor.diagnostics_of(line, 3), json::array());

    // Hover, completion and definition at the speed limit of 1100 m.
    const auto speed = line_starting(sources::train_service_lines(), "velocita,    1100");
    const auto hover = editor.request("textDocument/hover", at(train, speed, 22));
    const auto told = hover["result"]["contents"]["value"].get<std::string>();
    for (const char* part : {"**speed** (km/h)", "read as 70 km/h", "- speed limit 70 km/h",
                             "- gradient 4 per mille", "- next signal at 1850 m"}) {
        EXPECT_NE(told.find(part), std::string::npos) << part << " in\n" << told;
    }
    const auto completion = editor.request("textDocument/completion", at(train, speed, 3));
    std::vector<std::string> labels;
    for (const auto& item : completion["result"]["items"]) {
        labels.push_back(item["label"]);
    }
    EXPECT_NE(std::find(labels.begin(), labels.end(), "velocita"), labels.end());
    const auto board = line_starting(sources::line_description_lines(), "indicatori_vmax,  1100");
    const auto definition = editor.request("textDocument/definition", at(train, speed, 13));
    bool to_board = false;
    for (const auto& location : definition["result"]) {
        to_board |= location["uri"] == line && location["range"]["start"]["line"] == board;
    }
    EXPECT_TRUE(to_board) << definition.dump();

    // Formatting: the built-in text needs nothing; a record set otherwise is set back.
    const json formatting = {{"textDocument", {{"uri", train}}},
                             {"options", {{"tabSize", 4}, {"insertSpaces", true}}}};
    EXPECT_EQ(editor.request("textDocument/formatting", formatting)["result"], json::array());
    const json whole_line = {{"start", {{"line", speed}, {"character", 0}}},
                             {"end", {{"line", speed}, {"character", 24}}}};
    editor.notify("textDocument/didChange",
                  {{"textDocument", {{"uri", train}, {"version", 2}}},
                   {"contentChanges", change(whole_line, "velocita,1100,70")}});
    const auto edits = editor.request("textDocument/formatting", formatting)["result"];
    std::string formatted = "velocita,1100,70";
    for (auto it = edits.rbegin(); it != edits.rend(); ++it) {
        EXPECT_EQ((*it)["range"]["start"]["line"], speed);
        const auto from = (*it)["range"]["start"]["character"].get<std::size_t>();
        const auto to = (*it)["range"]["end"]["character"].get<std::size_t>();
        formatted.replace(from, to - from, (*it)["newText"].get<std::string>());
    }
    EXPECT_EQ(formatted, "velocita,    1100,    70");

    EXPECT_EQ(editor.request("shutdown", nullptr)["result"], nullptr);
    editor.notify("exit", nullptr);
    EXPECT_EQ(editor.wait(), 0);
    // The codes link to the format reference it keeps in the cache.
    EXPECT_TRUE(fs::exists(dir.path() / "cache" / "scenario-tool" /
                           ("text-format-" SCENARIO_VERSION ".md")));
}

TEST(ToolLsp, SurvivesGarbageAndEndsWhenTheEditorGoesAway) {
    TempDir dir;
    Editor editor(dir.path() / "cache");
    editor.send_raw("Content-Length: 7\r\n\r\n{\"a\":[}");
    editor.send_raw("no header at all\r\n\r\n");
    const auto answer = editor.request("initialize", {{"capabilities", json::object()}});
    EXPECT_TRUE(answer.contains("result")) << answer.dump();
    editor.close_input();
    EXPECT_EQ(editor.wait(), 1);  // gone without shutdown
}

}  // namespace
}  // namespace scenario::testing
