#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reading/author_reading.h"

namespace scenario::tool::lsp {

// How the builder sets a value after its comma: a fixed run of blanks, or right-aligned in a
// fixed number of characters.
enum class Padding : std::uint8_t { blanks, right_aligned };

struct ValueLayout {
    Padding padding = Padding::blanks;
    std::uint8_t size = 0;  // the run of blanks, or the characters the value is aligned in
};

// The layout of one record kind as the builder writes it.
struct RecordLayout {
    std::string_view kind;  // as compiler::kRecordDescriptions names it
    std::span<const ValueLayout> values;
    // Values separated by runs of blanks alone after one comma, the line ending in `trailing`
    // blanks (the clock); the runs are those of `values`.
    bool one_field = false;
    std::uint8_t trailing = 0;
    // The first record of its kind has its second value right-aligned in this many characters
    // instead (the first adhesion), 0 for none.
    std::uint8_t first_record_second_size = 0;
};

// The layout of a record kind, or none for a kind the builder never writes.
const RecordLayout* record_layout(std::string_view kind);

// A change of the text's bytes: only blanks and commas are ever replaced.
struct ByteEdit {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::string replacement;
};

// The edits that set every record line of one text as the builder writes its own: the keyword
// from the line's start, each value after its comma with the kind's run of blanks or alignment,
// no blanks after the last number. A line that holds anything else (values of a record spread
// over several lines, a second record, a value the reading split) is left as it is, as are the
// lines that are no records. The built-in texts need no edit.
std::vector<ByteEdit> layout_edits(const ReadScenario& scenario, compiler::ErrorSource text);

}  // namespace scenario::tool::lsp
