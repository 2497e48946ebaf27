#include "cli/console.h"

#include <algorithm>

namespace tvx {

std::string terminal_text(std::string_view text, bool keep_line_breaks) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool control = byte < 0x20 || byte == 0x7F;
        if (!control || (keep_line_breaks && (c == '\n' || c == '\t'))) {
            out += c;
            continue;
        }
        out += '<';
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
        out += '>';
    }
    return out;
}

void Console::message(std::string_view text) {
    erase_block();
    out_ << terminal_text(text, true) << '\n';
    draw_block();
    out_.flush();
}

void Console::show_progress(const std::vector<std::string>& lines) {
    if (!terminal_) return;
    erase_block();
    block_ = lines;
    // The redraw moves the cursor up by the block's rows: a row that wraps, or a block that scrolls off the
    // top, would throw it off.
    const auto most_rows = static_cast<std::size_t>(std::max(2, rows_ - 2));
    if (block_.size() > most_rows) {
        const std::size_t hidden = block_.size() - (most_rows - 1);
        block_.resize(most_rows - 1);
        block_.push_back("... and " + std::to_string(hidden) + " more");
    }
    const auto width = static_cast<std::size_t>(std::max(20, columns_ - 1));
    for (std::string& line : block_) {
        if (line.size() > width) line.resize(width);
    }
    draw_block();
    out_.flush();
}

void Console::end_progress() {
    // The block stays on the screen as it was last drawn.
    block_.clear();
    drawn_ = false;
}

std::string Console::progress_line(std::string_view label, int percent, std::string_view note, int width) {
    const int shown = std::clamp(percent, 0, 100);
    const int filled = shown * width / 100;
    std::string line(label);
    line += " [";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(width - filled), ' ');
    line += "] ";
    const std::string number = std::to_string(shown);
    line.append(3 - std::min<std::size_t>(3, number.size()), ' ');
    line += number;
    line += '%';
    if (!note.empty()) {
        line += "  ";
        line += note;
    }
    return line;
}

void Console::erase_block() {
    if (!drawn_ || block_.empty()) return;
    // Up to the block's first line, then clear to the end of the screen.
    out_ << "\x1b[" << block_.size() << "A\r\x1b[J";
    drawn_ = false;
}

void Console::draw_block() {
    if (!terminal_ || block_.empty()) return;
    for (const std::string& line : block_) out_ << "\r\x1b[K" << line << '\n';
    drawn_ = true;
}

}  // namespace tvx
