#include "limits/dense_line.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace scenario::testing {

namespace {

constexpr std::int32_t kBlock = 1000;
constexpr std::int32_t kLastCurveMetre = 999000;  // the plan may bend up to metre 1000000
constexpr std::int32_t kMaxSpans = 80;
constexpr std::int32_t kSlowdownStride = 50;  // blocks
constexpr std::int32_t kSlowdownFirst = 35;
constexpr std::int32_t kSlowdownBlocks = 4;
constexpr std::int32_t kStationStride = 20;
constexpr std::int32_t kStationFirst = 10;

class Text {
  public:
    explicit Text(std::size_t reserve) { text_.reserve(reserve); }

    // A line: the keyword, then each value after a comma and its run of blanks.
    Text& keyword(std::string_view word) {
        text_ += word;
        return *this;
    }
    Text& value(std::int64_t number, int blanks) {
        text_ += ',';
        text_.append(static_cast<std::size_t>(blanks), ' ');
        text_ += std::to_string(number);
        return *this;
    }
    Text& words(std::string_view words, int blanks) {
        text_ += ',';
        text_.append(static_cast<std::size_t>(blanks), ' ');
        text_ += words;
        return *this;
    }
    // A number right-aligned after its comma in a field of the given width.
    Text& aligned(std::int64_t number, int width) {
        const auto digits = std::to_string(number);
        text_ += ',';
        if (static_cast<int>(digits.size()) < width) {
            text_.append(static_cast<std::size_t>(width) - digits.size(), ' ');
        }
        text_ += digits;
        return *this;
    }
    Text& raw(std::string_view bytes) {
        text_ += bytes;
        return *this;
    }
    void end_line() { text_ += "\r\n"; }
    void line(std::string_view whole) {
        text_ += whole;
        end_line();
    }
    std::string take() { return std::move(text_); }

