#include "view/plan_panel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "view/plot_style.h"

namespace scenario::tool {

namespace {

using compiler::PathPoints;
using compiler::PlanTag;

constexpr double kPadding = 70;           // room for labels left and right of the track
constexpr double kVerticalPadding = 130;  // above and below: labels, the legend, the scale
constexpr double kMaxHeight = 820;        // of the drawn plan, in pixels
constexpr std::int32_t kSampleStep = 10;  // metres between two drawn points

bool point_set(const PathPoints& plan, std::int64_t m) {
    if (m < 0 || m > plan.last_metre()) {
        return false;
    }
    const auto i = static_cast<std::size_t>(m);
    return plan.axis[0].tags[i] != PlanTag::empty && plan.axis[1].tags[i] != PlanTag::empty &&
           std::isfinite(plan.axis[0].values[i]) && std::isfinite(plan.axis[1].values[i]);
}

// From plan metres to the picture: x to the right, y up, the same scale on both axes.
struct Projection {
    double scale = 1;
    double min_x = 0;
    double max_y = 0;
    double origin_x = 0;
    double origin_y = 0;

    Point operator()(double x, double y) const {
        return {origin_x + (x - min_x) * scale, origin_y + (max_y - y) * scale};
    }
};

// The plan turned about its start so that the route runs from left to right, like the distance
// axis of the profile below it; the plan itself has no north.
class PlanGeometry {
  public:
    PlanGeometry(const PathPoints& plan, std::int64_t route_length) : plan_(plan) {
        for (std::int64_t m = 0; m <= plan.last_metre() && point_set(plan, m); ++m) {
            last_ = m;
        }
        if (!usable()) {
            return;
        }
        const auto end = clamp(route_length > 0 ? route_length : last_);
        const double dx = plan_.axis[0].values[end] - plan_.axis[0].values[0];
        const double dy = plan_.axis[1].values[end] - plan_.axis[1].values[0];
        const double length = std::hypot(dx, dy);
        if (length > 0) {
            cos_ = dx / length;
            sin_ = dy / length;
        }
    }

    bool usable() const { return last_ >= 1; }
    std::int64_t last_metre() const { return last_; }

    double x(std::int64_t m) const { return raw_x(m) * cos_ + raw_y(m) * sin_; }
    double y(std::int64_t m) const { return raw_y(m) * cos_ - raw_x(m) * sin_; }

    std::size_t clamp(std::int64_t m) const {
        return static_cast<std::size_t>(std::clamp<std::int64_t>(m, 0, last_));
    }

  private:
    double raw_x(std::int64_t m) const { return plan_.axis[0].values[clamp(m)]; }
    double raw_y(std::int64_t m) const { return plan_.axis[1].values[clamp(m)]; }

    const PathPoints& plan_;
    std::int64_t last_ = -1;
    double cos_ = 1;
    double sin_ = 0;
};

class PlanDrawing {
  public:
    PlanDrawing(SvgCanvas& svg, const ScenarioView& view, const PlanGeometry& geometry,
                Projection projection)
        : svg_(svg), view_(view), geometry_(geometry), project_(projection) {
        for (std::int64_t m = 0; m <= geometry_.last_metre(); m += kSampleStep) {
            track_points_.push_back(at(m));
        }
    }

    Point at(std::int64_t metre) const {
        const auto m = geometry_.clamp(metre);
        return project_(geometry_.x(static_cast<std::int64_t>(m)),
                        geometry_.y(static_cast<std::int64_t>(m)));
    }

    // Unit normal of the track at a route position, on the picture.
    Point normal(std::int64_t metre) const {
        const auto a = at(metre - 40);
        const auto b = at(metre + 40);
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double length = std::hypot(dx, dy);
        return length > 0 ? Point{-dy / length, dx / length} : Point{1, 0};
    }

    std::vector<Point> stretch(std::int64_t from, std::int64_t to) const {
        std::vector<Point> points;
        from = std::max<std::int64_t>(from, 0);
        to = std::min<std::int64_t>(to, geometry_.last_metre());
        for (auto m = from; m < to; m += kSampleStep) {
            points.push_back(at(m));
        }
        if (to > from) {
            points.push_back(at(to));
        }
        return points;
    }

