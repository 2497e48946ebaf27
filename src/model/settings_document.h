#pragma once

#include <optional>
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

// Why a document was refused by read_document_strict: the 1-based line and what is wrong there.
struct DocumentProblem {
    int line = 0;
    std::string what;
};

// The reading for unattended work: the document must be whole. Every value of the layout must be there,
// every number a number within its field's range, every title within a title buffer, and nothing but
// white space may follow the last value. The hold time is text and is read as read_document reads it.
// On a refusal the model is unchanged; otherwise it holds the document and data_modified is 0.
std::optional<DocumentProblem> read_document_strict(SettingsModel& model, std::string_view bytes);

// Title bytes as the document stores them on one line, and back. A line break (the cell CR LF) and the
// glyph cells whose low byte is CR or LF are stored as cells that no typed or received title contains,
// so every title keeps its line and comes back unchanged.
std::string title_to_document_line(std::string_view title);
std::string title_from_document_line(std::string_view line);

}  // namespace tvx
