#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "files/file_names.h"
#include "sources/content_table.h"
#include "sources/scenario_names.h"
#include "sources/writers.h"
#include "written_text.h"

namespace scenario::sources {
namespace {

constexpr long kRouteKilometres = 98000;  // a kilometre post stands at this less its reading

std::string written_bytes() {
    return testing::write_and_read(
        [](const auto& dir) { dati_rallentamenti(dir, kLineTitle, kTrainCode); },
        files::slowdown_order_name(kLineTitle, kTrainCode));
}

std::string padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

// The six cells of a table line, between its bars.
std::vector<std::string> cells(const std::string& line) {
    static constexpr std::size_t bars[] = {1, 5, 34, 47, 58, 68, 81};
    std::vector<std::string> out;
    for (std::size_t i = 0; i + 1 < std::size(bars); ++i) {
        out.push_back(line.substr(bars[i] + 1, bars[i + 1] - bars[i] - 1));
    }
    return out;
}

const std::string kEmptyRow =
    " |   |                            |            |          |         |            |";
const std::string kRule =
    " |___|____________________________|____________|__________|_________|____________|";

class SlowdownOrder : public ::testing::Test {
  protected:
    std::string bytes = written_bytes();
    std::vector<std::string> lines = testing::split_crlf(bytes);
};

TEST_F(SlowdownOrder, IsWrittenWholeWithCrLfAndWithoutTheEndMarker) {
    ASSERT_EQ(lines.size(), 45u);
    EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
    std::map<int, std::size_t> trailing;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& line = lines[i];
        EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) {
            return c >= ' ' && c <= '~';
        })) << line;
        if (line.empty() || testing::has_trailing_blank(line)) {
            trailing[static_cast<int>(i) + 1] =
                line.empty() ? 0 : line.size() - line.find_last_not_of(' ') - 1;
        }
    }
    // Empty lines 1 and 39; the restriction row alone carries 17 blanks after its bar.
    EXPECT_EQ(trailing, (std::map<int, std::size_t>{{1, 0}, {13, 17}, {39, 0}}));
}

TEST_F(SlowdownOrder, ReplacesALongerFileExactly) {
    const auto over = testing::write_over_longer_file(
        [](const auto& dir) { dati_rallentamenti(dir, kLineTitle, kTrainCode); },
        files::slowdown_order_name(kLineTitle, kTrainCode));
    EXPECT_EQ(over, bytes);
    EXPECT_EQ(bytes, render(content_table(slowdown_order_lines())));
}

TEST_F(SlowdownOrder, HeadingNamesTheLineAndOrdersTheTrain) {
    std::string line_name(kLineTitle);
    line_name.replace(line_name.find(" - "), 3, "-");
    EXPECT_EQ(lines[1], std::string(31, ' ') + "Modulo M. 3");
    EXPECT_EQ(lines[2], std::string(27, ' ') + "ORDINE DI RALLENTAMENTO");
    EXPECT_EQ(lines[3], " " + std::string(80, '_'));
    EXPECT_EQ(lines[4], "  Linea  " + line_name);
    EXPECT_EQ(lines[5], "  Si ordina al macchinista del treno " + std::string(kTrainCode) +
                            " di effettuare i seguenti rallentamenti");
    EXPECT_EQ(lines[5].size(), 82u);
    EXPECT_EQ(lines[6], "  " + std::string(79, '_'));
}

TEST_F(SlowdownOrder, TableHasItsBarsTwoRulesAndTwentyFourEmptyRows) {
    for (std::size_t i = 7; i < 38; ++i) {
        SCOPED_TRACE("line " + std::to_string(i + 1));
        const auto& line = lines[i];
        EXPECT_EQ(line.size(), i == 12 ? 99u : 82u);
        std::string bars;
        for (std::size_t c = 0; c < line.size(); ++c) {
            if (line[c] == '|') {
                bars += std::to_string(c) + " ";
            }
        }
        EXPECT_EQ(bars, "1 5 34 47 58 68 81 ");
    }
    EXPECT_EQ(lines[7],
              " |   |                            |Inizio dopo |          |         |            |");
    EXPECT_EQ(lines[8],
              " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|");
    EXPECT_EQ(lines[9],
              " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |");
    EXPECT_EQ(lines[10], kRule);
    EXPECT_EQ(lines[11], kEmptyRow);
    EXPECT_EQ(std::count(lines.begin() + 13, lines.begin() + 37, kEmptyRow), 24);
    EXPECT_EQ(lines[37], kRule);
}

TEST_F(SlowdownOrder, RestrictionRowAgreesWithTheSlowdownLine) {
    const auto slowdown = testing::slowdown_values(train_service_lines());
    ASSERT_EQ(slowdown.size(), 6u);
    const long x = slowdown[0];
    const long v = slowdown[1];
    const long l = slowdown[2];
    const long f_tt = slowdown[3];
    const auto stations = testing::station_lines(train_service_lines());
    const auto after = std::find_if(stations.begin(), stations.end(),
                                    [&](const auto& s) { return s.position > x; });
    ASSERT_TRUE(after != stations.begin() && after != stations.end());
    EXPECT_GT(after->position - after->length / 2, x + l) << "the restriction enters a station";
    const auto& before = *(after - 1);
    EXPECT_LT(before.position + before.length / 2, x - 1200) << "the warning stands in a station";

    // The last post passed before the restriction; the posts count down along the run.
    const long post = (kRouteKilometres - x + 999) / 1000;
    EXPECT_LT(kRouteKilometres - post * 1000, x + 1000);

    const auto c = cells(lines[12]);
    EXPECT_EQ(c[0], " 1 ");
    EXPECT_EQ(testing::lower(c[1]),
              testing::lower(padded("  " + before.name + " - " + after->name, 28)));
    EXPECT_NE(c[1], padded("  " + before.name + " - " + after->name, 28)) << "not in mixed case";
    EXPECT_EQ(c[2], "   " + std::to_string(post) + "+000   ");
    EXPECT_EQ(c[3], "    " + std::to_string(v) + "    ");
    EXPECT_EQ(c[4], "   " + std::to_string(l) + "   ");
    EXPECT_EQ(c[5], f_tt == 1 ? "     A      " : std::string(12, ' '));
    EXPECT_EQ(lines[12],
              " | 1 |  Rocca Alta - Fornace      |   27+000   |    40    |   300   |"
              "     A      |                 ");
}

TEST_F(SlowdownOrder, LegendRunsABDC) {
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 39, lines.end()),
              (std::vector<std::string>{
                  "              Prescrizioni specifiche",
                  " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
                  " B - Interessa anche la stazione di.......",
                  " D - Rallentamneto N. ... e N. ...  sono contigui",
                  " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
                  "     i giorni esclusi i seguenti:.........",
              }));
}

}  // namespace
}  // namespace scenario::sources
