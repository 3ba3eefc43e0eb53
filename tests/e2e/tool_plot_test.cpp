#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "support/run_program.h"
#include "tool/synthetic_scenario.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;

// A program on the PATH, if any.
std::optional<fs::path> find_program(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const auto candidate = fs::path(dir) / name;
        if (!dir.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

// The picture is drawn by librsvg's rsvg-convert and measured by ImageMagick. convert is not
// asked to draw the SVG itself: with Debian's extra coders installed it takes its own, partial
// renderer instead of librsvg, and the test would judge that renderer rather than the drawing.
void expect_rendered_and_not_blank(const fs::path& svg, const fs::path& dir) {
    const auto rsvg = find_program("rsvg-convert");
    const auto convert = find_program("convert");
    if (!rsvg || !convert) {
        GTEST_SKIP() << "rsvg-convert or ImageMagick's convert is missing (Debian: librsvg2-bin "
                        "and imagemagick)";
    }
    const auto png = dir / "picture.png";
    const auto made = run_program(*rsvg, {"-o", png.string(), svg.string()}, dir);
    ASSERT_EQ(made.status, 0) << made.err;
    const auto info = run_program(
        *convert, {png.string(), "-format", "%w %h %[fx:standard_deviation]", "info:"}, dir);
    ASSERT_EQ(info.status, 0) << info.err;
    std::istringstream values(info.out);
    int width = 0;
    int height = 0;
    double deviation = 0;
    values >> width >> height >> deviation;
    EXPECT_EQ(width, 1600) << info.out;
    EXPECT_GT(height, 600) << info.out;
    // A blank page has no deviation; the line, the strips and the labels give plenty.
    EXPECT_GT(deviation, 0.03) << info.out;
}

TEST(ToolPlot, TheSvgOfACompiledScenarioRendersToAPicture) {
    TempDir dir;
    write_synthetic_scenario(dir.path());
    const auto result =
        run_program(SCENARIO_TOOL_EXE, {"plot", ".", "--out", "line.svg"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    expect_rendered_and_not_blank(dir.path() / "line.svg", dir.path());
}

TEST(ToolPlot, TheBuiltInLineRendersToAPicture) {
    TempDir dir;
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "."}, dir.path()).status, 0);
    const std::string title = "MORENA LAGO - PIAN DI VALSO";
    const auto compiled =
        run_program(SCENARIO_TOOL_EXE,
                    {"compile", "--line", title + "_linea.txt", "--train", title + "_R10537-.txt",
                     "--title", title, "--code", "R10537", "--out", "."},
                    dir.path());
    ASSERT_EQ(compiled.status, 0) << compiled.err;
    const auto result =
        run_program(SCENARIO_TOOL_EXE, {"plot", ".", "--out", "line.svg"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    expect_rendered_and_not_blank(dir.path() / "line.svg", dir.path());
}

TEST(ToolPlot, TheProblemsOfTheTextsAreMarkedAtTheirPositions) {
    TempDir dir;
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "."}, dir.path()).status, 0);
    const std::string title = "MORENA LAGO - PIAN DI VALSO";
    const std::string line = title + "_linea.txt";
    const std::string train = title + "_R10537-.txt";
    {
        // A gradient of -150 at 18950 m, which the cells keep as a climb.
        auto text = read_bytes(dir.path() / line);
        const std::string from = "pendenza,  18950,   -16";
        text.replace(text.find(from), from.size(), "pendenza,  18950,   -150");
        std::ofstream(dir.path() / line, std::ios::binary) << text;
    }
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE,
                          {"compile", "--line", line, "--train", train, "--title", title, "--code",
                           "R10537", "--out", "."},
                          dir.path())
                  .status,
              0);
    const auto result = run_program(
        SCENARIO_TOOL_EXE, {"plot", ".", "--out", "marked.svg", "--line", line, "--train", train},
        dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    const auto svg = read_bytes(dir.path() / "marked.svg");
    EXPECT_NE(svg.find("<title>warning value-changed: the gradient -150 is stored as code 206, "
                       "which reads as 106"),
              std::string::npos);
    EXPECT_EQ(
        run_program(SCENARIO_TOOL_EXE, {"plot", ".", "--out", "x.svg", "--line", line}, dir.path())
            .status,
        2);
}