  private:
    std::string text_;
};

enum class BlockKind { ordinary, station, slowdown };

struct Layout {
    std::int32_t blocks = 0;
    std::vector<BlockKind> kinds;
    std::vector<bool> slowdown_starts;
};

bool in_slowdown_group(std::int32_t b) {
    return b >= kSlowdownFirst && (b - kSlowdownFirst) % kSlowdownStride < kSlowdownBlocks;
}

Layout plan_blocks(std::int32_t route) {
    Layout layout;
    layout.blocks = route / kBlock;
    layout.kinds.assign(static_cast<std::size_t>(layout.blocks), BlockKind::ordinary);
    layout.slowdown_starts.assign(static_cast<std::size_t>(layout.blocks), false);
    std::int32_t stations = 0;
    for (std::int32_t b = 0; b < layout.blocks; ++b) {
        const auto i = static_cast<std::size_t>(b);
        if (in_slowdown_group(b)) {
            const std::int32_t first = b - (b - kSlowdownFirst) % kSlowdownStride;
            // A group that would run past the route is left ordinary, all four blocks of it.
            if (first + kSlowdownBlocks <= layout.blocks) {
                layout.kinds[i] = BlockKind::slowdown;
                layout.slowdown_starts[i] = b == first;
            }
        } else if (b % kStationStride == kStationFirst && stations < kDenseStations) {
            layout.kinds[i] = BlockKind::station;
            ++stations;
        }
    }
    return layout;
}

struct Timetable {
    std::int32_t hours, minutes, seconds;
};

// The train leaves at 05:00 and runs at 100 km/h, with a minute at every station before.
Timetable time_at(std::int32_t position, std::int32_t station_index) {
    const std::int32_t t = 5 * 3600 + position * 36 / 1000 + station_index * 60;
    return {t / 3600, t / 60 % 60, t % 60};
}

void write_line_text(DenseLine& out, const Layout& layout, std::int32_t route) {
    Text text(static_cast<std::size_t>(layout.blocks) * 420 + 4096);
    const std::int32_t km_length = route / 50 * 50;
    const std::int32_t repetition_end = std::max(0, (route - 1000) / 50 * 50);
    text.line("[generale]");
    text.keyword("lunghezza percorso").value(out.length, 4).end_line();
    text.keyword("progressiva chilometrica uno")
        .value(0, 4)
        .value(km_length, 4)
        .value(1, 4)
        .end_line();
    text.keyword("progressiva chilometrica due").value(0, 4).value(0, 4).value(0, 4).end_line();
    text.keyword("progressiva chilometrica tre").value(0, 4).value(0, 4).value(0, 4).end_line();
    text.line("sfondo uno,    90000");
    text.line("sfondo due,    0");
    text.line("sfondo tre,    1");
    text.keyword("ripetizione segnali 9 codici").value(1000, 4).value(repetition_end, 4).end_line();

    text.line("[curve]");
    for (std::int32_t b = 0; b < layout.blocks; ++b) {
        const std::int32_t base = b * kBlock;
        const std::array<std::array<std::int32_t, 2>, 2> curves{
            {{base + 100, 200}, {base + 600, 250}}};
        for (std::int32_t h = 0; h < 2; ++h) {
            const auto [start, length] = curves[static_cast<std::size_t>(h)];
            if (start + length > std::min(kLastCurveMetre, route)) {
                continue;
            }
            std::string word = "curva";
            word += (b + h) % 2 != 0 ? 's' : 'd';
            word += static_cast<char>('1' + (2 * b + h) % 6);
            text.keyword(word).value(start, 2).value(length, 2).end_line();
            ++out.curves;
        }
    }

    text.line("[pendenze]");
    for (std::int32_t b = 0; b < layout.blocks; ++b) {
        for (std::int32_t q = 0; q < 4; ++q) {
            const std::int32_t gradient = (4 * b + q) % 50 - 20;
            text.keyword("pendenza").value(b * kBlock + 250 * q, 2).value(gradient, 3).end_line();
            ++out.gradients;
        }
    }

    text.line("[montagne]");
    for (std::int32_t b = 0; b < layout.blocks && out.spans < kMaxSpans; ++b) {
        if (layout.kinds[static_cast<std::size_t>(b)] != BlockKind::ordinary || b % 10 != 1) {
            continue;
        }
        constexpr std::array<std::int32_t, 4> codes{11, 12, 1, 2};
        const std::int32_t code = codes[static_cast<std::size_t>(out.spans % 4)];
        text.keyword("montagna")
            .value(b * kBlock + 700, 3)
            .value(b * kBlock + 950, 2)
            .value(code, 2)
            .end_line();
        ++out.spans;
    }

    text.line("[cartelli]");
    for (std::int32_t b = 0; b < layout.blocks; ++b) {
        if (layout.kinds[static_cast<std::size_t>(b)] == BlockKind::slowdown) {
            continue;
        }
        const std::int32_t position = b * kBlock + 100;
        const std::int32_t a = 50 + 10 * (b % 10);
        const std::int32_t bc = a + 10;
        text.keyword("indicatori_vmax").value(position, 2).value(a, 2).value(bc, 2).value(bc, 2);
        text.value(b % 3, 2).raw(",  ,  ,  ").value(0, 2).end_line();
        out.speed_boards.push_back(position);
    }

    text.line("[indicazioni]");
    std::int32_t candidates = 0;
    for (std::int32_t b = 0; b < layout.blocks; ++b) {
        if (static_cast<std::int32_t>(out.sign_boards.size()) == kDenseSignBoards) {
            break;
        }
        if (layout.kinds[static_cast<std::size_t>(b)] != BlockKind::ordinary || b % 10 != 7 ||
            candidates++ % 2 != 0) {
            continue;
        }
        const std::int32_t position = b * kBlock + 300;
        text.keyword("cartello_indicatore").value(position, 2);
        text.words(b % 4 == 0 ? "(PONTE SUL)(TORRENTE )" : "(PASSAGGIO)(A LIVELLO)", 3).end_line();
        out.sign_boards.push_back(position);
    }
    text.line("[fine]");
    out.line_text = text.take();
}

void write_train_text(DenseLine& out, const Layout& layout) {
    Text text(static_cast<std::size_t>(layout.blocks) * 200 + 4096);
    text.line("[generale]");
    text.line("numero vetture,    8");
    text.line("percentuale massa frenata,    120");
    text.line("sabbia,    150");
    text.line("orologio,    5               0            0 ");

    text.line("[aderenze]");
    for (std::int32_t b = 0; b < layout.blocks; ++b) {
        text.keyword("aderenza").value(b * kBlock, 3).aligned(70 + b % 31, 6).end_line();
    }

    text.line("[vel_limite]");
    for (std::int32_t b = 0; b < layout.blocks; ++b) {
        for (std::int32_t h = 0; h < 2; ++h) {
            const std::int32_t speed = 60 + 10 * ((2 * b + h) % 10);
            text.keyword("velocita").aligned(b * kBlock + 500 * h, 8).aligned(speed, 6).end_line();
        }
    }

    text.line("[stazioni]");
    std::vector<std::int32_t> station_blocks;
    for (std::int32_t b = 0; b < layout.blocks; ++b) {
        if (layout.kinds[static_cast<std::size_t>(b)] == BlockKind::station) {
            station_blocks.push_back(b);
        }
    }
    constexpr std::array<std::uint8_t, 7> middle_kinds{11, 12, 22, 23, 27, 5, 7};
    for (std::size_t s = 0; s < station_blocks.size(); ++s) {
        const std::int32_t p = station_blocks[s] * kBlock;
        const bool terminal = s == 0 || s + 1 == station_blocks.size();
        const std::uint8_t kind = terminal ? 4 : middle_kinds[(s - 1) % middle_kinds.size()];
        // Every stop cell comes out two or five cells into the block, clear of its board.
        std::int32_t platform = 200;
        std::int32_t extend = 1;
        if (kind == 4 || kind == 7) {
            platform = kind == 4 ? 600 : 300;
            extend = 0;
        } else if (kind == 5) {
            platform = 300;
            extend = 0;
        }
        const auto [hh, mm, ss] = time_at(p, static_cast<std::int32_t>(s));
        const bool halt = kind == 27;
        text.keyword("stazione").aligned(p, 8).aligned(kind, 3).aligned(platform, 5);
        text.aligned(halt ? 0 : static_cast<std::int32_t>(s % 2), 3)
            .aligned(platform >= 600 ? 1 : 0, 2);
        text.aligned(extend, 2).aligned(halt ? 0 : 4, 3).aligned(halt ? 0 : 1, 1);
        text.aligned(halt ? 0 : 1, 1).aligned(halt ? 0 : 2, 3).aligned(halt ? 0 : 1, 1);
        text.aligned(halt ? 0 : 1, 1).aligned(halt ? 0 : 60, 5).aligned(halt ? 0 : hh, 4);
        text.aligned(halt ? 0 : mm, 2).aligned(halt ? 0 : ss, 2).raw(", LOCALITA ");
        text.raw(std::to_string(s + 1)).end_line();
        out.stations.push_back(p);
        out.station_kinds.push_back(kind);
    }

    text.line("[rallentamenti]");
    for (std::int32_t b = 0; b < layout.blocks; ++b) {
        if (!layout.slowdown_starts[static_cast<std::size_t>(b)]) {
            continue;
        }
        const std::int32_t x = b * kBlock + 2100;
        const std::int32_t speed = 30 + 10 * (b / kSlowdownStride % 7);
        const std::int32_t d_v = b / kSlowdownStride % 2 != 0 ? 5 : 0;
        text.keyword("rallentamento").aligned(x, 8).aligned(speed, 6).aligned(1200, 5);
        text.aligned(1, 2).aligned(1, 3).aligned(d_v, 3).end_line();
        out.slowdowns.push_back(x);
    }

    text.line("[segnali]");
    for (std::int32_t b = 0; b < layout.blocks; ++b) {
        const std::int32_t p = b * kBlock + 600;
        const std::int32_t sx = 1 + b % 2;
        const std::int32_t tempo = sx == 2 && b % 5 == 0 ? 240 : 0;
        text.keyword("segnale")
            .aligned(p, 8)
            .aligned(sx, 4)
            .aligned(2 + b % 4, 2)
            .aligned(b % 7, 2);
        text.aligned(b % 2, 3).aligned(0, 2).aligned(0, 5).aligned(0, 3).aligned(0, 1).aligned(0,
                                                                                               1);
        text.value(tempo, 1).end_line();
        out.signals.push_back(p);
    }

    text.line("[codici]");
    for (std::int32_t b = 0; b < layout.blocks; ++b) {
        if (layout.kinds[static_cast<std::size_t>(b)] != BlockKind::ordinary || b % 10 != 3) {
            continue;
        }
        const std::int32_t p = b * kBlock + 250;
        const std::int32_t value = b / 10 % 4 == 0 ? 0 : 100 + b % 100;
        text.keyword("abbattimento").value(p, 3).value(value, 3).end_line();
        (value > 0 ? out.code_points : out.cancels).push_back(p);
    }
    text.line("[fine]");
    out.train_text = text.take();
}

}  // namespace

DenseLine dense_line(std::int32_t length) {
    DenseLine out;
    out.length = length;
    const std::int32_t route = std::clamp(length, 0, kLongestRoute);
    const Layout layout = plan_blocks(route);
    write_line_text(out, layout, route);
    write_train_text(out, layout);
    return out;
}

}  // namespace scenario::testing
