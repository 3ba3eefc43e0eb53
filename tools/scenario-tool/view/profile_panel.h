#pragma once

#include "view/scenario_view.h"
#include "view/svg_canvas.h"

namespace scenario::tool {

// Draws the profile along the route in strips on one distance axis: station zones, height from
// the gradients, gradient, speed limit with the slowdown, adhesion, and the objects on the
// track (mountain spans, signals, code points). Returns the bottom of the panel.
double draw_profile_panel(SvgCanvas& svg, const ScenarioView& view, double left, double width,
                          double top);

}  // namespace scenario::tool
