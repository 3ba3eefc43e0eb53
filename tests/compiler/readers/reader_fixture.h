#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "compiler/model/build_state.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/readers/memorizza_dati.h"
#include "files/file_names.h"
#include "files/replace_file.h"
#include "support/run_program.h"

namespace scenario::compiler::testing {

// Lines joined with CR LF after each, as the writers leave them.
inline std::string text_of(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += end;
    }
    return text;
}

// The general section of a line text for a route of the given length; records follow.
inline std::vector<std::string> line_general(std::int32_t length = 98000) {
    return {"[generale]",
            "lunghezza percorso,    " + std::to_string(length),
            "progressiva chilometrica uno,    0,    98000,    1",
            "progressiva chilometrica due,    0,    0,    0",
            "progressiva chilometrica tre,    0,    0,    0",
            "sfondo uno,    90000",
            "sfondo due,    0",
            "sfondo tre,    1",
            "ripetizione segnali 9 codici,    1000,    94800",
            "[curve]"};
}

inline std::vector<std::string> train_general() {
    return {"[generale]",
            "numero vetture,    5",
            "percentuale massa frenata,    100",
            "sabbia,    150",
            "orologio,    6               36            30 ",
            "[aderenze]"};
}

inline std::vector<std::string> with(std::vector<std::string> lines,
                                     const std::vector<std::string>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

// A station line: position, kind, platform length, the fifth and sixth values; the other
// values as a stop of the built-in content.
inline std::string station_line(std::int32_t position, int kind, std::int32_t platform,
                                int fifth = 0, int sixth = 0, const std::string& name = "STOP") {
    return "stazione, " + std::to_string(position) + ", " + std::to_string(kind) + ", " +
           std::to_string(platform) + ",  1, " + std::to_string(fifth) + ", " +
           std::to_string(sixth) + ",  4,1,1,  2,1,1,   30,   6,37,30, " + name;
}

// Writes the two texts with the product's names into a fresh directory and reads them back.
class ReaderTest : public ::testing::Test {
  protected:
    ReaderTest() {
        state.LineTitle = "A - B";
        state.TrainCode = "R00001";
        state.buildFlag = 1;
    }

    std::filesystem::path line_path() const {
        return files::full_path(dir.path(), files::line_text_name(state.LineTitle));
    }
    std::filesystem::path train_path() const {
        return files::full_path(dir.path(),
                                files::train_text_name(state.LineTitle, state.TrainCode));
    }

    void write_line(const std::vector<std::string>& lines) {
        files::replace_file(line_path(), text_of(lines));
    }
    void write_train(const std::vector<std::string>& lines) {
        files::replace_file(train_path(), text_of(lines));
    }
    // A line text of the general section, the records and the closing header.
    void line_records(const std::vector<std::string>& records, std::int32_t length = 98000) {
        write_line(with(with(line_general(length), records), {"[fine]"}));
    }
    void train_records(const std::vector<std::string>& records) {
        write_train(with(with(train_general(), records), {"[fine]"}));
    }

    // As the compile starts: no fault, a cleared table; then both texts are read.
    void read() {
        state.errorNumber = 0;
        state.errorSite = {};
        for (auto& location : state.locations) {
            location = LocationEntry{};
        }
        memorizza_dati(state, dir.path());
    }

    bool texts_left() const {
        return std::filesystem::exists(line_path()) || std::filesystem::exists(train_path());
    }

    // The fault recorded, where it lies, and which text line it names.
    void expect_fault(Fault fault, ErrorSource source, std::int32_t line) const {
        EXPECT_EQ(state.errorNumber, number_of(fault));
        EXPECT_EQ(state.errorSite.source, source);
        EXPECT_EQ(state.errorSite.line, line);
        EXPECT_EQ(state.errorSite.cell, -1);
    }
    void expect_fault_at(Fault fault, std::int32_t position, ErrorSource source,
                         std::int32_t line) const {
        expect_fault(fault, source, line);
        EXPECT_EQ(state.errorPosition, position);
    }
    void expect_clean() const {
        EXPECT_EQ(state.errorNumber, 0);
        EXPECT_EQ(state.errorSite, ErrorSite{});
        EXPECT_FALSE(texts_left());
    }

    const TrackCell& cell(std::int64_t index) const {
        return state.cells.at(static_cast<std::size_t>(index));
    }

    scenario::testing::TempDir dir;
    BuildState state;
};

// 1-based line numbers of the records placed after line_general() and train_general().
inline constexpr std::int32_t kFirstLineRecord = 11;
inline constexpr std::int32_t kFirstTrainRecord = 7;

}  // namespace scenario::compiler::testing
