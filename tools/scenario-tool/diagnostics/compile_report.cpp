#include "diagnostics/compile_report.h"

#include <algorithm>

#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/model/track_cell.h"
#include "diagnostics/diagnostic_json.h"
#include "io/json.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace {

using compiler::ErrorSource;

void fill_counts(CompileReport& report, const compiler::BuildState& state) {
    report.routeLength = state.locations[compiler::entry::train].zoneEnd;
    report.cellCount = static_cast<std::int32_t>(state.cells.size());
    report.stationCount = state.stationCount;
    report.signalCount = static_cast<std::int32_t>(std::count_if(
        state.cells.begin(), state.cells.end(),
        [](const compiler::TrackCell& c) { return c.kind == compiler::cell_kind::signal; }));
}

// Where the recorded fault lies: the text that holds its record, and for the signalling pass
// the cell (slowdowns and signals come from the train text).
void fill_site(CompileReport& report, const compiler::BuildState& state, const TextNames& names) {
    report.errorNumber = state.errorNumber;
    report.message = std::string(compiler::error_meaning(state.errorNumber));
    if (compiler::error_sets_position(state.errorNumber)) {
        report.errorPosition = state.errorPosition;
    }
    const auto& site = state.errorSite;
    switch (site.source) {
        case ErrorSource::line_text:
            report.file = names.line_text;
            break;
        case ErrorSource::train_text:
        case ErrorSource::signalling:
            report.file = names.train_text;
            break;
        case ErrorSource::none:
            break;
    }
    if (site.source != ErrorSource::none && site.line > 0) {
        report.line = site.line;
        if (site.column > 0) {
            report.column = site.column;
        }
    }
    if (!site.detail.empty()) {
        // A reading failure says what exactly could not be read, quoting the text's own
        // Windows-1252 bytes.
        report.detail = utf8_from_1252(site.detail);
        report.message = "the text could not be read: " + report.detail;
    }
    if (site.source == ErrorSource::signalling && site.cell >= 0) {
        report.cell = site.cell;
    }
}

}  // namespace

CompileReport make_report(const compiler::BuildState& state, const compiler::CompileOutput& output,
                          const TextNames& names) {
    CompileReport report;
    fill_counts(report, state);
    report.codePointsPlaced = output.codePointsPlaced;
    switch (output.fatal) {
        case compiler::FatalOutcome::none:
            if (state.errorNumber != 0) {
                report.outcome = CompileOutcome::recorded_fault;
                fill_site(report, state, names);
            }
            return report;
        case compiler::FatalOutcome::no_cells:
            report.outcome = CompileOutcome::refused;
            if (state.errorNumber != 0) {
                fill_site(report, state, names);
                report.message += "; no compact file was written";
            } else {
                report.file = names.line_text;
                report.message =
                    "the line description gave no route length, so there are no cells to stamp "
                    "and no compact file was written";
            }
            return report;
        case compiler::FatalOutcome::format_markers_in_use:
        case compiler::FatalOutcome::scenario_codes_in_use:
            break;
    }
    const auto number = compiler::fatal_error_number(output.fatal);
    report.outcome = CompileOutcome::refused;
    report.errorNumber = number;
    report.message = std::string(compiler::error_meaning(number)) +
                     ": something stands on cell 1, at the very start of the route; no "
                     "compact file was written";
    return report;
}

std::string diagnostic_line(const CompileReport& report) {
    if (report.outcome == CompileOutcome::clean) {
        return {};
    }
    std::string line = report.file ? *report.file : std::string("scenario-tool");
    if (report.line) {
        line += ":" + std::to_string(*report.line);
        if (report.column) {
            line += ":" + std::to_string(*report.column);
        }
    }
    line += ": error";
    if (report.errorNumber != 0) {
        line += " " + std::to_string(report.errorNumber);
    }
    line += ": " + report.message;
    if (report.cell) {
        line += " (cell " + std::to_string(*report.cell);
        line += report.errorPosition ? ", position " + std::to_string(*report.errorPosition) + " m)"
                                     : std::string(")");
    } else if (report.errorPosition) {
        line += " (position " + std::to_string(*report.errorPosition) + " m)";
    }
    return line;
}

std::string summary_line(const CompileReport& report) {
    return "route " + std::to_string(report.routeLength) + " m, " +
           std::to_string(report.cellCount) + " cells, " + std::to_string(report.stationCount) +
           " stations, " + std::to_string(report.signalCount) + " signals, " +
           std::to_string(report.codePointsPlaced) + " code points placed by the signalling pass";
}

std::string report_json(const CompileReport& report) {
    static constexpr const char* kOutcomes[] = {"clean", "fault", "refused"};
    Json json = {{"outcome", kOutcomes[static_cast<int>(report.outcome)]},
                 {"errorNumber", report.errorNumber},
                 {"errorPosition", json_or_null(report.errorPosition)},
                 {"file", json_or_null(report.file)},
                 {"line", json_or_null(report.line)},
                 {"column", json_or_null(report.column)},
                 {"cell", json_or_null(report.cell)},
                 {"message", json_string(report.message)},
                 {"routeLength", report.routeLength},
                 {"cells", report.cellCount},
                 {"stations", report.stationCount},
                 {"signals", report.signalCount},
                 {"codePointsPlaced", report.codePointsPlaced}};
    write_json(json, report.diagnostics);
    Json written = Json::array();
    for (const auto& name : report.written) {
        written.push_back(json_string(utf8_from_1252(name)));
    }
    json["written"] = std::move(written);
    return json_text(json);
}

}  // namespace scenario::tool
