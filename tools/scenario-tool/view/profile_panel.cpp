#include "view/profile_panel.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "view/plot_style.h"

namespace scenario::tool {

namespace {

constexpr double kLabelColumn = 118;  // strip names left of the axis
constexpr double kCellMetres = 50;

struct Strip {
    double top = 0;
    double height = 0;
    double bottom() const { return top + height; }
};

class Profile {
  public:
    Profile(SvgCanvas& svg, const ScenarioView& view, double left, double width)
        : svg_(svg),
          view_(view),
          x0_(left + kLabelColumn),
          x1_(left + width),
          left_(left),
          length_(std::max(view.routeLength, 1)) {}

    double x(double metres) const {
        return x0_ + std::clamp(metres, 0.0, static_cast<double>(length_)) * (x1_ - x0_) / length_;
    }

    void strip_frame(const Strip& strip, const std::string& name, const std::string& unit) {
        svg_.text(
            {left_, strip.top + strip.height / 2 - 1}, name,
            std::string("font-size=\"12.5\" font-weight=\"bold\" fill=\"") + style::kInk + "\"");
        if (!unit.empty()) {
            svg_.text({left_, strip.top + strip.height / 2 + 14}, unit,
                      std::string("font-size=\"11\" fill=\"") + style::kMuted + "\"");
        }
    }

    void distance_grid(double top, double bottom) {
        const double step = length_ > 60000 ? 10000 : length_ > 20000 ? 5000 : 1000;
        for (double p = 0; p <= length_; p += step) {
            svg_.line({x(p), top}, {x(p), bottom},
                      std::string("stroke=\"") + style::kGrid + "\" stroke-width=\"1\"");
            svg_.text({x(p), bottom + 16}, svg_number(p / 1000) + " km",
                      std::string("font-size=\"11\" text-anchor=\"middle\" fill=\"") +
                          style::kMuted + "\"");
        }
    }

    // A per-cell value as a step line over the strip, from `low` (bottom) to `high` (top);
    // with `fill` the area down to `base` is filled.
    std::string step_path(const std::vector<std::int32_t>& values, const Strip& strip, double low,
                          double high, std::optional<double> base) const {
        if (values.empty()) {
            return {};
        }
        const auto y = [&](double v) {
            return strip.bottom() - (std::clamp(v, low, high) - low) / (high - low) * strip.height;
        };
        std::string d;
        const double end = std::min<double>(length_, values.size() * kCellMetres);
        if (base) {
            d += "M" + svg_number(x(0)) + " " + svg_number(y(*base)) + " L";
        } else {
            d += "M";
        }
        d += svg_number(x(0)) + " " + svg_number(y(values[0]));
        for (std::size_t i = 1; i < values.size(); ++i) {
            if (values[i] != values[i - 1]) {
                const auto px = svg_number(x(i * kCellMetres));
                d += " L" + px + " " + svg_number(y(values[i - 1])) + " L" + px + " " +
                     svg_number(y(values[i]));
            }
        }
        d += " L" + svg_number(x(end)) + " " + svg_number(y(values.back()));
        if (base) {
            d += " L" + svg_number(x(end)) + " " + svg_number(y(*base)) + " Z";
        }
        return d;
    }

    void axis_value(const Strip& strip, double low, double high, double value,
                    const std::string& text) {
        const double y = strip.bottom() - (value - low) / (high - low) * strip.height;
        svg_.line({x0_ - 4, y}, {x0_, y}, std::string("stroke=\"") + style::kMuted + "\"");
        svg_.text(
            {x0_ - 7, y + 4}, text,
            std::string("font-size=\"10\" text-anchor=\"end\" fill=\"") + style::kMuted + "\"");
    }

    void stations(const Strip& strip) {
        strip_frame(strip, "stations", "zones");
        const double bar_top = strip.bottom() - 18;
        for (const auto& station : view_.stations) {
            const double a = x(station.zoneStart);
            const double b = std::max(x(station.zoneEnd), a + 2);
            svg_.rect(a, bar_top, b - a, 12,
                      std::string("rx=\"2\" fill=\"") +
                          (station.stops ? style::kTrack : style::kRunOut) + "\"");
            svg_.rotated_text({(a + b) / 2 + 3, bar_top - 5}, -38, station.name,
                              std::string("font-size=\"10.5\" fill=\"") +
                                  (station.stops ? style::kInk : style::kMuted) + "\"");
        }
    }