    void track() {
        const std::int64_t route = std::max<std::int64_t>(view_.routeLength, 1);
        svg_.polyline(stretch(route, geometry_.last_metre()),
                      std::string("stroke=\"") + style::kRunOut +
                          "\" stroke-width=\"2\" stroke-dasharray=\"6 5\"");
        const auto line = stretch(0, route);
        svg_.polyline(line, "stroke=\"#ffffff\" stroke-width=\"7\" stroke-linejoin=\"round\"");
        for (const auto& span : view_.spans) {
            svg_.polyline(stretch(span.start, span.end),
                          std::string("stroke=\"") + style::kMountain +
                              "\" stroke-width=\"10\" stroke-linecap=\"butt\"");
        }
        for (const auto& slowdown : view_.slowdowns) {
            svg_.polyline(stretch(slowdown.start, slowdown.end),
                          std::string("stroke=\"") + style::kSlowdown +
                              "\" stroke-width=\"13\" stroke-linecap=\"round\"");
        }
        svg_.polyline(line, std::string("stroke=\"") + style::kTrack +
                                "\" stroke-width=\"3\" stroke-linejoin=\"round\"");
    }

    void signals() {
        for (const auto position : view_.signals) {
            svg_.circle(at(position), 3.4,
                        std::string("fill=\"") + style::kSignal +
                            "\" stroke=\"#ffffff\" stroke-width=\"1\"");
        }
    }

    void kilometre_marks() {
        for (std::int64_t p = 10000; p < view_.routeLength; p += 10000) {
            const auto c = at(p);
            const auto n = normal(p);
            svg_.line({c.x - n.x * 7, c.y - n.y * 7}, {c.x + n.x * 7, c.y + n.y * 7},
                      std::string("stroke=\"") + style::kMuted + "\" stroke-width=\"1.5\"");
            label(c, n, std::to_string(p / 1000) + " km", 11, style::kMuted, false);
        }
    }

    void slowdown_labels() {
        for (const auto& slowdown : view_.slowdowns) {
            const auto middle = (slowdown.start + slowdown.end) / 2;
            label(at(middle), normal(middle),
                  "slowdown " + std::to_string(slowdown.speed) + " km/h", 12, style::kSlowdown,
                  true);
            if (slowdown.warning) {
                const auto w = at(*slowdown.warning);
                svg_.path("M" + svg_number(w.x) + " " + svg_number(w.y - 9) + " L" +
                              svg_number(w.x + 7) + " " + svg_number(w.y + 4) + " L" +
                              svg_number(w.x - 7) + " " + svg_number(w.y + 4) + " Z",
                          std::string("fill=\"") + style::kSlowdown +
                              "\" stroke=\"#ffffff\" stroke-width=\"1.2\"");
            }
        }
    }

