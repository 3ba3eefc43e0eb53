#include "documents/slowdown_order.h"

#include <gtest/gtest.h>

#include <functional>

#include "document_texts.h"
#include "documents/document_forms.h"
#include "sources/content_table.h"

namespace scenario::tool {
namespace {

using testing::builtin_line_text;
using testing::builtin_train_text;
using testing::documents_of;
using testing::Lines;
using testing::replace_line;

constexpr long kChainage = 98000;  // the built-in line's reading at position 0, decreasing

std::string padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

// The post a restriction from position x begins after: the reading decreases along the run,
// so the whole kilometre at or above the reading at x.
std::string post(long x) {
    const long reading = kChainage - x;
    return std::to_string((reading + 999) / 1000) + "+000";
}

// A slowdown as its line gives it, and the row it makes between the named stations.
struct Slowdown {
    long x;
    int v;
    int l;
    int f_tt;

    std::string text() const {
        char line[80];
        std::snprintf(line, sizeof line, "rallentamento,%8ld,%6d,%5d,%2d,  0,  0", x, v, l, f_tt);
        return line;
    }
    std::string row(int number, const std::string& stations, const std::string& letters) const {
        return " |" + padded(" " + std::to_string(number), 3) + "|" + padded("  " + stations, 28) +
               "|" + padded("   " + post(x), 12) + "|" + padded("    " + std::to_string(v), 10) +
               "|" + padded("   " + std::to_string(l), 9) + "|" + padded("     " + letters, 12) +
               "|" + std::string(17, ' ');
    }
};

TEST(SlowdownOrder, TheBuiltInTextsGiveTheBuiltInOrder) {
    const auto order = documents_of(builtin_line_text(), builtin_train_text()).order;
    EXPECT_EQ(document_bytes(order),
              sources::render(sources::content_table(sources::slowdown_order_lines())));
}

TEST(SlowdownOrder, EachSlowdownLineGivesARestrictionRow) {
    const Slowdown builtin{71200, 40, 300, 1};
    const Slowdown before_it{60200, 30, 300, 0};
    const Slowdown in_cortenova{53050, 30, 200, 1};    // zone 53000 to 53400
    const Slowdown into_cortenova{52800, 30, 300, 0};  // reaches into that zone
    struct Case {
        const char* name;
        std::vector<Slowdown> slowdowns;
        std::vector<std::string> rows;
    };
    const std::vector<Case> cases{
        {"a second slowdown, numbered in travel order",
         {builtin, before_it},
         {before_it.row(1, "Molini - San Rocco", ""), builtin.row(2, "Rocca Alta - Fornace", "A")}},
        {"a slowdown inside a station names that station",
         {in_cortenova},
         {in_cortenova.row(1, "Cortenova", "A")}},
        {"a slowdown reaching into a station takes letter B",
         {into_cortenova},
         {into_cortenova.row(1, "Prato Alto - Cortenova", "B")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Lines train = builtin_train_text();
        replace_line(train, "rallentamento,", c.slowdowns.front().text());
        for (std::size_t i = 1; i < c.slowdowns.size(); ++i) {
            testing::insert_after(train, "rallentamento,", c.slowdowns[i].text());
        }
        const auto order = documents_of(builtin_line_text(), train).order;
        ASSERT_EQ(order.size(), 45u);
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(order[12 + i], c.rows[i]);
        }
        EXPECT_EQ(order[12 + c.rows.size()], order[11]);  // then the empty rows
    }
}

TEST(SlowdownOrder, StationNamesLongerThanTheirColumnAreRefused) {
    Lines train = builtin_train_text();
    replace_line(train, "rallentamento,", Slowdown{80500, 30, 300, 0}.text());
    const std::string line_text = testing::joined(builtin_line_text());
    const std::string train_text = testing::joined(train);
    DocumentsInput input{line_text, train_text, "T", "R1", {testing::kLeftOff}, {}, {}};
    try {
        make_documents(input);
        ADD_FAILURE() << "not refused";
    } catch (const DocumentRefusal& refusal) {
        EXPECT_EQ(refusal.line(), testing::line_number(train, "rallentamento,"));
        EXPECT_EQ(std::string(refusal.what()),
                  "the slowdown at 80500 m: the names of its stations 'Castelvecchio-Terme - "
                  "Selva': 27 characters, where its column of the slowdown order holds 26");
    }
}

// Two restrictions cannot share a cell, so the nearest they come is the next cell: then both
// are contiguous (D). The table grows past its 25 rows, up to 99 restrictions.
TEST(SlowdownOrder, ContiguousRestrictionsAndAGrowingTable) {
    auto scenario = testing::scenario_of(builtin_line_text(), builtin_train_text());
    scenario.slowdowns = {{71200, 40, 300, 1, 1, 0, 63},
                          {71550, 30, 300, 0, 0, 0, 64},
                          {72000, 30, 300, 0, 0, 0, 65}};
    const auto order = slowdown_order(scenario);
    EXPECT_EQ(order[12].substr(69, 12), "     A, D   ");
    EXPECT_EQ(order[13].substr(69, 12), "     D      ");
    EXPECT_EQ(order[14].substr(69, 12), "            ");

    scenario.slowdowns.assign(99, {84000, 30, 100, 0, 0, 0, 63});
    const auto full = slowdown_order(scenario);
    EXPECT_EQ(full.size(), 45u + 99 - 25);
    EXPECT_EQ(full[12 + 98].substr(0, 6), " | 99|");
    EXPECT_EQ(full[12 + 99], full[10]);  // the closing rule at once

    scenario.slowdowns.push_back({90000, 30, 100, 0, 0, 0, 200});
    try {
        slowdown_order(scenario);
        ADD_FAILURE() << "100 restrictions not refused";
    } catch (const DocumentRefusal& refusal) {
        EXPECT_EQ(refusal.line(), 200);
        EXPECT_NE(std::string(refusal.what()).find("at most 99"), std::string::npos);
    }
}

}  // namespace
}  // namespace scenario::tool
