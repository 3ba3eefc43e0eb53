#include "lsp/server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "lsp/framing.h"
#include "lsp/text_names.h"
#include "lsp/workspace.h"
#include "sources/writers.h"
#include "support/fault_cases.h"
#include "support/run_program.h"

namespace scenario::tool::lsp {
namespace {

using scenario::testing::insert_line;
using scenario::testing::kBaseLine;
using scenario::testing::kBaseTrain;
using scenario::testing::Lines;
using scenario::testing::replace_line;
using scenario::testing::text_of;

// A client of the server in memory: sends messages as an editor frames them and keeps every
// message the server sent back.
class Session {
  public:
    explicit Session(Server::Options options = {});

    void send_raw(std::string_view bytes) { server_.receive(bytes); }
    void send(const json& message);
    void notify(const std::string& method, json params);
    // The server's answer to a request, published diagnostics left for published().
    json request(const std::string& method, json params);
    // Initializes with these client capabilities.
    json initialize(json capabilities = json::object());
    void open(const std::string& uri, const std::string& language, const std::string& utf8);
    void idle() { server_.idle(); }

    // The last diagnostics published for a document since the last call, or nothing.
    std::optional<json> published(const std::string& uri);
    const std::vector<json>& received() const { return received_; }
    const Server& server() const { return server_; }

  private:
    FrameReader frames_;
    std::vector<json> received_;
    std::map<std::string, std::size_t> read_;  // by document: the messages looked at
    Server server_;
    std::int64_t next_id_ = 0;
};

Session::Session(Server::Options options)
    : server_(
          [this](std::string_view framed) {
              frames_.receive(framed);
              while (auto f = frames_.next()) {
                  received_.push_back(json::parse(f->body));
              }
          },
          {}, std::move(options)) {}

void Session::send(const json& message) {
    server_.receive(frame(message.dump()));
}

void Session::notify(const std::string& method, json params) {
    send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

json Session::request(const std::string& method, json params) {
    const auto id = ++next_id_;
    send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}});
    for (auto it = received_.rbegin(); it != received_.rend(); ++it) {
        if (it->contains("id") && (*it)["id"] == id) {
            return *it;
        }
    }
    return nullptr;
}

json Session::initialize(json capabilities) {
    auto answer = request("initialize", {{"capabilities", std::move(capabilities)}});
    notify("initialized", json::object());
    return answer;
}

void Session::open(const std::string& uri, const std::string& language, const std::string& utf8) {
    notify("textDocument/didOpen",
           {{"textDocument",
             {{"uri", uri}, {"languageId", language}, {"version", 1}, {"text", utf8}}}});
}

std::optional<json> Session::published(const std::string& uri) {
    std::optional<json> last;
    auto& read = read_[uri];
    for (; read < received_.size(); ++read) {
        const auto& m = received_[read];
        if (m.value("method", "") == "textDocument/publishDiagnostics" &&
            m["params"]["uri"] == uri) {
            last = m["params"]["diagnostics"];
        }
    }
    return last;
}

const std::string kLine = "file:///route/T_linea.txt";
const std::string kTrain = "file:///route/T_R1-.txt";

json at(const std::string& uri, std::int64_t line, std::int64_t character) {
    return {{"textDocument", {{"uri", uri}}},
            {"position", {{"line", line}, {"character", character}}}};
}

std::vector<std::string> codes(const json& diagnostics) {
    std::vector<std::string> out;
    for (const auto& d : diagnostics) {
        out.push_back(d["code"].is_string() ? d["code"].get<std::string>()
                                            : std::to_string(d["code"].get<int>()));
    }
    return out;
}

