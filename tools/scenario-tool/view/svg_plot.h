#pragma once

#include <string>

#include "view/scenario_view.h"

namespace scenario::tool {

// The whole picture of a compiled scenario: a title, the track plan, the profile along the
// route. A complete SVG document.
std::string render_svg(const ScenarioView& view);

}  // namespace scenario::tool
