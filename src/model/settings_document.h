#pragma once

#include <string>
#include <string_view>

#include "model/settings_model.h"

namespace tvx {

inline constexpr int kDocumentLines = 2960;

// The saved part of the model as the settings document's 2960 CR LF lines.
std::string write_document(const SettingsModel& model);

// Reads a settings document into the model. A file that ends early, or a line that is not a number,
// leaves the fields after it as they were. A number outside its field's range gives the field's default.
// Titles longer than a title buffer keep their first whole characters; the rest of the line is dropped.
void read_document(SettingsModel& model, std::string_view bytes);

// Title bytes as the document stores them on one line, and back. A line break (the cell CR LF) and the
// glyph cells whose low byte is CR or LF are stored as cells that no typed or received title contains,
// so every title keeps its line and comes back unchanged.
std::string title_to_document_line(std::string_view title);
std::string title_from_document_line(std::string_view line);

}  // namespace tvx
