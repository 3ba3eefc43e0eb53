// The field reader on any bytes. The input's first byte chooses the kinds of field read in turn,
// two bits each (text, 32-bit, 16-bit, 8-bit number), over the rest of the input, until the text
// is at its end or a field cannot be read. Besides the sanitizers it checks what the readers
// rely on: every read moves on or fails, a text field holds no comma and no line end, keyword
// tests agree with a plain search, the line count never goes back, and every field and every
// failure has a place on a line already read. Each text field starts a record, so that values
// missing from their record's line are placed at that line's end.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "compiler/readers/field_reader.h"

namespace {

using scenario::compiler::FieldFailure;
using scenario::compiler::FieldReader;
using scenario::compiler::KeywordField;

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "field reader fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const unsigned plan = data[0];
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    FieldReader reader(text);
    std::int32_t last_line = 0;
    // Each field that reads consumes at least one byte, so this many reads reach the end.
    const std::size_t most_reads = text.size() + 1;
    std::size_t reads = 0;
    try {
        while (!reader.at_end()) {
            check(++reads <= most_reads, "a field was read without moving on");
            switch ((plan >> (2 * (reads % 4))) & 3u) {
                case 0: {
                    const std::string field = reader.read_text();
                    check(field.find(',') == std::string::npos, "a text field holds a comma");
                    check(field.find('\n') == std::string::npos, "a text field holds a line end");
                    check(field.empty() || (field[0] != ' ' && field[0] != '\t'),
                          "a text field starts with a blank");
                    const KeywordField keyword(field);
                    check(keyword.has_exact(field), "a field does not contain itself");
                    check(keyword.has("") && keyword.has_exact(""), "the empty word is missing");
                    for (const std::string_view word : {"stazione", "curva", "[generale]"}) {
                        if (field.find(word) != std::string::npos) {
                            check(keyword.has(word), "a lower-case word found exactly is missed");
                        }
                    }
                    reader.begin_record(field);
                    break;
                }
                case 1:
                    (void)reader.read_int32();
                    break;
                case 2:
                    (void)reader.read_int16();
                    break;
                default:
                    (void)reader.read_uint8();
                    break;
            }
            check(reader.line() >= last_line, "the line count went back");
            check(reader.line() >= 1, "a field lies before the first line");
            check(reader.place().column >= 1, "a field lies before the first column");
            last_line = reader.line();
        }
    } catch (const FieldFailure& failure) {
        check(failure.line() >= 1, "a failure names no line");
        check(failure.place().column >= 1, "a failure names no column");
        check(failure.line() <= reader.line(), "a failure lies past the field read last");
    }
    return 0;
}
