#include "compiler/model/packing.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "compiler/model/layouts.h"

namespace scenario::compiler {
namespace {

std::uint32_t u32_at(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t u16_at(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

TEST(Layouts, FixedWidthsAddUpToTheRecordSizes) {
    EXPECT_EQ(record_fixed_size(location_layout), 34u);
    EXPECT_EQ(record_fixed_size(cell_layout), 15u);
}

TEST(Layouts, APlanPointIsItsTagAndAValueOfTheTagsWidth) {
    struct Case {
        PlanTag tag;
        std::size_t bytes;
    };
    for (const auto& [tag, bytes] :
         {Case{PlanTag::empty, 2}, Case{PlanTag::integer, 4}, Case{PlanTag::real, 10}}) {
        EXPECT_EQ(plan_point_width(tag), bytes) << static_cast<int>(tag);
    }
    EXPECT_EQ(plan_point_kinds.size(), 3u);
    EXPECT_EQ(plan_point_largest_width, 10u);
}

TEST(Packing, ClearedEntryIsThirtyFourZeroBytes) {
    const std::array<LocationEntry, 1> entries{};
    const auto bytes = pack_locations(entries);
    ASSERT_EQ(bytes.size(), 34u);
    for (const auto b : bytes) {
        EXPECT_EQ(b, 0);
    }
}

TEST(Packing, EntryFieldsLandAtTheirOffsetsAfterTheName) {
    LocationEntry e;
    e.kind = 4;
    e.zoneStart = -2;
    e.zoneEnd = 800;
    e.position = 400;
    e.param4 = 1;
    e.name = "MORENA";
    e.param7 = 610;
    e.param8 = -1;
    e.param10 = 2;
    e.param11 = 3;
    e.param12 = 0x1234;
    e.param9 = 9;
    e.dwell = 90;
    e.extendFlag = 1;
    e.longFlag = 1;
    e.timeOfDay = 23820;
    const std::array entries{e};
    const auto b = pack_locations(entries);
    const std::size_t n = e.name.size();
    ASSERT_EQ(b.size(), 34 + n);
    EXPECT_EQ(b[0], 4);
    EXPECT_EQ(u32_at(b, 1), 0xFFFFFFFEu);
    EXPECT_EQ(u32_at(b, 5), 800u);
    EXPECT_EQ(u32_at(b, 9), 400u);
    EXPECT_EQ(b[13], 1);
    EXPECT_EQ(u16_at(b, 14), n);
    EXPECT_EQ(std::string(b.begin() + 16, b.begin() + 16 + static_cast<long>(n)), "MORENA");
    EXPECT_EQ(u16_at(b, 16 + n), 610);
    EXPECT_EQ(u16_at(b, 18 + n), 0xFFFF);
    EXPECT_EQ(u16_at(b, 20 + n), 2);
    EXPECT_EQ(u16_at(b, 22 + n), 3);
    EXPECT_EQ(u16_at(b, 24 + n), 0x1234);
    EXPECT_EQ(b[26 + n], 9);
    EXPECT_EQ(b[27 + n], 90);
    EXPECT_EQ(b[28 + n], 1);
    EXPECT_EQ(b[29 + n], 1);
    EXPECT_EQ(u32_at(b, 30 + n), 23820u);
}

TEST(Packing, NameByteCountCountsWindows1252BytesNotCharacters) {
    LocationEntry e;
    e.name = "CITT\xC0";  // one byte for the accented letter
    const std::array entries{e};
    const auto b = pack_locations(entries);
    EXPECT_EQ(u16_at(b, 14), 5);
    EXPECT_EQ(b.size(), 39u);
}

TEST(Packing, CellIsFifteenBytesInFieldOrder) {
    TrackCell c{.kind = 1,
                .ref = 5121,
                .ref2 = -3,
                .ref3 = 7,
                .ref4 = 0x0102,
                .signalTime = 250,
                .approachMark = 31,
                .spanKind = 2,
                .speedStep = 14,
                .gradientCode = 129,
                .adhesion = 80};
    const std::array cells{TrackCell{}, c};
    const auto b = pack_cells(cells);
    ASSERT_EQ(b.size(), 30u);
    const Bytes expected{1, 0x01, 0x14, 0xFD, 0xFF, 7, 0, 0x02, 0x01, 250, 31, 2, 14, 129, 80};
    EXPECT_EQ(Bytes(b.begin() + 15, b.end()), expected);
}

TEST(Packing, PlanElementsAreTaggedAndTheXHalfComesFirst) {
    PathPoints plan;
    plan.allocate(3);
    plan.axis[0].tags[0] = PlanTag::integer;
    plan.axis[0].values[0] = 0;
    plan.axis[1].tags[0] = PlanTag::integer;
    plan.axis[1].values[0] = 1;
    plan.axis[0].tags[1] = PlanTag::real;
    plan.axis[0].values[1] = 0.5;
    const auto b = pack_path_points(plan);
    // x: int 0, double 0.5, empty, empty; y: int 1, empty, empty, empty.
    ASSERT_EQ(b.size(), 4u + 10u + 2u + 2u + 4u + 2u + 2u + 2u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 4), (Bytes{2, 0, 0, 0}));
    EXPECT_EQ(u16_at(b, 4), 5);
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        bits |= static_cast<std::uint64_t>(b[6 + i]) << (8 * i);
    }
    EXPECT_EQ(std::bit_cast<double>(bits), 0.5);
    EXPECT_EQ(Bytes(b.begin() + 14, b.begin() + 18), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Bytes(b.begin() + 18, b.begin() + 22), (Bytes{2, 0, 1, 0}));
}

TEST(Packing, RouteOf98kmGivesTheStatedFileSizes) {
    // M = 105000 metres: two integers, M - 3 doubles and two empties per half.
    PathPoints plan;
    plan.allocate(105000);
    for (auto& axis : plan.axis) {
        axis.tags[0] = axis.tags[1] = PlanTag::integer;
        for (int m = 2; m <= 105000 - 2; ++m) {
            axis.tags[static_cast<std::size_t>(m)] = PlanTag::real;
        }
    }
    EXPECT_EQ(pack_path_points(plan).size(), 2u * 1049982u);
    const std::vector<TrackCell> cells(2101);
    EXPECT_EQ(pack_cells(cells).size(), 31515u);
}

TEST(Packing, DecodingThePackedBytesGivesTheModelBack) {
    std::vector<LocationEntry> entries(87);
    entries[1].name = "STAZIONE";
    entries[1].timeOfDay = -5;
    entries[85].param7 = 610;
    const auto locations = unpack_locations(pack_locations(entries));
    ASSERT_TRUE(locations.has_value());
    EXPECT_EQ(*locations, entries);

    std::vector<TrackCell> cells(5);
    cells[3].ref2 = -7;
    cells[4].adhesion = 255;
    EXPECT_EQ(unpack_cells(pack_cells(cells)), cells);

    PathPoints plan;
    plan.allocate(4);
    plan.axis[1].tags[2] = PlanTag::real;
    plan.axis[1].values[2] = -1.25;
    EXPECT_EQ(unpack_path_points(pack_path_points(plan)), plan);
}

TEST(Packing, TruncatedOrOverlongBytesAreRefusedNotReadPastTheirEnd) {
    std::vector<LocationEntry> entries(2);
    entries[1].name = "ABC";
    auto bytes = pack_locations(entries);
    bytes.pop_back();
    EXPECT_FALSE(unpack_locations(bytes).has_value());
    EXPECT_FALSE(unpack_cells(Bytes(16, 0)).has_value());
    EXPECT_FALSE(unpack_path_points(Bytes{5, 0, 1, 2}).has_value());  // a double cut short
    EXPECT_FALSE(unpack_path_points(Bytes{7, 0}).has_value());        // an unknown tag
    EXPECT_FALSE(unpack_path_points(Bytes{0, 0}).has_value());        // an odd element count
    // A name count running past the end.
    Bytes cut(34, 0);
    cut[14] = 0xFF;
    EXPECT_FALSE(unpack_locations(cut).has_value());
}

TEST(Packing, EveryKindOfPlanPointPacksAtItsWidthAndDecodesBack) {
    for (const auto& kind : plan_point_kinds) {
        PathPoints plan;
        plan.allocate(1);
        plan.axis[0].tags[1] = kind.tag;
        plan.axis[0].values[1] = kind.value == PlanValue::none ? 0.0 : -3.0;
        const auto b = pack_path_points(plan);
        // x: empty, the point; y: two empties.
        ASSERT_EQ(b.size(), 2 + plan_point_width(kind.tag) + 4) << kind.name;
        EXPECT_EQ(u16_at(b, 2), static_cast<std::uint16_t>(kind.tag)) << kind.name;
        EXPECT_EQ(unpack_path_points(b), plan) << kind.name;
    }
}

TEST(Packing, OnlyTheTagsOfTheThreeKindsOfPointAreRead) {
    for (std::uint32_t tag = 0; tag <= 0xFFFF; ++tag) {
        const bool known = tag == 0 || tag == 2 || tag == 5;
        // The point with a zero value of its width, then an empty point as the y half.
        Bytes b{static_cast<std::uint8_t>(tag & 0xFF), static_cast<std::uint8_t>(tag >> 8)};
        b.resize(2 + (tag == 5 ? 8 : tag == 2 ? 2 : 0) + 2, 0);
        EXPECT_EQ(unpack_path_points(b).has_value(), known) << tag;
    }
}

TEST(Packing, NameTooLongForItsByteCountIsRefused) {
    std::vector<LocationEntry> entries(1);
    entries[0].name.assign(70000, 'A');
    EXPECT_THROW(pack_locations(entries), std::length_error);
}

}  // namespace
}  // namespace scenario::compiler
