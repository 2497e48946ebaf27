#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tvx {

// Text from a unit or a file made safe for a terminal and for line- and tab-separated output: every
// control byte (and DEL) as <XX> in hex, so that a reply cannot move the cursor, retitle the window or
// split a line; keep_line_breaks leaves LF (and tab) alone for messages of several lines.
std::string terminal_text(std::string_view text, bool keep_line_breaks = false);

// The command-line tool's standard error: messages, and on a terminal a block of progress lines (one per
// unit) that is redrawn in place. A message printed while the block is shown goes above it, so the bars
// stay at the bottom. Everything reaches the stream as whole lines; nothing is drawn when the stream is
// not a terminal.
class Console {
  public:
    // columns and rows: the terminal's size, so that the block never wraps or outgrows the screen.
    Console(std::ostream& out, bool terminal, int columns = 80, int rows = 24)
        : out_(out), terminal_(terminal), columns_(columns), rows_(rows) {}

    bool terminal() const { return terminal_; }

    // One message line (without its line end).
    void message(std::string_view text);

    // Replaces the progress block with these lines; a terminal only. Lines are cut to the terminal's
    // width, and a block taller than the screen shows its first lines and how many more there are.
    void show_progress(const std::vector<std::string>& lines);
    // Leaves the last block where it is; later messages go below it.
    void end_progress();

    // "label [#########           ]  45%": a bar of width characters.
    static std::string progress_line(std::string_view label, int percent, std::string_view note,
                                     int width = 30);

  private:
    void erase_block();
    void draw_block();

    std::ostream& out_;
    bool terminal_;
    int columns_;
    int rows_;
    std::vector<std::string> block_;
    bool drawn_ = false;
};

}  // namespace tvx
