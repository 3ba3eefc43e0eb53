#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
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

std::string written_bytes() {
    return testing::write_and_read([](const auto& dir) { dati_treno(dir, kLineTitle, kTrainCode); },
                                   files::train_text_name(kLineTitle, kTrainCode));
}

std::vector<std::string> lines_of(const std::vector<std::string>& lines, std::string_view keyword) {
    std::vector<std::string> out;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(out),
                 [&](const auto& line) { return starts_with(line, keyword); });
    return out;
}

// Checks that the values after the keyword are right-aligned in exactly these widths.
void expect_widths(const std::string& line, const std::vector<std::size_t>& widths) {
    const auto f = fields(line);
    ASSERT_GE(f.size(), widths.size() + 1) << line;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        EXPECT_EQ(f[i + 1].size(), widths[i]) << "field " << i + 1 << " of \"" << line << '"';
        EXPECT_NE(f[i + 1].back(), ' ') << line;
    }
}

// (position, value) of the two-value profile lines of one kind.
std::vector<std::pair<long, long>> profile(const std::vector<std::string>& lines,
                                           std::string_view keyword) {
    std::vector<std::pair<long, long>> out;
    for (const auto& line : lines_of(lines, keyword)) {
        const auto f = fields(line);
        EXPECT_EQ(f.size(), 3u) << line;
        out.emplace_back(number(f[1]), number(f[2]));
    }
    return out;
}

long in_force(const std::vector<std::pair<long, long>>& steps, long position) {
    long value = 0;
    for (const auto& [from, v] : steps) {
        if (from <= position) {
            value = v;
        }
    }
    return value;
}

class TrainService : public ::testing::Test {
  protected:
    std::string bytes = written_bytes();
    std::vector<std::string> lines = testing::split_crlf(bytes);
    std::vector<testing::StationLine> stations = testing::station_lines(train_service_lines());
};

TEST_F(TrainService, IsWrittenWholeWithCrLfAndWithoutTheEndMarker) {
    ASSERT_EQ(lines.size(), 135u);
    EXPECT_EQ(lines.front(), "[generale]");
    EXPECT_EQ(lines.back(), "[fine]");
    EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
    EXPECT_EQ(bytes.find("abbattimento"), std::string::npos);
    for (const auto& line : lines) {
        EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) {
            return c >= ' ' && c <= '~';
        })) << line;
        if (!starts_with(line, "orologio")) {
            EXPECT_FALSE(testing::has_trailing_blank(line)) << '"' << line << '"';
        }
    }
}

TEST_F(TrainService, ReplacesALongerFileExactly) {
    const auto over = testing::write_over_longer_file(
        [](const auto& dir) { dati_treno(dir, kLineTitle, kTrainCode); },
        files::train_text_name(kLineTitle, kTrainCode));
    EXPECT_EQ(over, bytes);
    EXPECT_EQ(bytes, render(content_table(train_service_lines())));
}

TEST_F(TrainService, SectionsHoldTheirLinesInOrder) {
    const std::vector<std::pair<std::string, std::string>> sections{
        {"[generale]", ""},
        {"[aderenze]", "aderenza,"},
        {"[vel_limite]", "velocita,"},
        {"[stazioni]", "stazione,"},
        {"[rallentamenti]", "rallentamento,"},
        {"[segnali]", "segnale,"},
        {"[codici]", "-"},
        {"[fine]", "-"}};
    std::vector<std::pair<std::string, int>> seen;
    for (const auto& line : lines) {
        if (line.front() == '[') {
            seen.emplace_back(line, 0);
            continue;
        }
        ASSERT_FALSE(seen.empty()) << line;
        ++seen.back().second;
        for (const auto& [header, keyword] : sections) {
            if (header == seen.back().first && !keyword.empty()) {
                EXPECT_TRUE(starts_with(line, keyword)) << line << " under " << header;
            }
        }
    }
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, int>>{{"[generale]", 4},
                                                              {"[aderenze]", 18},
                                                              {"[vel_limite]", 11},
                                                              {"[stazioni]", 24},
                                                              {"[rallentamenti]", 1},
                                                              {"[segnali]", 69},
                                                              {"[codici]", 0},
                                                              {"[fine]", 0}}));
}

