#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/model/diagnostic_catalogue.h"

namespace scenario::compiler {

// A small line and train run that compile without a fault and without a warning: 20 km (cells
// 0 to 540), a curve, two gradients, a mountain span, a speed board at 1100 (cell 23), a sign
// board at 2200 (cell 45), three stations (stop cells 15, 163 and 385), a 40 km/h slowdown from
// 12000 (warning cell 217, start 241, end 247) and three signals (cells 38, 101, 301). The
// catalogue's examples are edits of it.
std::span<const std::string_view> example_line_text();
std::span<const std::string_view> example_train_text();

// The two texts of the example route with an example's edits made, as lines.
struct ExampleTexts {
    std::vector<std::string> line;
    std::vector<std::string> train;
};
ExampleTexts example_texts(const Example& example);

// Lines joined with CR LF after each, as the writers leave them.
std::string joined_text(const std::vector<std::string>& lines);

}  // namespace scenario::compiler
