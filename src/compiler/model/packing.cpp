#include "compiler/model/packing.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>

#include "compiler/model/layouts.h"

namespace scenario::compiler {

namespace {

// Writes fields little-endian from a position in bytes made large enough beforehand, so that
// each field is a plain store: the line binary file of the longest route is some 20 MB.
class ByteWriter {
  public:
    explicit ByteWriter(std::uint8_t* at) : at_(at) {}

    template <class T>
    void put(T value) {
        static_assert(std::is_integral_v<T>);
        auto bits = static_cast<std::make_unsigned_t<T>>(value);
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(at_, &bits, sizeof bits);
        } else {
            for (std::size_t i = 0; i < sizeof(T); ++i) {
                at_[i] = static_cast<std::uint8_t>(bits & 0xFFu);
                bits = static_cast<std::make_unsigned_t<T>>(bits >> 8);
            }
        }
        at_ += sizeof(T);
    }

    void put(const std::string& text) {
        put(static_cast<std::uint16_t>(text.size()));
        std::copy(text.begin(), text.end(), at_);
        at_ += text.size();
    }

    void put(double value) { put(std::bit_cast<std::uint64_t>(value)); }

    std::uint8_t* position() const { return at_; }

  private:
    std::uint8_t* at_;
};

class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool at_end() const { return offset_ == bytes_.size(); }

