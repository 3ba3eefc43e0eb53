#include "view/svg_plot.h"

#include "view/plan_panel.h"
#include "view/plot_style.h"
#include "view/profile_panel.h"
#include "view/svg_canvas.h"

namespace scenario::tool {

namespace {

constexpr double kWidth = 1600;
constexpr double kMargin = 36;

std::string plural(std::size_t count, const std::string& word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

std::string subtitle(const ScenarioView& view) {
    std::size_t stops = 0;
    for (const auto& station : view.stations) {
        stops += station.stops;
    }
    return "train " + view.code + "  ·  " + svg_number(view.routeLength / 1000.0) + " km  ·  " +
           plural(view.stations.size(), "station") + " (" + std::to_string(stops) +
           " with a stop)  ·  " + plural(view.signals.size(), "signal") + "  ·  " +
           plural(view.slowdowns.size(), "slowdown") + "  ·  " +
           plural(view.spans.size(), "mountain span") + "  ·  " +
           plural(view.codePoints.size(), "code point");
}

}  // namespace

std::string render_svg(const ScenarioView& view) {
    SvgCanvas svg(kWidth, 0);
    const double inner = kWidth - 2 * kMargin;
    svg.text({kMargin, 46}, view.title.empty() ? std::string("(untitled line)") : view.title,
             std::string("font-size=\"26\" font-weight=\"bold\" fill=\"") + style::kInk + "\"");
    svg.text({kMargin, 72}, subtitle(view),
             std::string("font-size=\"14\" fill=\"") + style::kMuted + "\"");
    double y = draw_plan_panel(svg, view, kMargin, inner, 92);
    svg.text({kMargin, y + 34}, "Along the route",
             std::string("font-size=\"17\" font-weight=\"bold\" fill=\"") + style::kInk + "\"");
    y = draw_profile_panel(svg, view, kMargin, inner, y + 52);
    svg.set_height(y + kMargin / 2);
    return svg.document(view.title + " " + view.code);
}

}  // namespace scenario::tool