    void stations() {
        for (std::size_t i = 0; i < view_.stations.size(); ++i) {
            const auto& station = view_.stations[i];
            const bool terminal = i == 0 || i + 1 == view_.stations.size();
            const auto c = at(station.position);
            if (terminal) {
                svg_.circle(c, 8,
                            std::string("fill=\"") + style::kTrack +
                                "\" stroke=\"#ffffff\" stroke-width=\"2.5\"");
            } else if (station.stops) {
                svg_.circle(c, 5.5,
                            std::string("fill=\"#ffffff\" stroke=\"") + style::kTrack +
                                "\" stroke-width=\"2.5\"");
            } else {
                svg_.circle(c, 3.2,
                            std::string("fill=\"#ffffff\" stroke=\"") + style::kMuted +
                                "\" stroke-width=\"1.5\"");
            }
            taken_.push_back({c.x - 8, c.y - 8, c.x + 8, c.y + 8});
        }
        // Terminals first, then stops, then halts: the important names get the best places.
        std::vector<std::size_t> order(view_.stations.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        const auto rank = [&](std::size_t i) {
            const bool terminal = i == 0 || i + 1 == view_.stations.size();
            return terminal ? 0 : view_.stations[i].stops ? 1 : 2;
        };
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
        for (const auto i : order) {
            const auto& station = view_.stations[i];
            const int r = rank(i);
            label(at(station.position), normal(station.position), station.name,
                  r == 0   ? 15
                  : r == 1 ? 12.5
                           : 11,
                  r == 2 ? style::kMuted : style::kInk, r == 0);
        }
    }

    // Puts a label beside the track at a point, on the first free place among a few on either
    // side, with a leader line when it had to move away.
    void label(Point anchor, Point n, const std::string& text, double size, const char* colour,
               bool bold) {
        const double width = text_width(text, size) * (bold ? 1.08 : 1.0);
        struct Candidate {
            Box box;
            Point baseline;
            const char* anchor_word;
            double distance;
        };
        std::optional<Candidate> best;
        int best_conflicts = std::numeric_limits<int>::max();
        for (const double distance : {13.0, 26.0, 42.0, 62.0, 86.0, 112.0}) {
            for (const double side : {1.0, -1.0}) {
                const Point p{anchor.x + n.x * side * distance, anchor.y + n.y * side * distance};
                const double nx = n.x * side;
                const double ny = n.y * side;
                Candidate c{};
                c.distance = distance;
                double left = p.x - width / 2;
                c.anchor_word = "middle";
                if (nx > 0.35) {
                    left = p.x;
                    c.anchor_word = "start";
                } else if (nx < -0.35) {
                    left = p.x - width;
                    c.anchor_word = "end";
                }
                double top = p.y - size * 0.5;
                if (ny > 0.35) {
                    top = p.y;
                } else if (ny < -0.35) {
                    top = p.y - size;
                }
                c.box = {left - 2, top - 1, left + width + 2, top + size + 1};
                c.baseline = {p.x, top + size * 0.82};
                const int conflicts = count_conflicts(c.box);
                if (conflicts < best_conflicts) {
                    best_conflicts = conflicts;
                    best = c;
                }
                if (conflicts == 0) {
                    break;
                }
            }
            if (best_conflicts == 0) {
                break;
            }
        }
        taken_.push_back(best->box);
        if (best->distance > 20) {
            const Point end{(best->box.left + best->box.right) / 2,
                            (best->box.top + best->box.bottom) / 2};
            svg_.line(anchor, end,
                      std::string("stroke=\"") + style::kMuted +
                          "\" stroke-width=\"0.7\" opacity=\"0.7\"");
        }
        svg_.text(best->baseline, text,
                  "font-size=\"" + svg_number(size) + "\" text-anchor=\"" + best->anchor_word +
                      "\" fill=\"" + colour + "\"" + (bold ? " font-weight=\"bold\"" : ""),
                  true);
    }

    void reserve(const Box& box) { taken_.push_back(box); }

    // How many track points a box of the given size covers in each corner of the panel.
    int points_in(const Box& box) const {
        int count = 0;
        for (const auto& p : track_points_) {
            count += p.x > box.left && p.x < box.right && p.y > box.top && p.y < box.bottom;
        }
        return count;
    }

  private:
    int count_conflicts(const Box& box) const {
        int conflicts = points_in(box);
        for (const auto& other : taken_) {
            conflicts += box.overlaps(other) ? 25 : 0;
        }
        return conflicts;
    }

    SvgCanvas& svg_;
    const ScenarioView& view_;
    const PlanGeometry& geometry_;
    Projection project_;
    std::vector<Point> track_points_;
    std::vector<Box> taken_;
};

double nice_length(double metres) {
    double best = 100;
    for (const double candidate :
         {100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0, 50000.0, 100000.0}) {
        if (candidate <= metres) {
            best = candidate;
        }
    }
    return best;
}

Box corner_box(int corner, double left, double top, double width, double height, double w,
               double h) {
    const double x = corner % 2 == 0 ? left + 14 : left + width - w - 14;
    const double y = corner < 2 ? top + 14 : top + height - h - 14;
    return {x, y, x + w, y + h};
}

void legend(SvgCanvas& svg, const Box& box) {
    svg.rect(box.left, box.top, box.right - box.left, box.bottom - box.top,
             "rx=\"6\" fill=\"#ffffff\" fill-opacity=\"0.92\" stroke=\"#d5d9de\"");
    double y = box.top + 20;
    const double x = box.left + 14;
    const auto row = [&](const std::string& what) {
        svg.text({x + 34, y + 4}, what,
                 std::string("font-size=\"12\" fill=\"") + style::kInk + "\"");
        y += 21;
    };
    svg.line({x, y}, {x + 24, y},
             std::string("stroke=\"") + style::kTrack + "\" stroke-width=\"3\"");
    row("track");
    svg.line({x, y}, {x + 24, y},
             std::string("stroke=\"") + style::kMountain + "\" stroke-width=\"9\"");
    svg.line({x, y}, {x + 24, y},
             std::string("stroke=\"") + style::kTrack + "\" stroke-width=\"3\"");
    row("mountain span");
    svg.line({x, y}, {x + 24, y},
             std::string("stroke=\"") + style::kSlowdown +
                 "\" stroke-width=\"11\" stroke-linecap=\"round\"");
    row("slowdown, warning board");
    svg.circle({x + 12, y}, 2.8, std::string("fill=\"") + style::kSignal + "\"");
    row("signal");
    svg.circle(
        {x + 12, y}, 5.5,
        std::string("fill=\"#ffffff\" stroke=\"") + style::kTrack + "\" stroke-width=\"2.5\"");
    row("station with a stop");
    svg.circle(
        {x + 12, y}, 3.2,
        std::string("fill=\"#ffffff\" stroke=\"") + style::kMuted + "\" stroke-width=\"1.5\"");
    row("station passed");
    svg.line({x, y}, {x + 24, y},
             std::string("stroke=\"") + style::kRunOut +
                 "\" stroke-width=\"2\" stroke-dasharray=\"6 5\"");
    row("run-out beyond the route");
}

void scale_bar(SvgCanvas& svg, const Box& box, double metres, double pixels) {
    const double x = box.left + 10;
    const double y = box.bottom - 14;
    svg.rect(x, y - 5, pixels / 2, 5, std::string("fill=\"") + style::kInk + "\"");
    svg.rect(x + pixels / 2, y - 5, pixels / 2, 5,
             std::string("fill=\"#ffffff\" stroke=\"") + style::kInk + "\" stroke-width=\"1\"");
    const auto km = metres >= 1000 ? svg_number(metres / 1000) + " km" : svg_number(metres) + " m";
    svg.text({x, y - 10}, "0", std::string("font-size=\"11\" fill=\"") + style::kInk + "\"");
    svg.text({x + pixels, y - 10}, km,
             std::string("font-size=\"11\" text-anchor=\"middle\" fill=\"") + style::kInk + "\"");
}

}  // namespace

double draw_plan_panel(SvgCanvas& svg, const ScenarioView& view, double left, double width,
                       double top) {
    if (!view.plan || !PlanGeometry(*view.plan, view.routeLength).usable()) {
        const double height = 70;
        svg.rect(left, top, width, height,
                 std::string("rx=\"10\" fill=\"") + style::kPanel + "\" stroke=\"#dde1dc\"");
        svg.text(
            {left + width / 2, top + 42},
            "no track plan: the scenario was compiled without the line binary file "
            "(--no-plan)",
            std::string("font-size=\"15\" text-anchor=\"middle\" fill=\"") + style::kMuted + "\"");
        return top + height;
    }
    const PlanGeometry geometry(*view.plan, view.routeLength);
    double min_x = geometry.x(0), max_x = min_x, min_y = geometry.y(0), max_y = min_y;
    for (std::int64_t m = 0; m <= geometry.last_metre(); ++m) {
        min_x = std::min(min_x, geometry.x(m));
        max_x = std::max(max_x, geometry.x(m));
        min_y = std::min(min_y, geometry.y(m));
        max_y = std::max(max_y, geometry.y(m));
    }
    const double span_x = std::max(max_x - min_x, 1.0);
    const double span_y = std::max(max_y - min_y, 1.0);
    const double scale = std::min((width - 2 * kPadding) / span_x, kMaxHeight / span_y);
    const double height = span_y * scale + 2 * kVerticalPadding;
    Projection projection{scale, min_x, max_y, left + (width - span_x * scale) / 2,
                          top + kVerticalPadding};

    svg.rect(left, top, width, height,
             std::string("rx=\"10\" fill=\"") + style::kPanel + "\" stroke=\"#dde1dc\"");
    PlanDrawing drawing(svg, view, geometry, projection);

    // The legend and the scale go into the corners the track leaves free.
    const double legend_w = 210;
    const double legend_h = 7 * 21 + 18;
    int legend_corner = 0;
    int fewest = std::numeric_limits<int>::max();
    for (int corner = 0; corner < 4; ++corner) {
        const int n =
            drawing.points_in(corner_box(corner, left, top, width, height, legend_w, legend_h));
        if (n < fewest) {
            fewest = n;
            legend_corner = corner;
        }
    }
    const double bar_metres = nice_length(std::max(span_x, span_y) / 8);
    const double bar_pixels = bar_metres * scale;
    int bar_corner = legend_corner < 2 ? 2 : 0;
    fewest = std::numeric_limits<int>::max();
    for (int corner = 0; corner < 4; ++corner) {
        if (corner == legend_corner) {
            continue;
        }
        const int n =
            drawing.points_in(corner_box(corner, left, top, width, height, bar_pixels + 50, 36));
        if (n < fewest) {
            fewest = n;
            bar_corner = corner;
        }
    }
    const auto legend_box = corner_box(legend_corner, left, top, width, height, legend_w, legend_h);
    const auto bar_box = corner_box(bar_corner, left, top, width, height, bar_pixels + 50, 36);
    drawing.reserve(legend_box);
    drawing.reserve(bar_box);

    drawing.track();
    drawing.signals();
    drawing.stations();
    drawing.slowdown_labels();
    drawing.kilometre_marks();
    legend(svg, legend_box);
    scale_bar(svg, bar_box, bar_metres, bar_pixels);
    svg.text({left + width - 14, top + height - 12},
             "plan turned so that the route runs from left to right",
             std::string("font-size=\"11\" text-anchor=\"end\" fill=\"") + style::kMuted + "\"");
    return top + height;
}

}  // namespace scenario::tool