TEST(LspServer, AnswersEveryBrokenOrMisplacedMessageWithTheProtocolsError) {
    struct Case {
        const char* name;
        std::string message;  // sent after initialize unless `before`
        int code;             // 0: no answer at all
        bool before = false;
    };
    const std::string deep = std::string(100, '[') + std::string(100, ']');
    const Case cases[] = {
        {"not JSON", "{\"jsonrpc\": \"2.0\", \"id\": 1,", -32700},
        {"nested too deep", deep, -32700},
        {"not an object", "[1, 2]", -32600},
        {"no method", R"({"jsonrpc":"2.0","id":7})", -32600},
        {"an id that is an object", R"({"jsonrpc":"2.0","id":{},"method":"shutdown"})", -32600},
        {"before initialize", R"({"jsonrpc":"2.0","id":1,"method":"textDocument/hover"})", -32002,
         true},
        {"an unknown method", R"({"jsonrpc":"2.0","id":1,"method":"workspace/symbol"})", -32601},
        {"an unknown notification", R"({"jsonrpc":"2.0","method":"$/unknown","params":{}})", 0},
        {"a document never opened",
         R"({"jsonrpc":"2.0","id":1,"method":"textDocument/hover","params":{"textDocument":)"
         R"({"uri":"file:///x_linea.txt"},"position":{"line":0,"character":0}}})",
         -32602},
        {"initialize twice", R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})",
         -32600},
        {"a change of a document never opened",
         R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":)"
         R"({"uri":"file:///y","version":2},"contentChanges":[{"text":"x"}]}})",
         0},
    };
    for (const auto& c : cases) {
        Session session;
        if (!c.before) {
            session.initialize();
        }
        const auto before = session.received().size();
        session.send_raw(frame(c.message));
        const auto& received = session.received();
        if (c.code == 0) {
            EXPECT_EQ(received.size(), before) << c.name;
            continue;
        }
        ASSERT_EQ(received.size(), before + 1) << c.name;
        EXPECT_EQ(received.back()["error"]["code"], c.code) << c.name;
        EXPECT_FALSE(received.back()["error"]["message"].get<std::string>().empty()) << c.name;
    }
}

TEST(LspServer, ShutdownThenExitEndsCleanlyAndExitAloneDoesNot) {
    Session clean;
    clean.initialize();
    EXPECT_EQ(clean.request("shutdown", nullptr)["result"], nullptr);
    EXPECT_EQ(clean.request("textDocument/hover", at(kLine, 0, 0))["error"]["code"], -32600);
    clean.notify("exit", nullptr);
    EXPECT_TRUE(clean.server().finished());
    EXPECT_EQ(clean.server().exit_code(), 0);

    Session abrupt;
    abrupt.initialize();
    abrupt.notify("exit", nullptr);
    EXPECT_TRUE(abrupt.server().finished());
    EXPECT_EQ(abrupt.server().exit_code(), 1);
}

TEST(LspServer, NegotiatesUtf8AndOtherwiseCountsInUtf16) {
    Session utf16;
    EXPECT_EQ(utf16.initialize()["result"]["capabilities"]["positionEncoding"], "utf-16");
    Session utf8;
    const json offered = {{"general", {{"positionEncodings", {"utf-32", "utf-8", "utf-16"}}}}};
    EXPECT_EQ(utf8.initialize(offered)["result"]["capabilities"]["positionEncoding"], "utf-8");
}

// A name with an accent and a character the texts cannot hold, in both encodings: the
// character's own diagnostic, and the ranges of the build's diagnostics after it, are exact.
TEST(LspServer, TellsACharacterTheTextsCannotHoldAndCountsPositionsAroundIt) {
    struct Case {
        bool utf8;
        std::int64_t emoji;  // where the astral character starts on the line
        std::int64_t end;    // where it ends
    };
    for (const auto& c : {Case{false, 77, 79}, Case{true, 78, 82}}) {
        Session session;
        session.initialize(c.utf8 ? json{{"general", {{"positionEncodings", {"utf-8"}}}}}
                                  : json::object());
        Lines train = kBaseTrain;
        // "VALLÈ😀": the È is Windows-1252 (two UTF-8 bytes), the emoji is not.
        replace_line(train, 13,
                     "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, "
                     "VALL\xC3\x88\xF0\x9F\x98\x80");
        session.open(kLine, "scenario-line", text_of(kBaseLine));
        session.open(kTrain, "scenario-train", text_of(train));
        session.idle();
        const auto diagnostics = session.published(kTrain);
        ASSERT_TRUE(diagnostics);
        ASSERT_EQ(codes(*diagnostics), std::vector<std::string>{"unsavable-character"});
        const auto& range = (*diagnostics)[0]["range"];
        EXPECT_EQ(range["start"], (json{{"line", 12}, {"character", c.emoji}}));
        EXPECT_EQ(range["end"], (json{{"line", 12}, {"character", c.end}}));
        EXPECT_NE((*diagnostics)[0]["message"].get<std::string>().find("U+1F600"),
                  std::string::npos);
    }
}

