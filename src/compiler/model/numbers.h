#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace scenario::compiler {

// The nearest whole number, ties to even, as IEEE arithmetic rounds by default: below 2^52 in
// magnitude, adding 2^52 leaves no bits for a fraction and taking it away again is exact. This
// gives std::nearbyint's result without a call into the maths library, which the programs then
// need not load at all.
inline double nearest_even(double value) {
    constexpr double kNoFractionBits = 4503599627370496.0;  // 2^52
    const double magnitude = std::fabs(value);
    if (!(magnitude < kNoFractionBits)) {
        return value;  // already whole, infinite or not a number
    }
    const double rounded = (magnitude + kNoFractionBits) - kNoFractionBits;
    return std::signbit(value) ? -rounded : rounded;
}

// A fractional value becomes an integer by rounding to the nearest, ties to even (38.5 gives 38).
// Values beyond the 64-bit range saturate instead of being undefined.
inline std::int64_t round_half_even(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = nearest_even(value);
    if (rounded >= 9.2e18) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (rounded <= -9.2e18) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(rounded);
}

// Keeps the low bits of an integer expression that fit the field, as the compact files store them.
template <class T>
constexpr T low_bits(std::int64_t value) {
    static_assert(std::is_integral_v<T>);
    using Unsigned = std::make_unsigned_t<T>;
    return static_cast<T>(static_cast<Unsigned>(static_cast<std::uint64_t>(value)));
}

// The smaller of two values; the first on a tie.
template <class T>
constexpr T minimo(T x, T y) {
    return x > y ? y : x;
}

}  // namespace scenario::compiler
