#include "inspect/dump_render.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <system_error>

#include "compiler/model/build_state.h"
#include "compiler/model/layouts.h"
#include "inspect/cell_kind_names.h"
#include "inspect/record_fields.h"
#include "io/json.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace {

using compiler::LocationEntry;
using compiler::PlanTag;
using compiler::TrackCell;

std::string quoted(const std::string& bytes_1252) {
    return "\"" + escape_controls(utf8_from_1252(bytes_1252)) + "\"";
}

bool is_cleared(const LocationEntry& entry) {
    return entry == LocationEntry{};
}

// What an entry of the scenario table holds, by its index and content.
std::string_view entry_role(std::size_t index, const LocationEntry& entry) {
    namespace e = compiler::entry;
    switch (index) {
        case e::range_tre:
            return "kilometric range tre";
        case e::range_due:
            return "kilometric range due";
        case e::range_uno:
            return "kilometric range uno";
        case e::train:
            return "train and route";
        case e::scenery:
            return "scenery, line title, format marker, weighted code";
        case e::repetition:
            return "signal repetition, train code, sanding, clock";
        default:
            break;
    }
    if (index == 0 || index > e::first_sign_slot || is_cleared(entry)) {
        return "";
    }
    LocationEntry text_only;
    text_only.name = entry.name;
    return entry == text_only && entry.name.starts_with("(") ? "sign board" : "station";
}

// What a field of the scenario table means in an entry of this role, where it means something.
struct FieldMeaning {
    std::string_view meaning;
    std::string_view unit;
};

FieldMeaning field_meaning(std::string_view role, std::string_view field) {
    struct Meaning {
        std::string_view role;  // "" for every station
        std::string_view field;
        std::string_view meaning;
        std::string_view unit;
    };
    static constexpr Meaning kMeanings[] = {
        {"station", "kind", "station kind", ""},
        {"station", "zoneStart", "zone start", "m"},
        {"station", "zoneEnd", "zone end", "m"},
        {"station", "position", "position", "m"},
        {"station", "param4", "fourth value", ""},
        {"station", "dwell", "stop time", "s"},
        {"station", "extendFlag", "extension flag", ""},
        {"station", "longFlag", "long-platform flag", ""},
        {"station", "timeOfDay", "time", "s"},
        {"sign board", "name", "board text", ""},
        {"kilometric range", "zoneStart", "start", "m"},
        {"kilometric range", "zoneEnd", "kilometric value", "m"},
        {"kilometric range", "position", "sense", ""},
        {"train and route", "zoneStart", "braked mass", "%"},
        {"train and route", "zoneEnd", "route length", "m"},
        {"train and route", "position", "coaches", ""},
        {"scenery", "name", "line title", ""},
        {"scenery", "zoneStart", "scenery uno", ""},
        {"scenery", "position", "scenery due", ""},
        {"scenery", "zoneEnd", "scenery tre", ""},
        {"scenery", "param7", "format marker", ""},
        {"scenery", "timeOfDay", "scenario code", ""},
        {"signal repetition", "name", "train code", ""},
        {"signal repetition", "zoneStart", "repetition start", "m"},
        {"signal repetition", "zoneEnd", "repetition end", "m"},
        {"signal repetition", "position", "code system", ""},
        {"signal repetition", "param7", "sand", ""},
        {"signal repetition", "param10", "clock hours", ""},
        {"signal repetition", "param11", "clock minutes", ""},
        {"signal repetition", "param12", "clock seconds", ""},
    };
    for (const auto& m : kMeanings) {
        if (role.starts_with(m.role) && m.field == field) {
            return {m.meaning, m.unit};
        }
    }
    return {};
}

// In full, however large: a plan point of 1e308 m has 309 digits before the point.
std::string number_text(double value) {
    const int length = std::snprintf(nullptr, 0, "%.3f", value);
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.3f", value);
    return text;
}

