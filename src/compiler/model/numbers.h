#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace scenario::compiler {

// A fractional value becomes an integer by rounding to the nearest, ties to even (38.5 gives 38).
// Values beyond the 64-bit range saturate instead of being undefined.
inline std::int64_t round_half_even(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = std::nearbyint(value);
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
