#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "compiler/model/limits.h"

namespace scenario::compiler {

// Every record kind of the two texts, described once: how the reader recognises its keyword,
// and each value's name, width, unit and meaning. The readers name the values they read from
// here; the author's checks and the format reference are made from the same tables.

enum class SourceTextKind : std::uint8_t { line_text, train_text };

enum class ValueWidth : std::uint8_t { int32, int16, uint8, text };

// How the words of a keyword are looked for in the keyword field: contained regardless of case
// (Windows-1252 letters), or contained exactly.
enum class KeywordMatch : std::uint8_t { any_case, exact };

// Where in its text a record kind is recognised.
enum class RecordScope : std::uint8_t {
    general_section,  // line text: from "[generale]" up to the next section header
    record_sections,  // line text: after that header, to the end
    after_general,    // train text: anywhere after "[generale]"
};

// Values from `lowest` to `highest`, both included.
struct ValueRange {
    std::int64_t lowest;
    std::int64_t highest;
};

// The values a number field of this width can hold; nothing for a text.
constexpr std::optional<ValueRange> width_range(ValueWidth width) {
    switch (width) {
        case ValueWidth::int32:
            return ValueRange{-2147483648LL, 2147483647LL};
        case ValueWidth::int16:
            return ValueRange{-32768, 32767};
        case ValueWidth::uint8:
            return ValueRange{0, 255};
        case ValueWidth::text:
            break;
    }
    return std::nullopt;
}

struct ValueDescription {
    std::string_view name;  // as messages name it: "position", "speed", ...
    ValueWidth width;
    std::string_view unit;     // "m", "km/h", "per mille", or empty
    std::string_view meaning;  // one line for the format reference
    // The values an author may give where the width alone allows more: beyond them the build
    // refuses the record, cannot read it, or keeps only part of the value.
    std::optional<ValueRange> range = std::nullopt;
};

struct RecordDescription {
    std::string_view kind;  // a short name of the record kind: "gradient", "station", ...
    SourceTextKind text;
    std::string_view section;  // the section the builder writes it in
    // Every word must be in the keyword field; an empty word is no test.
    std::array<std::string_view, 2> words;
    KeywordMatch match;
    std::string_view keyword;  // the keyword as the built-in texts write it
    std::string_view example;  // a line as an author writes it
    std::string_view meaning;
    std::span<const ValueDescription> values;
    // What else the keyword field is tested for, beyond `words`. A fault named in braces,
    // {signal_cell_taken}, is the catalogue's.
    std::string_view keyword_note = {};
    RecordScope scope = RecordScope::after_general;
    // Metres added to the first value, a position, when checking that the record lies within the
    // cells; 0 for a record without a position.
    std::int32_t bound_margin = 0;
    // How many records of the kind a text may hold and in what order; faults in braces as above.
    std::string_view order = {};
};

// The values as a phrase of messages: "a position and a speed", "a position, a kind and a
// platform length".
std::string value_list(std::span<const ValueDescription> values);

namespace record_values {

inline constexpr ValueDescription kRouteLength[] = {{"route length", ValueWidth::int32, "m",
                                                     "the length of the route, at most 1000000",
                                                     ValueRange{0, kLongestRoute}}};
inline constexpr ValueDescription kKilometricRange[] = {
    {"start", ValueWidth::int32, "m", "the position where the range begins, a multiple of 50"},
    {"kilometric value", ValueWidth::int32, "m",
     "the kilometre reading at that position, in metres, a multiple of 50"},
    {"sense", ValueWidth::int32, "", "1 when the reading decreases as the position grows"}};
inline constexpr ValueDescription kScenery[] = {
    {"scenery value", ValueWidth::int32, "", "passed unchanged to the simulator"}};
inline constexpr ValueDescription kRepetition[] = {
    {"start", ValueWidth::int32, "m",
     "the first position of the equipped stretch, a multiple of 50"},
    {"end", ValueWidth::int32, "m",
     "the last position of the equipped stretch, a multiple of 50; 0 for no repetition"}};
inline constexpr ValueDescription kCurve[] = {
    {"start", ValueWidth::int32, "m", "where the curve begins"},
    {"length", ValueWidth::int32, "m", "how long it is"}};
inline constexpr ValueDescription kGradient[] = {
    {"position", ValueWidth::int32, "m", "where the gradient begins; it holds to the next one"},
    {"gradient", ValueWidth::int32, "per mille",
     "the slope, -100 to 155 (stored plus 100 in 8 bits)", ValueRange{-100, 155}}};
inline constexpr ValueDescription kMountainSpan[] = {
    {"start", ValueWidth::int32, "m", "where the span begins"},
    {"end", ValueWidth::int32, "m", "where it ends, after its start"},
    {"kind", ValueWidth::int32, "",
     "1 or 2; plus 10 (11, 12) for a marker every fourth cell of the span"}};
inline constexpr ValueDescription kSpeedBoard[] = {
    {"position", ValueWidth::int32, "m", "where the board stands"},
    {"first speed on the left", ValueWidth::int32, "km/h", "speed a of the left set"},
    {"second speed on the left", ValueWidth::int32, "km/h", "speed b of the left set"},
    {"third speed on the left", ValueWidth::int32, "km/h", "speed c of the left set"},
    {"stripes on the left", ValueWidth::int32, "", "the stripe count of the left set"},
    {"first speed on the right", ValueWidth::int32, "km/h",
     "speed a of the right set: a multiple of 5 below 100, or empty"},
    {"second speed on the right", ValueWidth::int32, "km/h",
     "speed b of the right set: a multiple of 5 below 100, or empty"},
    {"third speed on the right", ValueWidth::int32, "km/h",
     "speed c of the right set: a multiple of 5 below 100, or empty"},
    {"stripes on the right", ValueWidth::int32, "", "the stripe count of the right set"}};
inline constexpr ValueDescription kSignBoard[] = {
    {"position", ValueWidth::int32, "m", "where the board stands"},
    {"board text", ValueWidth::text, "",
     "one to three board lines, each in parentheses: (PONTE SUL)(FIUME)"}};

inline constexpr ValueDescription kCoaches[] = {
    {"number of coaches", ValueWidth::int32, "", "the coaches of the train"}};
inline constexpr ValueDescription kBrakedMass[] = {
    {"braked-mass percentage", ValueWidth::int32, "%", "the train's braked mass"}};
inline constexpr ValueDescription kSand[] = {
    {"sand value", ValueWidth::int16, "", "the train's sanding value"}};
inline constexpr ValueDescription kClock[] = {
    {"hours", ValueWidth::int16, "h", "the clock at the start, separated by blanks alone"},
    {"minutes", ValueWidth::int16, "min", ""},
    {"seconds", ValueWidth::int16, "s", ""}};
inline constexpr ValueDescription kAdhesion[] = {
    {"position", ValueWidth::int32, "m", "where the adhesion begins; it holds to the next one"},
    {"adhesion", ValueWidth::int32, "%", "the share of nominal adhesion, 0 to 255",
     ValueRange{0, 255}}};
inline constexpr ValueDescription kSpeedLimit[] = {
    {"position", ValueWidth::int32, "m", "where the limit begins; it holds to the next one"},
    {"speed", ValueWidth::int32, "km/h", "the line's speed limit, at most 1277 (steps of 5 km/h)",
     ValueRange{0, 1277}}};
inline constexpr ValueDescription kSignal[] = {
    {"position", ValueWidth::int32, "m", "where the signal stands, a multiple of 50"},
    {"left light", ValueWidth::int32, "", "sx: 1, or 2 for a signal that keeps its time"},
    {"first aspect on the left", ValueWidth::int32, "", "s1"},
    {"second aspect on the left", ValueWidth::int32, "", "s2"},
    {"third aspect on the left", ValueWidth::int32, "", "s3"},
    {"repeater", ValueWidth::int32, "", "rapp"},
    {"right light", ValueWidth::int32, "", "dx"},
    {"first aspect on the right", ValueWidth::int32, "", "d1"},
    {"second aspect on the right", ValueWidth::int32, "", "d2"},
    {"third aspect on the right", ValueWidth::int32, "", "d3"},
    {"time", ValueWidth::int32, "s", "tempo: 1 to 100 is raised to 101; low 8 bits stored",
     ValueRange{0, 255}}};
inline constexpr ValueDescription kSlowdown[] = {
    {"position", ValueWidth::int32, "m", "x: where the restriction begins, a multiple of 50"},
    {"speed", ValueWidth::int32, "km/h", "v: the restricted speed"},
    {"length", ValueWidth::int32, "m", "l: how long the restriction is"},
    {"f_tt flag", ValueWidth::int32, "", "f_tt: 0 or 1"},
    {"f_ta flag", ValueWidth::int32, "", "f_ta: 1 asks for four approach cells before the warning"},
    {"d_v value", ValueWidth::int32, "", "d_v: 0 or 1"}};
inline constexpr ValueDescription kCodePoint[] = {
    {"position", ValueWidth::int32, "m", "the code point's position"},
    {"code", ValueWidth::int32, "", "the code carried; below 1 cancels a point"}};
inline constexpr ValueDescription kStation[] = {
    {"position", ValueWidth::int32, "m", "the location's position, a multiple of 50"},
    {"station kind", ValueWidth::uint8, "",
     "5, 6: short halt; 7, 8: zone of a platform length on each side; below 25: a stop cell"},
    {"platform length", ValueWidth::int32, "m", "a multiple of 100"},
    {"fourth value", ValueWidth::uint8, "", "a code, 0 or 1"},
    {"long-platform flag", ValueWidth::uint8, "",
     "0 or 1; 0 for the first station and below 600 m"},
    {"extension flag", ValueWidth::uint8, "", "0 or 1; 1 ends the zone 50 m further"},
    {"seventh value", ValueWidth::int16, "", "a code"},
    {"eighth value", ValueWidth::int16, "", "a code"},
    {"ninth value", ValueWidth::uint8, "", "a code"},
    {"tenth value", ValueWidth::int16, "", "a code"},
    {"eleventh value", ValueWidth::int16, "", "a code"},
    {"twelfth value", ValueWidth::int16, "", "a code"},
    {"stop time", ValueWidth::uint8, "s", "the scheduled stop"},
    {"hours", ValueWidth::int32, "h", "the time the train leaves (at the last station: arrives)"},
    {"minutes", ValueWidth::int32, "min", ""},
    {"seconds", ValueWidth::int32, "s", "all three 0 where the train has no scheduled time"},
    {"name", ValueWidth::text, "", "the location's name, upper case, no comma"}};

}  // namespace record_values

// In the order the readers test them: a keyword field that passes several tests is read by
// each in turn.
inline constexpr RecordDescription kRecordDescriptions[] = {
    {"route length",
     SourceTextKind::line_text,
     "[generale]",
     {"lunghezza", "percorso"},
     KeywordMatch::any_case,
     "lunghezza percorso",
     "lunghezza percorso,    98000",
     "the length of the route",
     record_values::kRouteLength,
     {},
     RecordScope::general_section,
     0,
     "once; the records after the general section need the cells it makes"},
    {"kilometric range",
     SourceTextKind::line_text,
     "[generale]",
     {"progressiva", ""},
     KeywordMatch::exact,
     "progressiva chilometrica uno",
     "progressiva chilometrica uno,    0,    98000,    1",
     "one of three ranges (uno, due, tre in the keyword) tying kilometre readings to positions",
     record_values::kKilometricRange,
     "and \"uno\", \"due\" or \"tre\", also exactly, naming the range; a field holding two of them "
     "is read for each",
     RecordScope::general_section,
     0,
     "one line each for uno, due and tre, in any order: the build sorts them by start; when two "
     "share the furthest start, all three are dropped"},
    {"scenery",
     SourceTextKind::line_text,
     "[generale]",
     {"sfondo", ""},
     KeywordMatch::exact,
     "sfondo uno",
     "sfondo uno,    90000",
     "one of three scenery settings (uno, due, tre in the keyword)",
     record_values::kScenery,
     "and \"uno\", \"due\" or \"tre\", also exactly, naming the setting",
     RecordScope::general_section,
     0,
     "one line each for uno, due and tre"},
    {"signal repetition",
     SourceTextKind::line_text,
     "[generale]",
     {"segnali", "ripetizione"},
     KeywordMatch::exact,
     "ripetizione segnali 9 codici",
     "ripetizione segnali 9 codici,    1000,    94800",
     "the stretch with signal repetition; the keyword's digit 4 or 9 names the code system",
     record_values::kRepetition,
     "and the digit \"4\" or \"9\", naming the code system (4 is tested first); neither is "
     "{repetition_without_code_system}",
     RecordScope::general_section,
     0,
     "once"},
    {"gradient",
     SourceTextKind::line_text,
     "[pendenze]",
     {"pendenza", ""},
     KeywordMatch::any_case,
     "pendenza",
     "pendenza,  8450,   29",
     "a gradient from its position on",
     record_values::kGradient,
     {},
     RecordScope::record_sections,
     100,
     "in ascending position, the first at 0: each gradient holds from its position to the next "
     "one, and the cells before the first record take 0"},
    {"curve",
     SourceTextKind::line_text,
     "[curve]",
     {"curva", ""},
     KeywordMatch::any_case,
     "curvas5",
     "curvas5,  2200,  400",
     "a curve: s (left) or d (right) and a class digit 1 to 6 after the word; read only with the "
     "plan",
     record_values::kCurve,
     "and a class digit \"1\" to \"6\" (the first found of 1, 2, ... 6 counts; none is "
     "{curve_without_class}); \"s\" anywhere makes it a left-hand curve",
     RecordScope::record_sections,
     100,
     "in ascending position without overlapping: the plan is bent only from where it has reached. "
     "A curve must end 2 m before the plan does (start + length at most the route length + "
     "6998), else {record_near_route_end}"},
    {"mountain span",
     SourceTextKind::line_text,
     "[montagne]",
     {"montagna", ""},
     KeywordMatch::any_case,
     "montagna",
     "montagna,   6400,  6700,  12",
     "a mountain span",
     record_values::kMountainSpan,
     {},
     RecordScope::record_sections,
     100,
     "at most 80 ({too_many_mountain_spans}), in ascending position; a span that starts within "
     "150 m of the end of the one before is given kind 3"},
    {"maximum-speed board",
     SourceTextKind::line_text,
     "[cartelli]",
     {"indicatori_v", ""},
     KeywordMatch::any_case,
     "indicatori_vmax",
     "indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0",
     "a maximum-speed board with a left and a right set of speeds",
     record_values::kSpeedBoard,
     {},
     RecordScope::record_sections,
     100,
     "in ascending position, each on a cell of its own ({speed_board_cell_taken})"},
    {"sign board",
     SourceTextKind::line_text,
     "[indicazioni]",
     {"indicat", "cartello"},
     KeywordMatch::any_case,
     "cartello_indicatore",
     "cartello_indicatore,  2200,   (INIZIO VIADOTTO)",
     "a line-side sign board",
     record_values::kSignBoard,
     "both words are needed: \"cartello\" alone is not recognised",
     RecordScope::record_sections,
     100,
     "at most 80 ({sign_board_table_full}), fewer to leave room for the stations; in ascending "
     "position, each on a cell of its own ({sign_board_cell_taken})"},

    {"braked mass",
     SourceTextKind::train_text,
     "[generale]",
     {"frenata", "massa"},
     KeywordMatch::any_case,
     "percentuale massa frenata",
     "percentuale massa frenata,    100",
     "the braked-mass percentage of the train",
     record_values::kBrakedMass,
     {},
     RecordScope::after_general,
     0,
     "once"},
    {"coaches",
     SourceTextKind::train_text,
     "[generale]",
     {"vetture", ""},
     KeywordMatch::any_case,
     "numero vetture",
     "numero vetture,    5",
     "the number of coaches",
     record_values::kCoaches,
     {},
     RecordScope::after_general,
     0,
     "once"},
    {"speed limit",
     SourceTextKind::train_text,
     "[vel_limite]",
     {"velocit", ""},
     KeywordMatch::any_case,
     "velocita",
     "velocita,    1100,    70",
     "the line's speed limit from its position on",
     record_values::kSpeedLimit,
     {},
     RecordScope::after_general,
     100,
     "in ascending position, the first at 0: each limit holds from its position to the next "
     "one, and the cells before the first record take 0"},
    {"adhesion",
     SourceTextKind::train_text,
     "[aderenze]",
     {"aderenza", ""},
     KeywordMatch::any_case,
     "aderenza",
     "aderenza,   11500,    80",
     "the rail adhesion from its position on",
     record_values::kAdhesion,
     {},
     RecordScope::after_general,
     100,
     "in ascending position, the first at 0: each adhesion holds from its position to the next "
     "one, and the cells before the first record take 0"},
    {"clock",
     SourceTextKind::train_text,
     "[generale]",
     {"orologio", ""},
     KeywordMatch::any_case,
     "orologio",
     "orologio,    6               36            30 ",
     "the clock at the start of the scenario",
     record_values::kClock,
     {},
     RecordScope::after_general,
     0,
     "once"},
    {"sand",
     SourceTextKind::train_text,
     "[generale]",
     {"sabbia", ""},
     KeywordMatch::any_case,
     "sabbia",
     "sabbia,    150",
     "the train's sanding value",
     record_values::kSand,
     {},
     RecordScope::after_general,
     0,
     "once"},
    {"signal",
     SourceTextKind::train_text,
     "[segnali]",
     {"segnale", ""},
     KeywordMatch::any_case,
     "segnale",
     "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
     "a signal",
     record_values::kSignal,
     {},
     RecordScope::after_general,
     100,
     "in ascending position, each on a cell of its own ({signal_cell_taken}); the four cells "
     "before it carry its approach marks"},
    {"slowdown",
     SourceTextKind::train_text,
     "[rallentamenti]",
     {"rallentamento", ""},
     KeywordMatch::any_case,
     "rallentamento",
     "rallentamento,   71200,    40,  300, 1,  1,  0",
     "a temporary speed restriction",
     record_values::kSlowdown,
     {},
     RecordScope::after_general,
     100,
     "in ascending position; its warning board 1200 m before it (for a position above 1500), its "
     "start and its end each need a cell of their own ({warning_board_cell_taken}, "
     "{slowdown_start_cell_taken}, {slowdown_end_cell_taken})"},
    {"code point",
     SourceTextKind::train_text,
     "[codici]",
     {"abbattimento", ""},
     KeywordMatch::any_case,
     "abbattimento",
     "abbattimento,   12000,   100",
     "a code point on the cell at its position",
     record_values::kCodePoint,
     {},
     RecordScope::after_general,
     100,
     "in ascending position, each on a cell of its own ({code_point_cell_taken})"},
    {"station",
     SourceTextKind::train_text,
     "[stazioni]",
     {"stazione", ""},
     KeywordMatch::any_case,
     "stazione",
     "stazione,    7500, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   90,   6,48, 0, CASTELLETTO LAGO",
     "a station or halt of the timetable, in travel order",
     record_values::kStation,
     {},
     RecordScope::after_general,
     800,
     "in travel order, the first the station of departure and the last that of arrival; stop "
     "zones at least 350 m apart ({station_zones_too_close}); with s sign boards, at most 78 - s "
     "stations ({station_table_full})"},
};

// The description of a record kind by its short name; the tables hold every name the readers
// ask for, so an unknown name is a programming error caught by the tests.
constexpr const RecordDescription& record_description(std::string_view kind) {
    for (const auto& record : kRecordDescriptions) {
        if (record.kind == kind) {
            return record;
        }
    }
    return kRecordDescriptions[0];
}

// The name of a record's value, by its place in the record.
constexpr std::string_view value_name(std::string_view kind, std::size_t index) {
    return record_description(kind).values[index].name;
}

}  // namespace scenario::compiler
