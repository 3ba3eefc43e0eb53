#include "lsp/hover.h"

#include "compiler/model/track_cell.h"
#include "diagnostics/reading_diagnostics.h"
#include "files/windows_1252.h"
#include "lsp/editor_diagnostics.h"
#include "lsp/record_lookup.h"
#include "reading/route_facts.h"

namespace scenario::tool::lsp {

using compiler::ErrorSource;

namespace {

std::string width_words(const compiler::ValueDescription& value) {
    std::string words;
    switch (value.width) {
        case compiler::ValueWidth::int32:
            words = "32-bit";
            break;
        case compiler::ValueWidth::int16:
            words = "16-bit";
            break;
        case compiler::ValueWidth::uint8:
            words = "8-bit unsigned";
            break;
        case compiler::ValueWidth::text:
            return "text, no comma";
    }
    const auto range = value.range ? value.range : compiler::width_range(value.width);
    return words + ", " + std::to_string(range->lowest) + " to " + std::to_string(range->highest);
}

std::string metres(std::int64_t m) {
    return std::to_string(m) + " m";
}

// The Markdown of a text of the author's: no character of it is taken for Markdown.
std::string escaped(std::string_view utf8) {
    std::string out;
    for (const char c : utf8) {
        if (std::string_view("\\`*_{}[]()#+-.!|<>").find(c) != std::string_view::npos) {
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::string station_name(const compiler::BuildState& state, std::size_t entry) {
    return files::utf8_from_1252(state.locations[entry].name);
}

}  // namespace

std::string what_applies(const Analysis& analysis, std::int64_t position, RecordId except) {
    const auto& s = analysis.scenario;
    const auto& state = s.state;
    const std::int64_t cell = cell_of(position);
    if (!state.has_cells() || cell < 0 || cell > state.last_cell()) {
        return {};
    }
    const auto& c = state.cells[static_cast<std::size_t>(cell)];
    std::string out;
    const auto line = [&](const std::string& text) { out += "- " + text + "\n"; };
    if (analysis.train.given()) {
        line("speed limit " + std::to_string(c.speedStep * 5) + " km/h");
    }
    if (analysis.line.given()) {
        if (c.gradientCode != 0) {
            line("gradient " + std::to_string(static_cast<int>(c.gradientCode) - 100) +
                 " per mille");
        }
        bool curved = false;
        for (RecordId id = 0; id < static_cast<RecordId>(s.reading.records().size()); ++id) {
            const auto values = s.reading.values_of(id);
            if (s.reading.kind_of(id).kind != "curve" || values.size() < 2) {
                continue;
            }
            const auto start = values[0].read;
            const auto end = start + values[1].read;
            if (start <= position && position < end) {
                const auto& r = s.reading.record(id);
                const auto curve = curve_reading(
                    std::string_view(s.line.bytes()).substr(r.keyword.offset, r.keyword.length));
                line(std::string("curve ") + (curve.left ? "to the left" : "to the right") +
                     ", class " + std::to_string(curve.curve_class) + " (radius " +
                     metres(curve.radius) + "), " + std::to_string(start) + " to " + metres(end));
                curved = true;
            }
        }
        if (!curved) {
            line("straight track");
        }
        if (c.spanKind != 0) {
            line("mountain span, kind " + std::to_string(c.spanKind));
        }
    }
    if (analysis.train.given()) {
        line("adhesion " + std::to_string(c.adhesion) + " %");
        for (auto k = static_cast<std::size_t>(cell) + 1; k < state.cells.size(); ++k) {
            if (state.cells[k].kind != compiler::cell_kind::signal) {
                continue;
            }
            const RecordId holder =
                s.reading.holder(compiler::CellUse::object, static_cast<std::int32_t>(k));
            if (holder == except) {
                continue;
            }
            const auto at = holder >= 0 ? record_position(s, holder) : std::nullopt;
            const std::int64_t signal = at.value_or((static_cast<std::int64_t>(k) - 1) * 50);
            line("next signal at " + metres(signal) + ", " + metres(signal - position) + " ahead");
            break;
        }
        std::size_t next = 0;
        for (std::size_t k = 1; k <= static_cast<std::size_t>(state.stationCount) &&
                                k < compiler::entry::first_sign_slot;
             ++k) {
            const auto at = state.locations[k].position;
            if (at > position && (next == 0 || at < state.locations[next].position)) {
                next = k;
            }
        }
        if (next != 0) {
            const auto at = state.locations[next].position;
            line("next station " + escaped(station_name(state, next)) + " at " + metres(at) + ", " +
                 metres(at - position) + " ahead");
        }
    }
    return out;
}

std::optional<std::string> hover_text(const OpenDocument& document, const EditorPlaces& places,
                                      std::size_t offset, std::string_view reference_page) {
    const auto side = places.side_of(document.uri);
    if (!side) {
        return std::nullopt;
    }
    const auto& analysis = places.analysis();
    const auto& s = analysis.scenario;
    const auto at = record_at(s, *side, offset);
    if (!at) {
        return std::nullopt;
    }
    const auto& kind = s.reading.kind_of(at->id);
    const auto values = s.reading.values_of(at->id);
    std::string out = "**" + std::string(kind.kind) + "** `" + std::string(kind.keyword) +
                      "`, section `" + std::string(kind.section) +
                      "`: " + std::string(kind.meaning);
    if (!reference_page.empty()) {
        out += " ([format](" + std::string(reference_page) + "#" + record_anchor(kind.kind) + "))";
    }
    out += "\n\n";
    if (at->field >= 0 && static_cast<std::size_t>(at->field) < kind.values.size()) {
        const auto index = static_cast<std::size_t>(at->field);
        const auto& value = kind.values[index];
        out += "**" + std::string(value.name) + "**";
        if (!value.unit.empty()) {
            out += " (" + std::string(value.unit) + ")";
        }
        out += ", " + width_words(value);
        if (!value.meaning.empty()) {
            out += ": " + std::string(value.meaning);
        }
        out += "\n\n";
        if (index < values.size() && value.width != compiler::ValueWidth::text) {
            out += "read as " + std::to_string(values[index].read);
            if (!value.unit.empty()) {
                out += " " + std::string(value.unit);
            }
            out += "\n\n";
            // What the build makes of it on its way into its field.
            for (const auto& o : s.reading.occurrences()) {
                if (o.record == at->id && o.at.offset == values[index].field.offset &&
                    o.at.length == values[index].field.length && !compiler::is_fault(o.id)) {
                    out += "as stored: " + escaped(diagnostic_of(s, o).message) + "\n\n";
                }
            }
        }
    } else {
        out += "`" + std::string(kind.example) + "`\n\n";
        if (!kind.order.empty()) {
            out += "Order: " + std::string(kind.order) + "\n\n";
        }
    }
    const auto position = record_position(s, at->id);
    if (position && s.state.has_cells()) {
        const auto cell = cell_of(*position);
        out += "**at " + metres(*position) + "**: cell " + std::to_string(cell) + " (" +
               std::to_string(cell * 50) + " to " + metres(cell * 50 + 50) + ")";
        if (analysis.line.given()) {
            if (const auto km = kilometre_at(ranges_in_use(s.state), *position); km && *km >= 0) {
                out += ", km " + kilometre_text(*km);
            }
        }
        out += "\n\n";
        const auto applies = what_applies(analysis, *position, at->id);
        if (!applies.empty()) {
            out += "What applies there:\n\n" + applies;
        }
    }
    return out;
}

}  // namespace scenario::tool::lsp
