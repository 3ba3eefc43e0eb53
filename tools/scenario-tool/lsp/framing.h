#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace scenario::tool::lsp {

// The largest message taken: the largest text (64 MiB) sent whole as JSON, escaped, with room to
// spare. A larger one is refused without being kept.
inline constexpr std::size_t kLargestMessage = std::size_t{96} << 20;

// What the framing found in the bytes received so far.
struct Frame {
    enum class Kind {
        message,    // `body` is one message's content
        too_large,  // a message above kLargestMessage: its bytes are skipped as they come
        bad_header  // bytes that are no header: skipped up to the next "Content-Length"
    };
    Kind kind = Kind::message;
    std::string body;
    std::string problem;  // what was wrong, for the log
};

// Cuts the byte stream of the base protocol into messages: headers ("Content-Length: N", other
// headers ignored), a blank line, N bytes of content. Bytes arrive in pieces of any size; a
// header that cannot be read is skipped to the next line that starts a Content-Length header, so
// that one broken message costs only itself.
class FrameReader {
  public:
    void receive(std::string_view bytes);
    // The next complete frame, or nothing until more bytes arrive.
    std::optional<Frame> next();
    // Bytes held for a message not yet complete.
    std::size_t pending() const { return buffer_.size() - start_; }

  private:
    // Where the content of the message whose headers are read lies, from start_.
    struct Content {
        std::size_t offset = 0;
        std::size_t length = 0;
    };

    // Consumes the bytes before `start`: what was learnt of them is forgotten.
    void consume_to(std::size_t start);
    void compact();
    // Drops bytes up to the next line that may start a header; false when none is in sight.
    bool resynchronise();

    std::string buffer_;
    std::size_t start_ = 0;     // the first byte not yet consumed
    std::size_t skipping_ = 0;  // bytes of a refused message still to drop
    std::size_t searched_ = 0;  // bytes from start_ on known to hold no end of the headers
    std::optional<Content> content_;
};

// A message's content with its header, as it goes out.
std::string frame(std::string_view body);

}  // namespace scenario::tool::lsp
