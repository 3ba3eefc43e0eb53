#include "inspect/compact_file.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <tuple>
#include <type_traits>

#include "compiler/model/build_state.h"
#include "compiler/model/layouts.h"
#include "compiler/model/limits.h"
#include "files/input_file.h"

namespace scenario::tool {

namespace {

// The line reader's bounds: the last metre of the longest route's run-out, which the cells and
// the plan cover too.
constexpr std::uint64_t kLastMetre =
    std::uint64_t{compiler::kLongestRoute} + std::uint64_t{compiler::kRunOut};
// The last cell is round((L + run-out) / cell length), a whole number for the longest route.
static_assert(kLastMetre % compiler::kCellLength == 0);
constexpr std::uint64_t kLastCell = kLastMetre / compiler::kCellLength;
constexpr std::uint64_t kPlanAxes = std::tuple_size_v<decltype(compiler::PathPoints::axis)>;

bool ends_with(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::uint16_t u16_at(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

// A little-endian value of the type's width at the offset, which the caller has checked.
template <class T>
T value_at(std::span<const std::uint8_t> bytes, std::size_t offset) {
    static_assert(sizeof(T) == 2 || sizeof(T) == 8);
    using Bits = std::conditional_t<sizeof(T) == 8, std::uint64_t, std::uint16_t>;
    Bits bits = 0;
    for (std::size_t i = 0; i < sizeof bits; ++i) {
        bits = static_cast<Bits>(bits | static_cast<Bits>(Bits{bytes[offset + i]} << (8 * i)));
    }
    return std::bit_cast<T>(bits);
}

// Where a record that starts at `offset` ends, walking its layout field by field; or, when the
// bytes end inside it, which field is cut short.
struct RecordWalk {
    std::size_t end = 0;
    std::string_view cut_field;  // empty when the record is whole
    std::size_t cut_at = 0;      // byte where the cut field starts
};

template <class Layout>
RecordWalk walk_record(std::span<const std::uint8_t> bytes, std::size_t offset,
                       const Layout& layout) {
    RecordWalk walk;
    walk.end = offset;
    std::apply(
        [&](const auto&... f) {
            (
                [&] {
                    if (!walk.cut_field.empty()) {
                        return;
                    }
                    using Member = typename std::remove_cvref_t<decltype(f)>::MemberType;
                    std::size_t width = compiler::fixed_width<Member>();
                    if (bytes.size() - walk.end >= width && std::is_same_v<Member, std::string>) {
                        width += u16_at(bytes, walk.end);
                    }
                    if (bytes.size() - walk.end < width) {
                        walk.cut_field = f.name;
                        walk.cut_at = walk.end;
                        return;
                    }
                    walk.end += width;
                }(),
                ...);
        },
        layout);
    return walk;
}

std::string scenario_misfit(std::span<const std::uint8_t> bytes) {
    std::size_t offset = 0;
    for (std::size_t index = 0; offset < bytes.size(); ++index) {
        const auto walk = walk_record(bytes, offset, compiler::location_layout);
        if (!walk.cut_field.empty()) {
            return "entry " + std::to_string(index) + ", which starts at byte " +
                   std::to_string(offset) + ", is cut short: the file ends inside its field '" +
                   std::string(walk.cut_field) + "' at byte " + std::to_string(walk.cut_at);
        }
        offset = walk.end;
    }
    return "the entries do not end where the file ends";
}

std::string cells_misfit(std::span<const std::uint8_t> bytes) {
    const auto size = compiler::record_fixed_size(compiler::cell_layout);
    return std::to_string(bytes.size()) + " bytes are not a whole number of " +
           std::to_string(size) + "-byte cells: " + std::to_string(bytes.size() / size) +
           " cells and " + std::to_string(bytes.size() % size) + " bytes left over";
}

// The type tags a plan point may have, in the order of their values: "0 (empty), 2 (integer)
// and 5 (double)".
std::string plan_tags_text() {
    auto kinds = compiler::plan_point_kinds;
    std::ranges::sort(kinds, {}, &compiler::PlanPointKind::tag);
    std::string text;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (i > 0) {
            text += i + 1 == kinds.size() ? " and " : ", ";
        }
        text += std::to_string(static_cast<std::uint16_t>(kinds[i].tag)) + " (" +
                std::string(kinds[i].name) + ")";
    }
    return text;
}

// The points of a plan file, counted by their tags before anything is allocated; or what does
// not fit the layout, and where.
struct PlanWalk {
    std::size_t points = 0;
    std::string misfit;
};

PlanWalk walk_plan(std::span<const std::uint8_t> bytes) {
    PlanWalk walk;
    std::size_t offset = 0;
    std::size_t& points = walk.points;
    while (offset < bytes.size()) {
        if (bytes.size() - offset < compiler::plan_tag_width) {
            walk.misfit = "the file ends inside the type tag of point " + std::to_string(points) +
                          " at byte " + std::to_string(offset);
            return walk;
        }
        const auto tag = u16_at(bytes, offset);
        const auto kind = compiler::plan_point_index(tag);
        if (!kind) {
            walk.misfit = "point " + std::to_string(points) + " at byte " + std::to_string(offset) +
                          " has the type tag " + std::to_string(tag) + ", which is none of " +
                          plan_tags_text();
            return walk;
        }
        const std::size_t width = compiler::plan_point_kinds[*kind].value_width;
        const std::size_t tag_end = offset + compiler::plan_tag_width;
        if (bytes.size() - tag_end < width) {
            walk.misfit = "the file ends inside the value of point " + std::to_string(points) +
                          " at byte " + std::to_string(tag_end);
            return walk;
        }
        offset = tag_end + width;
        ++points;
    }
    if (points % kPlanAxes != 0) {
        walk.misfit = std::to_string(points) +
                      " coordinates cannot be split into an x half and a y half of the same length";
    } else if (points / kPlanAxes > kLastMetre + 1) {
        walk.misfit = std::to_string(points / kPlanAxes) + " points per axis are more than the " +
                      std::to_string(kLastMetre + 1) + " of the plan of the longest route";
    }
    return walk;
}

// The plan put straight into its storage, allocated once at its size: the plan of the longest
// route is some 20 MB, which then stands once beside the bytes it comes from.
std::optional<compiler::PathPoints> decode_plan(std::span<const std::uint8_t> bytes,
                                                std::string& misfit) {
    const auto walk = walk_plan(bytes);
    if (!walk.misfit.empty()) {
        misfit = walk.misfit;
        return std::nullopt;
    }
    compiler::PathPoints plan;
    const std::size_t per_axis = walk.points / kPlanAxes;
    if (per_axis == 0) {
        return plan;
    }
    plan.allocate(static_cast<std::int32_t>(per_axis) - 1);
    std::size_t offset = 0;
    for (auto& axis : plan.axis) {
        for (std::size_t m = 0; m < per_axis; ++m) {
            const auto tag = u16_at(bytes, offset);
            offset += compiler::plan_tag_width;
            compiler::visit_plan_point(tag, [&](auto kind) {
                constexpr compiler::PlanPointKind point =
                    compiler::plan_point_kinds[decltype(kind)::value];
                if constexpr (point.value != compiler::PlanValue::none) {
                    using Stored = typename compiler::PlanValueStorage<point.value>::type;
                    axis.values[m] = static_cast<double>(value_at<Stored>(bytes, offset));
                }
                offset += point.value_width;
            });
            axis.tags[m] = static_cast<compiler::PlanTag>(tag);
        }
    }
    return plan;
}

}  // namespace

std::optional<CompactKind> kind_from_name(const std::filesystem::path& file) {
    const auto name = file.filename().string();
    if (ends_with(name, "_linea.dat")) {
        return CompactKind::plan;
    }
    if (ends_with(name, ".sim")) {
        return CompactKind::scenario;
    }
    if (ends_with(name, ".dat")) {
        return CompactKind::cells;
    }
    return std::nullopt;
}

std::optional<CompactKind> kind_from_word(std::string_view word) {
    if (word == "scenario") {
        return CompactKind::scenario;
    }
    if (word == "cells") {
        return CompactKind::cells;
    }
    if (word == "plan") {
        return CompactKind::plan;
    }
    return std::nullopt;
}

std::string_view kind_description(CompactKind kind) {
    switch (kind) {
        case CompactKind::scenario:
            return "scenario file";
        case CompactKind::cells:
            return "cell file";
        case CompactKind::plan:
            return "line binary file";
    }
    return "compact file";
}

std::uint64_t largest_compact_size(CompactKind kind) {
    switch (kind) {
        case CompactKind::scenario:
            // Every entry with a name of the most bytes its 16-bit count can say.
            return compiler::kLocationCount *
                   (compiler::record_fixed_size(compiler::location_layout) +
                    std::numeric_limits<std::uint16_t>::max());
        case CompactKind::cells:
            return (kLastCell + 1) * compiler::record_fixed_size(compiler::cell_layout);
        case CompactKind::plan:
            return kPlanAxes * (kLastMetre + 1) * compiler::plan_point_largest_width;
    }
    return 0;
}

std::string read_compact_file(const std::filesystem::path& file, CompactKind kind) {
    return files::read_input_file(
        file, largest_compact_size(kind),
        std::string("a ") + std::string(kind_description(kind)) + " can hold");
}

DecodeOutcome decode_compact(std::span<const std::uint8_t> bytes, CompactKind kind) {
    DecodeOutcome outcome;
    DecodedFile file;
    file.kind = kind;
    switch (kind) {
        case CompactKind::scenario:
            if (auto locations = compiler::unpack_locations(bytes)) {
                file.locations = std::move(*locations);
                outcome.file = std::move(file);
            } else {
                outcome.misfit = scenario_misfit(bytes);
            }
            break;
        case CompactKind::cells:
            if (auto cells = compiler::unpack_cells(bytes)) {
                file.cells = std::move(*cells);
                outcome.file = std::move(file);
            } else {
                outcome.misfit = cells_misfit(bytes);
            }
            break;
        case CompactKind::plan:
            if (auto plan = decode_plan(bytes, outcome.misfit)) {
                file.plan = std::move(*plan);
                outcome.file = std::move(file);
            }
            break;
    }
    return outcome;
}

compiler::Bytes repack(const DecodedFile& file) {
    switch (file.kind) {
        case CompactKind::scenario:
            return compiler::pack_locations(file.locations);
        case CompactKind::cells:
            return compiler::pack_cells(file.cells);
        case CompactKind::plan:
            return compiler::pack_path_points(file.plan);
    }
    return {};
}

}  // namespace scenario::tool
