#include "compiler/model/example_route.h"

#include <array>

namespace scenario::compiler {

namespace {

constexpr std::array<std::string_view, 21> kLine{
    "[generale]",                                              // 1
    "lunghezza percorso,    20000",                            // 2
    "progressiva chilometrica uno,    0,    20000,    1",      // 3
    "progressiva chilometrica due,    0,    0,    0",          // 4
    "progressiva chilometrica tre,    0,    0,    0",          // 5
    "sfondo uno,    1",                                        // 6
    "sfondo due,    0",                                        // 7
    "sfondo tre,    1",                                        // 8
    "ripetizione segnali 9 codici,    1000,    18000",         // 9
    "[curve]",                                                 // 10
    "curvad4,  2000,  300",                                    // 11
    "[pendenze]",                                              // 12
    "pendenza,  0,   0",                                       // 13
    "pendenza,  5000,   10",                                   // 14
    "[montagne]",                                              // 15
    "montagna,   6000,  6400,  11",                            // 16
    "[cartelli]",                                              // 17
    "indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0",  // 18
    "[indicazioni]",                                           // 19
    "cartello_indicatore,  2200,   (PONTE SUL)(FIUME)",        // 20
    "[fine]",                                                  // 21
};

constexpr std::array<std::string_view, 22> kTrain{
    "[generale]",                                                                     // 1
    "numero vetture,    5",                                                           // 2
    "percentuale massa frenata,    100",                                              // 3
    "sabbia,    150",                                                                 // 4
    "orologio,    6               36            30 ",                                 // 5
    "[aderenze]",                                                                     // 6
    "aderenza,   0,    100",                                                          // 7
    "[vel_limite]",                                                                   // 8
    "velocita,       0,    60",                                                       // 9
    "velocita,    1100,    70",                                                       // 10
    "[stazioni]",                                                                     // 11
    "stazione,     400,  4,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, LAGO",   // 12
    "stazione,    8000, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   60,   6,48, 0, VALLE",  // 13
    "stazione,   19000,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,   7,10, 0, MONTE",  // 14
    "[rallentamenti]",                                                                // 15
    "rallentamento,   12000,    40,  300, 1,  1,  0",                                 // 16
    "[segnali]",                                                                      // 17
    "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0",                            // 18
    "segnale,    5000,   2, 4, 0,  0, 0,    0,  0,0,0, 0",                            // 19
    "segnale,   15000,   2, 3, 1,  0, 0,    0,  0,0,0, 0",                            // 20
    "[codici]",                                                                       // 21
    "[fine]",                                                                         // 22
};

std::vector<std::string> split_lines(std::string_view content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const auto end = content.find('\n', start);
        lines.emplace_back(content.substr(start, end - start));
        if (end == std::string_view::npos) {
            return lines;
        }
        start = end + 1;
    }
}

// "{p}" and "{p+50}" in a repeated line: the position of this repetition, and 50 m more.
std::string with_position(std::string_view line, std::int64_t p) {
    std::string out;
    std::size_t at = 0;
    while (true) {
        const auto open = line.find('{', at);
        if (open == std::string_view::npos) {
            out += line.substr(at);
            return out;
        }
        const auto close = line.find('}', open);
        out += line.substr(at, open - at);
        const auto name = line.substr(open + 1, close - open - 1);
        out += std::to_string(name == "p+50" ? p + 50 : p);
        at = close + 1;
    }
}

void apply(const ExampleEdit& edit, std::vector<std::string>& lines) {
    std::vector<std::string> content;
    if (edit.repeat > 1) {
        for (std::int32_t i = 0; i < edit.repeat; ++i) {
            for (const auto& line : split_lines(edit.content)) {
                content.push_back(with_position(line, edit.first + std::int64_t{edit.step} * i));
            }
        }
    } else if (!edit.content.empty()) {
        content = split_lines(edit.content);
    }
    const auto at = lines.begin() + (edit.line - 1);
    lines.erase(at, at + edit.count);
    lines.insert(lines.begin() + (edit.line - 1), content.begin(), content.end());
}

}  // namespace

std::span<const std::string_view> example_line_text() {
    return kLine;
}

std::span<const std::string_view> example_train_text() {
    return kTrain;
}

ExampleTexts example_texts(const Example& example) {
    ExampleTexts texts{{kLine.begin(), kLine.end()}, {kTrain.begin(), kTrain.end()}};
    for (const auto& edit : example.edits) {
        if (edit.text == ErrorSource::line_text) {
            apply(edit, texts.line);
        } else if (edit.text == ErrorSource::train_text) {
            apply(edit, texts.train);
        }
    }
    if (example.swap_texts) {
        std::swap(texts.line, texts.train);
    }
    return texts;
}

std::string joined_text(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace scenario::compiler
