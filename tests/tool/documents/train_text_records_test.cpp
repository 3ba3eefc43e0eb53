#include "documents/train_text_records.h"

#include <gtest/gtest.h>

namespace scenario::tool {
namespace {

TEST(TrainTextRecords, ReadsTheRecordsAsTheTrainReaderDoes) {
    // Before the general section nothing counts; a separator field is skipped; a keyword that
    // holds two record words is read as both records in turn, the speed limit first.
    const std::string text =
        "velocita,   9,  9\r\n"
        "[generale]\r\n"
        "-, velocita,   300,   70\r\n"
        "aderenza velocita,   500,   60, 600, 80\r\n"
        "stazione,     400,  4,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, A - B\r\n"
        "rallentamento,   71200,    40,  300, 1,  1,  0\r\n"
        "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0\r\n"
        "velocita,   900,  90\r\n"
        "[fine]\r\n";
    const auto records = read_train_text_records(text);
    ASSERT_EQ(records.speedLimits.size(), 3u);
    EXPECT_EQ(records.speedLimits[0].position, 300);
    EXPECT_EQ(records.speedLimits[0].line, 3);
    EXPECT_EQ(records.speedLimits[1].position, 500);
    EXPECT_EQ(records.speedLimits[1].speed, 60);
    EXPECT_EQ(records.speedLimits[2].speed, 90);
    ASSERT_EQ(records.stations.size(), 1u);
    EXPECT_EQ(records.stations[0].platform, 800);
    EXPECT_EQ(records.stations[0].line, 5);
    ASSERT_EQ(records.slowdowns.size(), 1u);
    EXPECT_EQ(records.slowdowns[0].x, 71200);
    EXPECT_EQ(records.slowdowns[0].f_tt, 1);
    EXPECT_EQ(records.slowdowns[0].line, 6);
}

}  // namespace
}  // namespace scenario::tool
