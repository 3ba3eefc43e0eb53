#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

#include "compiler/model/layouts.h"

namespace scenario::tool {

// One field of a decoded record, named as in its layout.
struct FieldValue {
    std::string_view name;
    std::int64_t number = 0;          // the numeric fields
    std::optional<std::string> text;  // the string fields (Windows-1252 bytes)

    bool is_zero() const { return text ? text->empty() : number == 0; }
};

// The fields of a record in on-disk order, read through the same layout the packer writes by.
template <class Record, class Layout>
std::vector<FieldValue> record_fields(const Record& record, const Layout& layout) {
    std::vector<FieldValue> fields;
    std::apply(
        [&](const auto&... f) {
            (
                [&] {
                    const auto& member = record.*(f.member);
                    FieldValue v;
                    v.name = f.name;
                    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(member)>,
                                                 std::string>) {
                        v.text = member;
                    } else {
                        v.number = static_cast<std::int64_t>(member);
                    }
                    fields.push_back(std::move(v));
                }(),
                ...);
        },
        layout);
    return fields;
}

}  // namespace scenario::tool