TEST(LspServer, PublishesForBothTextsOfAPairOnEveryChange) {
    Session session({.reference_page = "file:///doc/text-format.md"});
    session.initialize();
    session.open(kLine, "scenario-line", text_of(kBaseLine));
    session.open(kTrain, "scenario-train", text_of(kBaseTrain));
    session.idle();
    EXPECT_EQ(session.published(kLine), json::array());
    EXPECT_EQ(session.published(kTrain), json::array());
    // A sign board on the cell of the first signal (1850 m: cell 38): the fault is the line
    // text's, and its other party, the signal, is the train text's.
    const json change = {
        {"range",
         {{"start", {{"line", 19}, {"character", 0}}}, {"end", {{"line", 19}, {"character", 0}}}}},
        {"text", "cartello_indicatore,  1850,   (PONTE)\r\n"}};
    session.notify("textDocument/didChange", {{"textDocument", {{"uri", kLine}, {"version", 2}}},
                                              {"contentChanges", json::array({change})}});
    session.idle();
    // The line text is read first: the board takes the cell, the signal finds it taken.
    EXPECT_EQ(session.published(kLine), json::array());
    const auto train = session.published(kTrain);
    ASSERT_TRUE(train);
    ASSERT_EQ(codes(*train), std::vector<std::string>{"16"});
    const auto& fault = (*train)[0];
    EXPECT_EQ(fault["codeDescription"]["href"], "file:///doc/text-format.md#errors");
    EXPECT_EQ(fault["range"]["start"]["line"], 17);
    ASSERT_EQ(fault["relatedInformation"].size(), 1u);
    EXPECT_EQ(fault["relatedInformation"][0]["location"]["uri"], kLine);
    EXPECT_EQ(fault["relatedInformation"][0]["location"]["range"]["start"]["line"], 19);
    // Going to the definition from the fault leads to the board.
    const auto definition = session.request("textDocument/definition", at(kTrain, 17, 12));
    ASSERT_FALSE(definition["result"].empty());
    EXPECT_EQ(definition["result"][0]["uri"], kLine);
    EXPECT_EQ(definition["result"][0]["range"]["start"]["line"], 19);
}

TEST(LspServer, TakesFullAndIncrementalChangesAndLeavesOutOneItCannotPlace) {
    Session session;
    session.initialize();
    session.open(kLine, "scenario-line", text_of(kBaseLine));
    session.open(kTrain, "scenario-train", text_of(kBaseTrain));
    const auto change = [&](json content) {
        session.notify("textDocument/didChange",
                       {{"textDocument", {{"uri", kTrain}, {"version", 2}}},
                        {"contentChanges", json::array({std::move(content)})}});
        return session.request("textDocument/formatting",
                               {{"textDocument", {{"uri", kTrain}}}})["result"];
    };
    // A range with a negative line is no range: the text stays as the builder writes it.
    EXPECT_EQ(change({{"range",
                       {{"start", {{"line", -1}, {"character", 0}}},
                        {"end", {{"line", 0}, {"character", 0}}}}},
                      {"text", "x"}}),
              json::array());
    // The whole text replaced: its one record line set otherwise needs one edit.
    Lines train = kBaseTrain;
    replace_line(train, 10, "velocita,1100,    70");
    EXPECT_EQ(change({{"text", text_of(train)}}).size(), 1u);
}

