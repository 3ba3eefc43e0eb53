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

using testing::fields;
using testing::number;
using testing::starts_with;

constexpr long kRouteKilometres = 98000;  // the printed chainage is this less the position

std::string written_bytes() {
    return testing::write_and_read(
        [](const auto& dir) { dati_scheda(dir, kLineTitle, kTrainCode); },
        files::train_card_name(kLineTitle, kTrainCode));
}

std::string kilometre(long position) {
    const long metres = kRouteKilometres - position;
    std::string m = std::to_string(metres % 1000);
    return std::to_string(metres / 1000) + "+" + std::string(3 - m.size(), '0') + m;
}

// "6.37", "7.16+" (half a minute more).
std::string clock(long seconds) {
    const long minutes = seconds / 60 % 60;
    return std::to_string(seconds / 3600) + "." + (minutes < 10 ? "0" : "") +
           std::to_string(minutes) + (seconds % 60 ? "+" : "");
}

std::string padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

std::string printed_name(std::string name) {
    for (auto at = name.find(" - "); at != std::string::npos; at = name.find(" - ")) {
        name.replace(at, 3, "-");
    }
    return name;
}

// The seven cells of a table line, between its bars.
std::vector<std::string> cells(const std::string& line) {
    static constexpr std::size_t bars[] = {1, 7, 13, 24, 30, 59, 76, 82};
    std::vector<std::string> out;
    for (std::size_t i = 0; i + 1 < std::size(bars); ++i) {
        out.push_back(line.substr(bars[i] + 1, bars[i + 1] - bars[i] - 1));
    }
    return out;
}

bool blank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

long speed_cell(const std::string& cell) {
    return blank(cell) ? 0 : number(cell);
}

class TrainCard : public ::testing::Test {
  protected:
    std::string bytes = written_bytes();
    std::vector<std::string> lines = testing::split_crlf(bytes);
    std::vector<testing::StationLine> stations = testing::station_lines(train_service_lines());

    // Lines 18 to 49.
    std::vector<std::string> route_rows() const { return {lines.begin() + 17, lines.begin() + 49}; }
};

TEST_F(TrainCard, IsWrittenWholeWithCrLfAndWithoutTheEndMarker) {
    ASSERT_EQ(lines.size(), 51u);
    EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
    std::map<int, std::size_t> trailing;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& line = lines[i];
        EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) {
            return c >= ' ' && c <= '~';
        })) << line;
        if (line.empty()) {
            trailing[static_cast<int>(i) + 1] = 0;
        } else if (testing::has_trailing_blank(line)) {
            trailing[static_cast<int>(i) + 1] = line.size() - line.find_last_not_of(' ') - 1;
        }
    }
    // Empty lines 1, 2, 12 and 51; line 9 keeps 7 blanks and the last route row one.
    EXPECT_EQ(trailing,
              (std::map<int, std::size_t>{{1, 0}, {2, 0}, {9, 7}, {12, 0}, {49, 1}, {51, 0}}));
}

TEST_F(TrainCard, ReplacesALongerFileExactly) {
    const auto over = testing::write_over_longer_file(
        [](const auto& dir) { dati_scheda(dir, kLineTitle, kTrainCode); },
        files::train_card_name(kLineTitle, kTrainCode));
    EXPECT_EQ(over, bytes);
    EXPECT_EQ(bytes, render(content_table(train_card_lines())));
}

TEST_F(TrainCard, HeaderNamesTheTrainItsTerminalsCategoryAndBrakedMass) {
    std::string braked;
    for (const auto line : train_service_lines()) {
        if (starts_with(line, "percentuale massa frenata,")) {
            braked = std::to_string(number(fields(line)[1])) + "%";
        }
    }
    const std::string code(kTrainCode);
    EXPECT_EQ(lines[2], "  " + std::string(19, '_') + std::string(47, ' ') + std::string(14, '_'));
    EXPECT_EQ(
        lines[3],
        " |                   |                    SCHEDA                   |              |");
    EXPECT_EQ(lines[4], " |" + padded("   TRENO n. " + code + " ", 19) + "|" +
                            padded(std::string(19, ' ') + "da: " + stations.front().name, 45) +
                            "|    V140 B    |");
    EXPECT_EQ(lines[5], " |" + std::string(19, '_') + "|" +
                            padded(std::string(20, ' ') + "a: " + stations.back().name, 45) + "|" +
                            padded("     " + braked, 14) + "|");
    EXPECT_EQ(lines[6], std::string(67, ' ') + "|______________|");
    EXPECT_EQ(lines[7], "  ___________________                ___________________");
    EXPECT_EQ(lines[8], " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ");
    EXPECT_EQ(lines[9], " |     REGIONALE     |              |      330T         |");
    EXPECT_EQ(lines[10], " |___________________|              |___________________|");
    EXPECT_EQ(lines[12], "  " + std::string(80, '_'));
}

TEST_F(TrainCard, TableLinesHaveTheirBarsAtTheColumns) {
    for (std::size_t i = 13; i < 50; ++i) {
        const auto& line = lines[i];
        SCOPED_TRACE("line " + std::to_string(i + 1));
        EXPECT_EQ(line.size(), i == 48 ? 84u : 83u);
        std::string bars;
        for (std::size_t c = 0; c < line.size(); ++c) {
            if (line[c] == '|') {
                bars += std::to_string(c) + " ";
            }
        }
        EXPECT_EQ(bars, "1 7 13 24 30 59 76 82 ");
        EXPECT_EQ(line[0], ' ');
    }
    EXPECT_EQ(
        lines[15],
        " |_____|_____|__________|_____|____________________________|________________|_____|");
    EXPECT_EQ(lines[49], lines[15]);
    EXPECT_EQ(
        lines[16],
        " |     |     |          |     |                            |                |     |");
}