TEST_F(TrainService, GeneralLinesGiveTheTrainAndTheStartingClock) {
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 5),
              (std::vector<std::string>{"numero vetture,    5", "percentuale massa frenata,    100",
                                        "sabbia,    150",
                                        "orologio,    6               36            30 "}));
}

TEST_F(TrainService, ProfilesStartAtZeroAscendAndStayInTheirValues) {
    struct Case {
        std::string keyword;
        std::vector<std::size_t> widths;
        std::set<long> values;
        std::vector<std::string> rows;
    };
    std::set<long> adhesion;
    for (long a = 70; a <= 100; ++a) {
        adhesion.insert(a);
    }
    const std::vector<Case> cases{
        {"aderenza,",
         {},
         adhesion,
         {"aderenza,   0,    100", "aderenza,   11500,    80", "aderenza,   17000,   100"}},
        {"velocita,",
         {8, 6},
         {60, 70, 90},
         {"velocita,       0,    60", "velocita,    1100,    70", "velocita,   16000,    70"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyword);
        const auto steps = profile(lines, c.keyword);
        ASSERT_FALSE(steps.empty());
        EXPECT_EQ(steps.front().first, 0);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            EXPECT_EQ(steps[i].first % 50, 0);
            EXPECT_TRUE(c.values.count(steps[i].second)) << steps[i].second;
            if (i > 0) {
                EXPECT_GT(steps[i].first, steps[i - 1].first);
                EXPECT_NE(steps[i].second, steps[i - 1].second)
                    << "no change at " << steps[i].first;
            }
        }
        const auto written = lines_of(lines, c.keyword);
        for (const auto& line : written) {
            if (c.widths.empty()) {
                // "   " and the position, then the value in 6 (7 on the first line)
                const auto f = fields(line);
                EXPECT_EQ(f[1], "   " + std::to_string(number(f[1]))) << line;
                EXPECT_EQ(f[2].size(), &line == &written.front() ? 7u : 6u) << line;
            } else {
                expect_widths(line, c.widths);
            }
        }
        for (const auto& row : c.rows) {
            EXPECT_NE(std::find(written.begin(), written.end(), row), written.end()) << row;
        }
    }
    EXPECT_EQ(lines_of(lines, "aderenza,").back(), "aderenza,   91000,   100");
    EXPECT_EQ(lines_of(lines, "velocita,").back(), "velocita,   45300,    90");
}

TEST_F(TrainService, SpeedLimitsChangeAtTheMaximumSpeedBoardsOfTheLine) {
    // Boards: position -> (b speed, stripes). A striped board announces the next change.
    std::map<long, std::pair<long, long>> boards;
    for (const auto line : line_description_lines()) {
        if (starts_with(line, "indicatori_vmax,")) {
            const auto f = fields(line);
            boards[number(f[1])] = {number(f[3]), number(f[5])};
        }
    }
    const auto limits = profile(lines, "velocita,");
    for (std::size_t i = 1; i < limits.size(); ++i) {
        const auto [position, speed] = limits[i];
        ASSERT_TRUE(boards.count(position)) << "no board at the change at " << position;
        EXPECT_EQ(boards[position], std::make_pair(speed, 0L)) << position;
    }
    for (const auto& [position, board] : boards) {
        if (board.first != in_force(limits, position)) {
            const auto next = std::find_if(limits.begin(), limits.end(),
                                           [&](const auto& l) { return l.first > position; });
            ASSERT_NE(next, limits.end()) << position;
            EXPECT_GT(board.second, 0) << "board at " << position << " shows a later limit";
            EXPECT_EQ(board.first, next->second) << position;
            EXPECT_LT(board.first, in_force(limits, position)) << "announces a reduction";
        }
    }
}

