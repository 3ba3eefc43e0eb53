#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "compiler/model/location_entry.h"
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

}  // namespace scenario::compiler
