#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "files/file_names.h"
#include "sources/content_table.h"
#include "sources/scenario_names.h"
#include "sources/writers.h"
#include "written_text.h"

namespace scenario::sources {
namespace {

std::string written_bytes() {
    return testing::write_and_read([](const auto& dir) { dati_linea(dir, kLineTitle); },
                                   files::line_text_name(kLineTitle));
}

// The lines that match a record pattern, as their captured groups; the pattern fixes the blank
// runs, so a line of the kind that does not match it fails the test.
std::vector<std::smatch> records(const std::vector<std::string>& lines, std::string_view keyword,
                                 const std::regex& pattern) {
    std::vector<std::smatch> out;
    for (const auto& line : lines) {
        if (!testing::starts_with(line, keyword)) {
            continue;
        }
        std::smatch match;
        if (std::regex_match(line, match, pattern)) {
            out.push_back(match);
        } else {
            ADD_FAILURE() << "not in the layout of its kind: \"" << line << '"';
        }
    }
    return out;
}

long value(const std::smatch& match, int group) {
    return std::stol(match[group].str());
}

class LineDescription : public ::testing::Test {
  protected:
    std::string bytes = written_bytes();
    std::vector<std::string> lines = testing::split_crlf(bytes);
};

TEST_F(LineDescription, IsWrittenWholeWithCrLfAndWithoutTheEndMarker) {
    ASSERT_EQ(lines.size(), 327u);
    EXPECT_EQ(lines.front(), "[generale]");
    EXPECT_EQ(lines.back(), "[fine]");
    EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
    std::size_t longest = 0;
    for (const auto& line : lines) {
        EXPECT_FALSE(testing::has_trailing_blank(line)) << '"' << line << '"';
        EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) {
            return c >= ' ' && c <= '~';
        })) << line;
        longest = std::max(longest, line.size());
    }
    EXPECT_EQ(longest, 76u);
}

TEST_F(LineDescription, ReplacesALongerFileExactly) {
    const auto over = testing::write_over_longer_file(
        [](const auto& dir) { dati_linea(dir, kLineTitle); }, files::line_text_name(kLineTitle));
    EXPECT_EQ(over, bytes);
    EXPECT_EQ(bytes, render(content_table(line_description_lines())));
}

TEST_F(LineDescription, HoldsEachKindOfRecordInItsOwnSection) {
    const std::vector<std::pair<std::string, std::string>> sections{
        {"[generale]", ""},
        {"[curve]", "curva"},
        {"[pendenze]", "pendenza"},
        {"[montagne]", "montagna"},
        {"[cartelli]", "indicatori_vmax"},
        {"[indicazioni]", "cartello_indicatore"},
        {"[fine]", "-"}};
    std::vector<std::string> headers;
    std::map<std::string, int> counts;
    for (const auto& line : lines) {
        if (line.front() == '[') {
            headers.push_back(line);
            continue;
        }
        ASSERT_FALSE(headers.empty());
        const auto section = std::find_if(sections.begin(), sections.end(),
                                          [&](const auto& s) { return s.first == headers.back(); });
        ASSERT_NE(section, sections.end()) << headers.back();
        const auto& keyword = section->second;
        if (!keyword.empty()) {
            EXPECT_TRUE(testing::starts_with(line, keyword + ",") ||
                        (keyword == "curva" && testing::starts_with(line, keyword)))
                << line << " under " << headers.back();
        }
        ++counts[headers.back()];
    }
    std::vector<std::string> expected;
    for (const auto& section : sections) {
        expected.push_back(section.first);
    }
    EXPECT_EQ(headers, expected);
    EXPECT_EQ(counts, (std::map<std::string, int>{{"[generale]", 8},
                                                  {"[curve]", 152},
                                                  {"[pendenze]", 76},
                                                  {"[montagne]", 16},
                                                  {"[cartelli]", 14},
                                                  {"[indicazioni]", 54}}));
}

TEST_F(LineDescription, GeneralSectionGivesRouteRangesSceneryAndRepetition) {
    const std::vector<std::string> general(lines.begin() + 1, lines.begin() + 9);
    EXPECT_EQ(general, (std::vector<std::string>{
                           "lunghezza percorso,    98000",
                           "progressiva chilometrica uno,    0,    98000,    1",
                           "progressiva chilometrica due,    0,    0,    0",
                           "progressiva chilometrica tre,    0,    0,    0",
                           "sfondo uno,    90000",
                           "sfondo due,    0",
                           "sfondo tre,    1",
                           "ripetizione segnali 9 codici,    1000,    94800",
                       }));
}