TEST(LspServer, ReadsALoneTextAndTellsNothingThatFollowsFromTheMissingOne) {
    Session session;
    session.initialize();
    // A lone train text: read against a bare route, so a signal past the example route's
    // 20000 m is no fault; a misspelt keyword is still told.
    Lines train = kBaseTrain;
    replace_line(train, 20, "segnale,   25000,   2, 3, 1,  0, 0,    0,  0,0,0, 0");
    replace_line(train, 9, "velocixa,       0,    60");
    session.open("untitled:train", "scenario-train", text_of(train));
    // A lone line text: no missing stations, speed limits or adhesion.
    session.open("untitled:line", "scenario-line", text_of(kBaseLine));
    session.idle();
    EXPECT_EQ(codes(session.published("untitled:train").value_or(json::array())),
              (std::vector<std::string>{"unknown-keyword", "before-first-record"}));
    EXPECT_EQ(session.published("untitled:line"), json::array());
}

TEST(LspServer, PairsAnOpenTextWithThePartnerOnDisk) {
    scenario::testing::TempDir dir;
    Lines line = kBaseLine;
    replace_line(line, 14, "pendenza,  5000,   -150");  // stored as a climb: a warning
    std::ofstream(dir.path() / "T_linea.txt", std::ios::binary) << text_of(line);
    const auto train = uri_of_path(dir.path() / "T_R1-.txt");
    Session session;
    session.initialize();
    session.open(train, "scenario-train", text_of(kBaseTrain));
    session.idle();
    // The line text's warning is its own, not the train text's.
    EXPECT_EQ(session.published(train), json::array());
    // What applies at the second speed limit comes from both texts: its gradient from disk.
    const auto hover = session.request("textDocument/hover", at(train, 9, 22));
    const auto text = hover["result"]["contents"]["value"].get<std::string>();
    EXPECT_NE(text.find("gradient 0 per mille"), std::string::npos) << text;
    // The partner changes on disk: the next reading takes it.
    replace_line(line, 14, "pendenza,  1000,   7");
    std::ofstream(dir.path() / "T_linea.txt", std::ios::binary) << text_of(line);
    session.notify(
        "workspace/didChangeWatchedFiles",
        {{"changes",
          json::array({{{"uri", uri_of_path(dir.path() / "T_linea.txt")}, {"type", 2}}})}});
    const auto again = session.request("textDocument/hover", at(train, 9, 22));
    EXPECT_NE(again["result"]["contents"]["value"].get<std::string>().find("gradient 7 per mille"),
              std::string::npos);
}

