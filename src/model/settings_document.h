#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/settings_model.h"

namespace tvx {

inline constexpr int kDocumentLines = 2960;

// The saved part of the model as the settings document's 2960 CR LF lines.
std::string write_document(const SettingsModel& model);

// Whether the document has unsaved changes: what a save would write differs from what the last New,
// Open or save left (the model's saved_document). Changing a value back is no change.
bool data_modified(const SettingsModel& model);
// Takes the model as it stands as the saved document: after New, Open and every successful save.
void mark_document_saved(SettingsModel& model);

// Reads a settings document into the model. A file that ends early, or a line that is not a number,
// leaves the fields after it as they were. A number outside its field's range gives the field's default.
// Titles longer than a title buffer keep their first whole characters; the rest of the line is dropped.
// The hold time is text and is read by its line (the line after the alarm display's value), so a blank
// or empty hold time written by an earlier build does not take the place of the values after it.
void read_document(SettingsModel& model, std::string_view bytes);

enum class DocumentFault {
    kEnded,         // the document ends before this line
    kNotANumber,    // a number's place holds something else
    kOutOfRange,    // a number outside its field's range
    kTitleTooLong,  // a title longer than a title buffer
    kExtraValues,   // more values than the layout holds
};

// Why a document was refused: the 1-based line and what is wrong there (in English, for the command-line
// tool's messages; the desktop tool words it from fault).
struct DocumentProblem {
    int line = 0;
    std::string what;
    DocumentFault fault = DocumentFault::kEnded;
};

// The reading for unattended work: the document must be whole. Every value of the layout must be there,
// every number a number within its field's range, every title within a title buffer, and nothing but
// white space may follow the last value. The hold time is text and is read as read_document reads it.
// On a refusal the model is unchanged; otherwise it holds the document, which is then the saved one.
std::optional<DocumentProblem> read_document_strict(SettingsModel& model, std::string_view bytes);

// The reading of the desktop tool's Open and comparison: as strict as read_document_strict, except that
// a document that ends early is taken as far as it goes and the fields after it keep their values. A
// file without a single value is refused.
struct DocumentReading {
    std::optional<DocumentProblem> refused;  // set: the model is unchanged
    int read_to_line = 0;                    // the document ended early after this line; 0 when whole
};
DocumentReading read_document_checked(SettingsModel& model, std::string_view bytes);

// Title bytes as the document stores them on one line, and back. Every title comes back unchanged but
// one: a line break (the cell CR LF), the glyph cells whose low byte is CR or LF and any other CR or LF
// are stored as escapes that no typed or received title contains; the title of the letter s alone is
// stored as "s" and so comes back as the empty title, as the document format has it.
std::string title_to_document_line(std::string_view title);
std::string title_from_document_line(std::string_view line);

// The hold time's text as one word of its own line, and back (at most three characters).
std::string hold_time_to_document_line(std::string_view text);
std::string hold_time_from_document_line(std::string_view line);

}  // namespace tvx