// The texts are drawn as they are now, not as DIR was compiled before; DIR names them.
TEST(ToolPlot, WithTheTextsItDrawsTheirOwnCompile) {
    TempDir dir;
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "."}, dir.path()).status, 0);
    const std::string title = "MORENA LAGO - PIAN DI VALSO";
    const std::string line = title + "_linea.txt";
    const std::string train = title + "_R10537-.txt";
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE,
                          {"compile", "--line", line, "--train", train, "--title", title, "--code",
                           "R10537", "--out", "."},
                          dir.path())
                  .status,
              0);
    auto text = read_bytes(dir.path() / train);
    const std::string from = "CASTELLETTO LAGO";
    text.replace(text.find(from), from.size(), "CASTELLO NUOVO");
    fs::create_directory(dir.path() / "texts");
    std::ofstream(dir.path() / "texts" / train, std::ios::binary) << text;
    fs::copy_file(dir.path() / line, dir.path() / "texts" / line);
    const std::vector<std::vector<std::string>> forms{
        {"plot", ".", "--out", "a.svg"},
        {"plot", ".", "--out", "a.svg", "--line", "texts/" + line, "--train", "texts/" + train},
        {"plot", "--out", "a.svg", "--line", "texts/" + line, "--train", "texts/" + train},
        {"plot", "--out", "a.svg", "--line", "texts/" + line, "--train", "texts/" + train,
         "--title", "LINEA", "--code", "C1"}};
    const std::pair<std::string_view, std::string_view> drawn[] = {{"CASTELLETTO LAGO", title},
                                                                   {"CASTELLO NUOVO", title},
                                                                   {"CASTELLO NUOVO", title},
                                                                   {"CASTELLO NUOVO", "LINEA"}};
    for (std::size_t i = 0; i < forms.size(); ++i) {
        SCOPED_TRACE(i);
        const auto result = run_program(SCENARIO_TOOL_EXE, forms[i], dir.path());
        ASSERT_EQ(result.status, 0) << result.err;
        const auto svg = read_bytes(dir.path() / "a.svg");
        EXPECT_NE(svg.find(std::string(drawn[i].first)), std::string::npos);
        EXPECT_NE(svg.find(">" + std::string(drawn[i].second) + "<"), std::string::npos);
    }
    // Without texts DIR is needed; with them one DIR at most.
    EXPECT_EQ(run_program(SCENARIO_TOOL_EXE, {"plot", "--out", "b.svg"}, dir.path()).status, 2);
    EXPECT_EQ(run_program(SCENARIO_TOOL_EXE,
                          {"plot", ".", "texts", "--out", "b.svg", "--line", "texts/" + line,
                           "--train", "texts/" + train},
                          dir.path())
                  .status,
              2);
}

TEST(ToolPlot, WithoutAPlanTheProfileIsStillDrawn) {
    TempDir dir;
    write_synthetic_scenario(dir.path(), false);
    const auto result =
        run_program(SCENARIO_TOOL_EXE, {"plot", ".", "--out", "profile.svg"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(read_bytes(dir.path() / "profile.svg").find("no track plan"), std::string::npos);
    expect_rendered_and_not_blank(dir.path() / "profile.svg", dir.path());
}

// --out onto a file the picture is drawn from, by its name or another, would destroy it.
TEST(ToolPlot, NeverDrawsOverAFileItReads) {
    TempDir dir;
    write_synthetic_scenario(dir.path());
    fs::create_hard_link(dir.path() / "LAGO & MONTE_T00001.sim", dir.path() / "table.svg");
    const auto sim = read_bytes(dir.path() / "table.svg");
    for (const auto* out : {"LAGO & MONTE_T00001.sim", "./LAGO & MONTE_T00001.dat",
                            "LAGO & MONTE_linea.dat", "table.svg"}) {
        const auto result = run_program(SCENARIO_TOOL_EXE, {"plot", ".", "--out", out}, dir.path());
        EXPECT_EQ(result.status, 2) << out;
        EXPECT_NE(result.err.find("is the input"), std::string::npos) << result.err;
    }
    EXPECT_EQ(file_names(dir.path()).size(), 4u);
    EXPECT_EQ(read_bytes(dir.path() / "LAGO & MONTE_T00001.sim"), sim);
    EXPECT_EQ(read_bytes(dir.path() / "LAGO & MONTE_T00001.dat").size(), 8115u);
    EXPECT_EQ(read_bytes(dir.path() / "LAGO & MONTE_linea.dat").size(), 539964u);
}

TEST(ToolPlot, ChoosesAmongSeveralScenariosByTitleAndCode) {
    TempDir dir;
    write_synthetic_scenario(dir.path());
    fs::copy_file(dir.path() / "LAGO & MONTE_T00001.sim", dir.path() / "OTHER_T2.sim");
    auto result = run_program(SCENARIO_TOOL_EXE, {"plot", ".", "--out", "a.svg"}, dir.path());
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--title and --code"), std::string::npos) << result.err;
    result = run_program(
        SCENARIO_TOOL_EXE,
        {"plot", ".", "--out", "a.svg", "--title", "LAGO & MONTE", "--code", "T00001"}, dir.path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(dir.path() / "a.svg"));
}

}  // namespace
}  // namespace scenario::testing