    void height(const Strip& strip) {
        // Relative height, integrated from the gradient of each 50 m cell.
        std::vector<double> metres{0};
        for (const auto g : view_.gradient) {
            metres.push_back(metres.back() + g * kCellMetres / 1000.0);
        }
        const auto [lo_it, hi_it] = std::minmax_element(metres.begin(), metres.end());
        double low = *lo_it;
        double high = *hi_it;
        if (high - low < 10) {
            high = low + 10;
        }
        const double pad = (high - low) * 0.08;
        low -= pad;
        high += pad;
        strip_frame(strip, "height", "m, from gradients");
        const auto y = [&](double v) {
            return strip.bottom() - (v - low) / (high - low) * strip.height;
        };
        std::string line = "M";
        std::string area = "M" + svg_number(x(0)) + " " + svg_number(strip.bottom()) + " L";
        for (std::size_t i = 0; i < metres.size(); ++i) {
            const auto point = svg_number(x(i * kCellMetres)) + " " + svg_number(y(metres[i]));
            line += (i ? " L" : "") + point;
            area += (i ? " L" : "") + point;
        }
        area += " L" + svg_number(x((metres.size() - 1) * kCellMetres)) + " " +
                svg_number(strip.bottom()) + " Z";
        svg_.path(area, std::string("fill=\"") + style::kHeightFill + "\"");
        svg_.path(line, std::string("fill=\"none\" stroke=\"") + style::kHeightLine +
                            "\" stroke-width=\"1.6\" stroke-linejoin=\"round\"");
        axis_value(strip, low, high, *lo_it, svg_number(*lo_it - *lo_it));
        axis_value(strip, low, high, *hi_it, "+" + svg_number(*hi_it - *lo_it));
    }

    void gradient(const Strip& strip) {
        std::int32_t steepest = 5;
        for (const auto g : view_.gradient) {
            steepest = std::max(steepest, std::abs(g));
        }
        const double limit = steepest * 1.1;
        strip_frame(strip, "gradient", "per mille");
        std::vector<std::int32_t> climbs;
        std::vector<std::int32_t> descents;
        for (const auto g : view_.gradient) {
            climbs.push_back(std::max(g, 0));
            descents.push_back(std::min(g, 0));
        }
        svg_.path(step_path(climbs, strip, -limit, limit, 0.0),
                  std::string("fill=\"") + style::kClimb + "\" fill-opacity=\"0.8\"");
        svg_.path(step_path(descents, strip, -limit, limit, 0.0),
                  std::string("fill=\"") + style::kDescent + "\" fill-opacity=\"0.8\"");
        const double zero = strip.top + strip.height / 2;
        svg_.line({x0_, zero}, {x1_, zero},
                  std::string("stroke=\"") + style::kMuted + "\" stroke-width=\"0.8\"");
        axis_value(strip, -limit, limit, steepest, "+" + std::to_string(steepest));
        axis_value(strip, -limit, limit, 0, "0");
        axis_value(strip, -limit, limit, -steepest, "-" + std::to_string(steepest));
    }

    void speed(const Strip& strip) {
        std::int32_t top_speed = 50;
        for (const auto v : view_.speed) {
            top_speed = std::max(top_speed, v);
        }
        const double high = std::ceil(top_speed * 1.15 / 10) * 10;
        strip_frame(strip, "speed limit", "km/h");
        svg_.path(step_path(view_.speed, strip, 0, high, 0.0),
                  std::string("fill=\"") + style::kSpeedFill + "\" fill-opacity=\"0.7\"");
        svg_.path(step_path(view_.speed, strip, 0, high, std::nullopt),
                  std::string("fill=\"none\" stroke=\"") + style::kSpeed + "\" stroke-width=\"2\"");
        for (const auto& slowdown : view_.slowdowns) {
            const double a = x(slowdown.start);
            const double b = std::max(x(slowdown.end), a + 3);
            const double y = strip.bottom() - slowdown.speed / high * strip.height;
            svg_.rect(a, y, b - a, strip.bottom() - y,
                      std::string("fill=\"") + style::kSlowdown + "\" fill-opacity=\"0.85\"");
            svg_.text({(a + b) / 2, y - 5}, std::to_string(slowdown.speed),
                      std::string("font-size=\"11\" font-weight=\"bold\" text-anchor=\"middle\" "
                                  "fill=\"") +
                          style::kSlowdown + "\"",
                      true);
        }
        for (const auto position : view_.speedBoards) {
            svg_.rect(x(position) - 1, strip.bottom() - 7, 2, 7,
                      std::string("fill=\"") + style::kSpeed + "\"");
        }
        for (double v = 0; v <= high; v += high > 120 ? 50 : 25) {
            axis_value(strip, 0, high, v, svg_number(v));
        }
    }

