// The plan of the longest route written piece by piece is the plan packed whole, byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "compiler/model/packing.h"
#include "limits/dense_line.h"

namespace scenario::compiler {
namespace {

TEST(PlanInPieces, GivesTheBytesOfTheWholePlanInBoundedPieces) {
    constexpr std::int32_t last_metre = testing::kLongestRoute + 7000;
    PathPoints plan;
    plan.allocate(last_metre);
    for (std::int32_t m = 0; m <= last_metre; ++m) {
        const auto i = static_cast<std::size_t>(m);
        // All three kinds of point, so that pieces end after each of them somewhere.
        const PlanTag tag = m % 7 == 3   ? PlanTag::empty
                            : m % 5 == 1 ? PlanTag::integer
                                         : PlanTag::real;
        for (auto& axis : plan.axis) {
            axis.tags[i] = tag;
        }
        plan.axis[0].values[i] = tag == PlanTag::integer ? m % 100 : m * 0.5;
        plan.axis[1].values[i] = tag == PlanTag::integer ? -(m % 100) : m * -0.25;
    }
    const Bytes whole = pack_path_points(plan);
    Bytes joined;
    std::size_t pieces = 0;
    pack_path_points(plan, [&](std::span<const std::uint8_t> piece) {
        EXPECT_FALSE(piece.empty());
        EXPECT_LE(piece.size(), 64u * 1024u);
        joined.insert(joined.end(), piece.begin(), piece.end());
        ++pieces;
    });
    EXPECT_GT(pieces, 100u);
    ASSERT_EQ(joined.size(), whole.size());
    EXPECT_TRUE(joined == whole);
}

TEST(PlanInPieces, AnEmptyPlanGivesNoPiece) {
    std::size_t pieces = 0;
    pack_path_points(PathPoints{}, [&](std::span<const std::uint8_t>) { ++pieces; });
    EXPECT_EQ(pieces, 0u);
}

}  // namespace
}  // namespace scenario::compiler