TEST_F(TrainService, StationLinesFollowTheirLayoutAndKinds) {
    ASSERT_EQ(stations.size(), 24u);
    for (const auto& line : lines_of(lines, "stazione,")) {
        expect_widths(line, {8, 3, 5, 3, 2, 2, 3, 1, 1, 3, 1, 1, 5, 4, 2, 2});
    }
    std::map<long, int> kinds;
    int dashed = 0;
    for (std::size_t i = 0; i < stations.size(); ++i) {
        const auto& s = stations[i];
        SCOPED_TRACE(s.name);
        ++kinds[s.kind];
        EXPECT_EQ(s.position % 50, 0);
        EXPECT_EQ(s.length % 100, 0);
        EXPECT_GE(s.length, 200);
        EXPECT_LE(s.length, 800);
        if (i > 0) {
            EXPECT_GT(s.position, stations[i - 1].position);
        }
        EXPECT_TRUE(std::none_of(s.name.begin(), s.name.end(),
                                 [](unsigned char c) { return std::islower(c); }));
        EXPECT_EQ(s.name.find(','), std::string::npos);
        dashed += s.name.find(" - ") != std::string::npos;
        EXPECT_TRUE((std::set<long>{0, 1, 30, 60, 90}).count(s.dwell));
        EXPECT_EQ(s.values[1], 0);  // the long-zone flag is never used
        const long seconds = s.timeOfDay % 60;
        EXPECT_TRUE(seconds == 0 || seconds == 30);
        if (s.kind == 27) {
            EXPECT_EQ(s.values, std::vector<long>(13, 0)) << "a halt passed without stop";
        } else {
            EXPECT_GT(s.timeOfDay, 0) << "a stop without a time";
        }
    }
    std::set<long> kind_set;
    for (const auto& [kind, count] : kinds) {
        kind_set.insert(kind);
    }
    EXPECT_EQ(kind_set, (std::set<long>{4, 11, 12, 22, 23, 27}));
    EXPECT_EQ(kinds[4], 2);
    EXPECT_EQ(dashed, 1);
    EXPECT_EQ(stations.front().kind, 4);
    EXPECT_EQ(stations.back().kind, 4);
    EXPECT_EQ(stations.front().position, 400);
    EXPECT_EQ(stations.back().position, 95200);
    for (const auto* row :
         {"stazione,     400,  4,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, MORENA LAGO",
          "stazione,    7500, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   90,   6,48, 0, ",
          "stazione,   10200, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, ",
          "stazione,   25400, 23,  200,  0, 0, 0,  0,0,0,  4,1,1,   30,   7,16,30, ",
          "stazione,   95200,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,   8,34, 0, PIAN DI "
          "VALSO"}) {
        const std::string prefix(row);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const auto& line) {
            return starts_with(line, prefix);
        })) << row;
    }
}

TEST_F(TrainService, TheTerminalsAreTheTwoStationsOfTheLineTitle) {
    EXPECT_EQ(stations.front().name + " - " + stations.back().name, kLineTitle);
}

TEST_F(TrainService, StopZonesLieAtLeast350MetresApart) {
    long previous_end = -1000;
    for (std::size_t i = 0; i < stations.size(); ++i) {
        const auto& s = stations[i];
        const long extend = i > 0 && s.values[2] != 0 ? 50 : 0;
        const long zone_start = s.position - s.length / 2;
        const long zone_end = s.position + s.length / 2 + extend;
        EXPECT_GE(zone_start - 350, previous_end) << s.name;
        EXPECT_GT(zone_end / 50 - 1, 1) << s.name;
        previous_end = zone_end;
    }
}

