#include "commands/dump_command.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "files/replace_file.h"
#include "inspect/compact_file.h"
#include "inspect/dump_render.h"
#include "io/author_texts.h"
#include "io/text_encoding.h"
#include "reading/author_reading.h"

namespace scenario::tool {

namespace {

std::span<const std::string_view> layouts() {
    static constexpr std::string_view kLayouts[] = {"scenario", "cells", "plan"};
    return kLayouts;
}

constexpr std::string_view kSynopsis[] = {
    "FILE [--json] [--cells A..B] [--every N] [--as scenario|cells|plan] [--line FILE --train "
    "FILE]"};
constexpr OptionDescription kOptions[] = {
    {.name = "json"},
    {.name = "cells", .placeholder = "A..B"},
    {.name = "every", .placeholder = "N"},
    {.name = "as", .placeholder = "LAYOUT", .kind = ValueKind::choice, .choices = layouts},
    {.name = "line", .placeholder = "FILE", .kind = ValueKind::file},
    {.name = "train", .placeholder = "FILE", .kind = ValueKind::file},
};
constexpr ArgumentDescription kArguments[] = {{"FILE", ValueKind::file}};
constexpr ListItem kLayoutsTold[] = {
    {"scenario table", "every entry with its field names"},
    {"cells", "the non-zero fields of each cell, or of the cells A to B"},
    {"track plan", "length, bounding box and a point every N metres (default 1000)"},
};
constexpr Paragraph kParagraphs[] = {
    {.text =
         "Decodes a compact file by its layout, chosen from the name (.sim the scenario table,\n"
         "_linea.dat the track plan, any other .dat the cells) or by --as:"},
    {.kind = ParagraphKind::list, .items = kLayoutsTold, .follows = true},
    {.text = "A file whose size does not fit its layout is reported as such. With --line FILE\n"
             "and --train FILE, the texts the cell file was compiled from, each cell names the\n"
             "records behind it: the file, line and column of what stands on it.",
     .follows = true},
};

constexpr CommandDescription kDescription{
    .name = "dump",
    .summary = "decode a compact file (.sim, .dat, _linea.dat)",
    .listed_arguments = "FILE",
    .synopsis = kSynopsis,
    .options = kOptions,
    .arguments = kArguments,
    .paragraphs = kParagraphs,
};

std::string shown_path(const std::string& given) {
    return valid_utf8(given);
}

// The records that wrote what a cell holds, by what they wrote.
std::vector<CellSource> cell_sources(const ReadScenario& scenario, std::size_t cell) {
    static constexpr std::pair<compiler::CellUse, const char*> kUses[] = {
        {compiler::CellUse::object, "object"}, {compiler::CellUse::stop, "stop"},
        {compiler::CellUse::marker, "marker"}, {compiler::CellUse::approach_mark, "approach mark"},
        {compiler::CellUse::span, "span"},     {compiler::CellUse::gradient, "gradient"},
        {compiler::CellUse::speed, "speed"},   {compiler::CellUse::adhesion, "adhesion"}};
    std::vector<CellSource> sources;
    for (const auto& [use, name] : kUses) {
        const RecordId holder = scenario.reading.holder(use, static_cast<std::int32_t>(cell));
        if (holder == kSignallingPass) {
            sources.push_back({name, "", 0, 0, "code point"});
        } else if (holder >= 0) {
            const auto& r = scenario.reading.record(holder);
            sources.push_back({name, scenario.file(r.text).name(), r.keyword.place.line,
                               r.keyword.place.column,
                               std::string(scenario.reading.kind_of(holder).kind)});
        }
    }
    return sources;
}

}  // namespace

const CommandDescription& dump_description() {
    return kDescription;
}

int dump_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = parse_arguments(args, kDescription);
    if (parsed.flag("help")) {
        out << help_text(kDescription);
        return kExitClean;
    }
    expect_positionals(parsed, 1, "the compact file FILE");
    const std::filesystem::path file = parsed.positionals[0];
    const auto shown = valid_utf8(file.string());