// "name=value", or where the field means something in this entry's role, two blanks apart:
// "zone start=800 m [zoneStart]".
void fields_text(std::string& out, const std::vector<FieldValue>& fields, bool skip_zero,
                 std::string_view role = {}) {
    for (const auto& f : fields) {
        if (skip_zero && f.is_zero()) {
            continue;
        }
        const auto meaning = role.empty() ? FieldMeaning{} : field_meaning(role, f.name);
        out += role.empty() ? " " : "  ";
        out += meaning.meaning.empty() ? f.name : meaning.meaning;
        out += '=';
        out += f.text ? quoted(*f.text) : std::to_string(f.number);
        if (!meaning.unit.empty() && !f.text) {
            out += ' ';
            out += meaning.unit;
        }
        if (!meaning.meaning.empty()) {
            out += " [";
            out += f.name;
            out += ']';
        }
    }
}

void fields_json(Json& record, const std::vector<FieldValue>& fields, bool skip_zero) {
    for (const auto& f : fields) {
        if (skip_zero && f.is_zero()) {
            continue;
        }
        record[std::string(f.name)] =
            f.text ? json_string(utf8_from_1252(*f.text)) : Json(f.number);
    }
}

std::string scenario_text(const std::vector<LocationEntry>& locations) {
    std::string out;
    for (std::size_t i = 0; i < locations.size(); ++i) {
        out += "entry " + std::to_string(i);
        if (is_cleared(locations[i])) {
            out += ": cleared\n";
            continue;
        }
        if (const auto role = entry_role(i, locations[i]); !role.empty()) {
            out += " (" + std::string(role) + ")";
        }
        out += ':';
        fields_text(out, record_fields(locations[i], compiler::location_layout), false,
                    entry_role(i, locations[i]));
        out += '\n';
    }
    return out;
}

