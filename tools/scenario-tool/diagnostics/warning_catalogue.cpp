#include "diagnostics/warning_catalogue.h"

#include <algorithm>
#include <array>

namespace scenario::tool {

namespace {

constexpr std::array kWarnings{
    WarningEntry{"unknown-keyword", "a line whose keyword names no record kind is skipped",
                 "The reader recognises a record by words contained in its keyword field\n"
                 "(\"pendenza\", \"stazione\", ...). A keyword that holds none of them is\n"
                 "read as a field of nothing and skipped, with the values after it:\n"
                 "  pendneza,  8450,   29\n"
                 "drops a gradient, and every cell keeps the gradient before it.\n"
                 "Mend: spell the keyword as 'scenario-tool help format' lists it."},
    WarningEntry{"other-text-record", "a record of the other text is skipped here",
                 "The line text and the train text each read only their own record\n"
                 "kinds: a 'stazione' line in the line text, or a 'pendenza' line in the\n"
                 "train text, is skipped without a fault.\n"
                 "Mend: move the line into the text it belongs to."},
    WarningEntry{"value-changed", "a value is changed on its way into its field",
                 "Some values are kept in fewer bits than they are read with: a gradient\n"
                 "is stored plus 100 in 8 bits, so -150 becomes code 206 and reads as a\n"
                 "climb of 106; an adhesion of 300 is kept as 44; a right-hand speed of a\n"
                 "speed board that is not a multiple of 5 below 100 mixes with the left.\n"
                 "  pendenza,  18950,   -150\n"
                 "Mend: keep each value in the range the format reference gives."},
    WarningEntry{"position-outside-route", "a position lies before the start or past the end",
                 "Positions are metres from the start of the route. A position below 0,\n"
                 "or past the route length (in the 7000 m run-out after the last\n"
                 "station), is accepted as long as its cells exist, but is almost never\n"
                 "meant: a gradient at 98500 m on a 98000 m route.\n"
                 "Mend: check the position against 'lunghezza percorso'."},
    WarningEntry{"out-of-order", "a record comes before one of its kind at a lower position",
                 "Records of a kind are read in the order of the text. A gradient, an\n"
                 "adhesion or a speed limit fills the cells from the one before it up to\n"
                 "its own position, so one out of order loses or overrides cells; stations\n"
                 "are numbered in text order and their zones must follow each other.\n"
                 "Mend: sort the records of each kind by position."},
    WarningEntry{"overlapping-curves", "a curve starts before the curve before it ends",
                 "The plan is bent curve by curve from the metre reached so far: a curve\n"
                 "that starts inside the one before is bent only from where that one\n"
                 "ended, so the two overlap and the first metres of the second are lost.\n"
                 "Mend: let each curve start at or after the end of the one before."},
    WarningEntry{"cut-at-route-end", "a span runs past the last cell and is cut there",
                 "A mountain span is placed on the cells up to the last one; what lies\n"
                 "beyond is dropped: a span to 120000 m on a 98000 m route.\n"
                 "Mend: end the span within the route."},
    WarningEntry{"station-time", "a station's time goes backwards or is not a time",
                 "Times of the timetable are hours, minutes and seconds; minutes and\n"
                 "seconds of 60 or more are added on as they are, and a station whose\n"
                 "time lies before the station before it makes the train card wrong.\n"
                 "Mend: give each stopping station a time after the one before."},
    WarningEntry{"not-on-grid", "a position is not a multiple of 50",
                 "The route is laid out on cells of 50 m: a signal, a slowdown or a code\n"
                 "point off the grid lands on the nearest cell (halves to even), which may\n"
                 "not be the one meant.\n"
                 "Mend: put the position on a multiple of 50."},
    WarningEntry{"extra-values", "a line holds more values than its record takes",
                 "The values after the last one a record takes are read as keyword fields\n"
                 "of nothing and skipped: 'pendenza,  100,  5,  7' keeps 100 and 5.\n"
                 "Mend: remove the extra value, or check which one is meant."},
    WarningEntry{"missing-stations", "the train text holds no station",
                 "Without a station the scenario has no timetable: an empty train text,\n"
                 "or the notes file given in its place, compiles to 0 stations.\n"
                 "Mend: give the train service text, with its 'stazione' lines."},
    WarningEntry{"utf8-text", "bytes that read as UTF-8 in a Windows-1252 text",
                 "The texts are Windows-1252: a name saved as UTF-8 keeps its bytes, so\n"
                 "'CÀ' ends in the scenario file as the two characters 'Ã€'.\n"
                 "Mend: save the text as Windows-1252 (Western European)."},
    WarningEntry{"byte-order-mark", "the text starts with a UTF-8 byte-order mark",
                 "The three bytes EF BB BF of a UTF-8 byte-order mark become part of the\n"
                 "first field. Mend: save the text as Windows-1252, without a mark."},
    WarningEntry{"lone-cr", "a carriage return that ends no line",
                 "A CR not followed by LF does not end a line for the reader: it stays in\n"
                 "the field, and the line goes on. Mend: end lines with CR LF or LF."},
};

}  // namespace

std::span<const WarningEntry> warning_catalogue() {
    return kWarnings;
}

const WarningEntry* find_warning(std::string_view name) {
    const auto* it = std::find_if(kWarnings.begin(), kWarnings.end(),
                                  [name](const WarningEntry& w) { return w.name == name; });
    return it == kWarnings.end() ? nullptr : it;
}

}  // namespace scenario::tool
