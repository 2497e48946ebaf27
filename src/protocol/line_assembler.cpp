#include "protocol/line_assembler.h"

namespace tvx {

void LineAssembler::feed(std::string_view bytes, const LineHandler& on_line) {
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, lf == std::string_view::npos ? bytes.size() : lf + 1);
        bytes.remove_prefix(piece.size());

        if (!discarding_) {
            if (buffer_.size() + piece.size() > limit_) {
                buffer_.clear();
                discarding_ = true;
            } else {
                buffer_.append(piece);
            }
        }
        if (lf == std::string_view::npos) return;
        if (discarding_) {
            discarding_ = false;
            continue;
        }
        std::string line;
        line.swap(buffer_);
        on_line(line);
    }
}

void LineAssembler::clear() {
    buffer_.clear();
    discarding_ = false;
}

}  // namespace tvx
