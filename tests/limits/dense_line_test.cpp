#include "limits/dense_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>

namespace scenario::testing {
namespace {

// The cell on which a board, signal or slowdown mark of a position lands.
std::int32_t board_cell(std::int32_t position) {
    return static_cast<std::int32_t>(std::nearbyint(position / 50.0 + 1.0));
}

TEST(DenseLine, EveryObjectOfTheLongestLineHasACellOfItsOwn) {
    const auto line = dense_line(kLongestRoute);
    std::map<std::int32_t, std::string> owner;
    const auto claim = [&](std::int32_t cell, const std::string& what) {
        const auto [at, fresh] = owner.emplace(cell, what);
        EXPECT_TRUE(fresh) << what << " on cell " << cell << " already holds " << at->second;
    };
    for (auto p : line.speed_boards)
        claim(board_cell(p), "speed board");
    for (auto p : line.sign_boards)
        claim(board_cell(p), "sign board");
    for (auto p : line.signals)
        claim(board_cell(p), "signal");
    for (auto p : line.code_points)
        claim(p / 50, "code point");
    for (auto p : line.cancels)
        claim(p / 50, "cancelled code point");
    for (auto x : line.slowdowns) {
        claim(board_cell(x - 1200), "warning");
        claim(board_cell(x), "slowdown start");
        claim(board_cell(x + 1200), "slowdown end");
        for (std::int32_t k = 0; k < 4; ++k)
            claim((x - 1200) / 50 - k, "warning approach");
    }
    for (std::size_t s = 0; s < line.stations.size(); ++s) {
        if (line.station_kinds[s] == 27)
            continue;
        // Stop cells sit two cells into the block, five for the long platforms of kinds 4 and 7.
        const bool long_zone = line.station_kinds[s] == 4 || line.station_kinds[s] == 7;
        claim(line.stations[s] / 50 + (long_zone ? 5 : 2), "station stop");
    }
}

TEST(DenseLine, TheLongestLineFillsTheTableAndStaysInsideTheRoute) {
    const auto line = dense_line(kLongestRoute);
    EXPECT_EQ(static_cast<std::int32_t>(line.sign_boards.size()), kDenseSignBoards);
    EXPECT_EQ(static_cast<std::int32_t>(line.stations.size()), kDenseStations);
    EXPECT_EQ(line.spans, 80);
    EXPECT_EQ(line.slowdowns.size(), 20u);
    EXPECT_EQ(line.signals.size(), 1000u);
    EXPECT_GT(line.curves, 1900);
    EXPECT_EQ(line.gradients, 4000);
    const std::int32_t last_cell = (kLongestRoute + 7000) / 50;
    for (auto p : line.signals)
        EXPECT_LE(p, 50 * last_cell - 100);
    for (auto p : line.stations)
        EXPECT_LE(p, 50 * last_cell - 800);
}

TEST(DenseLine, TextsEndEveryLineWithCrLfAndCloseWithTheEndHeader) {
    const auto line = dense_line(20000);
    for (const std::string* text : {&line.line_text, &line.train_text}) {
        ASSERT_GE(text->size(), 8u);
        EXPECT_EQ(text->substr(0, 12), "[generale]\r\n");
        EXPECT_EQ(text->substr(text->size() - 8), "[fine]\r\n");
        std::size_t pairs = 0;
        for (auto at = text->find("\r\n"); at != std::string::npos;
             at = text->find("\r\n", at + 2)) {
            ++pairs;
        }
        EXPECT_EQ(std::count(text->begin(), text->end(), '\n'), pairs);
        EXPECT_EQ(std::count(text->begin(), text->end(), '\r'), pairs);
    }
    EXPECT_NE(line.line_text.find("lunghezza percorso,    20000\r\n"), std::string::npos);
}

TEST(DenseLine, ALengthAboveTheLimitIsStatedAsGivenWithTheContentOfTheLimit) {
    const auto over = dense_line(kLongestRoute + 1);
    EXPECT_NE(over.line_text.find("lunghezza percorso,    1000001\r\n"), std::string::npos);
    EXPECT_EQ(over.signals, dense_line(kLongestRoute).signals);
}

}  // namespace
}  // namespace scenario::testing
