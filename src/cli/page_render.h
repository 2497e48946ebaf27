#pragma once

#include <optional>
#include <string>

#include "cli/console.h"

namespace tvx {

// render: the monitor preview of a settings document's pages as PNG images of the picture's size, glyph
// cells drawn from the bank files of the document's name beside it (FILE.tll, FILE.tlm, FILE.tls) where
// there are such files.
// page (1..64) writes that page to output; no page writes every page into the folder output (made when
// missing), "page01.png" to "page64.png", and an index.html contact sheet of them. Every file is replaced
// whole or left as it was. Returns the exit status: 0, or 1 for a document that cannot be read, a page
// out of range, a bank file beside it that cannot be read whole, a file that cannot be written, or no
// graphics to draw with (said on the console).
int render_document(const std::string& input, std::optional<int> page, const std::string& output,
                    Console& console);

}  // namespace tvx
