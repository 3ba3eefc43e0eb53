#include "view/svg_canvas.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "io/text_encoding.h"

namespace scenario::tool {

std::string svg_number(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    std::string text = buffer;
    if (text.ends_with(".0")) {
        text.resize(text.size() - 2);
    }
    return text == "-0" ? "0" : text;
}

std::string xml_escape(std::string_view text) {
    std::string out;
    for (const char ch : valid_utf8(text)) {
        switch (ch) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                // XML 1.0 has no place for control characters other than tab and line ends.
                if (static_cast<unsigned char>(ch) >= 0x20 || ch == '\t' || ch == '\n') {
                    out.push_back(ch);
                }
        }
    }
    return out;
}

double text_width(std::string_view utf8, double font_size) {
    double em = 0;
    for (const char ch : utf8) {
        const auto byte = static_cast<unsigned char>(ch);
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte of a UTF-8 character
        }
        if (ch == ' ' || ch == '.' || ch == '\'' || ch == 'I' || ch == 'i' || ch == 'l') {
            em += 0.3;
        } else if (ch >= 'A' && ch <= 'Z') {
            em += 0.68;
        } else {
            em += 0.56;
        }
    }
    return em * font_size;
}

void SvgCanvas::rect(double x, double y, double w, double h, std::string_view style) {
    body_ += "<rect x=\"" + svg_number(x) + "\" y=\"" + svg_number(y) + "\" width=\"" +
             svg_number(w) + "\" height=\"" + svg_number(h) + "\" " + std::string(style) + "/>\n";
}

void SvgCanvas::line(Point a, Point b, std::string_view style) {
    body_ += "<line x1=\"" + svg_number(a.x) + "\" y1=\"" + svg_number(a.y) + "\" x2=\"" +
             svg_number(b.x) + "\" y2=\"" + svg_number(b.y) + "\" " + std::string(style) + "/>\n";
}

void SvgCanvas::circle(Point c, double r, std::string_view style) {
    body_ += "<circle cx=\"" + svg_number(c.x) + "\" cy=\"" + svg_number(c.y) + "\" r=\"" +
             svg_number(r) + "\" " + std::string(style) + "/>\n";
}

void SvgCanvas::polyline(const std::vector<Point>& points, std::string_view style) {
    if (points.size() < 2) {
        return;
    }
    body_ += "<polyline points=\"";
    for (const auto& p : points) {
        body_ += svg_number(p.x) + "," + svg_number(p.y) + " ";
    }
    body_ += "\" fill=\"none\" " + std::string(style) + "/>\n";
}

void SvgCanvas::path(std::string_view d, std::string_view style) {
    body_ += "<path d=\"" + std::string(d) + "\" " + std::string(style) + "/>\n";
}

void SvgCanvas::text(Point at, std::string_view utf8, std::string_view style, bool halo) {
    const auto content = xml_escape(utf8);
    const auto place = "x=\"" + svg_number(at.x) + "\" y=\"" + svg_number(at.y) + "\" ";
    if (halo) {
        body_ += "<text " + place + std::string(style) +
                 " stroke=\"#ffffff\" stroke-width=\"3.5\" stroke-linejoin=\"round\" "
                 "opacity=\"0.9\">" +
                 content + "</text>\n";
    }
    body_ += "<text " + place + std::string(style) + ">" + content + "</text>\n";
}

void SvgCanvas::rotated_text(Point at, double degrees, std::string_view utf8,
                             std::string_view style) {
    body_ += "<text transform=\"translate(" + svg_number(at.x) + " " + svg_number(at.y) +
             ") rotate(" + svg_number(degrees) + ")\" " + std::string(style) + ">" +
             xml_escape(utf8) + "</text>\n";
}

std::string SvgCanvas::document(std::string_view title) const {
    const auto w = svg_number(width_);
    const auto h = svg_number(height_);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h +
           "\" font-family=\"DejaVu Sans, Liberation Sans, Arial, Helvetica, sans-serif\">\n"
           "<title>" +
           xml_escape(title) +
           "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n" + body_ +
           "</svg>\n";
}

}  // namespace scenario::tool
