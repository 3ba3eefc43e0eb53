#pragma once

#include "view/scenario_view.h"
#include "view/svg_canvas.h"

namespace scenario::tool {

// Draws the track plan from the line binary file with the stations (named), the signals, the
// slowdown, the mountain spans and a kilometre mark every 10 km, in a panel of the given width
// starting at `top`. Returns the bottom of the panel.
double draw_plan_panel(SvgCanvas& svg, const ScenarioView& view, double left, double width,
                       double top);

}  // namespace scenario::tool
