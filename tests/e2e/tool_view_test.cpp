#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "files/file_names.h"
#include "sources/scenario_names.h"
#include "support/child_process.h"
#include "support/run_program.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;

const std::string kTitle(sources::kLineTitle);
const std::string kCode(sources::kTrainCode);

RunResult tool(const std::vector<std::string>& args, const TempDir& dir) {
    return run_program(SCENARIO_TOOL_EXE, args, dir.path());
}

// A directory with the built-in texts under texts/.
struct Texts {
    TempDir dir;
    std::string line = "texts/" + files::line_text_name(kTitle);
    std::string train = "texts/" + files::train_text_name(kTitle, kCode);

    Texts() { EXPECT_EQ(tool({"sources", "texts"}, dir).status, 0); }

    void edit(const std::string& file, const std::string& from, const std::string& to) {
        auto text = read_bytes(dir.path() / file);
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream(dir.path() / file, std::ios::binary) << text;
    }

    RunResult view(const std::string& out) {
        return tool({"view", "--line", line, "--train", train, "--out", out}, dir);
    }
};

TEST(ToolView, WritesOnePageWithTheRouteItsRecordsAndNoPlaceholderLeft) {
    Texts t;
    const auto result = t.view("route.html");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "route.html\n");
    EXPECT_EQ(result.err, "");
    const auto page = read_bytes(t.dir.path() / "route.html");
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>"));
    for (const std::string_view part :
         {"<script type=\"application/json\" id=\"route-data\">{\"format\":2,",
          "\"title\":\"MORENA LAGO - PIAN DI VALSO\",\"code\":\"R10537\",\"routeLength\":98000,"
          "\"lastCell\":2100,",
          "{\"tolerance\":128,\"points\":[[0,0,0],",
          "\"type\":\"station\",\"name\":\"CASTELLETTO LAGO\",\"position\":7500,",
          "\"kilometric\":[{\"start\":0,\"value\":98000,\"sense\":1,\"entry\":81}]",
          "\"counts\":{\"errors\":0,\"warnings\":0}", "class PlanView"}) {
        EXPECT_NE(page.find(part), std::string::npos) << part;
    }
    for (const std::string_view mark : {"/*@route.css@*/", "/*@route.js@*/", "@route-data@"}) {
        EXPECT_EQ(page.find(mark), std::string::npos) << mark;
    }
}

// A board text with '<' cannot close the data's script element; the fault is on the page.
TEST(ToolView, TextsWithFaultsGiveAPageThatShowsThemAndStatusOne) {
    Texts t;
    t.edit(t.line, "(INIZIO VIADOTTO)", "(</script><b>)");
    t.edit(t.train, "segnale,    8050,", "segnale,    8300,");
    const auto result = t.view("route.html");
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.err, "route.html: 1 error, 0 warnings shown on the page\n");
    const auto page = read_bytes(t.dir.path() / "route.html");
    EXPECT_NE(page.find("\"name\":\"(\\u003c/script>\\u003cb>)\""), std::string::npos);
    EXPECT_EQ(page.find("</script><b>"), std::string::npos);
    EXPECT_NE(page.find("\"severity\":\"error\",\"code\":\"16\""), std::string::npos);
}

TEST(ToolView, AnOutputThatIsAnInputOrNoFileIsRefusedAndNothingIsWritten) {
    Texts t;
    const auto before = read_bytes(t.dir.path() / t.train);
    fs::create_directory(t.dir.path() / "dir");
    for (const auto& out : {t.train, std::string("dir")}) {
        const auto result = t.view(out);
        EXPECT_EQ(result.status, 2) << out;
        EXPECT_NE(result.err.find("scenario-tool view: "), std::string::npos) << result.err;
    }
    EXPECT_EQ(read_bytes(t.dir.path() / t.train), before);
    const auto missing =
        tool({"view", "--line", "absent.txt", "--train", t.train, "--out", "p.html"}, t.dir);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("'absent.txt' does not exist"), std::string::npos) << missing.err;
    EXPECT_FALSE(fs::exists(t.dir.path() / "p.html"));
    EXPECT_EQ(tool({"view", "--line", t.line, "--out", "p.html"}, t.dir).status, 2);
}

// The route data of a page, as the page reads it.
nlohmann::json page_data(const fs::path& page) {
    const auto html = read_bytes(page);
    const std::string open = "id=\"route-data\">";
    const auto from = html.find(open) + open.size();
    return nlohmann::json::parse(html.substr(from, html.find("</script>", from) - from));
}

