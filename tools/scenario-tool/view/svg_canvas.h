#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scenario::tool {

struct Point {
    double x = 0;
    double y = 0;
};

// A box on the picture, for keeping labels apart.
struct Box {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    bool overlaps(const Box& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

// A number as SVG writes it: one decimal, no trailing ".0".
std::string svg_number(double value);

// Text with the XML special characters escaped (the text must be UTF-8).
std::string xml_escape(std::string_view text);

// About how wide a line of text is drawn, for placing labels.
double text_width(std::string_view utf8, double font_size);

// The elements of one SVG picture, in drawing order. Style strings are SVG attributes.
class SvgCanvas {
  public:
    SvgCanvas(double width, double height) : width_(width), height_(height) {}

    void raw(std::string_view markup) { body_ += markup; }
    void rect(double x, double y, double w, double h, std::string_view style);
    void line(Point a, Point b, std::string_view style);
    void circle(Point c, double r, std::string_view style);
    void polyline(const std::vector<Point>& points, std::string_view style);
    void path(std::string_view d, std::string_view style);
    // Text at a point; `style` carries font size, anchor and fill. With `halo` a white outline
    // is drawn under it so that it reads over the track.
    void text(Point at, std::string_view utf8, std::string_view style, bool halo = false);
    void rotated_text(Point at, double degrees, std::string_view utf8, std::string_view style);

    double width() const { return width_; }
    double height() const { return height_; }
    void set_height(double height) { height_ = height; }

    // The whole document.
    std::string document(std::string_view title) const;

  private:
    double width_;
    double height_;
    std::string body_;
};

}  // namespace scenario::tool
