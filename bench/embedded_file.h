#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// A reference file linked into a floor program whole: SCENARIO_EMBED(symbol, "path") puts its
// bytes in the read-only data between `symbol` and `symbol_end`, and
// `embedded_bytes(symbol, symbol_end)` gives them back. The floors write these bytes unchanged,
// so that their time is the time of leaving the files alone, with nothing computed.
#define SCENARIO_EMBED(symbol, file)        \
    asm(".pushsection .rodata\n"            \
        ".global " #symbol "\n" #symbol     \
        ":\n"                               \
        ".incbin \"" file                   \
        "\"\n"                              \
        ".global " #symbol "_end\n" #symbol \
        "_end:\n"                           \
        ".popsection\n");                   \
    extern "C" const char symbol[];         \
    extern "C" const char symbol##_end[];

inline std::span<const std::uint8_t> embedded_bytes(const char* begin, const char* end) {
    return {reinterpret_cast<const std::uint8_t*>(begin), static_cast<std::size_t>(end - begin)};
}
