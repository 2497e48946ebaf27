#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tvx {

// Joins received bytes into lines ending in LF, however the bytes were split across reads, and hands
// over one line at a time. A line that grows past the limit is dropped up to and including its LF.
class LineAssembler {
public:
    using LineHandler = std::function<void(const std::string& line)>;

    explicit LineAssembler(std::size_t limit) : limit_(limit) {}

    void feed(std::string_view bytes, const LineHandler& on_line);
    void clear();
    bool empty() const { return buffer_.empty() && !discarding_; }
    std::size_t pending() const { return buffer_.size(); }
    // The line now arriving has grown past the limit and is being dropped up to its LF.
    bool discarding() const { return discarding_; }

private:
    std::size_t limit_;
    std::string buffer_;
    bool discarding_ = false;
};

}  // namespace tvx
