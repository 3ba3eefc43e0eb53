#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "reading/author_reading.h"

namespace scenario::tool::lsp {

// The record a place of a text belongs to, and which of its fields: -1 for the keyword.
struct RecordAt {
    RecordId id = kNobody;
    int field = -1;
};

// The record whose line holds the byte offset (its keyword's line, or a line its values were
// taken from), and the field under the offset: the field whose bytes hold it, else the one
// between the commas around it. Nothing on a line without a record.
std::optional<RecordAt> record_at(const ReadScenario& scenario, compiler::ErrorSource text,
                                  std::size_t offset);

// The cell a position falls in: position / 50, a half to the even cell, as the reader rounds.
std::int64_t cell_of(std::int64_t position);

// A record's position, its first value, for the kinds that stand at a position.
std::optional<std::int64_t> record_position(const ReadScenario& scenario, RecordId id);

// A record's text value (a name, a board text), as written.
std::string_view text_value(const ReadScenario& scenario, RecordId id, std::size_t index);

// The hand and class a curve keyword is read as, and the class's radius.
struct CurveReading {
    bool left = false;
    int curve_class = 0;  // 0: no class digit
    std::int32_t radius = 0;
};
CurveReading curve_reading(std::string_view keyword);

// Whether a line holds a section header alone: "[curve]".
bool is_header(std::string_view line);

}  // namespace scenario::tool::lsp
