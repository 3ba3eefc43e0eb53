#include "compiler/model/path_points.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace scenario::compiler {

namespace {

// Zeroed memory for a plan of this many bytes. On Linux a large plan gets its own mapping,
// started on a 2 MB boundary and marked for huge pages, so that a route of 100 km faults in
// once or twice rather than some 500 times; fresh mappings are zero, so nothing is cleared.
// Elsewhere, and for small plans, calloc gives the same zeroed bytes.
#if defined(__linux__)
constexpr std::size_t kHugePage = std::size_t{2} * 1024 * 1024;
constexpr std::size_t kMappedFrom = kHugePage / 2;

std::size_t mapped_length(std::size_t bytes) {
    constexpr std::size_t kPage = 4096;
    return (bytes + kPage - 1) / kPage * kPage;
}
#endif

void* zeroed_block(std::size_t bytes) {
#if defined(__linux__)
    if (bytes >= kMappedFrom) {
        const std::size_t length = mapped_length(bytes);
        // Map a huge page more than needed, then give back what lies before the boundary
        // and after the block.
        void* wide = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (wide == MAP_FAILED) {
            throw std::bad_alloc();
        }
        auto* start = static_cast<char*>(wide);
        const auto address = reinterpret_cast<std::uintptr_t>(start);
        const std::size_t head = (kHugePage - address % kHugePage) % kHugePage;
        if (head > 0) {
            munmap(start, head);
        }
        munmap(start + head + length, kHugePage - head);
        // Only advice: where huge pages are off, the block is faulted in small pages.
        madvise(start + head, length, MADV_HUGEPAGE);
        return start + head;
    }
#endif
    void* block = std::calloc(bytes, 1);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void release_block(void* block, [[maybe_unused]] std::size_t bytes) {
    if (block == nullptr) {
        return;
    }
#if defined(__linux__)
    if (bytes >= kMappedFrom) {
        munmap(block, mapped_length(bytes));
        return;
    }
#endif
    std::free(block);
}

}  // namespace

PathPoints::PathPoints(const PathPoints& other) {
    *this = other;
}

PathPoints::PathPoints(PathPoints&& other) noexcept {
    *this = std::move(other);
}

PathPoints& PathPoints::operator=(const PathPoints& other) {
    if (this == &other) {
        return *this;
    }
    if (!other.allocated()) {
        clear();
        return *this;
    }
    allocate(other.last_metre());
    for (std::size_t a = 0; a < axis.size(); ++a) {
        std::copy(other.axis[a].tags.begin(), other.axis[a].tags.end(), axis[a].tags.begin());
        std::copy(other.axis[a].values.begin(), other.axis[a].values.end(), axis[a].values.begin());
    }
    return *this;
}

PathPoints& PathPoints::operator=(PathPoints&& other) noexcept {
    if (this != &other) {
        clear();
        axis = std::exchange(other.axis, {});
        block_ = std::exchange(other.block_, nullptr);
        block_bytes_ = std::exchange(other.block_bytes_, 0);
    }
    return *this;
}

PathPoints::~PathPoints() {
    clear();
}

void PathPoints::allocate(std::int32_t last_metre) {
    clear();
    const auto size = static_cast<std::size_t>(last_metre) + 1;
    // The doubles first, so that every value is aligned: x values, y values, x tags, y tags.
    block_bytes_ = size * 2 * (sizeof(double) + sizeof(PlanTag));
    block_ = zeroed_block(block_bytes_);
    auto* values = static_cast<double*>(block_);
    auto* tags = reinterpret_cast<PlanTag*>(values + 2 * size);
    for (std::size_t a = 0; a < axis.size(); ++a) {
        // Zero bytes read as 0.0 and PlanTag::empty.
        axis[a].values = std::span<double>(values + a * size, size);
        axis[a].tags = std::span<PlanTag>(tags + a * size, size);
    }
}

void PathPoints::clear() {
    release_block(block_, block_bytes_);
    block_ = nullptr;
    block_bytes_ = 0;
    axis = {};
}

bool operator==(const PathPoints& a, const PathPoints& b) {
    for (std::size_t i = 0; i < a.axis.size(); ++i) {
        if (!std::ranges::equal(a.axis[i].tags, b.axis[i].tags) ||
            !std::ranges::equal(a.axis[i].values, b.axis[i].values)) {
            return false;
        }
    }
    return true;
}

}  // namespace scenario::compiler