// The folder's scenario.ini pairs two texts whatever their names, and its [run] judges their
// timetable; a fault of it is told on its own document.
TEST(LspServer, TheFoldersProjectPairsItsTextsAndSetsTheirRun) {
    scenario::testing::TempDir dir;
    const auto text = [](const auto& lines) { return text_of(Lines(lines.begin(), lines.end())); };
    std::ofstream(dir.path() / "route.txt", std::ios::binary)
        << text(sources::line_description_lines());
    const auto ini = dir.path() / "scenario.ini";
    const auto project = [&](const std::string& run) {
        std::ofstream(ini, std::ios::binary) << "line = route.txt\ntrain = ./service.txt\n" << run;
    };
    const auto margin_notes = [](const std::optional<json>& published) {
        const auto c = codes(published.value_or(json::array()));
        return std::count(c.begin(), c.end(), "timetable-margin-low");
    };
    project("");
    const auto train = uri_of_path(dir.path() / "service.txt");
    const auto ini_uri = uri_of_path(ini);
    Session session;
    session.initialize();
    session.open(train, "plaintext", text(sources::train_service_lines()));
    session.open(ini_uri, "ini", "");
    session.idle();
    // Read with its line text from disk: the fastest run keeps every time, above 3 %.
    const auto paired = session.published(train);
    ASSERT_TRUE(paired);
    EXPECT_EQ(margin_notes(paired), 0);
    const auto hover = session.request("textDocument/hover", at(train, 9, 22));
    EXPECT_NE(hover["result"].dump().find("gradient"), std::string::npos) << hover.dump();
    EXPECT_EQ(session.published(ini_uri), json::array());
    // A threshold of 7 % notes the 6.5 % of VALSO DI SOTTO once the project changes on disk.
    project("[run]\nmargin-note = 7\n");
    session.notify("workspace/didChangeWatchedFiles",
                   {{"changes", json::array({{{"uri", ini_uri}, {"type", 2}}})}});
    session.idle();
    EXPECT_EQ(margin_notes(session.published(train)), 1);
    // Edited to a value it cannot take and saved: the pair holds, judged by the defaults, and
    // the project tells the fault at its place in the editor's text.
    const std::string bad = "line = route.txt\ntrain = ./service.txt\n[run]\nmargin-note = much\n";
    project("[run]\nmargin-note = much\n");
    session.notify("textDocument/didChange", {{"textDocument", {{"uri", ini_uri}, {"version", 2}}},
                                              {"contentChanges", json::array({{{"text", bad}}})}});
    session.notify("textDocument/didSave", {{"textDocument", {{"uri", ini_uri}}}});
    session.idle();
    EXPECT_EQ(margin_notes(session.published(train)), 0);
    const auto fault = session.published(ini_uri);
    ASSERT_TRUE(fault);
    ASSERT_EQ(fault->size(), 1u);
    EXPECT_EQ((*fault)[0]["range"]["start"], json({{"line", 3}, {"character", 14}}));
    EXPECT_EQ((*fault)[0]["severity"], 1);
    EXPECT_NE((*fault)[0]["message"].get<std::string>().find("margin-note takes a number"),
              std::string::npos);
}

// The texts a project names pair only as it says, whatever their names; a project that cannot
// be read leaves the pairs to the builder's names.
TEST(LspWorkspace, AProjectsTextsPairOnlyAsItSays) {
    scenario::testing::TempDir dir;
    for (const auto* name : {"T_linea.txt", "T_R1-.txt", "service.txt"}) {
        std::ofstream(dir.path() / name, std::ios::binary)
            << text_of(name == std::string("T_linea.txt") ? kBaseLine : kBaseTrain);
    }
    const auto ini = dir.path() / "scenario.ini";
    std::ofstream(ini, std::ios::binary) << "line = T_linea.txt\ntrain = service.txt\n";
    Workspace workspace;
    auto& by_name = workspace.open(uri_of_path(dir.path() / "T_R1-.txt"), "", 1, "");
    auto& named = workspace.open(uri_of_path(dir.path() / "service.txt"), "", 1, "");
    EXPECT_EQ(named.kind, TextKind::train);
    EXPECT_EQ(workspace.analysis(named)->line.path.filename(), "T_linea.txt");
    EXPECT_EQ(workspace.analysis(by_name)->line.origin, Origin::stand_in);
    std::ofstream(ini, std::ios::binary) << "line = T_linea.txt\n";  // no train: refused
    workspace.file_changed(ini);
    EXPECT_EQ(named.kind, TextKind::other);
    EXPECT_EQ(workspace.analysis(by_name)->line.path.filename(), "T_linea.txt");
}

// The fuzzer starts each input from a copy of one opened server: a copy must read on its own.
TEST(LspWorkspace, ACopyReadsOnItsOwn) {
    Workspace original;
    original.open(kLine, "scenario-line", 1, text_of(kBaseLine));
    const auto* read = original.analysis(original.open(kTrain, "", 1, text_of(kBaseTrain)));
    ASSERT_TRUE(read && read->diagnostics.empty());
    const auto number = read->number;
    Workspace copy = original;
    Lines line = kBaseLine;
    insert_line(line, 20, "cartello_indicatore,  1850,   (PONTE)");  // on the first signal's cell
    auto& edited = *copy.document(kLine);
    edited.text.replace_all(text_of(line));
    copy.touch(edited);
    EXPECT_EQ(copy.analysis(*copy.document(kTrain))->diagnostics.size(), 1u);
    const auto* again = original.analysis(*original.document(kTrain));
    EXPECT_EQ(again, read);
    EXPECT_TRUE(again->diagnostics.empty());
    EXPECT_EQ(again->number, number);
}

