#include "compiler/model/path_points.h"

namespace scenario::compiler {

void PathPoints::allocate(std::int32_t last_metre) {
    const auto size = static_cast<std::size_t>(last_metre) + 1;
    for (auto& a : axis) {
        a.tags.assign(size, PlanTag::empty);
        a.values.assign(size, 0.0);
    }
}

void PathPoints::clear() {
    for (auto& a : axis) {
        a.tags.clear();
        a.tags.shrink_to_fit();
        a.values.clear();
        a.values.shrink_to_fit();
    }
}

}  // namespace scenario::compiler
