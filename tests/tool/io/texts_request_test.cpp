#include "io/texts_request.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/run_program.h"

namespace scenario::tool {
namespace {

namespace fs = std::filesystem;

// --project names a project elsewhere; each option given wins over it, and what is still
// missing is named with the key that would give it.
TEST(TextsRequest, AnOptionGivenWinsOverTheProject) {
    testing::TempDir dir;
    const auto project = dir.path() / "scenario.ini";
    std::ofstream(project, std::ios::binary)
        << "line = l.txt\ntrain = t.txt\ntitle = CITT\xC3\x80\nout = build\n";
    static constexpr OptionDescription kOptions[] = {
        {.name = "line", .placeholder = "F"},  {.name = "train", .placeholder = "F"},
        {.name = "title", .placeholder = "T"}, {.name = "code", .placeholder = "C"},
        {.name = "out", .placeholder = "D"},   kProjectOption};
    const CommandDescription command{.options = kOptions};
    const TextParts all{.line = true, .train = true, .title = true, .code = true, .out = true};
    const std::vector<std::string> args{"--project", project.string(), "--train",
                                        "mine.txt",  "--code",         "R9"};
    const auto texts = resolve_texts(parse_arguments(args, command), all);
    EXPECT_EQ(texts.line_text, dir.path() / "l.txt");
    EXPECT_EQ(texts.train_text, fs::path("mine.txt"));
    EXPECT_EQ(texts.LineTitle, "CITT\xC0");
    EXPECT_EQ(texts.TrainCode, "R9");
    EXPECT_EQ(texts.out_directory, dir.path() / "build");
    ASSERT_TRUE(texts.project);

    const std::vector<std::string> without_code{"--project", project.string()};
    try {
        resolve_texts(parse_arguments(without_code, command), all);
        ADD_FAILURE() << "no code was asked for";
    } catch (const UsageError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "missing --code: give it, or write 'code = CODE' in '" + project.string() + "'");
    }
    EXPECT_NO_THROW(resolve_texts(parse_arguments(without_code, command), {}, all));
}

}  // namespace
}  // namespace scenario::tool