    std::optional<CompactKind> kind;
    if (const auto as = parsed.value("as")) {
        kind = kind_from_word(*as);
        if (!kind) {
            throw UsageError("--as takes scenario, cells or plan, not '" + *as + "'");
        }
    } else {
        kind = kind_from_name(file);
        if (!kind) {
            throw UsageError("cannot tell the layout of '" + shown +
                             "' from its name; give --as scenario, cells or plan");
        }
    }
    DumpOptions options;
    options.json = parsed.flag("json");
    if (const auto range = parsed.value("cells")) {
        if (*kind != CompactKind::cells) {
            throw UsageError("--cells applies to a cell file");
        }
        const auto parsed_range = parse_cell_range(*range);
        if (!parsed_range) {
            throw UsageError("--cells takes A..B with 0 <= A <= B, not '" + *range + "'");
        }
        options.first_cell = parsed_range->first;
        options.last_cell = parsed_range->second;
    }
    if (const auto every = parsed.value("every")) {
        if (*kind != CompactKind::plan) {
            throw UsageError("--every applies to a line binary file");
        }
        const auto metres = parse_cell_range(*every);
        if (!metres || metres->first != metres->second || metres->first < 1 ||
            metres->first > std::numeric_limits<std::int32_t>::max()) {
            throw UsageError("--every takes a whole number of metres from 1, not '" + *every + "'");
        }
        options.every = static_cast<std::int32_t>(metres->first);
    }

    std::uintmax_t byte_count = 0;
    DecodeOutcome decoded;
    {
        std::string bytes;
        try {
            bytes = read_compact_file(file, *kind);
        } catch (const files::FileError& failure) {
            throw EnvironmentError(failure.what());
        }
        byte_count = bytes.size();
        // The bytes go as soon as they are decoded: the plan stands once, in its decoded form.
        decoded = decode_compact(
            std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), *kind);
    }
    if (!decoded.file) {
        err << escape_controls(shown) << ": does not fit the layout of a "
            << kind_description(*kind) << ": " << decoded.misfit << '\n';
        return kExitTextFault;
    }
    const auto& cells = decoded.file->cells;
    if (options.first_cell && *options.first_cell >= static_cast<std::int64_t>(cells.size())) {
        throw UsageError(cells.empty() ? std::string("the file holds no cell")
                                       : "the file has cells 0.." +
                                             std::to_string(cells.size() - 1) + " only");
    }
    const auto line_text = parsed.value("line");
    const auto train_text = parsed.value("train");
    if (line_text.has_value() != train_text.has_value()) {
        throw UsageError("--line and --train go together");
    }
    ReadScenario scenario;
    if (line_text) {
        if (*kind != CompactKind::cells) {
            throw UsageError("--line and --train name the records behind the cells of a cell file");
        }
        // The build's own reading of the texts: what placed each cell of the file.
        ReadRequest request;
        request.reading.recovers = false;
        read_scenario(
            scenario, {shown_path(*line_text), read_input(*line_text, "line description")},
            {shown_path(*train_text), read_input(*train_text, "train service text")}, request);
        // Cell 1's stamps depend on the title and code only.
        const auto& compiled = scenario.state.cells;
        std::size_t differs = 0;
        while (differs < std::min(compiled.size(), cells.size())) {
            auto a = compiled[differs];
            auto b = cells[differs];
            if (differs == 1) {
                a.ref = b.ref = 0;
                a.ref2 = b.ref2 = 0;
            }
            if (!(a == b)) {
                break;
            }
            ++differs;
        }
        if (compiled.size() != cells.size() || differs < cells.size()) {
            throw EnvironmentError("the texts compile to other cells than '" + shown +
                                   "' holds (first at cell " + std::to_string(differs) +
                                   "): they are not the texts of this file");
        }
        options.sources = [&scenario](std::size_t cell) { return cell_sources(scenario, cell); };
    }
    out << render_dump(*decoded.file, byte_count, options);
    return kExitClean;
}

}  // namespace scenario::tool