TEST_F(TrainCard, RouteRowsRunAgainstTheChainageInTheirCellForms) {
    const std::regex speed(R"( \d\d  |     )");
    const std::regex km(R"( *\d{1,2}\+\d{3}  )");
    const std::regex name(R"(  [A-Z][A-Z.' -]*|\s{28})");
    const std::regex time(R"(      \d\.\d\d\+?      |  \d\.\d\d\+? - \d\.\d\d\+? *|\s{16})");
    int location_rows = 0;
    int speed_rows = 0;
    long previous = kRouteKilometres + 1;
    for (const auto& row : route_rows()) {
        SCOPED_TRACE(row);
        const auto c = cells(row);
        EXPECT_TRUE(std::regex_match(c[0], speed));
        EXPECT_TRUE(std::regex_match(c[1], speed));
        EXPECT_TRUE(std::regex_match(c[2], km));
        EXPECT_TRUE(blank(c[3]) && blank(c[6]));
        EXPECT_TRUE(std::regex_match(c[4], name));
        EXPECT_TRUE(std::regex_match(c[5], time));
        const auto plus = c[2].find('+');
        const long metres =
            std::stol(c[2].substr(0, plus)) * 1000 + std::stol(c[2].substr(plus + 1));
        EXPECT_LT(metres, previous);
        previous = metres;
        if (!blank(c[4])) {
            ++location_rows;
        } else {
            ++speed_rows;
            EXPECT_TRUE(blank(c[5])) << "a time without a location";
            EXPECT_FALSE(blank(c[0]) && blank(c[1])) << "a speed row without a speed";
        }
    }
    EXPECT_EQ(location_rows, 23);
    EXPECT_EQ(speed_rows, 9);
    const auto rows = route_rows();
    EXPECT_EQ(cells(rows.front())[0], " 70  ");
    EXPECT_EQ(cells(rows.front())[1], " 55  ");
    EXPECT_EQ(cells(rows.front())[2], "  97+600  ");
    EXPECT_EQ(cells(rows.front())[5], "      6.37      ");
    EXPECT_EQ(cells(rows.back())[2], "   2+800  ");
    EXPECT_EQ(cells(rows.back())[5], "      8.34      ");
    for (const auto* quoted :
         {" | 60  |     |  91+800  |     |                            |                |     |",
          " | 90  | 80  |  64+400  |     |                            |                |     |"}) {
        EXPECT_NE(std::find(rows.begin(), rows.end(), quoted), rows.end()) << quoted;
    }
}

TEST_F(TrainCard, LocationRowsAndTimesFollowTheStationLines) {
    std::vector<std::vector<std::string>> located;
    for (const auto& row : route_rows()) {
        if (!blank(cells(row)[4])) {
            located.push_back(cells(row));
        }
    }
    std::size_t next = 0;
    int missing = 0;
    for (std::size_t i = 0; i < stations.size(); ++i) {
        const auto& s = stations[i];
        const auto name = padded("  " + printed_name(s.name), 28);
        if (next == located.size() || located[next][4] != name) {
            ++missing;
            continue;
        }
        const auto& row = located[next++];
        SCOPED_TRACE(s.name);
        EXPECT_EQ(
            row[2],
            padded(std::string(8 - kilometre(s.position).size(), ' ') + kilometre(s.position), 10));
        std::string time(16, ' ');
        if (i == 0 || i + 1 == stations.size()) {
            time = "      " + clock(s.timeOfDay) + "      ";
        } else if (s.timeOfDay != 0) {
            time = padded("  " + clock(s.timeOfDay - s.dwell) + " - " + clock(s.timeOfDay), 16);
        }
        EXPECT_EQ(row[5], time);
    }
    EXPECT_EQ(next, located.size()) << "card rows left over or out of order";
    EXPECT_EQ(missing, 1);
}

TEST_F(TrainCard, SpeedLimitsAreThoseOfTheSpeedLimitLinesAndRunningSpeedsStayBelow) {
    std::vector<std::pair<long, long>> limits;
    for (const auto line : train_service_lines()) {
        if (starts_with(line, "velocita,")) {
            limits.emplace_back(number(fields(line)[1]), number(fields(line)[2]));
        }
    }
    // The first row shows the limit that follows the departure station's own; every later
    // change is printed at its kilometre.
    const auto departure = stations.front().position;
    const auto first = std::find_if(limits.begin(), limits.end(),
                                    [&](const auto& l) { return l.first > departure; });
    ASSERT_NE(first, limits.end());
    std::vector<std::pair<std::string, long>> expected{
        {"  " + kilometre(departure) + "  ", first->second}};
    for (auto l = first + 1; l != limits.end(); ++l) {
        expected.emplace_back(
            padded(std::string(8 - kilometre(l->first).size(), ' ') + kilometre(l->first), 10),
            l->second);
    }
    std::vector<std::pair<std::string, long>> printed;
    long limit = 0;
    long running = 0;
    for (const auto& row : route_rows()) {
        const auto c = cells(row);
        if (const long v = speed_cell(c[0]); v != 0) {
            printed.emplace_back(c[2], v);
            limit = v;
        }
        if (const long v = speed_cell(c[1]); v != 0) {
            EXPECT_NE(v, running) << "repeats the running speed: " << row;
            running = v;
        }
        EXPECT_LE(running, limit) << row;
    }
    EXPECT_EQ(printed, expected);
}

}  // namespace
}  // namespace scenario::sources