    void adhesion(const Strip& strip) {
        strip_frame(strip, "adhesion", "%");
        std::int32_t low = 100;
        std::int32_t high = 100;
        for (const auto a : view_.adhesion) {
            low = std::min(low, a);
            high = std::max(high, a);
        }
        const double bottom = std::max(0, low - 10);
        const double top = high + 5;
        svg_.path(
            step_path(view_.adhesion, strip, bottom, top, std::nullopt),
            std::string("fill=\"none\" stroke=\"") + style::kAdhesion + "\" stroke-width=\"2\"");
        axis_value(strip, bottom, top, low, std::to_string(low));
        if (high != low) {
            axis_value(strip, bottom, top, high, std::to_string(high));
        }
    }

    void objects(const Strip& strip) {
        strip_frame(strip, "on the track", "spans, signals");
        const double mid = strip.top + strip.height / 2;
        for (const auto& span : view_.spans) {
            const double a = x(span.start);
            svg_.rect(a, mid - 9, std::max(x(span.end) - a, 1.5), 18,
                      std::string("fill=\"") + style::kMountain + "\" fill-opacity=\"0.85\"");
        }
        for (const auto& slowdown : view_.slowdowns) {
            const double a = x(slowdown.start);
            svg_.rect(a, strip.top + 2, std::max(x(slowdown.end) - a, 2.0), strip.height - 4,
                      std::string("fill=\"") + style::kSlowdown + "\" fill-opacity=\"0.5\"");
            if (slowdown.warning) {
                svg_.line({x(*slowdown.warning), strip.top + 2},
                          {x(*slowdown.warning), strip.bottom() - 2},
                          std::string("stroke=\"") + style::kSlowdown + "\" stroke-width=\"2\"");
            }
        }
        for (const auto position : view_.signals) {
            svg_.line({x(position), strip.top + 4}, {x(position), mid - 3},
                      std::string("stroke=\"") + style::kSignal + "\" stroke-width=\"1.6\"");
        }
        for (const auto position : view_.codePoints) {
            svg_.circle({x(position), strip.bottom() - 6}, 2.2,
                        std::string("fill=\"") + style::kCodePoint + "\"");
        }
    }

    // The problems of the author's texts: a dashed line over every strip at the position, red
    // for an error, orange for a warning, with the message as its tooltip.
    void diagnostics(double top, double bottom) {
        for (const auto& mark : view_.diagnostics) {
            if (mark.position < 0 || mark.position > length_) {
                continue;
            }
            const char* colour = mark.error ? style::kSignal : style::kSlowdown;
            const double at = x(mark.position);
            svg_.raw("<g><title>" + xml_escape(mark.text) + "</title>");
            svg_.line({at, top}, {at, bottom},
                      std::string("stroke=\"") + colour +
                          "\" stroke-width=\"1.5\" stroke-dasharray=\"4 3\"");
            svg_.path("M" + svg_number(at - 5) + " " + svg_number(top - 8) + " L" +
                          svg_number(at + 5) + " " + svg_number(top - 8) + " L" + svg_number(at) +
                          " " + svg_number(top) + " Z",
                      std::string("fill=\"") + colour + "\"");
            svg_.raw("</g>");
        }
    }

  private:
    SvgCanvas& svg_;
    const ScenarioView& view_;
    double x0_;
    double x1_;
    double left_;
    std::int32_t length_;
};

}  // namespace

double draw_profile_panel(SvgCanvas& svg, const ScenarioView& view, double left, double width,
                          double top) {
    Profile profile(svg, view, left, width);
    const double gap = 10;
    Strip stations{top, 150};
    Strip height{stations.bottom() + gap, 110};
    Strip gradient{height.bottom() + gap, 90};
    Strip speed{gradient.bottom() + gap, 100};
    Strip adhesion{speed.bottom() + gap, 56};
    Strip objects{adhesion.bottom() + gap, 44};
    for (const auto* strip : {&stations, &height, &gradient, &speed, &adhesion, &objects}) {
        svg.rect(left + kLabelColumn, strip->top, width - kLabelColumn, strip->height,
                 std::string("fill=\"") + style::kPanel + "\"");
    }
    profile.distance_grid(top, objects.bottom());
    profile.stations(stations);
    profile.height(height);
    profile.gradient(gradient);
    profile.speed(speed);
    profile.adhesion(adhesion);
    profile.objects(objects);
    profile.diagnostics(top, objects.bottom());
    return objects.bottom() + 24;
}

}  // namespace scenario::tool
