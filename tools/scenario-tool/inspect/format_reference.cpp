#include "inspect/format_reference.h"

#include <algorithm>
#include <map>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/model/limits.h"
#include "compiler/readers/record_descriptions.h"
#include "sources/writers.h"

namespace scenario::tool {

namespace {

using compiler::KeywordMatch;
using compiler::kRecordDescriptions;
using compiler::RecordDescription;
using compiler::RecordScope;
using compiler::SourceTextKind;
using compiler::ValueDescription;
using compiler::ValueWidth;

// "{signal_cell_taken}" becomes "error 16 `signal_cell_taken`": faults are named by the
// catalogue, so a renamed or renumbered fault cannot leave the reference behind.
std::string with_faults(std::string_view text) {
    std::string result;
    std::size_t from = 0;
    for (auto open = text.find('{'); open != std::string_view::npos; open = text.find('{', from)) {
        const auto close = text.find('}', open);
        const auto name = text.substr(open + 1, close - open - 1);
        const auto* fault = compiler::find_diagnostic(name);
        if (close == std::string_view::npos || fault == nullptr) {
            throw std::logic_error("the format reference names no fault of the catalogue in '" +
                                   std::string(text.substr(open)) + "'");
        }
        result.append(text.substr(from, open - from));
        result += "error " + std::to_string(fault->number()) + " `" + std::string(name) + "`";
        from = close + 1;
    }
    result.append(text.substr(from));
    return result;
}

std::string range_text(std::int64_t lowest, std::int64_t highest) {
    return std::to_string(lowest) + ".." + std::to_string(highest);
}

std::string_view width_name(ValueWidth width) {
    switch (width) {
        case ValueWidth::int32:
            return "32-bit";
        case ValueWidth::int16:
            return "16-bit";
        case ValueWidth::uint8:
            return "8-bit unsigned";
        case ValueWidth::text:
            break;
    }
    return "text";
}

// The values a field takes: its stated range, else what its width holds.
std::string values_taken(const ValueDescription& value) {
    const auto range = value.range ? value.range : compiler::width_range(value.width);
    return range ? range_text(range->lowest, range->highest) : "no comma";
}

std::string sentence(std::string_view text) {
    std::string result(text);
    if (!result.empty() && result.front() >= 'a' && result.front() <= 'z') {
        result.front() = static_cast<char>(result.front() - 'a' + 'A');
    }
    return result + ".";
}

// The two outputs of the one content below.
class Writer {
  public:
    virtual ~Writer() = default;
    virtual void title(std::string_view text) = 0;
    virtual void heading(std::string_view text) = 0;
    // A record kind; its paragraphs, facts and values follow.
    virtual void record_heading(std::string_view text) = 0;
    virtual void paragraph(std::string_view text) = 0;
    virtual void bullet(std::string_view text) = 0;
    virtual void fact(std::string_view label, std::string_view text) = 0;
    virtual void example(std::string_view line) = 0;
    virtual void values(std::span<const ValueDescription> values) = 0;

    std::string take() { return std::move(out_); }

  protected:
    enum class Block : std::uint8_t { none, heading, record, paragraph, bullet, fact, values };

    // A blank line between blocks, except inside one list or one record.
    void begin(Block block) {
        const bool same_list = block == last_ && (block == Block::bullet || block == Block::fact);
        const bool in_record = in_record_ && block != Block::record && block != Block::heading;
        if (last_ != Block::none && !same_list && !(plain_record_ && in_record)) {
            out_ += '\n';
        }
        if (block == Block::heading) {
            in_record_ = false;
        } else if (block == Block::record) {
            in_record_ = true;
        }
        last_ = block;
    }

    std::string out_;
    bool in_record_ = false;
    bool plain_record_ = false;  // a record's lines follow each other without blank lines

  private:
    Block last_ = Block::none;
};

class PlainWriter : public Writer {
  public:
    PlainWriter() { plain_record_ = true; }

