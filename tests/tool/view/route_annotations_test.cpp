#include "view/route_annotations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "diagnostics/reading_diagnostics.h"
#include "support/fault_cases.h"

namespace scenario::tool {
namespace {

using testing::insert_line;
using testing::kBaseLine;
using testing::kBaseTrain;
using testing::Lines;
using testing::replace_line;
using testing::text_of;

struct Page {
    ReadScenario scenario;
    RouteAnnotations annotations;

    // The object of the record on a line of text 0 (line) or 1 (train).
    const RouteObject& at(std::int32_t file, std::int32_t line) const {
        const auto& objects = annotations.objects;
        const auto found = std::find_if(objects.begin(), objects.end(), [&](const RouteObject& o) {
            return o.source && o.source->file == file && o.source->line == line;
        });
        EXPECT_NE(found, objects.end()) << "no object of text " << file << " line " << line;
        return found != objects.end() ? *found : objects.front();
    }
    std::int32_t id_of(const RouteObject& o) const {
        return static_cast<std::int32_t>(&o - annotations.objects.data());
    }
};

std::unique_ptr<Page> page_of(const Lines& line, const Lines& train) {
    auto page = std::make_unique<Page>();
    read_scenario(page->scenario, {"line.txt", text_of(line)}, {"train.txt", text_of(train)}, {});
    page->annotations = annotations_from_reading(page->scenario, diagnose(page->scenario, {}));
    return page;
}

const FieldValue* detail(const RouteObject& o, std::string_view name) {
    for (const auto& [key, value] : o.details) {
        if (key == name) {
            return &value;
        }
    }
    return nullptr;
}

bool stored_in(const RouteObject& o, std::string_view where) {
    return std::any_of(o.stored.begin(), o.stored.end(),
                       [&](const auto& group) { return group.first == where; });
}

// The base route with a code point, so that every record kind is there.
Lines base_train() {
    Lines train = kBaseTrain;
    insert_line(train, 22, "abbattimento,   3000,   100");
    return train;
}

TEST(RouteAnnotations, EveryRecordIsAnObjectOfItsKindWithItsSpanAndItsCells) {
    const auto page = page_of(kBaseLine, base_train());
    // The last gradient and adhesion hold to the end of the cells they fill, short of the
    // run-out's last two.
    const auto last = page->scenario.state.last_cell() - 3;
    struct Row {
        std::int32_t file, line;
        std::string_view type;
        std::optional<std::int32_t> position, end;
        std::vector<std::int32_t> cells;  // [first, last] when `range`
        bool range;
        std::string_view stored;  // one place of what the compact files hold for it
    };
    const Row rows[] = {
        {0, 2, "route-length", 0, 20000, {}, false, "entry 84"},
        {0, 3, "kilometric-range", 0, {}, {}, false, "entry 81"},
        {0, 6, "scenery", {}, {}, {}, false, "entry 85"},
        {0, 9, "signal-repetition", 1000, 18000, {}, false, "entry 86"},
        {0, 11, "curve", 2000, 2300, {}, false, "plan"},
        {0, 13, "gradient", 0, 5000, {0, 99}, true, "cells 0 to 99"},
        {0, 14, "gradient", 5000, (last + 1) * 50, {100, last}, true, ""},
        {0, 16, "mountain", 6000, 6400, {120, 127}, true, "cells 123, 127"},
        {0, 18, "speed-board", 1100, {}, {23}, false, "cell 23"},
        {0, 20, "sign-board", 2200, {}, {45}, false, "entry 80"},
        {1, 2, "coaches", {}, {}, {}, false, "entry 84"},
        {1, 5, "clock", {}, {}, {}, false, "entry 86"},
        {1, 7, "adhesion", 0, (last + 1) * 50, {0, last}, true, ""},
        {1, 9, "speed-limit", 0, 1100, {0, 21}, true, "cells 0 to 21"},
        {1, 13, "station", 8000, 8200, {159, 163}, true, "cell 163"},
        {1, 16, "slowdown", 12000, 12300, {213, 214, 215, 216, 217, 241, 247}, false, "cell 241"},
        {1, 18, "signal", 1850, {}, {30, 32, 34, 36, 38}, false, "cell 38"},
        {1, 22, "code-point", 3000, {}, {60}, false, "cell 60"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.type) + " at line " + std::to_string(row.line));
        const auto& o = page->at(row.file, row.line);
        const auto& text = row.file == 0 ? kBaseLine : base_train();
        const auto& written = text[static_cast<std::size_t>(row.line - 1)];
        EXPECT_EQ(o.type, row.type);
        EXPECT_EQ(o.source->column, 1);
        EXPECT_EQ(o.source->endColumn,
                  static_cast<std::int32_t>(written.find_last_not_of(' ')) + 2);
        EXPECT_EQ(o.position, row.position);
        EXPECT_EQ(o.end, row.end);
        EXPECT_EQ(o.cells, row.cells);
        EXPECT_EQ(o.cellRange, row.range);
        if (!row.stored.empty()) {
            EXPECT_TRUE(stored_in(o, row.stored));
        }
        EXPECT_EQ(detail(o, "notPlaced"), nullptr);
    }
    // Every record of both texts, and the code points of the pass after them.
    const auto& records = page->scenario.reading.records();
    ASSERT_GE(page->annotations.objects.size(), records.size());
    for (std::size_t i = records.size(); i < page->annotations.objects.size(); ++i) {
        const auto& o = page->annotations.objects[i];
        EXPECT_EQ(o.type, "code-point");
        EXPECT_FALSE(o.source);
        EXPECT_EQ(*detail(o, "placedBy"), FieldValue{std::string("signalling")});
    }
}

TEST(RouteAnnotations, ARecordGivesItsValuesAndWhatThePageNeedsBesideThem) {
    const auto page = page_of(kBaseLine, base_train());
    const auto& station = page->at(1, 13);
    EXPECT_EQ(station.name, "VALLE");
    EXPECT_EQ(station.values.front(), FieldValue{std::int64_t{8000}});
    EXPECT_EQ(station.values.back(), FieldValue{std::string("VALLE")});
    EXPECT_EQ(*detail(station, "time"), FieldValue{std::string("06:48:00")});
    EXPECT_EQ(*detail(station, "stops"), FieldValue{true});
    EXPECT_EQ(*detail(station, "zone"), (FieldValue{std::vector<std::int64_t>{7850, 8200}}));
    EXPECT_EQ(station.stored.front().first, "entry 2");

    // The slowdown at 12000 m over 300 m: its boards on cells 241 and 247.
    EXPECT_EQ(*detail(page->at(1, 16), "restricted"),
              (FieldValue{std::vector<std::int64_t>{12050, 12400}}));

    const auto& board = page->at(0, 20);
    EXPECT_EQ(board.name, "(PONTE SUL)(FIUME)");
    EXPECT_EQ(board.stored.front().second.front(),
              (std::pair<std::string, FieldValue>{"name", std::string("(PONTE SUL)(FIUME)")}));
}

// The radius of each class, as the page names it, against the bend of the plan itself.
TEST(RouteAnnotations, ACurveIsToldByHandClassAndTheRadiusItBendsThePlanBy) {
    for (char digit = '1'; digit <= '6'; ++digit) {
        SCOPED_TRACE(std::string("class ") + digit);
        Lines line = kBaseLine;
        replace_line(line, 11, std::string("curvas") + digit + ",  2000,  300");
        const auto page = page_of(line, base_train());
        const auto& curve = page->at(0, 11);
        EXPECT_EQ(*detail(curve, "hand"), FieldValue{std::string("s")});
        EXPECT_EQ(*detail(curve, "class"), FieldValue{std::int64_t{digit - '0'}});
        const auto turns = cell_curvature(page->scenario.state.plan, 50);
        const auto radius = std::get<std::int64_t>(*detail(curve, "radius"));
        EXPECT_NEAR(-1.0 / turns[43], static_cast<double>(radius), 1.0);
    }
}

TEST(RouteAnnotations, ACellFaultIsTiedToItsRecordAndToTheOtherParty) {
    Lines train = base_train();
    // A signal on the sign board's cell (45).
    replace_line(train, 19, testing::signal_at(2200));
    const auto page = page_of(kBaseLine, train);
    const auto& diagnostics = page->annotations.diagnostics;
    const auto fault = std::find_if(diagnostics.begin(), diagnostics.end(),
                                    [](const RouteDiagnostic& d) { return d.code == "16"; });
    ASSERT_NE(fault, diagnostics.end());
    const auto& signal = page->at(1, 19);
    EXPECT_EQ(fault->object, page->id_of(signal));
    EXPECT_EQ(fault->source->file, 1);
    EXPECT_EQ(fault->source->line, 19);
    EXPECT_EQ(fault->cell, 45);
    ASSERT_EQ(fault->related.size(), 1u);
    EXPECT_EQ(fault->related[0].object, page->id_of(page->at(0, 20)));
    EXPECT_EQ(fault->related[0].source->line, 20);
    // The signal is kept, flagged; the board keeps its cell.
    EXPECT_NE(detail(signal, "notPlaced"), nullptr);
    EXPECT_TRUE(signal.cells.empty());
    EXPECT_EQ(page->at(0, 20).cells, std::vector<std::int32_t>{45});
}

TEST(RouteAnnotations, ARecordThatCannotBeReadIsStillAnObjectAtItsLine) {
    Lines train = base_train();
    replace_line(train, 10, "velocita,    1100");
    const auto page = page_of(kBaseLine, train);
    const auto& limit = page->at(1, 10);
    EXPECT_EQ(limit.type, "speed-limit");
    EXPECT_EQ(*detail(limit, "notPlaced"), FieldValue{std::string("a value could not be read")});
    // The limit before it holds on to the end of the cells.
    EXPECT_EQ(page->at(1, 9).end, page->at(1, 9).cells.back() * 50 + 50);
}

TEST(RouteAnnotations, TextsWithoutARouteGiveTheirDiagnosticsAlone) {
    Lines line = kBaseLine;
    line.erase(line.begin() + 1);
    const auto page = page_of(line, base_train());
    EXPECT_TRUE(page->annotations.objects.empty());
    ASSERT_FALSE(page->annotations.diagnostics.empty());
    for (const auto& d : page->annotations.diagnostics) {
        EXPECT_FALSE(d.object);
    }
}

}  // namespace
}  // namespace scenario::tool