TEST_F(LineDescription, CurvesFollowOneAnotherWithTheStatedHandsClassesAndLengths) {
    const auto curves =
        records(lines, "curva", std::regex(R"(curva([sd])([1-6]),  (\d+),  (\d+))"));
    ASSERT_EQ(curves.size(), 152u);
    std::map<std::string, int> hands;
    std::map<std::string, int> classes;
    std::map<long, int> lengths;
    long previous_end = 0;
    for (const auto& c : curves) {
        ++hands[c[1]];
        ++classes[c[2]];
        const long start = value(c, 3);
        const long length = value(c, 4);
        ++lengths[length];
        EXPECT_EQ(start % 50, 0) << c[0];
        EXPECT_EQ(length % 50, 0) << c[0];
        EXPECT_GE(start, previous_end) << "overlaps the curve before: " << c[0];
        previous_end = start + length;
    }
    EXPECT_EQ(hands, (std::map<std::string, int>{{"d", 75}, {"s", 77}}));
    EXPECT_EQ(classes, (std::map<std::string, int>{{"3", 7}, {"4", 45}, {"5", 52}, {"6", 48}}));
    EXPECT_EQ(lengths.begin()->first, 100);
    EXPECT_EQ(lengths.rbegin()->first, 1000);
    EXPECT_EQ(lengths[200], 54);
    EXPECT_EQ(lengths[300], 40);
    EXPECT_EQ(curves[0][0], "curvas3,  850,  500");
    EXPECT_EQ(curves[1][0], "curvas5,  2200,  400");
    EXPECT_EQ(curves.back()[0], "curvas5,  94500,  300");
}

TEST_F(LineDescription, GradientsAscendWithTheStatedSignsAndRange) {
    const auto gradients = records(lines, "pendenza", std::regex(R"(pendenza,  (\d+),   (-?\d+))"));
    ASSERT_EQ(gradients.size(), 76u);
    int rising = 0;
    int falling = 0;
    int level = 0;
    long lowest = 0;
    long highest = 0;
    long previous = -1;
    for (const auto& g : gradients) {
        const long position = value(g, 1);
        const long gradient = value(g, 2);
        EXPECT_GT(position, previous) << g[0];
        EXPECT_EQ(position % 50, 0) << g[0];
        previous = position;
        (gradient > 0 ? rising : gradient < 0 ? falling : level)++;
        lowest = std::min(lowest, gradient);
        highest = std::max(highest, gradient);
    }
    EXPECT_EQ(rising, 22);
    EXPECT_EQ(falling, 36);
    EXPECT_EQ(level, 18);
    EXPECT_EQ(lowest, -20);
    EXPECT_EQ(highest, 29);
    EXPECT_EQ(gradients.front()[0], "pendenza,  0,   0");
    EXPECT_EQ(gradients.back()[0], "pendenza,  94000,   0");
    for (const auto* row : {"pendenza,  8450,   29", "pendenza,  18950,   -16"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), row), lines.end()) << row;
    }
}

TEST_F(LineDescription, MountainSpansAscendAndExactlyTwoFollowTheirPredecessorClosely) {
    const auto spans =
        records(lines, "montagna", std::regex(R"(montagna,   (\d+),  (\d+),  (1[12]))"));
    ASSERT_EQ(spans.size(), 16u);
    std::map<long, int> codes;
    int close_followers = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const long inizio = value(spans[i], 1);
        const long fine = value(spans[i], 2);
        EXPECT_GE(fine - inizio, 100) << spans[i][0];
        EXPECT_LE(fine - inizio, 900) << spans[i][0];
        ++codes[value(spans[i], 3)];
        if (i > 0) {
            const long gap = inizio - value(spans[i - 1], 2);
            EXPECT_GT(gap, 0) << spans[i][0];
            if (gap <= 150) {
                EXPECT_EQ(gap, 100) << spans[i][0];
                ++close_followers;
            }
        }
    }
    EXPECT_EQ(codes, (std::map<long, int>{{11, 8}, {12, 8}}));
    EXPECT_EQ(close_followers, 2);
    EXPECT_EQ(spans.front()[0], "montagna,   6400,  6700,  12");
    EXPECT_EQ(spans.back()[0], "montagna,   89200,  89700,  11");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "montagna,   70200,  71100,  11"), lines.end());
}

