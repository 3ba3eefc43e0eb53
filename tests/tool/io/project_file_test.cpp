#include "io/project_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/run_program.h"

namespace scenario::tool {
namespace {

namespace fs = std::filesystem;

void write(const fs::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

TEST(ProjectFile, ReadsKeysSectionsCommentsAndBlanks) {
    const auto project = parse_project("sub/scenario.ini",
                                       "\xEF\xBB\xBF# the texts of one scenario\r\n"
                                       "line  = Val di Lago - linea.txt\r\n"
                                       "\r\n"
                                       "  ; an aside\r\n"
                                       "train=\tVal di Lago - R10537.txt  \r\n"
                                       "title = CITT\xC3\x80 ALTA # not a comment\r\n"
                                       "out = /tmp/build\r\n"
                                       "[ run ]\n"
                                       "acceleration = 0.5\n"
                                       "line = kept for run\n");
    EXPECT_EQ(project.line.text, "Val di Lago - linea.txt");
    EXPECT_EQ(project.train.text, "Val di Lago - R10537.txt");
    EXPECT_EQ(project.train.line, 5);
    EXPECT_EQ(project.train.column, 8);
    ASSERT_TRUE(project.title);
    EXPECT_EQ(project.title->text, "CITT\xC3\x80 ALTA # not a comment");
    EXPECT_FALSE(project.code);
    EXPECT_EQ(project.path_of(project.line), fs::path("sub/Val di Lago - linea.txt"));
    EXPECT_EQ(project.path_of(*project.out), fs::path("/tmp/build"));
    ASSERT_EQ(project.run.size(), 2u);
    EXPECT_EQ(project.run[0].key, "acceleration");
    EXPECT_EQ(project.run[0].value.text, "0.5");
    EXPECT_EQ(project.run[1].key, "line");
    EXPECT_EQ(project.place_of(project.run[1].value), "sub/scenario.ini:10:8: ");
    EXPECT_EQ(parse_project("scenario.ini", "line = l\ntrain = t").path_of({"l", 1, 8}),
              fs::path("l"));
}

TEST(ProjectFile, RefusesBadLinesAtTheirPlace) {
    constexpr std::string_view kPair = "line = l.txt\ntrain = t.txt\n";  // lines 1 and 2
    const struct {
        std::string text;
        std::string place;
        std::string message;
    } cases[] = {
        {"colour = red\n", "3:1", "unknown key 'colour'; a project takes line, train, title"},
        {"  line = again.txt\n", "3:3", "'line' is given twice; first on line 1"},
        {"[run]\nx = 1\n x = 2\n", "5:2", "'x' is given twice; first on line 4"},
        {"[run]\n[run]\n", "4:1", "the section [run] is given twice; first on line 3"},
        {"[timetable]\n", "3:1", "unknown section [timetable]"},
        {"[run\n", "3:1", "a section is written [name]"},
        {"[run] # why\n", "3:1", "a section is written [name]"},
        {"just words\n", "3:1", "expected 'key = value', a [section] or a comment"},
        {"  = x\n", "3:3", "a key is missing before '='"},
        {"code =  \n", "3:1", "'code' has no value"},
        {"title = \"X\"\n", "3:9", "the value of 'title' is in quotes"},
        {"train code = R1\n", "3:1", "the key 'train code' is no key"},
        {"title = Citt\xE0\n", "3:13", "this is not UTF-8"},
        {"title = Citt\xC3\xA0\x01\n", "3:14", "a control character: \\x01"},
    };
    for (const auto& c : cases) {
        try {
            parse_project("p/scenario.ini", std::string(kPair) + c.text);
            ADD_FAILURE() << c.text << " was taken";
        } catch (const ProjectError& error) {
            EXPECT_EQ(std::string(error.what()).substr(0, 15 + c.place.size() + 2),
                      "p/scenario.ini:" + c.place + ": ")
                << c.text << error.what();
            EXPECT_NE(error.message().find(c.message), std::string::npos) << c.text << error.what();
        }
    }
    for (const auto& [text, missing] :
         {std::pair{"line = l.txt", "train service text"}, {"train = t.txt", "line description"}}) {
        try {
            parse_project("scenario.ini", text);
            ADD_FAILURE() << text << " was taken";
        } catch (const ProjectError& error) {
            EXPECT_EQ(error.line(), 1);
            EXPECT_NE(error.message().find(missing), std::string::npos) << error.what();
        }
    }
}

struct Pairing {
    const char* name;
    std::vector<std::string> files;
    std::optional<std::array<std::string, 4>> pair;  // line, train, title, code
    std::string refusal;                             // the candidates named
};

TEST(ProjectFile, ThePairsOfAFolder) {
    const Pairing cases[] = {
        {"one pair by the builder's names",
         {"LAGO_linea.txt", "LAGO_R1-.txt", "LAGO_R1_note.txt", "LAGO_R1_scheda_treno.txt"},
         std::array<std::string, 4>{"LAGO_linea.txt", "LAGO_R1-.txt", "LAGO", "R1"},
         ""},
        {"names in Windows-1252 bytes, as the builder writes them",
         {"CITT\xC0_linea.txt", "CITT\xC0_R1-.txt"},
         std::array<std::string, 4>{"CITT\xC0_linea.txt", "CITT\xC0_R1-.txt", "CITT\xC3\x80", "R1"},
         ""},
        {"no text", {}, std::nullopt, ""},
        {"a line text alone", {"LAGO_linea.txt", "MONTE_R1-.txt"}, std::nullopt, ""},
        {"two line texts",
         {"A_linea.txt", "B_linea.txt", "A_R1-.txt"},
         std::nullopt,
         "'A_linea.txt' and 'B_linea.txt' are line descriptions"},
        {"two train texts",
         {"LAGO_linea.txt", "LAGO_R2-.txt", "LAGO_R1-.txt"},
         std::nullopt,
         "'LAGO_R1-.txt' and 'LAGO_R2-.txt' are train service texts of 'LAGO_linea.txt'"},
        {"a project, whatever the names",
         {"A_linea.txt", "B_linea.txt", "scenario.ini"},
         std::array<std::string, 4>{"mine/l.txt", "t.txt", "T", ""},
         ""},
    };
    for (const auto& c : cases) {
        testing::TempDir dir;
        for (const auto& file : c.files) {
            write(dir.path() / file,
                  file == "scenario.ini" ? "line = mine/l.txt\ntrain = t.txt\ntitle = T\n" : "");
        }
        try {
            const auto pair = texts_in(dir.path());
            EXPECT_TRUE(c.refusal.empty()) << c.name;
            ASSERT_EQ(pair.has_value(), c.pair.has_value()) << c.name;
            if (pair) {
                EXPECT_EQ(pair->line_text, dir.path() / (*c.pair)[0]) << c.name;
                EXPECT_EQ(pair->train_text, dir.path() / (*c.pair)[1]) << c.name;
                EXPECT_EQ(pair->title, (*c.pair)[2]) << c.name;
                EXPECT_EQ(pair->code, (*c.pair)[3]) << c.name;
                EXPECT_EQ(pair->project.has_value(), c.files.back() == "scenario.ini") << c.name;
            }
        } catch (const UsageError& error) {
            EXPECT_NE(std::string(error.what()).find(c.refusal), std::string::npos)
                << c.name << ": " << error.what();
            EXPECT_FALSE(c.refusal.empty()) << c.name << ": " << error.what();
        }
    }
}

}  // namespace
}  // namespace scenario::tool