TEST_F(TrainService, TimetableRunsWithinTheSpeedLimitsAndWaitsAtEveryStop) {
    const auto limits = profile(lines, "velocita,");
    const auto clock = (6 * 60 + 36) * 60 + 30;
    EXPECT_LT(clock, stations.front().timeOfDay);
    const testing::StationLine* previous = nullptr;
    for (const auto& s : stations) {
        if (s.kind == 27) {
            continue;
        }
        if (previous != nullptr) {
            const bool last = &s == &stations.back();
            const long arrival = s.timeOfDay - (last ? 0 : s.dwell);
            if (!last) {
                EXPECT_GE(s.dwell, 30) << s.name;
            }
            double at_the_limit = 0;  // seconds, running every 50 m at the limit in force
            for (long p = previous->position; p < s.position; p += 50) {
                at_the_limit += 50 / (in_force(limits, p) / 3.6);
            }
            const double running = arrival - previous->timeOfDay;
            EXPECT_GE(running, 1.15 * at_the_limit) << previous->name << " to " << s.name;
            EXPECT_LE(running, 2.0 * at_the_limit) << previous->name << " to " << s.name;
        }
        previous = &s;
    }
}

TEST_F(TrainService, TheSlowdownLiesOnOpenLineBetweenTwoStations) {
    EXPECT_EQ(lines_of(lines, "rallentamento,"),
              std::vector<std::string>{"rallentamento,   71200,    40,  300, 1,  1,  0"});
    const auto slowdown = testing::slowdown_values(train_service_lines());
    ASSERT_EQ(slowdown.size(), 6u);
    for (const auto& s : stations) {
        EXPECT_FALSE(s.position + s.length / 2 > slowdown[0] - 1200 &&
                     s.position - s.length / 2 < slowdown[0] + slowdown[2])
            << s.name << " stands on the warning or the restriction";
    }
}

TEST_F(TrainService, SignalsAscendWithTheirCodesAndThreeTimedSignals) {
    const auto signals = lines_of(lines, "segnale,");
    ASSERT_EQ(signals.size(), 69u);
    EXPECT_EQ(signals.front(), "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0");
    EXPECT_EQ(signals.back(), "segnale,   94700,   2, 3, 1,  0, 0,    0,  0,0,0, 0");
    for (const auto* row : {"segnale,    2850,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
                            "segnale,   38800,   2, 4, 1,  0, 0,    0,  0,0,0, 250",
                            "segnale,   66800,   2, 2, 3,  1, 0,    0,  0,0,0, 0"}) {
        EXPECT_NE(std::find(signals.begin(), signals.end(), row), signals.end()) << row;
    }
    std::multiset<long> times;
    long previous = 0;
    for (const auto& line : signals) {
        SCOPED_TRACE(line);
        expect_widths(line, {8, 4, 2, 2, 3, 2, 5, 3, 1, 1});
        const auto f = fields(line);
        ASSERT_EQ(f.size(), 12u);
        EXPECT_EQ(f[11], " " + std::to_string(number(f[11])));
        const long position = number(f[1]);
        // A signal's approach marks reach 400 m back: keep them clear of the one before.
        EXPECT_GE(position - previous, 450);
        EXPECT_EQ(position % 50, 0);
        previous = position;
        const long sx = number(f[2]);
        EXPECT_TRUE(sx == 1 || sx == 2);
        EXPECT_GE(number(f[3]), 2);
        EXPECT_LE(number(f[3]), 5);
        EXPECT_GE(number(f[4]), 0);
        EXPECT_LE(number(f[4]), 6);
        EXPECT_TRUE(number(f[5]) == 0 || number(f[5]) == 1);
        for (int i = 6; i <= 10; ++i) {
            EXPECT_EQ(number(f[i]), 0);
        }
        if (const long tempo = number(f[11]); tempo != 0) {
            EXPECT_EQ(sx, 2);
            times.insert(tempo);
        }
    }
    EXPECT_EQ(times, (std::multiset<long>{240, 250, 255}));
}

}  // namespace
}  // namespace scenario::sources
