#include "model/settings_document.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <vector>

namespace tvx {
namespace {

constexpr char kEmptyTitle[] = "s";

// A title line holds no line break, and "s" alone stands for the empty title. Whatever else a title holds
// is still stored: the bytes that would break the line or be misread are written as a two-byte escape,
// the byte 0x0E and one of the marks below. No Shift JIS character and no glyph cell starts with 0x0E.
// A title of the letter s alone is written as "s", as every reader of these documents reads it: as the
// empty title. Such a title never reaches a unit (a half-width letter is refused), and an escape in
// its place would be read elsewhere as a two-byte title that is then refused.
constexpr unsigned char kEscapeLead = 0x0E;
// Cells that hold CR or LF, in the order of their mark 0x40 + index.
constexpr std::array<std::uint16_t, 9> kLineBreakCells{0x0D0A, 0x100A, 0x100D, 0x110A, 0x110D,
                                                       0x120A, 0x120D, 0x130A, 0x130D};
constexpr unsigned char kLoneCr = 0x49;      // a CR outside those cells
constexpr unsigned char kLoneLf = 0x4A;      // an LF outside those cells
constexpr unsigned char kEscapeByte = 0x4B;  // the byte 0x0E itself
constexpr unsigned char kLetterS = 0x4C;     // the letter s alone, as earlier builds wrote it; read only
constexpr unsigned char kLoneLead = 0x4D;    // followed by a lead byte that has no second byte of its own

bool is_double_byte_lead(unsigned char c) {
    // Shift JIS lead bytes, and the control range where glyph cells and line breaks start.
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC) || c < 0x20;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view trimmed(std::string_view word) {
    while (!word.empty() && is_blank(word.front())) word.remove_prefix(1);
    while (!word.empty() && is_blank(word.back())) word.remove_suffix(1);
    return word;
}

// Takes a document apart: whole lines (the head and the titles), words (the numbers, which white space
// and blank lines separate) and the hold time's text, which is read by its line.
class LineReader {
  public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}

    bool next(std::string_view& line) {
        if (rest_.empty()) return false;
        line_ = breaks_ + 1;
        line = take_line();
        return true;
    }

    bool word(std::string_view& out) {
        std::size_t i = 0;
        while (i < rest_.size() && is_blank(rest_[i])) {
            if (rest_[i] == '\n') ++breaks_;
            ++i;
        }
        if (i == rest_.size()) {
            rest_ = {};
            return false;
        }
        std::size_t j = i;
        while (j < rest_.size() && !is_blank(rest_[j])) ++j;
        out = rest_.substr(i, j - i);
        rest_.remove_prefix(j);
        line_ = breaks_ + 1;
        return true;
    }

    // Text after the last word: what else its line holds, or, when that is blank, the whole next line,
    // blank or empty as it may be. So a text never takes the place of the values after it.
    bool text(std::string_view& out) {
        const std::size_t lf = rest_.find('\n');
        const std::string_view tail = trimmed(rest_.substr(0, lf));
        if (!tail.empty()) {
            line_ = breaks_ + 1;
            take_line();
            out = tail;
            return true;
        }
        if (lf == std::string_view::npos) {
            rest_ = {};
            return false;
        }
        take_line();
        return next(out);
    }

    // The 1-based line of what was taken last; the line after everything taken once the reading ended.
    int line() const { return line_; }
    int next_line() const { return breaks_ + 1; }

