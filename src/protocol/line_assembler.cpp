#include "protocol/line_assembler.h"

namespace tvx {

void assemble_lines(LineBuffer& buffer, std::size_t limit, std::string_view bytes, const LineHandler& on_line,
                    const DropHandler& on_dropped) {
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, lf == std::string_view::npos ? bytes.size() : lf + 1);
        bytes.remove_prefix(piece.size());

        if (!buffer.discarding) {
            if (buffer.text.size() + piece.size() > limit) {
                buffer.text.clear();
                buffer.discarding = true;
            } else {
                buffer.text.append(piece);
            }
        }
        if (lf == std::string_view::npos) return;
        if (buffer.discarding) {
            buffer.discarding = false;
            if (on_dropped) on_dropped();
            continue;
        }
        std::string line;
        line.swap(buffer.text);
        on_line(line);
    }
}

}  // namespace tvx
