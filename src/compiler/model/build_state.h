#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compiler/model/location_entry.h"
#include "compiler/model/path_points.h"
#include "compiler/model/text_place.h"
#include "compiler/model/track_cell.h"

namespace scenario::compiler {

class ReadingObserver;

inline constexpr std::size_t kLocationCount = 87;  // entries 0..86
inline constexpr std::size_t kSpanSlots = 81;      // slots 0..80, spans from slot 1

// Entries of the scenario table that hold general settings rather than stations or boards.
namespace entry {
inline constexpr std::size_t range_tre = 81;
inline constexpr std::size_t range_due = 82;
inline constexpr std::size_t range_uno = 83;
inline constexpr std::size_t train = 84;
inline constexpr std::size_t scenery = 85;
inline constexpr std::size_t repetition = 86;
inline constexpr std::size_t first_sign_slot = 80;
}  // namespace entry

// Which text or stage raised the fault recorded last. Not written to any file: it lets the
// authors' tool name the file, the line, the column and the cell of a fault.
enum class ErrorSource : std::uint8_t { none, line_text, train_text, signalling };

struct ErrorSite {
    ErrorSource source = ErrorSource::none;
    std::int32_t line = 0;    // 1-based line of the field that raised it, 0 when unknown
    std::int32_t column = 0;  // 1-based column (bytes) of that field, 0 when unknown
    std::int32_t cell = -1;   // cell index for faults of the signalling pass, -1 otherwise
    std::string detail;       // what exactly could not be read, for a reading failure

    static ErrorSite in_text(ErrorSource source, std::int32_t line = 0, std::int32_t column = 0,
                             std::string detail = {}) {
        ErrorSite site;
        site.source = source;
        site.line = line;
        site.column = column;
        site.detail = std::move(detail);
        return site;
    }
    static ErrorSite of_cell(std::int32_t cell) {
        ErrorSite site;
        site.source = ErrorSource::signalling;
        site.cell = cell;
        return site;
    }

    friend bool operator==(const ErrorSite&, const ErrorSite&) = default;
};

// One fault as it was recorded, for the authors' tool: the build state keeps only the last.
struct LoggedFault {
    std::int32_t number = 0;
    std::optional<std::int32_t> position;
    ErrorSite site;
    // A record that stopped the reading of its text because of a fault already standing (a
    // code 15 of the line text stops the train text at its first signal or slowdown): the
    // number is the earlier fault's, the site this record's.
    bool standing = false;
};

// Everything one build knows, passed by reference to every stage.
struct BuildState {
    PathPoints plan;               // only when buildFlag is non-zero
    std::vector<TrackCell> cells;  // indices 0..N once the route length is read; empty before
    std::array<LocationEntry, kLocationCount> locations{};
    std::array<std::int32_t, kSpanSlots> spanStarts{};
    std::array<std::int32_t, kSpanSlots> spanEnds{};
    std::int32_t spanCount = 0;
    std::int32_t buildFlag = 0;
    std::string TrainCode;
    std::string LineTitle;
    std::string fieldBuffer;
    std::int32_t errorNumber = 0;
    std::int32_t errorPosition = 0;

    // Our own bookkeeping for the authors' tool; nothing of it reaches the compact files.
    ErrorSite errorSite;
    std::vector<LoggedFault> faultLog;  // every fault of this build, in the order recorded
    std::int32_t stationCount = 0;      // station lines stored in the table
    std::int32_t faultsRecorded = 0;    // faults recorded by the readers, helpers and the pass
    std::int32_t helperFaultCell = -1;  // the cell a placement helper found taken
    // The author's tools listen to the reading here; the builder leaves it empty. The record
    // being read, for what the placement helpers tell: its text and its first value.
    ReadingObserver* observer = nullptr;
    RecordId currentRecord = kNoRecord;
    ErrorSource currentText = ErrorSource::none;
    FieldSpan currentRecordAt;

    bool has_cells() const { return !cells.empty(); }
    // N, the highest cell index; -1 before the cells are allocated.
    std::int32_t last_cell() const { return static_cast<std::int32_t>(cells.size()) - 1; }
};

}  // namespace scenario::compiler
