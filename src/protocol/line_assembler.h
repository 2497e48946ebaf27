#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "model/link_flags.h"

namespace tvx {

// Joins received bytes into lines ending in LF, however the bytes were split across reads, and hands
// over one line at a time, LF included. A line that grows past the limit is dropped up to and including
// its LF; on_dropped (when given) learns that a line came all the same. Every receiver of the tool uses
// this one routine: the serial link, the TCP reply handling and link, and the command-line channels.
using LineHandler = std::function<void(const std::string& line)>;
using DropHandler = std::function<void()>;

void assemble_lines(LineBuffer& buffer, std::size_t limit, std::string_view bytes, const LineHandler& on_line,
                    const DropHandler& on_dropped = {});

// A receiver's own line buffer with its limit.
class LineAssembler {
  public:
    explicit LineAssembler(std::size_t limit) : limit_(limit) {}

    void feed(std::string_view bytes, const LineHandler& on_line, const DropHandler& on_dropped = {}) {
        assemble_lines(buffer_, limit_, bytes, on_line, on_dropped);
    }
    void clear() { buffer_ = LineBuffer{}; }
    bool empty() const { return !buffer_.partial(); }
    std::size_t pending() const { return buffer_.text.size(); }
    // The line now arriving has grown past the limit and is being dropped up to its LF.
    bool discarding() const { return buffer_.discarding; }

  private:
    std::size_t limit_;
    LineBuffer buffer_;
};

}  // namespace tvx
