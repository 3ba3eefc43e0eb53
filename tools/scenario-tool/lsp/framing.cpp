#include "lsp/framing.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace scenario::tool::lsp {

namespace {

constexpr std::string_view kLengthHeader = "content-length";
// Headers longer than this are no headers of ours: the bytes are skipped.
constexpr std::size_t kLongestHeaders = 64 * 1024;

bool same_letters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Where the blank line that ends the headers starts, and where the content starts after it.
struct HeaderEnd {
    std::size_t blank = 0;
    std::size_t content = 0;
};

// Searched from `from` on: the bytes before it are known to hold no header end.
std::optional<HeaderEnd> find_header_end(std::string_view bytes, std::size_t from) {
    for (std::size_t at = bytes.find('\n', from); at != std::string_view::npos;
         at = bytes.find('\n', at + 1)) {
        std::size_t next = at + 1;
        if (next < bytes.size() && bytes[next] == '\r') {
            ++next;
        }
        if (next < bytes.size() && bytes[next] == '\n') {
            return HeaderEnd{at, next + 1};
        }
    }
    return std::nullopt;
}

// The content length named by the headers, or nothing when they are not headers.
std::optional<std::uint64_t> content_length(std::string_view headers, std::string& problem) {
    std::optional<std::uint64_t> length;
    while (!headers.empty()) {
        const auto end = headers.find('\n');
        const auto line = trimmed(headers.substr(0, end));
        headers.remove_prefix(end == std::string_view::npos ? headers.size() : end + 1);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) {
            problem = "a header line without a name and a colon";
            return std::nullopt;
        }
        if (!same_letters(trimmed(line.substr(0, colon)), kLengthHeader)) {
            continue;  // Content-Type and any other header: nothing to act on
        }
        const auto digits = trimmed(line.substr(colon + 1));
        if (digits.empty() || digits.size() > 15 ||
            digits.find_first_not_of("0123456789") != std::string_view::npos) {
            problem = "a Content-Length that is not a number of bytes";
            return std::nullopt;
        }
        std::uint64_t value = 0;
        for (const char c : digits) {
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        }
        length = value;
    }
    if (!length) {
        problem = "headers without a Content-Length";
    }
    return length;
}

std::size_t find_length_header(std::string_view bytes, std::size_t from) {
    for (std::size_t at = from; at + kLengthHeader.size() <= bytes.size(); ++at) {
        if (same_letters(bytes.substr(at, kLengthHeader.size()), kLengthHeader)) {
            return at;
        }
    }
    return std::string_view::npos;
}

}  // namespace

void FrameReader::receive(std::string_view bytes) {
    if (skipping_ > 0) {
        const auto dropped = std::min(skipping_, bytes.size());
        skipping_ -= dropped;
        bytes.remove_prefix(dropped);
    }
    buffer_.append(bytes);
}

void FrameReader::consume_to(std::size_t start) {
    start_ = start;
    searched_ = 0;
    content_.reset();
}

void FrameReader::compact() {
    if (start_ > 0 && (start_ >= buffer_.size() / 2 || start_ > kLongestHeaders)) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
}

bool FrameReader::resynchronise() {
    const std::string_view bytes(buffer_);
    const auto at = find_length_header(bytes, start_ + 1);
    if (at != std::string_view::npos) {
        consume_to(at);
        return true;
    }
    // Keep only a tail that may be the start of a header still arriving.
    std::size_t keep = std::min(pending() - 1, kLengthHeader.size() - 1);
    while (keep > 0 &&
           !same_letters(bytes.substr(bytes.size() - keep), kLengthHeader.substr(0, keep))) {
        --keep;
    }
    consume_to(buffer_.size() - keep);
    compact();
    return false;
}

std::optional<Frame> FrameReader::next() {
    if (skipping_ > 0) {
        return std::nullopt;
    }
    const std::string_view bytes = std::string_view(buffer_).substr(start_);
    if (bytes.empty()) {
        compact();
        return std::nullopt;
    }
    // Each byte is looked at once however small the pieces: the headers are searched from where
    // the last search stopped, and read once, while the content is still arriving.
    if (!content_) {
        const auto end = find_header_end(bytes, searched_);
        if (!end) {
            // A newline among the last two bytes may begin the blank line still arriving.
            searched_ = bytes.size() < 2 ? 0 : bytes.size() - 2;
            if (bytes.size() <= kLongestHeaders) {
                return std::nullopt;
            }
            resynchronise();
            return Frame{Frame::Kind::bad_header, {}, "no end of the headers in 64 KiB"};
        }
        std::string problem;
        const auto length = content_length(bytes.substr(0, end->blank), problem);
        if (!length) {
            resynchronise();
            return Frame{Frame::Kind::bad_header, {}, problem};
        }
        if (*length > kLargestMessage) {
            const std::size_t have = bytes.size() - end->content;
            consume_to(start_ + end->content + std::min<std::uint64_t>(*length, have));
            skipping_ = static_cast<std::size_t>(*length - std::min<std::uint64_t>(*length, have));
            compact();
            return Frame{
                Frame::Kind::too_large, {}, "a message of " + std::to_string(*length) + " bytes"};
        }
        content_ = Content{end->content, static_cast<std::size_t>(*length)};
    }
    if (bytes.size() - content_->offset < content_->length) {
        return std::nullopt;
    }
    Frame frame{
        Frame::Kind::message, std::string(bytes.substr(content_->offset, content_->length)), {}};
    consume_to(start_ + content_->offset + content_->length);
    compact();
    return frame;
}

std::string frame(std::string_view body) {
    std::string framed = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    framed.append(body);
    return framed;
}

}  // namespace scenario::tool::lsp
