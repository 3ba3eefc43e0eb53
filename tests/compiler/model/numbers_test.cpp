#include "compiler/model/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "compiler/model/diagnostic_catalogue.h"

namespace scenario::compiler {
namespace {

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    struct Case {
        double value;
        std::int64_t rounded;
    };
    for (const auto c :
         {Case{38.5, 38}, Case{39.5, 40}, Case{1.5, 2}, Case{2.5, 2}, Case{-2.5, -2},
          Case{-3.5, -4}, Case{12.4, 12}, Case{12.6, 13}, Case{75 / 50.0, 2}, Case{125 / 50.0, 2},
          Case{1875 / 50.0 + 1, 38}, Case{1925 / 50.0 + 1, 40}}) {
        EXPECT_EQ(round_half_even(c.value), c.rounded) << c.value;
    }
}

TEST(RoundHalfEven, HugeValuesSaturate) {
    EXPECT_EQ(round_half_even(1e300), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(round_half_even(-1e300), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(round_half_even(std::nan("")), 0);
}

// The rounding must agree with the maths library's to the bit, sign of zero included, wherever
// fractions can still be represented: around every power of two up to 2^53, on the ties and on
// their neighbours either side.
TEST(NearestEven, AgreesWithNearbyintAroundEveryPowerOfTwo) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.49999999999999994,
                                  -0.49999999999999994,
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  1e300,
                                  -1e300};
    for (int e = -3; e <= 54; ++e) {
        const double p = std::ldexp(1.0, e);
        for (const double base : {p, p + 0.5, p + 1.5, p - 0.5, p * 1.75 + 0.5}) {
            for (const double v : {base, std::nextafter(base, 0.0), std::nextafter(base, 1e308)}) {
                values.push_back(v);
                values.push_back(-v);
            }
        }
    }
    for (const double v : values) {
        const double expected = std::nearbyint(v);
        const double got = nearest_even(v);
        EXPECT_EQ(got, expected) << std::hexfloat << v;
        EXPECT_EQ(std::signbit(got), std::signbit(expected)) << std::hexfloat << v;
    }
    EXPECT_TRUE(std::isnan(nearest_even(std::nan(""))));
}

TEST(LowBits, KeepsTheLowBitsOfTheField) {
    EXPECT_EQ(low_bits<std::uint8_t>(300), 44);
    EXPECT_EQ(low_bits<std::uint8_t>(-1), 255);
    EXPECT_EQ(low_bits<std::int16_t>(70000), 4464);
    EXPECT_EQ(low_bits<std::int16_t>(40000), -25536);
}

TEST(Minimo, ReturnsTheSmallerAndTheFirstOnATie) {
    EXPECT_EQ(minimo(180, 120), 120);
    EXPECT_EQ(minimo(180, 200), 180);
    // On equal values the first argument is the one returned.
    const int a = 180;
    const int b = 180;
    EXPECT_EQ(&minimo<const int&>(a, b), &a);
}

TEST(ErrorCatalogue, EveryNumberHasAMeaningAndTheUnusedOnesHaveNone) {
    for (const auto& e : compiler::fault_entries()) {
        EXPECT_FALSE(e.meaning.empty()) << e.number();
        EXPECT_NE(error_meaning(e.number()), "unknown error");
    }
    for (const int unused : {0, 14, 23, 28, 100, 104, 1249, 1252}) {
        EXPECT_EQ(error_meaning(unused), "unknown error") << unused;
    }
    EXPECT_EQ(compiler::fault_entries().size(), 30u);
    EXPECT_TRUE(error_sets_position(number_of(Fault::signal_cell_taken)));
    EXPECT_FALSE(error_sets_position(number_of(Fault::station_table_full)));
}

}  // namespace
}  // namespace scenario::compiler
