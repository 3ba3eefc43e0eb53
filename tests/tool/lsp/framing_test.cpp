#include "lsp/framing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario::tool::lsp {
namespace {

// What the reader makes of a stream given in pieces of every size: the bodies in order, and
// "!" for each stretch of bytes it skipped.
std::vector<std::string> frames_of(const std::string& stream, std::size_t piece) {
    FrameReader reader;
    std::vector<std::string> out;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        reader.receive(std::string_view(stream).substr(at, piece));
        while (auto f = reader.next()) {
            out.push_back(f->kind == Frame::Kind::message ? f->body : "!");
        }
    }
    return out;
}

TEST(Framing, CutsMessagesWhateverPiecesTheyArriveIn) {
    struct Case {
        const char* name;
        std::string stream;
        std::vector<std::string> frames;
    };
    const Case cases[] = {
        {"two joined", frame("{\"a\":1}") + frame("{}"), {"{\"a\":1}", "{}"}},
        {"other headers, any case",
         "Content-Type: application/vscode-jsonrpc; charset=utf-8\r\ncontent-length: 2\r\n\r\n{}",
         {"{}"}},
        {"LF alone", "Content-Length: 2\n\n[]", {"[]"}},
        {"garbage before a header", "hello there" + frame("{}"), {"!", "{}"}},
        {"a header that is not a number", "Content-Length: ten\r\n\r\n" + frame("1"), {"!", "1"}},
        {"headers without a length", "X-Y: 1\r\n\r\n" + frame("2"), {"!", "2"}},
        {"an empty message", frame(""), {""}},
        {"a body with blank lines", frame("a\r\n\r\nb"), {"a\r\n\r\nb"}},
        {"a blank line of LF and CR LF", "Content-Length: 1\n\r\n1" + frame("2"), {"1", "2"}},
        {"lines past 64 KiB without a blank one",
         [] {
             std::string lines;
             while (lines.size() < 70'000) {
                 lines += "x\n";
             }
             return lines;
         }() +
             frame("{}"),
         {"!", "!", "{}"}},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece :
             {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4096}}) {
            EXPECT_EQ(frames_of(c.stream, piece), c.frames) << c.name << ", pieces of " << piece;
        }
    }
}

TEST(Framing, RefusesAMessageTooLargeWithoutKeepingIt) {
    FrameReader reader;
    reader.receive("Content-Length: " + std::to_string(kLargestMessage + 1) + "\r\n\r\n");
    const std::string mebibyte(1 << 20, 'x');
    auto first = reader.next();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->kind, Frame::Kind::too_large);
    for (std::size_t sent = 0; sent <= kLargestMessage; sent += mebibyte.size()) {
        reader.receive(mebibyte.substr(0, std::min(mebibyte.size(), kLargestMessage + 1 - sent)));
        EXPECT_LT(reader.pending(), 64u * 1024);
        EXPECT_FALSE(reader.next());
    }
    reader.receive(frame("{}"));
    const auto next = reader.next();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->body, "{}");
}

TEST(Framing, WaitsForARunOfBytesWithoutAHeaderEnd) {
    FrameReader reader;
    reader.receive("Content-Length: 5\r\n");
    EXPECT_FALSE(reader.next());
    reader.receive("\r\nabc");
    EXPECT_FALSE(reader.next());
    reader.receive("de");
    const auto f = reader.next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->body, "abcde");
    EXPECT_EQ(reader.pending(), 0u);
}

}  // namespace
}  // namespace scenario::tool::lsp
