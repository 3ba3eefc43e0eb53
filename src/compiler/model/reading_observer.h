#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/model/text_place.h"

namespace scenario::compiler {

struct RecordDescription;

// What became of a keyword field.
enum class KeywordUse : std::uint8_t {
    record,          // one or more record kinds were recognised in it
    separator,       // skipped as a separator: it holds a dash
    header,          // a section header
    nothing,         // it names nothing the text reads here; the field is skipped
    before_general,  // it stands before [generale] and is not read at all
};

// How a record ended.
enum class RecordEnd : std::uint8_t {
    placed,      // read and placed (a helper may still have recorded a warning)
    refused,     // past the route's end (15): the records of its text end there
    stopped,     // a fault stopped the reading of its text
    unreadable,  // a value could not be read (25)
    skipped,     // recognised but not read: a curve without the plan
};

// Which values of the cells a record (or the signalling pass) wrote.
enum class CellUse : std::uint8_t {
    object,         // kind and refs: a signal, a board, a slowdown mark, a code point
    stop,           // a station's stop cell
    approach_mark,  // approachMark before a signal or a station stop
    span,           // spanKind of a mountain span
    marker,         // a mountain marker (kind 11)
    gradient,       // gradientCode, holding this record's value
    speed,          // speedStep, holding this record's value
    adhesion,       // adhesion, holding this record's value
};

// A diagnostic as the build met it: the catalogue turns it into words. Faults are also recorded
// in the build state as the product records them; this is what the author's tools hear.
struct Occurrence {
    Diag id = Diag::first_warning;
    ErrorSource text = ErrorSource::none;
    FieldSpan at;                          // the field it concerns; line 0 when none
    std::optional<std::int32_t> position;  // metres along the route
    std::int32_t cell = -1;                // the cell concerned
    RecordId record = kNoRecord;           // the record that raised it
    std::vector<Argument> arguments;       // named values of its message
    // Cells whose holders take part: the cell that was taken, the signals and the slowdown
    // the signalling pass looked at.
    std::vector<std::int32_t> involved;
    // A fault already recorded, for which the build stops reading here (a code 15 of the line
    // text stops the train text at its first signal or slowdown); check mode goes on.
    bool standing = false;
};

// Listens to one reading of the texts: the line reader, the train reader, the placement helpers
// and the signalling pass tell it every record, every value, every cell written and every
// diagnostic. The builder reads without one. Each call is a plain report; nothing it does
// changes what the build records or writes.
class ReadingObserver {
  public:
    virtual ~ReadingObserver() = default;

    // Check mode: a fault that stops the reading of a text is recorded, its record left
    // unplaced, and the reading goes on at the next line, as a compiler goes on after ';'.
    virtual bool recovers() const { return false; }
    // Whether the plan's points are computed. A check reads every curve as the build does, but
    // needs no coordinate; the compact files of such a reading carry no plan.
    virtual bool plans() const { return true; }

    // A text is about to be read (the line text first, then the train text).
    virtual void text_begins(ErrorSource /*text*/, std::string_view /*bytes*/) {}
    virtual void keyword(ErrorSource /*text*/, const FieldSpan& /*field*/, KeywordUse /*use*/) {}
    // A record recognised by its keyword; returns the id the record goes by.
    virtual RecordId record_begins(ErrorSource text, const RecordDescription& kind,
                                   const FieldSpan& keyword) = 0;
    // Value `index` of the record, as read (numbers), or its text (names, board texts).
    virtual void value(RecordId /*record*/, std::size_t /*index*/, const FieldSpan& /*field*/,
                       std::int64_t /*read*/) {}
    virtual void record_ends(RecordId /*record*/, RecordEnd /*how*/) {}
    // Cells first to last were written; `by` is the record whose value they hold, kNoRecord for
    // the signalling pass.
    virtual void cells(RecordId /*by*/, CellUse /*use*/, std::int32_t /*first*/,
                       std::int32_t /*last*/) {}
    virtual void occurred(const Occurrence& /*occurrence*/) {}
};

}  // namespace scenario::compiler