TEST(LspServer, HoverTellsTheFieldTheValueAsStoredAndWhatApplies) {
    Session session;
    session.initialize();
    Lines train = kBaseTrain;
    replace_line(train, 10, "velocita,    1100,    72");
    session.open(kLine, "scenario-line", text_of(kBaseLine));
    session.open(kTrain, "scenario-train", text_of(train));
    struct Case {
        std::int64_t line;
        std::int64_t character;
        std::vector<const char*> told;
    };
    const Case cases[] = {
        {9,
         22,
         {"**speed limit** `velocita`", "**speed** (km/h), 32-bit, 0 to 1277", "read as 72 km/h",
          "as stored: 72 km/h is stored as 70",
          "**at 1100 m**: cell 22 (1100 to 1150 m), km 18+900", "- speed limit 70 km/h",
          "- adhesion 100 %", "- next signal at 1850 m, 750 m ahead",
          "- next station VALLE at 8000 m, 6900 m ahead"}},
        {9, 2, {"**speed limit** `velocita`", "`velocita,    1100,    70`", "Order: in ascending"}},
        {11, 75, {"**name**", "text, no comma"}},
    };
    for (const auto& c : cases) {
        const auto hover = session.request("textDocument/hover", at(kTrain, c.line, c.character));
        const auto text = hover["result"]["contents"]["value"].get<std::string>();
        for (const auto* told : c.told) {
            EXPECT_NE(text.find(told), std::string::npos) << told << " in\n" << text;
        }
    }
    EXPECT_EQ(session.request("textDocument/hover", at(kTrain, 7, 3))["result"], nullptr);
    const auto curve = session.request("textDocument/hover", at(kLine, 10, 10));
    EXPECT_NE(curve["result"]["contents"]["value"].get<std::string>().find(
                  "- curve to the right, class 4 (radius 1000 m), 2000 to 2300 m"),
              std::string::npos);
}

TEST(LspServer, CompletesKeywordsOfTheSectionHeadersAndFewValuedFields) {
    Session session;
    session.initialize();
    Lines train = kBaseTrain;
    replace_line(train, 10, "vel");
    replace_line(train, 13, "stazione,    8000, ");
    replace_line(train, 14,
                 "stazione,   19000,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,   7,10, 0, M");
    Lines line = kBaseLine;
    replace_line(line, 11, "cu");
    session.open(kLine, "scenario-line", text_of(line));
    session.open(kTrain, "scenario-train", text_of(train));
    struct Case {
        std::string uri;
        std::int64_t line;
        std::int64_t character;
        std::vector<std::string> offered;  // among the labels
        std::vector<std::string> not_offered;
    };
    const Case cases[] = {
        {kTrain, 9, 3, {"velocita", "[generale]", "[fine]"}, {"stazione", "pendenza"}},
        {kTrain, 12, 19, {"4", "5", "27"}, {}},
        {kTrain, 13, 75, {"LAGO"}, {"VALLE"}},
        {kLine, 10, 2, {"curvas1", "curvad6"}, {"pendenza", "lunghezza percorso"}},
        {kLine, 1, 0, {"lunghezza percorso", "ripetizione segnali 4 codici"}, {"pendenza"}},
        {kLine, 0, 0, {"[generale]"}, {"lunghezza percorso"}},
    };
    for (const auto& c : cases) {
        const auto answer =
            session.request("textDocument/completion", at(c.uri, c.line, c.character));
        std::vector<std::string> labels;
        for (const auto& item : answer["result"]["items"]) {
            labels.push_back(item["label"]);
        }
        for (const auto& label : c.offered) {
            EXPECT_NE(std::find(labels.begin(), labels.end(), label), labels.end())
                << label << " at " << c.line << ":" << c.character;
        }
        for (const auto& label : c.not_offered) {
            EXPECT_EQ(std::find(labels.begin(), labels.end(), label), labels.end()) << label;
        }
    }
}

