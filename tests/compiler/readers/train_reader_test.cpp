#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader_fixture.h"

namespace scenario::compiler::testing {
namespace {

using TrainReader = ReaderTest;
constexpr auto kTrain = ErrorSource::train_text;

std::vector<std::string> sign_boards(int count, std::int32_t from = 50000) {
    std::vector<std::string> boards;
    for (int i = 0; i < count; ++i) {
        boards.push_back("cartello_indicatore,  " + std::to_string(from + i * 100) + ",   (B" +
                         std::to_string(i) + ")");
    }
    return boards;
}

// Stations of kind 4 with 200 m platforms, 1000 m apart from 1000 m on.
std::vector<std::string> stations(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        lines.push_back(station_line(1000 + i * 1000, 4, 200, 0, 0, "S" + std::to_string(i + 1)));
    }
    return lines;
}

TEST_F(TrainReader, GeneralLinesGoToTheTrainAndRepetitionEntries) {
    line_records({});
    train_records({});
    read();
    expect_clean();
    EXPECT_EQ(state.locations[entry::train].position, 5);
    EXPECT_EQ(state.locations[entry::train].zoneStart, 100);
    const auto& repetition = state.locations[entry::repetition];
    EXPECT_EQ(repetition.param7, 150);
    EXPECT_EQ(repetition.param10, 6);
    EXPECT_EQ(repetition.param11, 36);
    EXPECT_EQ(repetition.param12, 30);
}

TEST_F(TrainReader, SpeedLimitsAndAdhesionFillTheCellsUpToTheNextRecord) {
    line_records({});
    train_records({"aderenza,   0,    100", "aderenza,   11500,    80", "aderenza,   17000,   300",
                   "velocita,       0,    60", "velocita,    1100,    70"});
    read();
    expect_clean();
    EXPECT_EQ(cell(0).speedStep, 12);
    EXPECT_EQ(cell(21).speedStep, 12);
    EXPECT_EQ(cell(22).speedStep, 14);
    EXPECT_EQ(cell(2097).speedStep, 14);
    EXPECT_EQ(cell(229).adhesion, 100);
    EXPECT_EQ(cell(230).adhesion, 80);
    EXPECT_EQ(cell(339).adhesion, 80);
    EXPECT_EQ(cell(340).adhesion, 44);  // 300 kept to its low 8 bits
    EXPECT_EQ(cell(2097).adhesion, 44);
    for (const int c : {2098, 2099, 2100}) {
        EXPECT_EQ(cell(c).speedStep, 0) << c;
        EXPECT_EQ(cell(c).adhesion, 0) << c;
    }
}

TEST_F(TrainReader, SpeedStepIsTheNearestFifth) {
    const std::pair<int, int> cases[] = {{62, 12},    {63, 13}, {75, 15}, {90, 18},
                                         {1277, 255}, {-2, 0},  {0, 0}};
    for (const auto& [speed, step] : cases) {
        line_records({});
        train_records({"velocita,  0,  " + std::to_string(speed)});
        read();
        expect_clean();
        EXPECT_EQ(cell(0).speedStep, step) << speed;
        EXPECT_EQ(cell(2097).speedStep, step) << speed;
    }
}

TEST_F(TrainReader, SpeedWhoseFifthDoesNotFitACellIsAReadingFailureOfItsLine) {
    for (const int speed : {1278, 5000, -3}) {
        line_records({});
        train_records({"velocita,  0,  " + std::to_string(speed), "velocita,  1100,  70"});
        read();
        expect_fault(Fault::reading_failure, kTrain, kFirstTrainRecord);
        EXPECT_FALSE(texts_left());
    }
}

TEST_F(TrainReader, RecordsAtPositionZeroWriteNoCell) {
    line_records({});
    train_records({"velocita,  0,  60", "velocita,  0,  70", "aderenza,  0,  100",
                   "aderenza,  0,  80", "velocita,  500,  90"});
    read();
    expect_clean();
    EXPECT_EQ(cell(0).speedStep, 14);
    EXPECT_EQ(cell(10).speedStep, 18);
    EXPECT_EQ(cell(0).adhesion, 80);
}

TEST_F(TrainReader, FillsNeverPassTheLastCell) {
    line_records({}, 0);  // cells 0 to 140
    std::vector<std::string> records(3000, "velocita,  50,  60");
    records.insert(records.end(), 3000, "aderenza,  50,  90");
    train_records(records);
    read();
    expect_clean();
    EXPECT_EQ(state.last_cell(), 140);
    EXPECT_EQ(cell(139).speedStep, 12);
    EXPECT_EQ(cell(140).speedStep, 12);
    EXPECT_EQ(cell(140).adhesion, 90);
}

TEST_F(TrainReader, SignalsAndSlowdownsArePlacedByTheirHelpers) {
    line_records({});
    train_records({"rallentamento,   71200,    40,  300, 1,  1,  0",
                   "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
                   "segnale,   38800,   2, 4, 1,  0, 0,    0,  0,0,0, 250"});
    read();
    expect_clean();
    EXPECT_EQ(cell(38).kind, cell_kind::signal);
    EXPECT_EQ(cell(38).ref, 40);
    EXPECT_EQ(cell(38).ref4, 3);
    EXPECT_EQ(cell(30).approachMark, 34);
    EXPECT_EQ(cell(777).signalTime, 250);
    EXPECT_EQ(cell(1401).kind, cell_kind::slowdown_warning);
    EXPECT_EQ(cell(1425).kind, cell_kind::slowdown_start);
    EXPECT_EQ(cell(1431).kind, cell_kind::slowdown_end);
    EXPECT_EQ(cell(1397).ref, 4);
}

TEST_F(TrainReader, HelperFaultsStopWithTheRecordPosition) {
    line_records({});
    train_records({"segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
                   "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
                   station_line(5000, 4, 200)});
    read();
    expect_fault_at(Fault::signal_cell_taken, 1850, kTrain, kFirstTrainRecord + 1);
    EXPECT_EQ(state.stationCount, 0);
    EXPECT_FALSE(texts_left());

    // Near the end of the cells the slowdown's end board has no cell.
    line_records({});
    train_records({"rallentamento,   104900,    40,  300, 1,  1,  0"});
    read();
    expect_fault_at(Fault::slowdown_end_cell_taken, 104900, kTrain, kFirstTrainRecord);
    EXPECT_FALSE(texts_left());
}

TEST_F(TrainReader, CodePointsMarkTheirCellByValue) {
    line_records({});
    train_records({"abbattimento,  1000,  5", "abbattimento,  1100,  0"});
    read();
    expect_clean();
    EXPECT_EQ(cell(20).kind, cell_kind::code_point);
    EXPECT_EQ(cell(20).ref, 5);
    EXPECT_EQ(cell(22).kind, cell_kind::code_point_cancel);
    EXPECT_EQ(cell(22).ref, 0);

    line_records({});
    train_records(
        {"segnale,    950,   1, 4, 0,  0, 0,    0,  0,0,0, 0", "abbattimento,  1000,  5"});
    read();
    expect_fault_at(Fault::code_point_cell_taken, 1000, kTrain, kFirstTrainRecord + 1);
    EXPECT_FALSE(texts_left());
}

TEST_F(TrainReader, StationsGetTheirZoneStopCellAndApproachMarks) {
    line_records({});
    train_records({station_line(400, 4, 800, 1, 0, "PARTENZA"), station_line(7500, 5, 300, 1, 1),
                   station_line(20000, 4, 800, 1, 1), station_line(30000, 27, 200),
                   station_line(40000, 7, 300), station_line(50000, 11, 400, 1, 1)});
    read();
    expect_clean();
    EXPECT_EQ(state.stationCount, 6);

    const auto& first = state.locations[1];
    EXPECT_EQ(first.position, 400);
    EXPECT_EQ(first.kind, 4);
    EXPECT_EQ(first.zoneStart, 0);
    EXPECT_EQ(first.zoneEnd, 800);
    EXPECT_EQ(first.name, "PARTENZA");
    EXPECT_EQ(first.timeOfDay, 6 * 3600 + 37 * 60 + 30);
    EXPECT_EQ(first.param4, 1);
    EXPECT_EQ(first.param7, 4);
    EXPECT_EQ(first.param8, 1);
    EXPECT_EQ(first.param9, 1);
    EXPECT_EQ(first.param10, 2);
    EXPECT_EQ(first.dwell, 30);
    EXPECT_EQ(first.longFlag, 0);  // always 0 for the first station
    EXPECT_EQ(cell(15).kind, cell_kind::station_stop);
    EXPECT_EQ(cell(15).ref, 1);
    for (const auto& [c, mark] : {std::pair{14, 81}, {13, 82}, {12, 83}, {11, 84}}) {
        EXPECT_EQ(cell(c).approachMark, mark) << c;
    }
    EXPECT_EQ(cell(10).approachMark, 0);

    // Kind 5: the zone runs from a platform before to 150 m after; no marks.
    const auto& second = state.locations[2];
    EXPECT_EQ(second.zoneStart, 7200);
    EXPECT_EQ(second.zoneEnd, 7650);
    EXPECT_EQ(second.extendFlag, 0);
    EXPECT_EQ(second.longFlag, 0);  // platform below 600 m
    EXPECT_EQ(cell(152).kind, cell_kind::station_stop);
    EXPECT_EQ(cell(152).ref, 2);
    for (int c = 148; c <= 151; ++c) {
        EXPECT_EQ(cell(c).approachMark, 0) << c;
    }

    // A later station keeps its flags, and the sixth value lengthens its zone by 50 m.
    const auto& third = state.locations[3];
    EXPECT_EQ(third.zoneStart, 19600);
    EXPECT_EQ(third.zoneEnd, 20450);
    EXPECT_EQ(third.longFlag, 1);
    EXPECT_EQ(third.extendFlag, 1);
    EXPECT_EQ(cell(408).kind, cell_kind::station_stop);
    EXPECT_EQ(cell(407).approachMark, 81);

    // Kind 27: a zone but neither stop cell nor marks.
    EXPECT_EQ(state.locations[4].zoneStart, 29900);
    EXPECT_EQ(state.locations[4].zoneEnd, 30100);
    EXPECT_EQ(cell(601).kind, 0);
    EXPECT_EQ(cell(600).approachMark, 0);

    EXPECT_EQ(state.locations[5].zoneStart, 39700);
    EXPECT_EQ(state.locations[5].zoneEnd, 40300);
    EXPECT_EQ(cell(805).kind, cell_kind::station_stop);

    EXPECT_EQ(state.locations[6].zoneEnd, 50250);
    EXPECT_EQ(cell(1004).ref, 6);
}

TEST_F(TrainReader, FirstStationDropsItsFlagsButKeepsTheLongerZone) {
    line_records({});
    train_records({station_line(400, 4, 800, 1, 1)});
    read();
    expect_clean();
    EXPECT_EQ(state.locations[1].zoneEnd, 850);
    EXPECT_EQ(state.locations[1].extendFlag, 0);
    EXPECT_EQ(state.locations[1].longFlag, 0);
    EXPECT_EQ(cell(16).kind, cell_kind::station_stop);
}

TEST_F(TrainReader, StationFaultsStopTheReading) {
    struct Case {
        const char* what;
        std::vector<std::string> records;
        Fault fault;
        std::int32_t position;  // -1 when the fault sets none
    };
    const Case cases[] = {
        {"position off the 50 m grid", {station_line(425, 4, 200)}, Fault::station_off_grid, 425},
        {"platform off the 100 m grid",
         {station_line(1000, 4, 250)},
         Fault::station_length_off_grid,
         1000},
        {"no room for a stop cell", {station_line(50, 4, 100)}, Fault::no_stop_cell, -1},
        {"zones 300 m apart",
         {station_line(400, 4, 800), station_line(1200, 4, 200)},
         Fault::station_zones_too_close,
         1200},
    };
    for (const auto& c : cases) {
        line_records({});
        std::vector<std::string> records{"velocita,  0,  60"};
        records.insert(records.end(), c.records.begin(), c.records.end());
        records.push_back("numero vetture,  9");
        train_records(records);
        state.errorPosition = -1;
        read();
        expect_fault_at(c.fault, c.position, kTrain,
                        kFirstTrainRecord + static_cast<std::int32_t>(c.records.size()));
        EXPECT_FALSE(texts_left()) << c.what;
        EXPECT_EQ(state.locations[entry::train].position, 5) << c.what;
        EXPECT_EQ(cell(5).speedStep, 0) << c.what;  // the final fills never ran
    }
}

TEST_F(TrainReader, ZonesExactly350MetresApartAreAccepted) {
    line_records({});
    train_records(
        {station_line(400, 4, 800), station_line(1250, 4, 200), station_line(50, 27, 100)});
    read();
    // A station of kind 25 or above needs no stop cell; the third still ends the spacing test.
    expect_fault_at(Fault::station_zones_too_close, 50, kTrain, kFirstTrainRecord + 2);
    EXPECT_EQ(state.stationCount, 2);
    EXPECT_EQ(state.locations[2].zoneStart, 1150);
}

TEST_F(TrainReader, StationBoundCheckKeeps800MetresBeforeTheEnd) {
    for (const std::int32_t p : {104200, 104250}) {
        line_records({});
        train_records({station_line(p, 4, 200), "velocita,  0,  60"});
        read();
        EXPECT_FALSE(texts_left());
        if (p == 104200) {
            expect_clean();
            EXPECT_EQ(cell(2085).kind, cell_kind::station_stop);
        } else {
            expect_fault_at(Fault::record_near_route_end, p, kTrain, kFirstTrainRecord);
            EXPECT_EQ(cell(5).speedStep, 0);  // the records ended; the fills still ran
            EXPECT_EQ(state.stationCount, 0);
        }
    }
}

TEST_F(TrainReader, StationZoneRunningPastTheCellsIsRefusedAtItsPosition) {
    line_records({});
    train_records({station_line(1000, 4, 400000), station_line(3000, 4, 200)});
    read();
    expect_fault_at(Fault::record_near_route_end, 1000, kTrain, kFirstTrainRecord);
    EXPECT_EQ(state.stationCount, 0);
    EXPECT_EQ(state.locations[2].position, 0);
}

TEST_F(TrainReader, StationsStopBelowTheSignBoards) {
    struct Case {
        int boards;
        int stations;
        std::int32_t fault;  // 0: none
        int last_stored;     // the entry of the last station read
    };
    constexpr auto kFull = number_of(Fault::station_table_full);
    const Case cases[] = {{54, 24, 0, 24},    {54, 25, kFull, 25},  {0, 78, 0, 78},
                          {0, 79, kFull, 79}, {0, 3000, kFull, 79}, {79, 3, kFull, 1}};
    for (const auto& c : cases) {
        line_records(sign_boards(c.boards));
        train_records(stations(c.stations));
        read();
        EXPECT_FALSE(texts_left());
        EXPECT_EQ(state.errorNumber, c.fault) << c.boards << " boards, " << c.stations;
        if (c.fault != 0) {
            expect_fault(Fault::station_table_full, kTrain, kFirstTrainRecord + c.last_stored - 1);
        }
        EXPECT_EQ(state.stationCount, c.last_stored);
        EXPECT_EQ(state.locations[c.last_stored].name, "S" + std::to_string(c.last_stored));
        for (int free = c.last_stored + 1; free <= 80 - c.boards; ++free) {
            EXPECT_EQ(state.locations[free], LocationEntry{}) << free;
        }
        for (int board = 0; board < c.boards; ++board) {
            EXPECT_EQ(state.locations[80 - board].name, "(B" + std::to_string(board) + ")");
        }
    }
}

TEST_F(TrainReader, WithTheTableFullOfBoardsNoStationOverwritesOne) {
    line_records(sign_boards(80, 100));
    train_records(stations(1));
    read();
    expect_fault(Fault::station_table_full, kTrain, kFirstTrainRecord);
    EXPECT_EQ(state.locations[1].name, "(B79)");
    EXPECT_EQ(state.locations[1].position, 0);
    EXPECT_EQ(state.stationCount, 0);
}

TEST_F(TrainReader, ACode15OfTheLineTextStopsTheTrainTextAtTheFirstSignal) {
    line_records({"pendenza,  104950,  5"});
    train_records({"velocita,  0,  60", station_line(400, 4, 800),
                   "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
                   station_line(5000, 4, 200)});
    read();
    // The fault is still the line text's; the position is the signal's.
    expect_fault_at(Fault::record_near_route_end, 1850, ErrorSource::line_text, kFirstLineRecord);
    EXPECT_EQ(cell(38).kind, cell_kind::signal);
    EXPECT_EQ(state.stationCount, 1);
    EXPECT_EQ(cell(5).speedStep, 0);
    EXPECT_FALSE(texts_left());

    // A fault of the train text replaces it.
    line_records({"pendenza,  104950,  5"});
    train_records({station_line(425, 4, 200)});
    read();
    expect_fault_at(Fault::station_off_grid, 425, kTrain, kFirstTrainRecord);
}

TEST_F(TrainReader, KilometricRangesOffTheGridAreReportedAfterTheTrainText) {
    auto general = line_general();
    general[2] = "progressiva chilometrica uno,    0,    98025,    1";
    write_line(with(general, {"[fine]"}));
    train_records({"velocita,  0,  60"});
    read();
    expect_fault(Fault::kilometric_range_off_grid, ErrorSource::line_text, 3);
    EXPECT_EQ(cell(5).speedStep, 12);
    EXPECT_FALSE(texts_left());
}

TEST_F(TrainReader, TextBeforeTheGeneralSectionIsIgnored) {
    line_records({});
    write_train({"numero vetture,  9", "[generale]", "sabbia,  7", "[fine]"});
    read();
    expect_clean();
    EXPECT_EQ(state.locations[entry::train].position, 0);
    EXPECT_EQ(state.locations[entry::repetition].param7, 7);

    line_records({});
    write_train({"numero vetture,  9", "[fine]"});
    read();
    expect_clean();
    EXPECT_EQ(state.locations[entry::train].position, 0);
}

TEST_F(TrainReader, HostileTextsRecordAFaultAndNeverCrash) {
    struct Case {
        const char* what;
        std::string text;
        std::int32_t line;
        std::string detail = {};  // what the failure says, when it names a missing value
    };
    const std::string general = text_of(train_general());
    const std::string station = station_line(1000, 4, 200);
    const Case cases[] = {
        {"a station cut short", general + station.substr(0, 40), kFirstTrainRecord,
         "the line of the 'stazione' record ends before its tenth value"},
        {"a station without its name", general + station.substr(0, station.rfind(',') + 1),
         kFirstTrainRecord},
        {"hours beyond the 32-bit time",
         general + "stazione, 1000, 4, 200, 0,0,0, 0,0,0, 0,0,0, 0, 1000000,0,0, X\r\n",
         kFirstTrainRecord},
        {"a kind beyond 8 bits",
         general + "stazione, 1000, 300, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n",
         kFirstTrainRecord},
        {"a clock beyond 16 bits", general + "orologio,  40000  0  0\r\n[fine]\r\n",
         kFirstTrainRecord},
        {"a signal with ten values",
         general + "segnale,  1850,  1, 4, 0, 0, 0, 0, 0, 0, 0\r\n[fine]\r\n", kFirstTrainRecord,
         "the line of the 'segnale' record ends before its time"},
        {"a speed record cut short by its line end",
         general + "velocita,    1100\r\nvelocita,    1200,   70\r\n[fine]\r\n", kFirstTrainRecord,
         "the line of the 'velocita' record ends before its speed"},
    };
    for (const auto& c : cases) {
        line_records({});
        files::replace_file(train_path(), c.text);
        read();
        expect_fault(Fault::reading_failure, kTrain, c.line);
        if (!c.detail.empty()) {
            EXPECT_EQ(state.errorSite.detail, c.detail) << c.what;
        }
        EXPECT_FALSE(texts_left()) << c.what;
    }
}

}  // namespace
}  // namespace scenario::compiler::testing
