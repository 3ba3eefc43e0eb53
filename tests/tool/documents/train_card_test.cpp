#include "documents/train_card.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "document_texts.h"
#include "documents/document_forms.h"
#include "sources/content_table.h"

namespace scenario::tool {
namespace {

using testing::builtin_line_text;
using testing::builtin_train_text;
using testing::documents_of;
using testing::insert_after;
using testing::Lines;
using testing::replace_line;

// The built-in line's chainage: one decreasing range, 98 km at position 0.
constexpr long kChainage = 98000;

std::string padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

std::string kilometres(long position) {
    const long metres = kChainage - position;
    const std::string m = std::to_string(metres % 1000);
    const std::string km = std::to_string(metres / 1000) + "+" + std::string(3 - m.size(), '0') + m;
    return std::string(8 - km.size(), ' ') + km + "  ";
}

std::string clock(long seconds) {
    const long minutes = seconds / 60 % 60;
    return std::to_string(seconds / 3600) + "." + (minutes < 10 ? "0" : "") +
           std::to_string(minutes) + (seconds % 60 != 0 ? "+" : "");
}

std::string speed(const std::string& kmh) {
    return padded(kmh.empty() ? "" : " " + kmh, 5);
}

// A row of the route table as the card's columns give it.
std::string row(const std::string& limit, const std::string& running, long position,
                const std::string& name = "", const std::string& times = "") {
    return " |" + speed(limit) + "|" + speed(running) + "|" + kilometres(position) + "|     |" +
           padded(name.empty() ? "" : "  " + name, 28) + "|" + padded(times, 16) + "|     |";
}

// A stop as a station line gives it, and the row it makes.
struct Stop {
    long position;
    int dwell;
    int hours, minutes, seconds;
    std::string name;

