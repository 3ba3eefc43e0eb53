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

std::string written_bytes() {
    return testing::write_and_read([](const auto& dir) { dati_note(dir, kLineTitle, kTrainCode); },
                                   files::notes_name(kLineTitle, kTrainCode));
}

class Notes : public ::testing::Test {
  protected:
    std::string bytes = written_bytes();
    std::vector<std::string> lines = testing::split_crlf(bytes);
    std::vector<testing::StationLine> stations = testing::station_lines(train_service_lines());
};

TEST_F(Notes, HasNineLinesOfTheirByteLengths) {
    std::vector<std::size_t> lengths;
    for (const auto& line : lines) {
        lengths.push_back(line.size());
    }
    EXPECT_EQ(lengths, (std::vector<std::size_t>{119, 497, 300, 170, 548, 366, 0, 13, 7}));
    EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[8].back(), ' ');
    EXPECT_EQ(lines[8].find(' '), 6u) << "a place name and one blank";
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_FALSE(testing::has_trailing_blank(lines[i])) << i + 1;
    }
}

TEST_F(Notes, AccentedLettersAreSingleWindows1252Bytes) {
    std::map<unsigned char, int> accented;
    for (const unsigned char c : bytes) {
        if (c >= 0x80) {
            ++accented[c];
        } else {
            EXPECT_TRUE(c == '\r' || c == '\n' || (c >= ' ' && c <= '~')) << int(c);
        }
    }
    // è, é and à only: no other letter and no multi-byte sequence.
    ASSERT_EQ(accented.size(), 3u);
    EXPECT_GT(accented[0xE8], 0);
    EXPECT_GT(accented[0xE9], 0);
    EXPECT_GT(accented[0xE0], 0);
}

TEST_F(Notes, ReplacesALongerFileExactly) {
    const auto over = testing::write_over_longer_file(
        [](const auto& dir) { dati_note(dir, kLineTitle, kTrainCode); },
        files::notes_name(kLineTitle, kTrainCode));
    EXPECT_EQ(over, bytes);
    EXPECT_EQ(bytes, render(content_table(notes_lines())));
}

TEST_F(Notes, ParagraphsDescribeTheRunOfTheTrainService) {
    const auto line = testing::lower(lines[0]);
    EXPECT_NE(line.find(testing::lower(stations.front().name)), std::string::npos);
    EXPECT_NE(line.find(testing::lower(stations.back().name)), std::string::npos);
    EXPECT_NE(lines[2].find(std::string(kTrainCode).substr(1)), std::string::npos);

    // The longer stops are the ones where the train waits for a crossing.
    const auto crossings = testing::lower(lines[3]);
    int named = 0;
    for (const auto& s : stations) {
        if (s.dwell == 90) {
            EXPECT_NE(crossings.find(testing::lower(s.name)), std::string::npos) << s.name;
            ++named;
        }
    }
    EXPECT_GE(named, 2);

    // The slowdown between its two stations, at its speed.
    const auto slowdown = testing::slowdown_values(train_service_lines());
    ASSERT_EQ(slowdown.size(), 6u);
    const auto after = std::find_if(stations.begin(), stations.end(),
                                    [&](const auto& s) { return s.position > slowdown[0]; });
    ASSERT_TRUE(after != stations.begin() && after != stations.end());
    const auto events = testing::lower(lines[4]);
    EXPECT_NE(events.find("tra " + testing::lower((after - 1)->name) + " e " +
                          testing::lower(after->name)),
              std::string::npos);
    EXPECT_NE(events.find(std::to_string(slowdown[1]) + " km/h"), std::string::npos);
}

}  // namespace
}  // namespace scenario::sources