TEST_F(LineDescription, SpeedBoardsCarryTheSSpeedsOnlyAndAnnounceTwoReductions) {
    const auto boards = records(
        lines, "indicatori_vmax",
        std::regex(R"(indicatori_vmax,  (\d+),  (\d+),  (\d+),  (\d+),  ([0-2]),  ,  ,  ,  0)"));
    ASSERT_EQ(boards.size(), 14u);
    EXPECT_EQ(boards.front()[0], "indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0");
    EXPECT_EQ(value(boards.back(), 1), 45300);
    std::map<long, std::vector<long>> by_position;
    for (const auto& b : boards) {
        EXPECT_GE(value(b, 2), 50) << b[0];
        EXPECT_LE(value(b, 2), 80) << b[0];
        EXPECT_GE(value(b, 3), 60) << b[0];
        EXPECT_LE(value(b, 3), 90) << b[0];
        EXPECT_EQ(value(b, 3), value(b, 4)) << b[0];
        by_position[value(b, 1)] = {value(b, 2), value(b, 3), value(b, 4), value(b, 5)};
    }
    EXPECT_EQ(by_position.begin()->first, 1100);
    for (const long first : {36100, 42200}) {
        ASSERT_TRUE(by_position.count(first) && by_position.count(first + 200) &&
                    by_position.count(first + 400))
            << first;
        for (int k = 0; k < 3; ++k) {
            const auto& board = by_position[first + 200 * k];
            EXPECT_EQ(board[3], 2 - k) << "stripes at " << first + 200 * k;
            EXPECT_EQ(
                std::vector<long>(board.begin(), board.begin() + 3),
                std::vector<long>(by_position[first].begin(), by_position[first].begin() + 3));
        }
    }
    EXPECT_EQ(by_position[36100], (std::vector<long>{50, 60, 60, 2}));
}

TEST_F(LineDescription, SignBoardsHaveEqualWidthGroupsAndTheStatedFirstLines) {
    const auto signs = records(lines, "cartello_indicatore",
                               std::regex(R"(cartello_indicatore,  (\d+),   ((\([^(),]*\))+))"));
    ASSERT_EQ(signs.size(), 54u);
    std::map<std::size_t, int> line_counts;
    std::map<std::string, int> first_lines;
    std::size_t narrowest = 100;
    std::size_t widest = 0;
    long previous = 0;
    for (const auto& s : signs) {
        const long position = value(s, 1);
        EXPECT_GT(position, previous) << s[0];
        EXPECT_EQ(position % 50, 0) << s[0];
        previous = position;
        const std::string text = s[2];
        std::vector<std::string> groups;
        for (std::size_t open = 0; open < text.size();) {
            const auto close = text.find(')', open);
            groups.push_back(text.substr(open + 1, close - open - 1));
            open = close + 1;
        }
        std::size_t longest = 0;
        for (const auto& g : groups) {
            EXPECT_EQ(g.size(), groups.front().size()) << "unequal groups: " << text;
            EXPECT_NE(g.front(), ' ') << text;
            longest = std::max(longest, g.find_last_not_of(' ') + 1);
            EXPECT_TRUE(std::none_of(g.begin(), g.end(), [](char c) { return std::islower(c); }))
                << text;
        }
        EXPECT_EQ(longest, groups.front().size()) << "padded beyond its longest line: " << text;
        narrowest = std::min(narrowest, longest);
        widest = std::max(widest, longest);
        ++line_counts[groups.size()];
        const auto first = groups.front().substr(0, groups.front().find_last_not_of(' ') + 1);
        ++first_lines[first];
        if (first == "PASSAGGIO") {
            EXPECT_EQ(text, "(PASSAGGIO)(A LIVELLO)");
        }
    }
    EXPECT_EQ(value(signs.front(), 1), 750);
    EXPECT_EQ(value(signs.back(), 1), 94800);
    EXPECT_EQ(line_counts, (std::map<std::size_t, int>{{1, 2}, {2, 49}, {3, 3}}));
    EXPECT_EQ(narrowest, 9u);
    EXPECT_EQ(widest, 16u);
    EXPECT_EQ(first_lines, (std::map<std::string, int>{{"PASSAGGIO", 24},
                                                       {"PONTE SUL", 11},
                                                       {"SOVRAPPASSO", 11},
                                                       {"SOTTOPASSO", 2},
                                                       {"CAVALCAFERROVIA", 1},
                                                       {"STACCO LINEA", 1},
                                                       {"INIZIO VIADOTTO", 1},
                                                       {"FINE VIADOTTO", 1},
                                                       {"INIZIO TRATTO", 1},
                                                       {"FINE TRATTO", 1}}));
    for (const auto* row : {"cartello_indicatore,  2200,   (INIZIO VIADOTTO)",
                            "cartello_indicatore,  2950,   (PASSAGGIO)(A LIVELLO)",
                            "cartello_indicatore,  4400,   (FINE VIADOTTO)"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), row), lines.end()) << row;
    }
}

}  // namespace
}  // namespace scenario::sources