TEST(LspServer, LinksPositionsStationsAndTheirZonesAcrossTheTexts) {
    Session session;
    session.initialize();
    session.open(kLine, "scenario-line", text_of(kBaseLine));
    session.open(kTrain, "scenario-train", text_of(kBaseTrain));
    const auto lines_of = [](const json& locations, const std::string& uri) {
        std::vector<std::int64_t> lines;
        for (const auto& l : locations) {
            if (l["uri"] == uri) {
                lines.push_back(l["range"]["start"]["line"]);
            }
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    // From the speed limit at 1100 m: the speed board of the line text that stands there and
    // the gradient in force.
    const auto speed = session.request("textDocument/definition", at(kTrain, 9, 14))["result"];
    EXPECT_EQ(lines_of(speed, kLine), (std::vector<std::int64_t>{12, 17}));
    // From the station at 400 m (zone 0 to 800 m): the records within its zone.
    const auto station = session.request("textDocument/definition", at(kTrain, 11, 14))["result"];
    EXPECT_EQ(lines_of(station, kLine), (std::vector<std::int64_t>{12}));
    EXPECT_EQ(lines_of(station, kTrain), (std::vector<std::int64_t>{6, 8}));
    // And back: from the gradient at 0 to the station whose zone holds it.
    const auto gradient = session.request("textDocument/definition", at(kLine, 12, 11))["result"];
    EXPECT_EQ(lines_of(gradient, kTrain), (std::vector<std::int64_t>{6, 8, 11}));
    // References of the board at 1100 m: the speed limit of the same cell, and itself.
    const auto board = session.request("textDocument/references",
                                       {{"textDocument", {{"uri", kLine}}},
                                        {"position", {{"line", 17}, {"character", 18}}},
                                        {"context", {{"includeDeclaration", true}}}})["result"];
    EXPECT_EQ(lines_of(board, kLine), (std::vector<std::int64_t>{17}));
    EXPECT_EQ(lines_of(board, kTrain), (std::vector<std::int64_t>{9}));
}

TEST(LspServer, OutlinesAndFoldsTheSections) {
    Session session;
    session.initialize(
        {{"textDocument", {{"documentSymbol", {{"hierarchicalDocumentSymbolSupport", true}}}}}});
    session.open(kLine, "scenario-line", text_of(kBaseLine));
    session.open(kTrain, "scenario-train", text_of(kBaseTrain));
    const auto symbols = session.request("textDocument/documentSymbol",
                                         {{"textDocument", {{"uri", kTrain}}}})["result"];
    std::vector<std::string> sections;
    for (const auto& s : symbols) {
        sections.push_back(s["name"]);
    }
    EXPECT_EQ(sections,
              (std::vector<std::string>{"[generale]", "[aderenze]", "[vel_limite]", "[stazioni]",
                                        "[rallentamenti]", "[segnali]", "[codici]", "[fine]"}));
    std::vector<std::string> stations;
    for (const auto& s : symbols[3]["children"]) {
        stations.push_back(s["name"]);
    }
    EXPECT_EQ(stations, (std::vector<std::string>{"LAGO", "VALLE", "MONTE"}));
    EXPECT_EQ(symbols[4]["children"][0]["name"], "slowdown 40 km/h at 12000 m");
    const auto folds = session.request("textDocument/foldingRange",
                                       {{"textDocument", {{"uri", kTrain}}}})["result"];
    ASSERT_EQ(folds.size(), 6u);  // [codici] and [fine] hold nothing
    EXPECT_EQ(folds[0], (json{{"startLine", 0}, {"endLine", 4}, {"kind", "region"}}));
}

}  // namespace
}  // namespace scenario::tool::lsp