  private:
    std::string_view take_line() {
        const std::size_t lf = rest_.find('\n');
        std::string_view line = rest_.substr(0, lf);
        if (lf == std::string_view::npos) {
            rest_ = {};
        } else {
            rest_.remove_prefix(lf + 1);
            ++breaks_;
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

    std::string_view rest_;
    int breaks_ = 0;  // line feeds taken
    int line_ = 0;
};

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The hold time field's capacity: three characters, one or two bytes each.
std::string cut_hold_time(std::string_view text) {
    std::size_t end = 0;
    for (int characters = 0; characters < 3 && end < text.size(); ++characters) {
        const bool pair = is_double_byte_lead(static_cast<unsigned char>(text[end])) &&
                          end + 1 < text.size() && static_cast<unsigned char>(text[end]) >= 0x80;
        end += pair ? 2 : 1;
    }
    return std::string(text.substr(0, end));
}

bool parse_int(std::string_view word, int& value) {
    if (!word.empty() && word.front() == '+') word.remove_prefix(1);
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size();
}

// One numeric field of the document after the titles.
struct NumberSlot {
    int* field;
    int min;
    int max;
    int default_value;
};

// A value of the document after the titles: a number, or the hold time's text.
struct DocumentField {
    NumberSlot number{nullptr, 0, 0, 0};
    std::string* text = nullptr;
};

// Lines 1 to 3.
std::array<NumberSlot, 3> head_fields(SettingsModel& model) {
    return {{{&model.date_display, 0, 1, 0},
             {&model.date_display_range, 0, 7, 0},
             {&model.date_display_size, 0, 1, 0}}};
}

// Everything after the titles, in layout order, with each number's range and default.
std::vector<DocumentField> body_fields(SettingsModel& model) {
    std::vector<DocumentField> fields;
    fields.reserve(2300);
    const auto add = [&fields](int* field, int min, int max, int def) {
        fields.push_back({{field, min, max, def}, nullptr});
    };
    for (const PageFieldRule& rule : kPageFields) {
        for (PageSettings& page : model.pages)
            add(&(page.*rule.member), rule.min, rule.max, rule.default_value);
    }
    for (auto& day : model.schedule) {
        for (int e = 0; e < kScheduleEntries; ++e) add(&day[e].hour, 0, 23, e);
    }
    for (auto& day : model.schedule) {
        for (ScheduleEntry& entry : day) add(&entry.minute, 0, 59, 0);
    }
    for (auto& day : model.schedule) {
        for (ScheduleEntry& entry : day) add(&entry.page, 0, kScheduleOffPage, kScheduleOffPage);
    }
    add(&model.alarm_mode, 0, 1, 0);
    add(&model.alarm_polarity, 0, 1, 0);
    add(&model.alarm_return, 0, 1, 1);
    add(&model.alarm_display, 0, 1, 1);
    fields.push_back({{nullptr, 0, 0, 0}, &model.alarm_hold_time});
    for (int& page : model.connector_pages)
        add(&page, 0, kPageCount - 1, static_cast<int>(&page - model.connector_pages.data()));
    add(&model.remote_mode, 0, 2, 0);
    add(&model.connector_input, 0, 1, 0);
    add(&model.power_on_page, 0, kAutoSwitchPage, 0);
    add(&model.video_loss_background, 0, 1, 0);
    add(&model.network.subnet_class, 0, 2, 2);
    add(&model.network.connection_try, 0, 1, 0);
    add(&model.network.keep_alive, 0, 1, 0);
    add(&model.network.time_register, 0, 5, 5);
    return fields;
}

std::string cut_title(std::string_view line) {
    if (line.size() <= kTitleMaxBytes) return std::string(line);
    std::size_t end = 0;
    while (end < line.size()) {
        const std::size_t width = is_double_byte_lead(static_cast<unsigned char>(line[end])) ? 2 : 1;
        if (end + width > kTitleMaxBytes) break;
        end += width;
    }
    return std::string(line.substr(0, end));
}

}  // namespace

std::string title_to_document_line(std::string_view title) {
    if (title.empty() || title == kEmptyTitle) return kEmptyTitle;
    std::string out;
    out.reserve(title.size());
    const auto escape = [&out](unsigned char mark) {
        out += static_cast<char>(kEscapeLead);
        out += static_cast<char>(mark);
    };
    // The line is cut into the same pieces as title_from_document_line cuts it: a lead byte takes the
    // byte after it along, an escape is two bytes, anything else is one.
    for (std::size_t i = 0; i < title.size();) {
        const auto c = static_cast<unsigned char>(title[i]);
        const bool has_next = i + 1 < title.size();
        if (has_next) {
            const auto cell = static_cast<std::uint16_t>(c << 8 | static_cast<unsigned char>(title[i + 1]));
            const auto hit = std::find(kLineBreakCells.begin(), kLineBreakCells.end(), cell);
            if (hit != kLineBreakCells.end()) {
                escape(static_cast<unsigned char>(0x40 + (hit - kLineBreakCells.begin())));
                i += 2;
                continue;
            }
            const char second = title[i + 1];
            const bool pair_keeps_line =
                c != '\r' && c != '\n' && c != kEscapeLead && second != '\r' && second != '\n';
            if (is_double_byte_lead(c) && pair_keeps_line) {
                out.append(title.substr(i, 2));
                i += 2;
                continue;
            }
        }
        if (c == '\r') {
            escape(kLoneCr);
        } else if (c == '\n') {
            escape(kLoneLf);
        } else if (c == kEscapeLead) {
            escape(kEscapeByte);
        } else if (is_double_byte_lead(c) && has_next) {
            // A lead byte before a line break: on its own it would take the escape after it along.
            escape(kLoneLead);
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out;
}

std::string title_from_document_line(std::string_view line) {
    if (line == kEmptyTitle) return {};
    std::string title;
    title.reserve(line.size());
    for (std::size_t i = 0; i < line.size();) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (i + 1 < line.size() && c == kEscapeLead) {
            const auto mark = static_cast<unsigned char>(line[i + 1]);
            const int index = mark - 0x40;
            if (index >= 0 && index < static_cast<int>(kLineBreakCells.size())) {
                title += static_cast<char>(kLineBreakCells[static_cast<std::size_t>(index)] >> 8);
                title += static_cast<char>(kLineBreakCells[static_cast<std::size_t>(index)] & 0xFF);
                i += 2;
                continue;
            }
            if (mark == kLoneCr || mark == kLoneLf || mark == kEscapeByte || mark == kLetterS) {
                title += mark == kLoneCr ? '\r' : mark == kLoneLf ? '\n' : mark == kEscapeByte ? '\x0E' : 's';
                i += 2;
                continue;
            }
            if (mark == kLoneLead && i + 2 < line.size()) {
                title += line[i + 2];
                i += 3;
                continue;
            }
        }
        if (i + 1 < line.size() && is_double_byte_lead(c)) {
            title.append(line.substr(i, 2));
            i += 2;
            continue;
        }
        title += line[i++];
    }
    return title;
}

std::string hold_time_to_document_line(std::string_view text) {
    // One word of its own whatever was typed: blanks, control bytes and '%' as %XX, the empty text as
    // "%" alone. Typical texts ("010", "5") are written as they are.
    if (text.empty()) return "%";
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c == 0x7F || c == '%') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string hold_time_from_document_line(std::string_view line) {
    if (line == "%") return {};
    std::string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '%' && i + 2 < line.size()) {
            const int high = hex_digit(line[i + 1]);
            const int low = hex_digit(line[i + 2]);
            if (high >= 0 && low >= 0) {
                text += static_cast<char>(high << 4 | low);
                i += 2;
                continue;
            }
        }
        text += line[i];
    }
    return cut_hold_time(text);
}

std::string write_document(const SettingsModel& model) {
    std::string out;
    out.reserve(16 * 1024);
    const auto line = [&out](std::string_view text) {
        out.append(text);
        out += "\r\n";
    };
    const auto number = [&line](int value) { line(std::to_string(value)); };

    number(model.date_display);
    number(model.date_display_range);
    number(model.date_display_size);
    for (const PageSettings& page : model.pages) line(title_to_document_line(page.title));
    for (const PageFieldRule& rule : kPageFields) {
        for (const PageSettings& page : model.pages) number(page.*rule.member);
    }
    for (int ScheduleEntry::*member : {&ScheduleEntry::hour, &ScheduleEntry::minute, &ScheduleEntry::page}) {
        for (const auto& day : model.schedule) {
            for (const ScheduleEntry& entry : day) number(entry.*member);
        }
    }
    number(model.alarm_mode);
    number(model.alarm_polarity);
    number(model.alarm_return);
    number(model.alarm_display);
    line(hold_time_to_document_line(model.alarm_hold_time));
    for (int page : model.connector_pages) number(page);
    number(model.remote_mode);
    number(model.connector_input);
    number(model.power_on_page);
    number(model.video_loss_background);
    number(model.network.subnet_class);
    number(model.network.connection_try);
    number(model.network.keep_alive);
    number(model.network.time_register);
    return out;
}

bool data_modified(const SettingsModel& model) {
    return write_document(model) != model.run.saved_document;
}

void mark_document_saved(SettingsModel& model) {
    model.run.saved_document = write_document(model);
}

namespace {

// What reading stopped at, and the line of the last value taken.
struct ReadOutcome {
    std::optional<DocumentProblem> problem;
    int last_line = 0;
};

// Reads the document's values into read in layout order. The lenient reading gives an out-of-range number
// its field's default, cuts an overlong title and ignores what follows the last value; otherwise each of
// those is a problem. Either way the reading stops at a word that is not a number and at the end of the
// bytes, with the values before it taken.
ReadOutcome read_values(SettingsModel& read, std::string_view bytes, bool lenient) {
    LineReader reader(bytes);
    ReadOutcome outcome;
    const auto stop = [&outcome](int line, DocumentFault fault, std::string what) {
        outcome.problem = DocumentProblem{line, std::move(what), fault};
        return outcome;
    };
    const auto ended = [&reader, &stop] {
        return stop(reader.next_line(), DocumentFault::kEnded, "the document ends before this line");
    };
    // Empty when the word was taken, otherwise the fault.
    const auto number = [lenient, &reader, &stop](const NumberSlot& slot, std::string_view word) {
        int value = 0;
        if (!parse_int(word, value)) {
            return stop(reader.line(), DocumentFault::kNotANumber,
                        "\"" + std::string(word.substr(0, 20)) + "\" is not a number");
        }
        if (value < slot.min || value > slot.max) {
            if (!lenient) {
                return stop(reader.line(), DocumentFault::kOutOfRange,
                            std::to_string(value) + " is outside " + std::to_string(slot.min) + ".." +
                                std::to_string(slot.max));
            }
            value = slot.default_value;
        }
        *slot.field = value;
        return ReadOutcome{std::nullopt, reader.line()};
    };

    for (const NumberSlot& slot : head_fields(read)) {
        std::string_view line;
        if (!reader.next(line)) return ended();
        if (ReadOutcome r = number(slot, trimmed(line)); r.problem) return r;
        outcome.last_line = reader.line();
    }
    for (PageSettings& page : read.pages) {
        std::string_view line;
        if (!reader.next(line)) return ended();
        std::string title = title_from_document_line(line);
        if (title.size() > kTitleMaxBytes) {
            if (!lenient) {
                return stop(reader.line(), DocumentFault::kTitleTooLong,
                            "the title is longer than " + std::to_string(kTitleMaxBytes) + " bytes");
            }
            title = cut_title(title);
        }
        page.title = std::move(title);
        outcome.last_line = reader.line();
    }
    for (const DocumentField& field : body_fields(read)) {
        if (field.text) {
            std::string_view line;
            if (!reader.text(line)) return ended();
            *field.text = hold_time_from_document_line(line);
        } else {
            std::string_view word;
            if (!reader.word(word)) return ended();
            if (ReadOutcome r = number(field.number, word); r.problem) return r;
        }
        outcome.last_line = reader.line();
    }
    std::string_view extra;
    if (!lenient && reader.word(extra)) {
        return stop(reader.line(), DocumentFault::kExtraValues, "more values than the document holds");
    }
    return outcome;
}

}  // namespace

void read_document(SettingsModel& model, std::string_view bytes) {
    read_values(model, bytes, true);
    mark_document_saved(model);
}

std::optional<DocumentProblem> read_document_strict(SettingsModel& model, std::string_view bytes) {
    // Everything is read into a copy, which replaces the model only when the whole document was read.
    SettingsModel read = model;
    ReadOutcome outcome = read_values(read, bytes, false);
    if (outcome.problem) return outcome.problem;
    mark_document_saved(read);
    model = std::move(read);
    return std::nullopt;
}

DocumentReading read_document_checked(SettingsModel& model, std::string_view bytes) {
    SettingsModel read = model;
    ReadOutcome outcome = read_values(read, bytes, false);
    DocumentReading reading;
    if (outcome.problem) {
        // A document that ends early keeps what it holds, unless it holds nothing at all.
        if (outcome.problem->fault != DocumentFault::kEnded || outcome.last_line == 0) {
            reading.refused = std::move(outcome.problem);
            return reading;
        }
        reading.read_to_line = outcome.last_line;
    }
    mark_document_saved(read);
    model = std::move(read);
    return reading;
}

}  // namespace tvx