    void title(std::string_view text) override {
        begin(Block::heading);
        const auto line = unquoted(text);
        out_ += line + '\n' + std::string(line.size(), '=') + '\n';
    }
    void heading(std::string_view text) override {
        begin(Block::heading);
        const auto line = unquoted(text);
        out_ += line + '\n' + std::string(line.size(), '-') + '\n';
    }
    void record_heading(std::string_view text) override {
        begin(Block::record);
        out_ += unquoted(text) + '\n';
    }
    void paragraph(std::string_view text) override {
        begin(Block::paragraph);
        const std::string indent(in_record_ ? 2 : 0, ' ');
        wrap(quoted(with_faults(text)), indent, indent);
    }
    void bullet(std::string_view text) override {
        begin(Block::bullet);
        wrap(quoted(with_faults(text)), "  - ", "    ");
    }
    void fact(std::string_view label, std::string_view text) override {
        begin(Block::fact);
        wrap(quoted(with_faults(text)), label_column(label), std::string(kFactColumn, ' '));
    }
    void example(std::string_view line) override {
        begin(Block::fact);
        out_ += label_column("example") + std::string(line) + '\n';
    }
    void values(std::span<const ValueDescription> values) override {
        begin(Block::values);
        out_ += "  values:\n";
        const std::size_t digits = std::to_string(values.size()).size();
        const std::string meaning_indent(4 + digits + 2, ' ');
        std::size_t number = 0;
        for (const auto& value : values) {
            std::string head = std::to_string(++number) + ". ";
            head.insert(0, digits + 2 - head.size(), ' ');
            head += std::string(value.name) + " (";
            if (!value.unit.empty()) {
                head += std::string(value.unit) + "; ";
            }
            head += std::string(width_name(value.width)) + ", " + values_taken(value) + ")";
            out_ += "    " + head + '\n';
            if (!value.meaning.empty()) {
                wrap(quoted(with_faults(value.meaning)), meaning_indent, meaning_indent);
            }
        }
    }

  private:
    static constexpr std::size_t kWidth = 79;
    static constexpr std::size_t kFactColumn = 15;

    static std::string label_column(std::string_view label) {
        std::string column = "  " + std::string(label) + ":";
        column.resize(std::max(kFactColumn, column.size() + 1), ' ');
        return column;
    }

    // `literal` is shown as "literal" in a terminal.
    static std::string quoted(std::string_view text) {
        std::string result(text);
        std::replace(result.begin(), result.end(), '`', '"');
        return result;
    }
    static std::string unquoted(std::string_view text) {
        std::string result(text);
        std::erase(result, '`');
        return result;
    }

    // Words separated by single blanks; a quoted literal is never split.
    void wrap(const std::string& text, const std::string& first, const std::string& rest) {
        std::vector<std::string> words;
        bool in_literal = false;
        for (const char ch : text) {
            if (ch == ' ' && !in_literal) {
                words.emplace_back();
                continue;
            }
            if (words.empty()) {
                words.emplace_back();
            }
            words.back() += ch;
            if (ch == '"') {
                in_literal = !in_literal;
            }
        }
        std::string line = first;
        bool line_empty = true;
        for (const auto& word : words) {
            if (!line_empty && line.size() + 1 + word.size() > kWidth) {
                out_ += line + '\n';
                line = rest;
                line_empty = true;
            }
            line += (line_empty ? "" : " ") + word;
            line_empty = false;
        }
        out_ += line + '\n';
    }
};

class MarkdownWriter : public Writer {
  public:
    void title(std::string_view text) override {
        begin(Block::heading);
        out_ += "# " + std::string(text) + '\n';
    }
    void heading(std::string_view text) override {
        begin(Block::heading);
        out_ += "## " + std::string(text) + '\n';
    }
    void record_heading(std::string_view text) override {
        begin(Block::record);
        out_ += "### " + std::string(text) + '\n';
    }
    void paragraph(std::string_view text) override {
        begin(Block::paragraph);
        out_ += with_faults(text) + '\n';
    }
    void bullet(std::string_view text) override {
        begin(Block::bullet);
        out_ += "- " + with_faults(text) + '\n';
    }
    void fact(std::string_view label, std::string_view text) override {
        begin(Block::fact);
        out_ += "- **" + std::string(label) + ":** " + with_faults(text) + '\n';
    }
    void example(std::string_view line) override {
        begin(Block::paragraph);
        out_ += "```\n" + std::string(line) + "\n```\n";
    }
    void values(std::span<const ValueDescription> values) override {
        begin(Block::values);
        out_ += "| # | value | unit | width | values | meaning |\n";
        out_ += "|---|---|---|---|---|---|\n";
        int number = 0;
        for (const auto& value : values) {
            out_ += "| " + std::to_string(++number) + " | " + cell(value.name) + " | " +
                    cell(value.unit) + " | " + std::string(width_name(value.width)) + " | " +
                    values_taken(value) + " | " + cell(with_faults(value.meaning)) + " |\n";
        }
    }

