// A settings document as an operator may have edited it by hand: read into a model, the model must stay
// in its ranges, save as exactly the document's lines, and read back to the same model (saving what
// was opened loses nothing more). The strict reading of unattended work either refuses the document,
// naming a line and leaving the model as it was, or reads what the ordinary reading reads; so does the
// desktop's checked reading, which may also take a document that ends early as far as the ordinary
// reading takes it. Any bytes taken as one title, or as a hold time of three characters, keep to one
// line and come back unchanged.

#include "model/settings_document.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_support.h"

namespace {

using namespace tvx;
using tvx::fuzz::require;

void check_layout(const std::string& document) {
    require(static_cast<int>(std::count(document.begin(), document.end(), '\n')) == kDocumentLines,
            "a saved document has exactly its lines");
    std::size_t start = 0;
    while (start < document.size()) {
        const std::size_t lf = document.find('\n', start);
        require(lf != std::string::npos && lf > start && document[lf - 1] == '\r',
                "every line ends in CR LF");
        start = lf + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::as_text(data, size);

    SettingsModel model;
    model.pages[0].blink = 1;  // unsaved
    read_document(model, bytes);
    require(!data_modified(model), "what was read is the saved document");
    fuzz::check_model(model, kTitleMaxBytes);

    const std::string saved = write_document(model);
    check_layout(saved);
    SettingsModel reopened;
    read_document(reopened, saved);
    require(write_document(reopened) == saved, "a saved document reads back to the same settings");

    // Strict reading, into a model that differs from the defaults, so that a change shows.
    SettingsModel strict;
    strict.pages[7].title = "\x82\xa0";
    strict.pages[7].char_colour = kRed;
    const std::string before = write_document(strict);
    const std::optional<DocumentProblem> problem = read_document_strict(strict, bytes);
    if (problem) {
        require(problem->line >= 1 && !problem->what.empty(), "a refusal names a line and a reason");
        require(write_document(strict) == before && data_modified(strict),
                "a refused document leaves the model as it was");
    } else {
        fuzz::check_model(strict, kTitleMaxBytes);
        require(!data_modified(strict), "what strict reading read is the saved document");
        require(write_document(strict) == saved, "strict reading reads what the ordinary reading reads");
    }

    // The desktop's reading: refused (model as it was), whole (as strict), or ended early (as lenient).
    SettingsModel checked;
    checked.pages[7].title = "\x82\xa0";
    SettingsModel lenient_over_checked = checked;
    read_document(lenient_over_checked, bytes);
    const DocumentReading reading = read_document_checked(checked, bytes);
    if (reading.refused) {
        require(reading.refused->line >= 1 && !reading.refused->what.empty(), "a refusal names a line");
        require(reading.refused->fault != DocumentFault::kEnded || reading.refused->line == 1,
                "only a document without a value is refused for ending early");
        require(data_modified(checked) && checked.pages[7].title == "\x82\xa0",
                "a refused document leaves the model as it was");
    } else {
        require(!data_modified(checked), "what checked reading read is the saved document");
        require(write_document(checked) == write_document(lenient_over_checked),
                "checked reading reads what the ordinary reading reads");
        require((reading.read_to_line == 0) == !problem, "only a whole document is read without a notice");
    }

    // The bytes as one title, however odd: its document line holds no line break and comes back as a
    // title that saves to the same line.
    const std::string line = title_to_document_line(bytes.substr(0, kTitleMaxBytes));
    require(!line.empty(), "a title line is never empty");
    require(line.find('\n') == std::string::npos, "a title line holds no LF");
    require(line.back() != '\r', "a title line does not end in CR");
    require(title_to_document_line(title_from_document_line(line)) == line, "a title line reads back");
    require(title_from_document_line(line) == bytes.substr(0, kTitleMaxBytes),
            "a title comes back unchanged");

    // The first bytes as a hold time: one word of its own line, the same text back.
    std::string hold(bytes.substr(0, 6));
    SettingsModel holder;
    holder.alarm_hold_time = hold;
    SettingsModel held;
    read_document(held, write_document(holder));
    const std::string word = hold_time_to_document_line(hold);
    require(!word.empty() && word.find_first_of(" \t\r\n\f\v") == std::string::npos,
            "a hold time is one word");
    require(held.alarm_hold_time == hold_time_from_document_line(word), "a hold time reads as its line");
    require(hold.compare(0, held.alarm_hold_time.size(), held.alarm_hold_time) == 0,
            "a hold time keeps its start");
    require(hold.size() > 3 || held.alarm_hold_time == hold, "three bytes always come back unchanged");
    SettingsModel again = held;
    again.alarm_hold_time = hold;
    require(write_document(again) == write_document(holder), "a hold time never moves the values after it");
    return 0;
}