    template <class T>
    bool get(T& value) {
        if constexpr (std::is_same_v<T, std::string>) {
            std::uint16_t count = 0;
            if (!get(count) || bytes_.size() - offset_ < count) {
                return false;
            }
            value.assign(reinterpret_cast<const char*>(bytes_.data() + offset_), count);
            offset_ += count;
            return true;
        } else if constexpr (std::is_same_v<T, double>) {
            std::uint64_t bits = 0;
            if (!get(bits)) {
                return false;
            }
            value = std::bit_cast<double>(bits);
            return true;
        } else {
            if (bytes_.size() - offset_ < sizeof(T)) {
                return false;
            }
            std::make_unsigned_t<T> bits = 0;
            for (std::size_t i = 0; i < sizeof(T); ++i) {
                bits = static_cast<decltype(bits)>(
                    bits | static_cast<decltype(bits)>(bytes_[offset_ + i]) << (8 * i));
            }
            offset_ += sizeof(T);
            value = static_cast<T>(bits);
            return true;
        }
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

template <class Record, class Layout>
void pack_record(ByteWriter& writer, const Record& record, const Layout& layout) {
    std::apply([&](const auto&... f) { (writer.put(record.*(f.member)), ...); }, layout);
}

template <class Record, class Layout>
bool unpack_record(ByteReader& reader, Record& record, const Layout& layout) {
    return std::apply([&](const auto&... f) { return (reader.get(record.*(f.member)) && ...); },
                      layout);
}

template <class Record, class Layout>
std::optional<std::vector<Record>> unpack_all(std::span<const std::uint8_t> bytes,
                                              const Layout& layout) {
    ByteReader reader(bytes);
    std::vector<Record> records;
    while (!reader.at_end()) {
        Record record;
        if (!unpack_record(reader, record, layout)) {
            return std::nullopt;
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::size_t packed_size(const PlanAxis& axis) {
    std::size_t size = 0;
    for (const auto tag : axis.tags) {
        size += plan_point_width(tag);
    }
    return size;
}

// Packs the points [from, to) of one axis at `at`, which has room for them, and returns the
// end of what it wrote. The position is a local, so that the compiler keeps it in a register:
// the plan is the bulk of the build's output, some 200,000 points for the built-in line.
std::uint8_t* pack_points(std::uint8_t* at, const PlanAxis& axis, std::size_t from,
                          std::size_t to) {
    const PlanTag* tags = axis.tags.data();
    const double* values = axis.values.data();
    for (std::size_t m = from; m < to; ++m) {
        ByteWriter writer(at);
        const auto tag = static_cast<std::uint16_t>(tags[m]);
        writer.put(tag);
        visit_plan_point(tag, [&](auto kind) {
            constexpr PlanPointKind point = plan_point_kinds[decltype(kind)::value];
            if constexpr (point.value != PlanValue::none) {
                using Stored = typename PlanValueStorage<point.value>::type;
                static_assert(sizeof(Stored) == point.value_width);
                writer.put(static_cast<Stored>(values[m]));
            }
        });
        at = writer.position();
    }
    return at;
}

}  // namespace

Bytes pack_locations(std::span<const LocationEntry> locations) {
    std::size_t size = 0;
    for (const auto& entry : locations) {
        if (entry.name.size() > std::numeric_limits<std::uint16_t>::max()) {
            throw std::length_error("a name of " + std::to_string(entry.name.size()) +
                                    " bytes does not fit the 16-bit byte count");
        }
        size += record_fixed_size(location_layout) + entry.name.size();
    }
    Bytes out(size);
    ByteWriter writer(out.data());
    for (const auto& entry : locations) {
        pack_record(writer, entry, location_layout);
    }
    return out;
}

Bytes pack_cells(std::span<const TrackCell> cells) {
    Bytes out(cells.size() * record_fixed_size(cell_layout));
    ByteWriter writer(out.data());
    for (const auto& cell : cells) {
        pack_record(writer, cell, cell_layout);
    }
    return out;
}

Bytes pack_path_points(const PathPoints& plan) {
    Bytes out(packed_size(plan.axis[0]) + packed_size(plan.axis[1]));
    std::uint8_t* at = out.data();
    for (const auto& axis : plan.axis) {
        at = pack_points(at, axis, 0, axis.tags.size());
    }
    return out;
}

void pack_path_points(const PathPoints& plan, const ByteSink& sink) {
    constexpr std::size_t kPiece = std::size_t{64} * 1024;
    std::vector<std::uint8_t> piece(kPiece);
    std::uint8_t* at = piece.data();
    for (const auto& axis : plan.axis) {
        const std::size_t count = axis.tags.size();
        for (std::size_t m = 0; m < count;) {
            // As many points as surely fit in what is left of the piece, then pass it on.
            const auto room = static_cast<std::size_t>(piece.data() + kPiece - at);
            const std::size_t to = std::min(count, m + room / plan_point_largest_width);
            at = pack_points(at, axis, m, to);
            m = to;
            if (static_cast<std::size_t>(piece.data() + kPiece - at) < plan_point_largest_width) {
                sink(std::span<const std::uint8_t>(piece.data(), at));
                at = piece.data();
            }
        }
    }
    if (at != piece.data()) {
        sink(std::span<const std::uint8_t>(piece.data(), at));
    }
}

std::optional<std::vector<LocationEntry>> unpack_locations(std::span<const std::uint8_t> bytes) {
    return unpack_all<LocationEntry>(bytes, location_layout);
}

std::optional<std::vector<TrackCell>> unpack_cells(std::span<const std::uint8_t> bytes) {
    return unpack_all<TrackCell>(bytes, cell_layout);
}

std::optional<PathPoints> unpack_path_points(std::span<const std::uint8_t> bytes) {
    ByteReader reader(bytes);
    std::vector<PlanTag> tags;
    std::vector<double> values;
    while (!reader.at_end()) {
        std::uint16_t tag = 0;
        if (!reader.get(tag)) {
            return std::nullopt;
        }
        double value = 0.0;
        bool whole = true;
        const bool known = visit_plan_point(tag, [&](auto kind) {
            constexpr PlanPointKind point = plan_point_kinds[decltype(kind)::value];
            if constexpr (point.value != PlanValue::none) {
                typename PlanValueStorage<point.value>::type stored{};
                whole = reader.get(stored);
                value = stored;
            }
        });
        if (!known || !whole) {
            return std::nullopt;
        }
        tags.push_back(static_cast<PlanTag>(tag));
        values.push_back(value);
    }
    PathPoints plan;
    if (tags.empty()) {
        return plan;
    }
    if (tags.size() % 2 != 0) {
        return std::nullopt;
    }
    const std::size_t half = tags.size() / 2;
    plan.allocate(static_cast<std::int32_t>(half) - 1);
    for (std::size_t a = 0; a < plan.axis.size(); ++a) {
        const auto from = static_cast<std::ptrdiff_t>(a * half);
        const auto to = from + static_cast<std::ptrdiff_t>(half);
        std::copy(tags.begin() + from, tags.begin() + to, plan.axis[a].tags.begin());
        std::copy(values.begin() + from, values.begin() + to, plan.axis[a].values.begin());
    }
    return plan;
}

}  // namespace scenario::compiler
