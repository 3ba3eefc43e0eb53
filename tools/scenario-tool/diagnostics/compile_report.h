#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "compiler/model/build_state.h"
#include "diagnostics/diagnostic.h"

namespace scenario::tool {

enum class CompileOutcome {
    clean,           // no fault; the compact files were written
    recorded_fault,  // a fault was recorded; the compact files were written all the same
    refused,         // a reserved place in use, or no route length: no compact file was written
};

// What a compile tells the author: the fault with its place, and the counts of the result.
// Its texts are UTF-8.
struct CompileReport {
    CompileOutcome outcome = CompileOutcome::clean;
    std::int32_t errorNumber = 0;
    std::optional<std::int32_t> errorPosition;  // only for numbers that come with a position
    std::optional<std::string> file;            // the author's text that raised the fault
    std::optional<std::int32_t> line;           // 1-based line of the field in that text
    std::optional<std::int32_t> column;         // 1-based column (bytes) of that field
    std::optional<std::int32_t> cell;           // for faults of the signalling pass
    std::string message;                        // meaning of the number, or what went wrong
    std::string detail;                         // what exactly could not be read (reading failure)

    std::int32_t routeLength = 0;
    std::int32_t cellCount = 0;
    std::int32_t stationCount = 0;
    std::int32_t signalCount = 0;
    std::int32_t codePointsPlaced = 0;
    std::vector<std::string> written;     // names of the files written into the output directory
    std::vector<Diagnostic> diagnostics;  // every problem of the texts, as `check` finds them
};

// The author's names for the two texts, used to tell where a fault is.
struct TextNames {
    std::string line_text;
    std::string train_text;
};

// The report of a compile: from the build state, the compile's output and the names.
CompileReport make_report(const compiler::BuildState& state, const compiler::CompileOutput& output,
                          const TextNames& names);

// "FILE:LINE:COLUMN: error N: meaning (position P m)", or for the signalling pass
// "FILE: error N: meaning (cell C, position P m)". Empty for a clean compile. UTF-8 as it is:
// shown on a terminal it goes through escape_controls.
std::string diagnostic_line(const CompileReport& report);

// One line: route length, cells, stations, signals, code points placed.
std::string summary_line(const CompileReport& report);

// The whole report as one JSON object.
std::string report_json(const CompileReport& report);

}  // namespace scenario::tool