  private:
    static std::string cell(std::string_view text) {
        std::string result;
        for (const char ch : text) {
            if (ch == '|') {
                result += '\\';
            }
            result += ch;
        }
        return result;
    }
};

// The section headers of a built-in text, in its order.
std::string section_headers(std::span<const std::string_view> lines) {
    std::string list;
    for (const auto line : lines) {
        if (line.starts_with('[')) {
            list += (list.empty() ? "`" : ", `") + std::string(line) + "`";
        }
    }
    return list;
}

std::string recognition(const RecordDescription& record) {
    std::vector<std::string_view> words;
    for (const auto word : record.words) {
        if (!word.empty()) {
            words.push_back(word);
        }
    }
    std::string text = "when the keyword field contains ";
    text += words.size() == 1
                ? "`" + std::string(words[0]) + "`"
                : "both `" + std::string(words[0]) + "` and `" + std::string(words[1]) + "`";
    text += record.match == KeywordMatch::any_case ? ", in any case" : ", exactly as written";
    if (!record.keyword_note.empty()) {
        text += "; " + std::string(record.keyword_note);
    }
    return text;
}

std::string_view scope_text(RecordScope scope) {
    switch (scope) {
        case RecordScope::general_section:
            return "read only inside the general section";
        case RecordScope::record_sections:
            return "read only after the general section";
        case RecordScope::after_general:
            break;
    }
    return "read anywhere after `[generale]`";
}

void write_record(Writer& w, const RecordDescription& record) {
    w.record_heading(std::string(record.kind) + ": `" + std::string(record.keyword) + "`");
    w.paragraph(sentence(record.meaning));
    w.fact("section",
           "`" + std::string(record.section) + "`, " + std::string(scope_text(record.scope)));
    w.fact("recognised", recognition(record));
    if (record.bound_margin > 0) {
        w.fact("bound check", "position + " + std::to_string(record.bound_margin));
    }
    w.fact("order", record.order);
    w.example(record.example);
    w.values(record.values);
}

// The bound check: the margin most kinds take, and the kinds that take another.
std::string bound_check_rule() {
    std::map<std::int32_t, std::vector<std::string_view>> kinds_by_margin;
    for (const auto& record : kRecordDescriptions) {
        if (record.bound_margin > 0) {
            kinds_by_margin[record.bound_margin].push_back(record.kind);
        }
    }
    const auto common = std::max_element(
        kinds_by_margin.begin(), kinds_by_margin.end(),
        [](const auto& a, const auto& b) { return a.second.size() < b.second.size(); });
    std::string others;
    for (const auto& [margin, kinds] : kinds_by_margin) {
        if (margin == common->first) {
            continue;
        }
        for (const auto kind : kinds) {
            others += "; for a " + std::string(kind) + ", " + std::to_string(margin) + " m";
        }
    }
    // The built-in route, for the worked example.
    constexpr std::int64_t route = 98000;
    constexpr std::int64_t last_cell = (route + compiler::kRunOut) / compiler::kCellLength;
    const std::int64_t last_read = compiler::kCellLength * last_cell - common->first;
    return "Bound check: a record whose first value is a position is refused when its position "
           "and a margin lie beyond the last cell, that is when (position + margin) / " +
           std::to_string(compiler::kCellLength) + " is above N. The margin is " +
           std::to_string(common->first) + " m" + others +
           ". A refused record is {record_near_route_end} at its position, and the reading of its "
           "text ends there; after a refusal in the line description the train service text is "
           "still read. On a route of " +
           std::to_string(route) + " m, N is " + std::to_string(last_cell) + ": a signal at " +
           std::to_string(last_read) + " is read, one at " +
           std::to_string(last_read + compiler::kCellLength) + " is refused.";
}

// How positions fall into cells, in the cell length the packer keeps to.
std::string cells_rule() {
    static_assert(compiler::kCellLength % 2 == 0, "the example needs positions halfway");
    const std::string cell = std::to_string(compiler::kCellLength);
    return "The route is cut into cells of " + cell + " m. A position falls in cell position / " +
           cell + ", rounded to the nearest cell, a half to the even one (" +
           std::to_string(compiler::kCellLength * 3 / 2) + " and " +
           std::to_string(compiler::kCellLength * 5 / 2) +
           " both give cell 2): keep positions on multiples of " + cell +
           ". Signals, boards and the cells of a slowdown stand on the cell after their position, "
           "position / " +
           cell + " + 1.";
}

std::string run_out_rule() {
    const std::string run_out = std::to_string(compiler::kRunOut);
    return "The cells cover the route and a run-out of " + run_out +
           " m: the last cell, N, is (route length + " + run_out + ") / " +
           std::to_string(compiler::kCellLength) + ", rounded as above.";
}

std::string widths_rule() {
    std::string text = "Each value is read into a field of a fixed width: ";
    for (const auto width : {ValueWidth::int32, ValueWidth::int16, ValueWidth::uint8}) {
        const auto range = compiler::width_range(width);
        text += std::string(width_name(width)) + " (" + range_text(range->lowest, range->highest) +
                (width == ValueWidth::uint8 ? "). " : "), ");
    }
    return text +
           "A value beyond its width, a number field that is not a number, or a record cut short "
           "by the end of the text is {reading_failure}, and the reading stops there. Some values "
           "are narrower still: each kind below gives the values each of its fields takes.";
}

void write_reference(Writer& w) {
    w.title("The line and train texts");
    w.paragraph(
        "`scenario-tool compile` reads two texts of yours: the line description (`--line`, named "
        "`<title>_linea.txt` by the builder) and the train service text (`--train`, "
        "`<title>_<code>-.txt`). `scenario-tool sources DIR` writes the built-in ones to start "
        "from. This reference gives the rules both texts share, then every record kind of each: "
        "how its keyword is recognised, where it stands, its values and an example line. "
        "`scenario-tool help format` shows it in a terminal; `scenario-tool help format "
        "--markdown` makes the page `docs/text-format.md`.");

    w.heading("Fields and values");
    w.bullet(
        "The texts are Windows-1252 text, one record to a line; every line ends with CR LF (a lone "
        "LF, as Linux editors leave it, is read as well).");
    w.bullet(
        "A record is a keyword field followed by its values, each after a comma: `pendenza,  "
        "8450,   29`. No comma follows the last value.");
    w.bullet(
        "Blanks at the start of a field are skipped: the runs of blanks after the commas of the "
        "built-in texts only line the columns up.");
    w.bullet(
        "A number is a whole decimal number, with a minus sign directly before its digits when "
        "negative. A number also ends at a blank, so numbers separated by blanks alone are "
        "separate values, as on the clock line.");
    w.bullet("An empty value, nothing but blanks before its comma (`,  ,`), is 0.");
    w.bullet(
        "A text field (the keyword, a sign board's text, a station's name) runs from its first "
        "non-blank character to the next comma or the end of the line: it may hold blanks, never "
        "a comma.");
    w.bullet(widths_rule());
    w.bullet(
        "Values are read field after field across line ends: a record that lacks a value takes "
        "it from the next line, and the records after it go astray. Give every record all its "
        "values.");

    w.heading("Keywords and sections");
    w.bullet(
        "A record is recognised by words its keyword field contains, anywhere in the field: "
        "`numero vetture` is recognised by `vetture`, and so would be `VETTURE DEL TRENO`. Most "
        "words match in any case (Windows-1252 letters); a few words of the general section of "
        "the line description match only exactly as written, as their kinds say below.");
    w.bullet(
        "A reader tests every keyword field for its kinds in the order given below, and a field "
        "that passes the tests of several kinds is read by each in turn: keep to the keywords of "
        "the built-in texts.");
    w.bullet(
        "A keyword field that passes no test is passed over, and the field after it is tested as "
        "a keyword: the values of a misspelt line are taken one by one for keywords, which "
        "normally match nothing, so the line is lost without a fault.");
    w.bullet(
        "A keyword field holding a dash (`-`) is taken for a separator and the field after it is "
        "tested instead (up to ten in a row in the general section of the line description, two "
        "elsewhere): no keyword may hold a dash.");
    w.bullet(
        "Each text is read from its first field that contains `[generale]`; everything before it "
        "is ignored. A line description without one is {no_general_section}; in a train service "
        "text without one no record is read.");
    w.bullet(
        "In the line description the general section ends at the first field after `[generale]` "
        "that holds both `[` and `]` and does not start with a dash. Its kinds are recognised only "
        "inside it, the other kinds only after it. In the train service text every kind is "
        "recognised anywhere after `[generale]`. The other section headers hold none of the "
        "keywords and are there for the reader's eye: write them as the built-in texts do.");
    w.bullet(
        "Reading stops when a keyword field just read is the last field of the text, and that "
        "field is not acted upon: end each text with the `[fine]` line, as the built-in texts "
        "do.");

    w.heading("Positions and cells");
    w.bullet(
        "Positions and lengths are whole metres along the route from its start, position 0, in "
        "the direction of travel. Both texts use the same positions.");
    w.bullet(cells_rule());
    w.bullet(run_out_rule());
    w.bullet(bound_check_rule());

    w.heading("Order");
    w.bullet(
        "The records of a kind with positions come in ascending order of position: gradients, "
        "speed limits and adhesion fill the cells from the start onwards and cannot go back, and "
        "each station is checked against the one before it. Keep the other kinds in order too, "
        "as the built-in texts do.");
    w.bullet(
        "The lines of the general sections come once each, as the built-in texts have them. Each "
        "kind below says how many records it may have and in what order.");

    w.heading("The line description");
    w.paragraph("Sections of the built-in text, in order: " +
                section_headers(sources::line_description_lines()) +
                ". The kinds, in the order the reader tests them:");
    for (const auto& record : kRecordDescriptions) {
        if (record.text == SourceTextKind::line_text) {
            write_record(w, record);
        }
    }

    w.heading("The train service text");
    w.paragraph("Sections of the built-in text, in order: " +
                section_headers(sources::train_service_lines()) +
                ". The kinds, in the order the reader tests them:");
    for (const auto& record : kRecordDescriptions) {
        if (record.text == SourceTextKind::train_text) {
            write_record(w, record);
        }
    }

    w.heading("What the build does to what you write");
    w.paragraph(
        "Some values are not stored as written. Each place where the build drops, clips, rounds, "
        "re-reads or overrides a value is told by `scenario-tool check` as the warning named "
        "here (`-Wno-NAME` silences it; `scenario-tool explain NAME` tells more):");
    for (const auto& entry : compiler::warning_entries()) {
        if (!entry.concerns.empty() && entry.severity == compiler::Severity::warning) {
            w.bullet(std::string(entry.concerns) + ": " + std::string(entry.meaning) + " (`-W" +
                     std::string(entry.name) + "`).");
        }
    }
    w.paragraph("And these the build does by design, without a warning:");
    w.bullet(
        "kilometric range: the kilometric value of a range whose sense is 1 is stored 100 more "
        "than written, and the ranges are sorted by start.");
    w.bullet(
        "mountain span: a span that begins at most 150 m after the end of the one before is "
        "given kind 3.");
    w.bullet("code point: a code of 0 or less cancels a code point (cell kind 13).");
    w.paragraph("Warnings about a text as a whole:");
    for (const auto& entry : compiler::warning_entries()) {
        if (entry.concerns.empty() && entry.severity == compiler::Severity::warning) {
            w.bullet(std::string(entry.meaning) + " (`-W" + std::string(entry.name) + "`).");
        }
    }

    w.heading("Errors");
    w.paragraph(
        "The faults the build records, by number; `scenario-tool explain N` tells the cause and "
        "the mend of each:");
    for (const auto& entry : compiler::fault_entries()) {
        w.bullet(std::to_string(entry.number()) + " (`" + std::string(entry.name) +
                 "`): " + std::string(entry.meaning) + ".");
    }
}

}  // namespace

std::string format_reference(ReferenceStyle style) {
    if (style == ReferenceStyle::markdown) {
        MarkdownWriter writer;
        write_reference(writer);
        return writer.take();
    }
    PlainWriter writer;
    write_reference(writer);
    return writer.take();
}

}  // namespace scenario::tool
