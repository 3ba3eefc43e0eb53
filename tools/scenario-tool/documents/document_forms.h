#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::tool {

// A value of the author's texts that the train card or the slowdown order cannot print in its
// forms: nothing is written. `line` is the line of the train text that gives the value (0 when
// it comes from an option).
class DocumentRefusal : public std::runtime_error {
  public:
    DocumentRefusal(const std::string& what, std::int32_t line = 0)
        : std::runtime_error(what), line_(line) {}
    std::int32_t line() const { return line_; }

  private:
    std::int32_t line_;
};

// The forms shared by the two documents. Texts are Windows-1252 bytes.

// "6.37" for 6 h 37 min, "7.16+" for half a minute more; nothing for a time the card cannot show:
// before midnight, from 24 h on, or not on a whole or half minute.
std::optional<std::string> clock_form(std::int64_t seconds);

// "97+600": whole kilometres, "+", three digits of metres. `metres` is not negative.
std::string kilometre_form(std::int64_t metres);

// The running speed the card prints under a speed limit: the limit less a tenth of it taken to
// the nearest 5 km/h, ties to even (55 under 60, 65 under 70, 80 under 90).
std::int32_t running_speed(std::int32_t limit);

// A location's name as the documents print it: " - " as "-", without trailing blanks.
std::string printed_name(std::string_view name);

// A name in mixed case, as the slowdown order writes stations: each word with a capital, the
// rest small, the small joining words of place names ("di", "in", "dei", ...) all small except
// at the start ("S. MARTINO IN VALLE" gives "S. Martino in Valle").
std::string mixed_case(std::string_view name);

// The text followed by blanks up to the width, or nothing when it is longer.
std::optional<std::string> in_cell(std::string_view text, std::size_t width);

// The text in the middle of the width, the odd blank on the right; nothing when it is longer.
std::optional<std::string> centred(std::string_view text, std::size_t width);

// The bytes of a document: every line followed by CR LF.
std::string document_bytes(const std::vector<std::string>& lines);

// A Windows-1252 text as the author's terminal shows it (UTF-8), for messages.
std::string quoted(std::string_view text);

}  // namespace scenario::tool
