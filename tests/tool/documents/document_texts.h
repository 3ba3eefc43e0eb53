#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "commands/documents_command.h"
#include "compiler/compile.h"
#include "documents/document_scenario.h"
#include "sources/scenario_names.h"
#include "sources/writers.h"

// The built-in texts as lines to edit, and the documents the tool makes of them in memory.
namespace scenario::tool::testing {

using Lines = std::vector<std::string>;

// The one location the built-in card leaves off.
inline const std::string kLeftOff = "LIDO DI SERENA";

inline Lines builtin_line_text() {
    const auto lines = sources::line_description_lines();
    return {lines.begin(), lines.end()};
}

inline Lines builtin_train_text() {
    const auto lines = sources::train_service_lines();
    return {lines.begin(), lines.end()};
}

inline std::string joined(const Lines& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// Replaces the one line that starts with the prefix; fails the test when there is none.
inline void replace_line(Lines& lines, std::string_view prefix, const std::string& line) {
    for (auto& l : lines) {
        if (l.starts_with(prefix)) {
            l = line;
            return;
        }
    }
    ADD_FAILURE() << "no line starts with " << prefix;
}

// Puts a line after the one that starts with the prefix.
inline void insert_after(Lines& lines, std::string_view prefix, const std::string& line) {
    for (auto l = lines.begin(); l != lines.end(); ++l) {
        if (l->starts_with(prefix)) {
            lines.insert(l + 1, line);
            return;
        }
    }
    ADD_FAILURE() << "no line starts with " << prefix;
}

// The 1-based line of the text that starts with the prefix.
inline std::int32_t line_number(const Lines& lines, std::string_view prefix) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].starts_with(prefix)) {
            return static_cast<std::int32_t>(i + 1);
        }
    }
    ADD_FAILURE() << "no line starts with " << prefix;
    return 0;
}

// The documents of two texts, which must compile without a fault.
inline Documents documents_of(const Lines& line, const Lines& train,
                              std::vector<std::string> leave_off = {kLeftOff},
                              CardOptions card = {}) {
    const std::string line_text = joined(line);
    const std::string train_text = joined(train);
    DocumentsInput input;
    input.line_text = line_text;
    input.train_text = train_text;
    input.LineTitle = sources::kLineTitle;
    input.TrainCode = sources::kTrainCode;
    input.leaveOff = std::move(leave_off);
    input.card = std::move(card);
    input.names = {"line.txt", "train.txt"};
    auto result = make_documents(input);
    EXPECT_EQ(result.compile.outcome, CompileOutcome::clean) << result.compile.message;
    return result.documents ? *result.documents : Documents{};
}

// The documents' view of two texts, which must compile without a fault.
inline DocumentScenario scenario_of(const Lines& line, const Lines& train) {
    ReadScenario read;
    ReadRequest request;
    request.LineTitle = sources::kLineTitle;
    request.TrainCode = sources::kTrainCode;
    request.reading.recovers = false;
    read_scenario(read, {"line.txt", joined(line)}, {"train.txt", joined(train)}, request);
    EXPECT_EQ(read.state.errorNumber, 0);
    return document_scenario(read);
}

// The line of a document that holds the text, or an empty one.
inline std::string line_with(const std::vector<std::string>& lines, std::string_view text) {
    for (const auto& line : lines) {
        if (line.find(text) != std::string::npos) {
            return line;
        }
    }
    return {};
}

}  // namespace scenario::tool::testing