// The texts from the builder's names here, from a project, or a compiled directory: each page
// draws the same line and the same run; the compiled one has no texts to link.
TEST(ToolView, ThePageComesFromTheFolderAProjectOrACompiledDirectoryWithTheRun) {
    Texts t;
    std::ofstream(t.dir.path() / "scenario.ini")
        << "line = " << t.line << "\ntrain = " << t.train << "\ntitle = " << kTitle
        << "\ncode = " << kCode << "\n";
    fs::create_directory(t.dir.path() / "compiled");
    ASSERT_EQ(
        tool({"compile", "--line", t.line, "--train", t.train, "--out", "compiled", "--no-lock"},
             t.dir)
            .status,
        0);
    const struct {
        std::vector<std::string> args;
        std::string page;
        bool texts;
    } cases[] = {
        {{"view", "--line", t.line, "--train", t.train, "--out", "given.html"}, "given.html", true},
        {{"view"}, "route.html", true},
        {{"view", "compiled", "--out", "compiled.html"}, "compiled.html", false},
    };
    const auto given = [&] {
        EXPECT_EQ(tool(cases[0].args, t.dir).status, 0);
        return page_data(t.dir.path() / "given.html");
    }();
    for (const auto& c : cases) {
        const auto result = tool(c.args, t.dir);
        ASSERT_EQ(result.status, 0) << c.page << ": " << result.err;
        const auto data = page_data(t.dir.path() / c.page);
        EXPECT_EQ(data["title"], "MORENA LAGO - PIAN DI VALSO") << c.page;
        for (const char* same : {"plan", "profile", "kilometric", "routeLength"}) {
            EXPECT_EQ(data[same], given[same]) << c.page << ": " << same;
        }
        EXPECT_EQ(data["sources"].size(), c.texts ? 2u : 0u) << c.page;
        // The run's stations are the table's, each tied to its station object.
        ASSERT_TRUE(data["run"].is_object()) << c.page;
        EXPECT_GT(data["run"]["points"].size(), 100u) << c.page;
        const auto& stations = data["run"]["stations"];
        ASSERT_EQ(stations.size(), given["run"]["stations"].size()) << c.page;
        for (const auto& s : stations) {
            const auto& o = data["objects"].at(s["object"].get<std::size_t>());
            EXPECT_EQ(o["type"], "station") << c.page;
            EXPECT_EQ(o["name"], s["name"]) << c.page;
        }
    }
    for (const auto& wrong : std::vector<std::vector<std::string>>{
             {"view", "compiled", "--line", t.line},
             {"view", "compiled", "--watch"},
             {"view", "compiled", "--title", "X"},
             {"view", "compiled", "other"},
             {"view", "--line", t.line, "--train", t.train, "--out", "compiled"}}) {
        EXPECT_EQ(tool(wrong, t.dir).status, 2) << wrong[1] << " " << wrong[2];
    }
}

// Polls until `done` holds, for at most 20 s (the watcher looks twice a second).
bool eventually(const std::function<bool()>& done) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > give_up) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string contents(const fs::path& file) {
    std::error_code ec;
    return fs::exists(file, ec) ? read_bytes(file) : std::string();
}

// The stamp in a page's data.
std::string page_stamp(const std::string& page) {
    const std::string key = "\"stamp\":\"";
    const auto at = page.find(key);
    return at == std::string::npos
               ? std::string()
               : page.substr(at + key.size(), page.find('"', at + key.size()) - at - key.size());
}

TEST(ToolView, WatchingRewritesThePageAndItsStampWhenATextChangesUntilInterrupted) {
    Texts t;
    const auto page = t.dir.path() / "route.html";
    const auto script = t.dir.path() / "route.html.watch.js";
    const auto log = t.dir.path() / "watch.log";
    ChildProcess watching("/bin/sh",
                          {"-c",
                           "exec \"$0\" view --line \"$1\" --train \"$2\" --out route.html "
                           "--watch >watch.log 2>&1",
                           SCENARIO_TOOL_EXE, t.line, t.train},
                          t.dir.path());
    ASSERT_TRUE(eventually([&] { return contents(log).find("Ctrl-C") != std::string::npos; }))
        << contents(log);
    const auto first = contents(page);
    EXPECT_NE(first.find("\"watch\":\"route.html.watch.js\""), std::string::npos);
    EXPECT_EQ(contents(script), "window.routeWatchStamp = \"" + page_stamp(first) + "\";\n");

    // A signal on a taken cell; one byte shorter, so that even a coarse clock sees the change.
    t.edit(t.train, "segnale,    8050,", "segnale,   8300,");
    ASSERT_TRUE(eventually([&] {
        return contents(log).find("route.html rewritten: 1 error, 0 warnings\n") !=
               std::string::npos;
    })) << contents(log);
    const auto second = contents(page);
    EXPECT_NE(page_stamp(second), page_stamp(first));
    EXPECT_NE(second.find("\"severity\":\"error\",\"code\":\"16\""), std::string::npos);
    EXPECT_EQ(contents(script), "window.routeWatchStamp = \"" + page_stamp(second) + "\";\n");

    watching.signal(SIGINT);
    watching.wait();
    EXPECT_TRUE(watching.ended_by_signal());
    // Nothing half written, no temporary left.
    for (const auto& name : file_names(t.dir.path())) {
        EXPECT_TRUE(name == "route.html" || name == "route.html.watch.js" || name == "watch.log" ||
                    name == "texts")
            << name;
    }
    EXPECT_EQ(contents(page), second);
}

}  // namespace
}  // namespace scenario::testing