Json scenario_json(const std::vector<LocationEntry>& locations) {
    Json entries = Json::array();
    for (std::size_t i = 0; i < locations.size(); ++i) {
        Json entry = {{"index", i},
                      {"role", entry_role(i, locations[i])},
                      {"cleared", is_cleared(locations[i])}};
        const auto fields = record_fields(locations[i], compiler::location_layout);
        fields_json(entry, fields, false);
        Json meanings = Json::object();
        for (const auto& f : fields) {
            if (const auto meaning = field_meaning(entry_role(i, locations[i]), f.name);
                !meaning.meaning.empty()) {
                meanings[std::string(f.name)] = meaning.meaning;
            }
        }
        entry["meanings"] = std::move(meanings);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::pair<std::size_t, std::size_t> cell_window(const std::vector<TrackCell>& cells,
                                                const DumpOptions& options) {
    const auto last = static_cast<std::int64_t>(cells.size()) - 1;
    const auto first = std::max<std::int64_t>(0, options.first_cell.value_or(0));
    const auto until = std::min<std::int64_t>(last, options.last_cell.value_or(last));
    if (first > until) {
        return {1, 0};
    }
    return {static_cast<std::size_t>(first), static_cast<std::size_t>(until)};
}

std::string cells_text(const std::vector<TrackCell>& cells, const DumpOptions& options) {
    std::string out;
    const auto [first, last] = cell_window(cells, options);
    for (std::size_t i = first; i <= last && i < cells.size(); ++i) {
        out += "cell " + std::to_string(i) + " at " + std::to_string(i * 50) + " m:";
        if (cells[i] == TrackCell{}) {
            out += " -\n";
            continue;
        }
        const auto fields = record_fields(cells[i], compiler::cell_layout);
        fields_text(out, fields, true);
        if (cells[i].kind != 0) {
            out += " (" + std::string(cell_kind_name(cells[i].kind)) + ")";
        }
        if (options.sources) {
            for (const auto& source : options.sources(i)) {
                if (source.use == "object" || source.use == "stop" || source.use == "marker" ||
                    source.use == "approach mark") {
                    out += " <- " + source.kind + " at " +
                           (source.file.empty()
                                ? std::string("the signalling pass")
                                : escape_controls(source.file) + ":" + std::to_string(source.line) +
                                      ":" + std::to_string(source.column));
                }
            }
        }
        out += '\n';
    }
    return out;
}

Json cells_json(const std::vector<TrackCell>& cells, const DumpOptions& options) {
    Json records = Json::array();
    const auto [first, last] = cell_window(cells, options);
    for (std::size_t i = first; i <= last && i < cells.size(); ++i) {
        Json cell = {{"index", i}, {"position", i * 50}};
        fields_json(cell, record_fields(cells[i], compiler::cell_layout), true);
        if (cells[i].kind != 0) {
            cell["kindName"] = cell_kind_name(cells[i].kind);
        }
        if (options.sources) {
            Json sources = Json::array();
            for (const auto& source : options.sources(i)) {
                sources.push_back(
                    {{"use", source.use},
                     {"kind", source.kind},
                     {"file", source.file.empty() ? Json(nullptr) : json_string(source.file)},
                     {"line", source.line},
                     {"column", source.column}});
            }
            cell["records"] = std::move(sources);
        }
        records.push_back(std::move(cell));
    }
    return records;
}

struct PlanSummary {
    std::array<std::size_t, compiler::plan_point_kinds.size()> kind_counts{};
    bool has_box = false;
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    std::int64_t last_set = -1;  // the last metre with both coordinates
};

bool point_set(const compiler::PathPoints& plan, std::size_t m) {
    return plan.axis[0].tags[m] != PlanTag::empty && plan.axis[1].tags[m] != PlanTag::empty;
}

PlanSummary summarise(const compiler::PathPoints& plan) {
    PlanSummary s;
    for (const auto& axis : plan.axis) {
        for (const auto tag : axis.tags) {
            if (const auto kind = compiler::plan_point_index(static_cast<std::uint16_t>(tag))) {
                ++s.kind_counts[*kind];
            }
        }
    }
    for (std::size_t m = 0; m < plan.axis[0].tags.size(); ++m) {
        if (!point_set(plan, m)) {
            continue;
        }
        const double x = plan.axis[0].values[m];
        const double y = plan.axis[1].values[m];
        if (!s.has_box) {
            s.min_x = s.max_x = x;
            s.min_y = s.max_y = y;
            s.has_box = true;
        }
        s.min_x = std::min(s.min_x, x);
        s.max_x = std::max(s.max_x, x);
        s.min_y = std::min(s.min_y, y);
        s.max_y = std::max(s.max_y, y);
        s.last_set = static_cast<std::int64_t>(m);
    }
    return s;
}

std::vector<std::size_t> sample_metres(const compiler::PathPoints& plan, std::int32_t every) {
    std::vector<std::size_t> metres;
    const auto count = plan.axis[0].tags.size();
    for (std::size_t m = 0; m < count; m += static_cast<std::size_t>(every)) {
        metres.push_back(m);
    }
    if (count > 0 && (metres.empty() || metres.back() != count - 1)) {
        metres.push_back(count - 1);
    }
    return metres;
}

std::string plan_text(const compiler::PathPoints& plan, const DumpOptions& options) {
    if (!plan.allocated()) {
        return "the file holds no point\n";
    }
    const auto s = summarise(plan);
    std::string out = "metres 0.." + std::to_string(plan.last_metre()) + ", points per axis " +
                      std::to_string(plan.axis[0].tags.size()) + "\n";
    out += "coordinates:";
    for (std::size_t k = 0; k < s.kind_counts.size(); ++k) {
        out += (k == 0 ? " " : ", ") + std::to_string(s.kind_counts[k]) + " " +
               std::string(compiler::plan_point_kinds[k].plural);
    }
    out += '\n';
    if (s.has_box) {
        out += "bounding box: x " + number_text(s.min_x) + " .. " + number_text(s.max_x) +
               " m, y " + number_text(s.min_y) + " .. " + number_text(s.max_y) + " m\n";
        out += "last point set: metre " + std::to_string(s.last_set) + "\n";
    }
    for (const auto m : sample_metres(plan, options.every)) {
        out += "metre " + std::to_string(m) + ':';
        for (std::size_t a = 0; a < 2; ++a) {
            out += a == 0 ? " x=" : " y=";
            out +=
                plan.axis[a].tags[m] == PlanTag::empty ? "-" : number_text(plan.axis[a].values[m]);
        }
        out += '\n';
    }
    return out;
}

void plan_json(Json& dump, const compiler::PathPoints& plan, const DumpOptions& options) {
    const auto s = summarise(plan);
    dump["lastMetre"] = plan.last_metre();
    for (std::size_t k = 0; k < s.kind_counts.size(); ++k) {
        dump[std::string(compiler::plan_point_kinds[k].plural)] = s.kind_counts[k];
    }
    dump["boundingBox"] = s.has_box ? Json{{"minX", json_number(s.min_x)},
                                           {"maxX", json_number(s.max_x)},
                                           {"minY", json_number(s.min_y)},
                                           {"maxY", json_number(s.max_y)}}
                                    : Json(nullptr);
    Json samples = Json::array();
    for (const auto m : sample_metres(plan, options.every)) {
        Json sample = {{"metre", m}};
        for (std::size_t a = 0; a < 2; ++a) {
            sample[a == 0 ? "x" : "y"] = plan.axis[a].tags[m] == PlanTag::empty
                                             ? Json(nullptr)
                                             : json_number(plan.axis[a].values[m]);
        }
        samples.push_back(std::move(sample));
    }
    dump["samples"] = std::move(samples);
}

std::size_t record_count(const DecodedFile& file) {
    switch (file.kind) {
        case CompactKind::scenario:
            return file.locations.size();
        case CompactKind::cells:
            return file.cells.size();
        case CompactKind::plan:
            return file.plan.axis[0].tags.size();
    }
    return 0;
}

std::string_view record_word(CompactKind kind) {
    switch (kind) {
        case CompactKind::scenario:
            return "entries";
        case CompactKind::cells:
            return "cells";
        case CompactKind::plan:
            return "points per axis";
    }
    return "records";
}

}  // namespace

std::optional<std::pair<std::int64_t, std::int64_t>> parse_cell_range(std::string_view text) {
    const auto number = [](std::string_view digits) -> std::optional<std::int64_t> {
        std::int64_t value = 0;
        const auto* end = digits.data() + digits.size();
        const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
        if (digits.empty() || ec != std::errc{} || ptr != end || value < 0) {
            return std::nullopt;
        }
        return value;
    };
    const auto dots = text.find("..");
    if (dots == std::string_view::npos) {
        const auto single = number(text);
        return single ? std::optional(std::pair{*single, *single}) : std::nullopt;
    }
    const auto first = number(text.substr(0, dots));
    const auto last = number(text.substr(dots + 2));
    if (!first || !last || *first > *last) {
        return std::nullopt;
    }
    return std::pair{*first, *last};
}

std::string render_dump(const DecodedFile& file, std::uintmax_t byte_count,
                        const DumpOptions& options) {
    if (options.json) {
        Json dump = {{"layout", kind_description(file.kind)},
                     {"bytes", byte_count},
                     {"records", record_count(file)}};
        switch (file.kind) {
            case CompactKind::scenario:
                dump["entries"] = scenario_json(file.locations);
                break;
            case CompactKind::cells:
                dump["cells"] = cells_json(file.cells, options);
                break;
            case CompactKind::plan:
                plan_json(dump, file.plan, options);
                break;
        }
        return json_text(dump) + "\n";
    }
    std::string out =
        std::string(kind_description(file.kind)) + ", " + std::to_string(record_count(file)) + " " +
        std::string(record_word(file.kind)) + ", " + std::to_string(byte_count) + " bytes\n";
    if (file.kind == CompactKind::scenario && file.locations.size() != compiler::kLocationCount) {
        out += "note: a scenario file of the builder holds " +
               std::to_string(compiler::kLocationCount) + " entries\n";
    }
    switch (file.kind) {
        case CompactKind::scenario:
            return out + scenario_text(file.locations);
        case CompactKind::cells:
            return out + cells_text(file.cells, options);
        case CompactKind::plan:
            return out + plan_text(file.plan, options);
    }
    return out;
}

}  // namespace scenario::tool
