#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/run_program.h"

namespace scenario::sources::testing {

// The lines of a written text. A line end other than CR LF, or bytes after the last one, fail
// the test that reads it.
inline std::vector<std::string> split_crlf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    for (const auto& line : lines) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line end in " << line;
    }
    return lines;
}

// Runs a writer in a fresh directory and reads back the one file it made.
template <typename Writer>
std::string write_and_read(Writer write, const std::string& name) {
    scenario::testing::TempDir dir;
    write(dir.path());
    EXPECT_EQ(scenario::testing::file_names(dir.path()), std::vector<std::string>{name});
    return scenario::testing::read_bytes(dir.path() / name);
}

// Runs a writer over a file that already holds more and longer lines than the built-in text.
template <typename Writer>
std::string write_over_longer_file(Writer write, const std::string& name) {
    scenario::testing::TempDir dir;
    {
        std::string old;
        for (int i = 0; i < 2000; ++i) {
            old += "riga di un file precedente, ben piu' lunga di quelle nuove " +
                   std::to_string(i) + "\r\n";
        }
        std::ofstream(dir.path() / name, std::ios::binary) << old;
    }
    write(dir.path());
    return scenario::testing::read_bytes(dir.path() / name);
}

// The comma-separated fields of a record line, as written (blanks kept).
inline std::vector<std::string> fields(std::string_view line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const auto comma = line.find(',', start);
        out.emplace_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos) {
            return out;
        }
        start = comma + 1;
    }
}

// A numeric field: leading blanks, then an optionally signed integer; an empty one is 0.
inline long number(std::string_view field) {
    const auto first = field.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return 0;
    }
    return std::stol(std::string(field.substr(first)));
}

inline std::string lower(std::string_view text) {
    std::string out(text);
    for (auto& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

inline bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

inline bool has_trailing_blank(std::string_view line) {
    return !line.empty() && line.back() == ' ';
}

// A "stazione" line of the train service, by field.
struct StationLine {
    long position = 0;
    long kind = 0;
    long length = 0;
    std::vector<long> values;  // fields 4 to 16, as written
    long dwell = 0;
    long timeOfDay = 0;  // seconds after midnight; 0 without a scheduled time
    std::string name;
};

inline std::vector<StationLine> station_lines(std::span<const std::string_view> text) {
    std::vector<StationLine> stations;
    for (const auto line : text) {
        if (!starts_with(line, "stazione,")) {
            continue;
        }
        const auto f = fields(line);
        EXPECT_EQ(f.size(), 18u) << line;
        if (f.size() != 18) {
            continue;
        }
        StationLine station;
        station.position = number(f[1]);
        station.kind = number(f[2]);
        station.length = number(f[3]);
        for (std::size_t i = 4; i <= 16; ++i) {
            station.values.push_back(number(f[i]));
        }
        station.dwell = number(f[13]);
        station.timeOfDay = (number(f[14]) * 60 + number(f[15])) * 60 + number(f[16]);
        EXPECT_EQ(f[17].substr(0, 1), " ") << line;
        station.name = f[17].substr(1);
        stations.push_back(station);
    }
    return stations;
}

// The one "rallentamento" line: x, v, l, f_tt, f_ta, d_v.
inline std::vector<long> slowdown_values(std::span<const std::string_view> text) {
    std::vector<long> values;
    for (const auto line : text) {
        if (starts_with(line, "rallentamento,")) {
            const auto f = fields(line);
            for (std::size_t i = 1; i < f.size(); ++i) {
                values.push_back(number(f[i]));
            }
        }
    }
    return values;
}

}  // namespace scenario::sources::testing
