#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "compiler/model/location_entry.h"
#include "compiler/model/path_points.h"
#include "compiler/model/track_cell.h"

namespace scenario::compiler {

// One field of an on-disk record: its name and the member it comes from.
template <class Record, class Member>
struct Field {
    using MemberType = Member;
    std::string_view name;
    Member Record::*member;
};

template <class Record, class Member>
constexpr Field<Record, Member> field(std::string_view name, Member Record::*member) {
    return {name, member};
}

// Width on disk of a fixed-width field; a string is a 16-bit byte count and then its bytes.
template <class Member>
constexpr std::size_t fixed_width() {
    if constexpr (std::is_same_v<Member, std::string>) {
        return 2;
    } else {
        static_assert(std::is_integral_v<Member>);
        return sizeof(Member);
    }
}

// Order and widths are the on-disk layout of one scenario-table entry (34 bytes and the name).
inline constexpr auto location_layout = std::tuple{
    field("kind", &LocationEntry::kind),         field("zoneStart", &LocationEntry::zoneStart),
    field("zoneEnd", &LocationEntry::zoneEnd),   field("position", &LocationEntry::position),
    field("param4", &LocationEntry::param4),     field("name", &LocationEntry::name),
    field("param7", &LocationEntry::param7),     field("param8", &LocationEntry::param8),
    field("param10", &LocationEntry::param10),   field("param11", &LocationEntry::param11),
    field("param12", &LocationEntry::param12),   field("param9", &LocationEntry::param9),
    field("dwell", &LocationEntry::dwell),       field("extendFlag", &LocationEntry::extendFlag),
    field("longFlag", &LocationEntry::longFlag), field("timeOfDay", &LocationEntry::timeOfDay)};

// Order and widths are the on-disk layout of one 50 m cell (15 bytes).
inline constexpr auto cell_layout = std::tuple{field("kind", &TrackCell::kind),
                                               field("ref", &TrackCell::ref),
                                               field("ref2", &TrackCell::ref2),
                                               field("ref3", &TrackCell::ref3),
                                               field("ref4", &TrackCell::ref4),
                                               field("signalTime", &TrackCell::signalTime),
                                               field("approachMark", &TrackCell::approachMark),
                                               field("spanKind", &TrackCell::spanKind),
                                               field("speedStep", &TrackCell::speedStep),
                                               field("gradientCode", &TrackCell::gradientCode),
                                               field("adhesion", &TrackCell::adhesion)};

// Bytes of a record on disk, not counting the bytes of its strings.
template <class Layout>
constexpr std::size_t record_fixed_size(const Layout& layout) {
    return std::apply(
        [](const auto&... f) {
            return (fixed_width<typename std::remove_cvref_t<decltype(f)>::MemberType>() + ... + 0);
        },
        layout);
}

// What follows the type tag of a plan point.
enum class PlanValue { none, int16, float64 };

// The number a plan value is written from and read into.
template <PlanValue value>
struct PlanValueStorage;
template <>
struct PlanValueStorage<PlanValue::int16> {
    using type = std::int16_t;
};
template <>
struct PlanValueStorage<PlanValue::float64> {
    using type = double;
};

// One kind of plan point: its type tag, the words for it, and the value after the tag.
struct PlanPointKind {
    PlanTag tag;
    std::string_view name;    // one point of the kind
    std::string_view plural;  // a count of them
    std::size_t value_width;  // bytes after the tag
    PlanValue value;
};

// Every plan point starts with its 16-bit type tag.
inline constexpr std::size_t plan_tag_width = 2;

// The kinds of point in the line binary file; each axis is a run of points, the tag and then a
// value of the tag's width. The commonest first: the packer tests a tag against them in this
// order, and nearly every point of a plan is a double.
inline constexpr std::array plan_point_kinds{
    PlanPointKind{PlanTag::real, "double", "doubles", 8, PlanValue::float64},
    PlanPointKind{PlanTag::integer, "integer", "integers", 2, PlanValue::int16},
    PlanPointKind{PlanTag::empty, "empty", "empty", 0, PlanValue::none}};

// The place in plan_point_kinds of a type tag; nothing for a tag the file cannot hold.
constexpr std::optional<std::size_t> plan_point_index(std::uint16_t tag) {
    for (std::size_t i = 0; i < plan_point_kinds.size(); ++i) {
        if (static_cast<std::uint16_t>(plan_point_kinds[i].tag) == tag) {
            return i;
        }
    }
    return std::nullopt;
}

namespace detail {

// The type tag of plan_point_kinds[I] as a constant of the compile, whatever the optimiser makes
// of the table.
template <std::size_t I>
inline constexpr auto plan_tag_at = static_cast<std::uint16_t>(plan_point_kinds[I].tag);

template <class Visit, std::size_t... I>
constexpr bool visit_plan_point(std::uint16_t tag, Visit& visit, std::index_sequence<I...>) {
    return ((tag == plan_tag_at<I> && (visit(std::integral_constant<std::size_t, I>{}), true)) ||
            ...);
}

}  // namespace detail

// Calls `visit` with the place of the tag's kind as a std::integral_constant, so that a loop over
// the points folds into compares with constants and `if constexpr` on the kind; calls nothing and
// returns false for a tag the file cannot hold.
template <class Visit>
constexpr bool visit_plan_point(std::uint16_t tag, Visit&& visit) {
    return detail::visit_plan_point(tag, visit,
                                    std::make_index_sequence<plan_point_kinds.size()>{});
}

// Bytes one point takes on disk: its tag and its value.
constexpr std::size_t plan_point_width(PlanTag tag) {
    std::size_t width = plan_tag_width;
    visit_plan_point(static_cast<std::uint16_t>(tag), [&](auto kind) {
        constexpr std::size_t value_width = plan_point_kinds[decltype(kind)::value].value_width;
        width += value_width;
    });
    return width;
}

// The most bytes one plan point takes.
inline constexpr std::size_t plan_point_largest_width =
    plan_tag_width +
    std::ranges::max_element(plan_point_kinds, {}, &PlanPointKind::value_width)->value_width;

}  // namespace scenario::compiler
