#include "usage_form.h"

#include <algorithm>

namespace scenario::docgen {

namespace {

bool is_upper(char c) {
    return c >= 'A' && c <= 'Z';
}

// The words of a form without the brackets of optional parts and the dots of repeated ones.
std::vector<std::string> words_of(std::string_view form) {
    std::vector<std::string> words;
    std::string word;
    const auto flush = [&] {
        if (!word.empty() && word != "..." && word != "|") {
            words.push_back(word);
        }
        word.clear();
    };
    for (const char c : form) {
        if (c == ' ' || c == '[' || c == ']') {
            flush();
        } else {
            word += c;
        }
    }
    flush();
    return words;
}

// A word for a value: capitals (FILE, A..B, FILE.svg, N|NAME) or choices (scenario|cells|plan).
bool stands_for_value(std::string_view word) {
    return !word.empty() && word.front() != '-' &&
           (is_upper(word.front()) || word.find('|') != std::string_view::npos);
}

std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    while (true) {
        const auto end = text.find(separator);
        parts.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(end + 1);
    }
}

}  // namespace

UsageForm parse_usage_form(std::string_view form) {
    UsageForm parsed;
    const auto words = words_of(form);
    std::size_t i = 0;
    for (; i < words.size() && !words[i].starts_with("-") && !stands_for_value(words[i]); ++i) {
        parsed.command.push_back(words[i]);
    }
    for (; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (!word.starts_with("-")) {
            parsed.positionals.push_back(word);
            continue;
        }
        UsageOption option;
        if (const auto equals = word.find('='); equals != std::string::npos) {
            option = {word.substr(0, equals), UsageOption::equals, word.substr(equals + 1)};
        } else if (!word.starts_with("--")) {
            // -Wno-NAME: the value is the trailing capitals, joined to the name.
            auto start = word.size();
            while (start > 1 && is_upper(word[start - 1])) {
                --start;
            }
            option =
                start < word.size() && word[start - 1] == '-'
                    ? UsageOption{word.substr(0, start), UsageOption::joined, word.substr(start)}
                    : UsageOption{word, UsageOption::flag, ""};
        } else if (i + 1 < words.size() && stands_for_value(words[i + 1])) {
            option = {word, UsageOption::separate, words[i + 1]};
            ++i;
        } else {
            option = {word, UsageOption::flag, ""};
        }
        parsed.options.push_back(std::move(option));
    }
    return parsed;
}

ValueKind value_kind(std::string_view word) {
    ValueKind kind;
    if (word.find('|') != std::string_view::npos &&
        std::none_of(word.begin(), word.end(), [](char c) { return is_upper(c); })) {
        kind.kind = ValueKind::choice;
        kind.choices = split(word, '|');
    } else if (word.starts_with("DIR")) {
        kind.kind = ValueKind::directory;
    } else if (word.starts_with("FILE")) {
        kind.kind = ValueKind::file;
        if (word.starts_with("FILE.")) {
            kind.extension = word.substr(5);
        }
    }
    return kind;
}

}  // namespace scenario::docgen