    std::string text() const {
        char numbers[120];
        std::snprintf(numbers, sizeof numbers,
                      "stazione,%8ld, 23,  200,  0, 0, 0,  0,0,0,  4,1,1,%5d,%4d,%2d,%2d, ",
                      position, dwell, hours, minutes, seconds);
        return numbers + name;
    }
    std::string card_row() const {
        const long leaves = hours * 3600L + minutes * 60L + seconds;
        return row("", "", position, name, "  " + clock(leaves - dwell) + " - " + clock(leaves));
    }
};

TEST(TrainCard, TheBuiltInTextsGiveTheBuiltInCard) {
    const auto card = documents_of(builtin_line_text(), builtin_train_text()).card;
    EXPECT_EQ(document_bytes(card.lines),
              sources::render(sources::content_table(sources::train_card_lines())));
    EXPECT_EQ(card.locationRows, 23u);
    EXPECT_EQ(card.speedRows, 9u);
}

// The built-in card's first row reads 70 and 55 at MORENA LAGO (400 m), while the speed-limit
// lines give 60 up to 1100 m, and it has no row at 1100 m. The card follows from the texts by
// its departure rule: a change of limit within the departure station's platform length (400 m
// + 800 m) is printed in the departure row, whose running speed stays that of the limit the
// train starts under; the next change, to 60 at 6200 m, then leaves the running speed as it is.
TEST(TrainCard, TheDepartureRowGivesTheLimitPastTheStationAndTheRunningSpeedItStartsUnder) {
    const Lines train = builtin_train_text();
    ASSERT_EQ(testing::line_with(train, "velocita,       0,"), "velocita,       0,    60");
    ASSERT_EQ(testing::line_with(train, "velocita,    1100,"), "velocita,    1100,    70");
    const auto card = documents_of(builtin_line_text(), train).card;
    EXPECT_EQ(card.lines[17], row("70", "55", 400, "MORENA LAGO", "      6.37"));
    EXPECT_EQ(testing::line_with(card.lines, kilometres(1100)), "");
    EXPECT_EQ(testing::line_with(card.lines, kilometres(6200)), row("60", "", 6200));
}

struct CardEdit {
    const char* name;
    std::function<void(Lines& line, Lines& train)> edit;
    std::vector<std::string> rows;     // in the card, in this order
    std::vector<std::string> no_rows;  // texts no line of the card holds
    std::vector<std::string> leave_off = {testing::kLeftOff};
};

TEST(TrainCard, EditedTextsGiveTheirRows) {
    const Stop moved{13800, 30, 6, 57, 30, "SANTA GIULIA"};
    const std::vector<CardEdit> cases{
        {"a moved station moves its row, kilometre and time",
         [&](Lines&, Lines& train) { replace_line(train, "stazione,   13400,", moved.text()); },
         {row("", "", 7500, "CASTELLETTO LAGO", "  6.46+ - 6.48"), moved.card_row(),
          row("70", "65", 16000)},
         {kilometres(13400)}},
        {"a changed speed limit changes its row",
         [](Lines&, Lines& train) {
             replace_line(train, "velocita,   16000,", "velocita,   16000,    80");
         },
         {row("80", "70", 16000), row("60", "55", 21500)},
         {}},
        {"a new speed limit gives a speed row",
         [](Lines&, Lines& train) {
             insert_after(train, "velocita,   27000,", "velocita,   30000,    60");
         },
         {row("70", "65", 27000), row("60", "55", 30000), row("90", "80", 33600)},
         {}},
        {"a speed-limit line that changes nothing gives no row",
         [](Lines&, Lines& train) {
             insert_after(train, "velocita,   27000,", "velocita,   30000,    70");
         },
         {row("70", "65", 27000), row("90", "80", 33600)},
         {kilometres(30000)}},
        {"a change past the departure station's platform has its own row",
         [](Lines& line, Lines& train) {
             replace_line(line, "indicatori_vmax,  1100,",
                          "indicatori_vmax,  1300,  60,  70,  70,  0,  ,  ,  ,  0");
             replace_line(train, "velocita,    1100,", "velocita,    1300,    70");
         },
         {row("60", "55", 400, "MORENA LAGO", "      6.37"), row("70", "65", 1300),
          row("", "", 4900, "RIVA BELLA"), row("60", "55", 6200)},
         {}},
        {"every location without --leave-off",
         [](Lines&, Lines&) {},
         {row("", "", 7500, "CASTELLETTO LAGO", "  6.46+ - 6.48"),
          row("", "", 10200, "LIDO DI SERENA"),
          row("", "", 13400, "SANTA GIULIA", "  6.56 - 6.56+")},
         {},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Lines line = builtin_line_text();
        Lines train = builtin_train_text();
        c.edit(line, train);
        const auto card = documents_of(line, train, c.leave_off).card;
        std::vector<std::string> table(card.lines.begin() + 17, card.lines.end() - 2);
        table.back().pop_back();  // the last row's blank after its bar
        auto at = table.begin();
        for (const auto& expected : c.rows) {
            at = std::find(at, table.end(), expected);
            EXPECT_NE(at, table.end()) << "missing or out of order: " << expected;
        }
        for (const auto& absent : c.no_rows) {
            EXPECT_EQ(testing::line_with(table, absent), "") << absent;
        }
    }
}

struct Refused {
    const char* name;
    std::function<void(Lines& line, Lines& train)> edit;
    std::string line_of;  // the train text line the refusal names, by its start; "" for none
    std::string says;     // a part of the message
    std::vector<std::string> leave_off = {testing::kLeftOff};
    CardOptions options = {};
};

TEST(TrainCard, ValuesItCannotPrintAreRefusedNamingTheirLine) {
    const auto station = [](const char* prefix, Stop stop) {
        return [=](Lines&, Lines& train) { replace_line(train, prefix, stop.text()); };
    };
    const std::vector<Refused> cases{
        {"a name longer than its column",
         station("stazione,   13400,", {13400, 30, 6, 56, 30, "SANTA GIULIA DELLE SETTE FONTANE"}),
         "stazione,   13400,", "'SANTA GIULIA DELLE SETTE FONTANE' at 13400 m: its name has 32"},
        {"a terminal's name longer than the header's cell",
         [](Lines&, Lines& train) {
             replace_line(train, "stazione,   95200,",
                          "stazione,   95200,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,   8,34, 0, "
                          "PIAN DI VALSO E SONDALTO");
         },
         "stazione,   95200,", "station of arrival 'PIAN DI VALSO E SONDALTO'"},
        {"a time off the half minute", station("stazione,   13400,", {13400, 30, 6, 56, 15, "X"}),
         "stazione,   13400,", "its departure 6:56:15 cannot be printed"},
        {"an arrival before midnight", station("stazione,   13400,", {13400, 60, 0, 0, 30, "X"}),
         "stazione,   13400,", "its arrival (departure less the stop) -0:0:30"},
        {"a kilometre below 0",
         [](Lines& line, Lines&) {
             replace_line(line, "progressiva chilometrica uno,",
                          "progressiva chilometrica uno,    0,    90000,    1");
         },
         "stazione,   95200,", "'PIAN DI VALSO' at 95200 m: its kilometre -5+200"},
        {"a location before every kilometric range",
         [](Lines& line, Lines&) {
             replace_line(line, "progressiva chilometrica uno,",
                          "progressiva chilometrica uno,    1000,    97000,    1");
         },
         "stazione,     400,", "no kilometric range of the line covers it"},
        {"speed-limit lines out of travel order",
         [](Lines&, Lines& train) {
             insert_after(train, "velocita,   45300,", "velocita,   30000,    90");
         },
         "velocita,   30000,", "in travel order"},
        {"a location to leave off that the run has not",
         [](Lines&, Lines&) {},
         "",
         "--leave-off 'LIDO DI SERENO': the train text has no location of that name",
         {"LIDO DI SERENO"}},
        {"the station of departure left off",
         [](Lines&, Lines&) {},
         "stazione,     400,",
         "the station of departure heads the train card",
         {"MORENA LAGO"}},
        {"a category longer than its cell",
         [](Lines&, Lines&) {},
         "",
         "--category 'REGIONALE VELOCE' does not fit",
         {testing::kLeftOff},
         {"REGIONALE VELOCE", "REGIONALE", 330}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Lines line = builtin_line_text();
        Lines train = builtin_train_text();
        c.edit(line, train);
        const std::string line_text = testing::joined(line);
        const std::string train_text = testing::joined(train);
        DocumentsInput input{line_text, train_text, "T", "R1", c.leave_off, c.options, {}};
        try {
            make_documents(input);
            ADD_FAILURE() << "not refused";
        } catch (const DocumentRefusal& refusal) {
            EXPECT_NE(std::string(refusal.what()).find(c.says), std::string::npos)
                << refusal.what();
            EXPECT_EQ(refusal.line(),
                      c.line_of.empty() ? 0 : testing::line_number(train, c.line_of));
        }
    }
}

TEST(TrainCard, ASpeedChangeWithoutABoardIsRemarkedUpon) {
    Lines train = builtin_train_text();
    insert_after(train, "velocita,   27000,", "velocita,   30000,    60");
    const auto notes = documents_of(builtin_line_text(), train).notes;
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].line, testing::line_number(train, "velocita,   30000,"));
    EXPECT_TRUE(documents_of(builtin_line_text(), builtin_train_text()).notes.empty());
}

}  // namespace
}  // namespace scenario::tool
