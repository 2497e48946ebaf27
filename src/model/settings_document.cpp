#include "model/settings_document.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <vector>

namespace tvx {
namespace {

constexpr char kEmptyTitle[] = "s";

// Cells that hold CR or LF, in the order of their escape index. Their escape is the cell 0x0E, 0x40 + index:
// no Shift JIS character and no glyph cell starts with 0x0E.
constexpr std::array<std::uint16_t, 9> kLineBreakCells{0x0D0A, 0x100A, 0x100D, 0x110A, 0x110D,
                                                       0x120A, 0x120D, 0x130A, 0x130D};
constexpr unsigned char kEscapeLead = 0x0E;

bool is_double_byte_lead(unsigned char c) {
    // Shift JIS lead bytes, and the control range where glyph cells and line breaks start.
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC) || c < 0x20;
}

class LineReader {
public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}

    bool next(std::string_view& line) {
        if (rest_.empty()) return false;
        const std::size_t lf = rest_.find('\n');
        line = rest_.substr(0, lf);
        rest_ = lf == std::string_view::npos ? std::string_view{} : rest_.substr(lf + 1);
        ++line_number_;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    }

    // The next word separated by white space (line breaks and blank lines included).
    bool word(std::string_view& out) {
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; };
        std::size_t i = 0;
        while (i < rest_.size() && blank(rest_[i])) {
            if (rest_[i] == '\n') ++lines_passed_;
            ++i;
        }
        if (i == rest_.size()) {
            rest_ = {};
            return false;
        }
        std::size_t j = i;
        while (j < rest_.size() && !blank(rest_[j])) ++j;
        out = rest_.substr(i, j - i);
        rest_.remove_prefix(j);
        return true;
    }

    // The 1-based line of the word last returned by word(), after next() has taken whole lines.
    int word_line() const { return line_number_ + lines_passed_ + 1; }
    int line_number() const { return line_number_; }

private:
    std::string_view rest_;
    int line_number_ = 0;   // whole lines taken by next()
    int lines_passed_ = 0;  // line breaks skipped by word()
};

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
    for (const PageFieldSpec& spec : kPageFields) {
        for (PageSettings& page : model.pages) add(&(page.*spec.member), spec.min, spec.max, spec.default_value);
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
    for (int& page : model.connector_pages) add(&page, 0, kPageCount - 1, static_cast<int>(&page - model.connector_pages.data()));
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

// The hold time is text: its word is kept as far as the field holds it (three characters).
std::string hold_time_text(std::string_view word) {
    return std::string(word.substr(0, 3));
}

std::string_view trimmed(std::string_view word) {
    while (!word.empty() && (word.front() == ' ' || word.front() == '\t')) word.remove_prefix(1);
    while (!word.empty() && (word.back() == ' ' || word.back() == '\t')) word.remove_suffix(1);
    return word;
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
    std::string out;
    out.reserve(title.size());
    for (std::size_t i = 0; i < title.size();) {
        if (i + 1 < title.size()) {
            const auto cell = static_cast<std::uint16_t>(static_cast<unsigned char>(title[i]) << 8 |
                                                          static_cast<unsigned char>(title[i + 1]));
            const auto hit = std::find(kLineBreakCells.begin(), kLineBreakCells.end(), cell);
            if (hit != kLineBreakCells.end()) {
                out += static_cast<char>(kEscapeLead);
                out += static_cast<char>(0x40 + (hit - kLineBreakCells.begin()));
                i += 2;
                continue;
            }
            // CR and LF count as lead bytes when a line is read, but on the way out neither may start
            // a pair either, or a lone LF would split the title's line.
            const bool breaks = title[i] == '\r' || title[i] == '\n' || title[i + 1] == '\r' ||
                                title[i + 1] == '\n';
            if (is_double_byte_lead(static_cast<unsigned char>(title[i])) && !breaks) {
                out.append(title.substr(i, 2));
                i += 2;
                continue;
            }
        }
        // A lone CR or LF outside a cell can only come from a title that is refused when sent anyway
        // (a half-width character before it); a blank keeps the document's layout.
        const char c = title[i];
        out += (c == '\r' || c == '\n') ? ' ' : c;
        ++i;
    }
    return out.empty() ? std::string(kEmptyTitle) : out;
}

std::string title_from_document_line(std::string_view line) {
    if (line == kEmptyTitle) return {};
    std::string title;
    title.reserve(line.size());
    for (std::size_t i = 0; i < line.size();) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (i + 1 < line.size() && c == kEscapeLead) {
            const int index = static_cast<unsigned char>(line[i + 1]) - 0x40;
            if (index >= 0 && index < static_cast<int>(kLineBreakCells.size())) {
                title += static_cast<char>(kLineBreakCells[index] >> 8);
                title += static_cast<char>(kLineBreakCells[index] & 0xFF);
                i += 2;
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
    for (const PageFieldSpec& spec : kPageFields) {
        for (const PageSettings& page : model.pages) number(page.*spec.member);
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
    line(model.alarm_hold_time);
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

void read_document(SettingsModel& model, std::string_view bytes) {
    model.run.data_modified = 0;
    LineReader reader(bytes);

    const auto store = [](const NumberSlot& slot, std::string_view word) {
        int value = 0;
        if (!parse_int(word, value)) return false;
        *slot.field = (value >= slot.min && value <= slot.max) ? value : slot.default_value;
        return true;
    };

    // Lines 1 to 3, one number each.
    for (const NumberSlot& slot : head_fields(model)) {
        std::string_view line;
        if (!reader.next(line)) return;
        if (!store(slot, trimmed(line))) return;
    }

    for (PageSettings& page : model.pages) {
        std::string_view line;
        if (!reader.next(line)) return;
        page.title = cut_title(title_from_document_line(line));
    }

    // Everything after the titles is read word by word.
    for (const DocumentField& field : body_fields(model)) {
        std::string_view word;
        if (!reader.word(word)) return;
        if (field.text) {
            *field.text = hold_time_text(word);
        } else if (!store(field.number, word)) {
            return;
        }
    }
}

std::optional<DocumentProblem> read_document_strict(SettingsModel& model, std::string_view bytes) {
    // Everything is read into a copy, which replaces the model only when the whole document was read.
    SettingsModel read = model;
    LineReader reader(bytes);
    const auto problem = [](int line, std::string what) {
        return std::optional<DocumentProblem>(DocumentProblem{line, std::move(what)});
    };
    const auto number = [](const NumberSlot& slot, std::string_view word) -> std::optional<std::string> {
        int value = 0;
        if (!parse_int(word, value)) return "\"" + std::string(word.substr(0, 20)) + "\" is not a number";
        if (value < slot.min || value > slot.max) {
            return std::to_string(value) + " is outside " + std::to_string(slot.min) + ".." +
                   std::to_string(slot.max);
        }
        *slot.field = value;
        return std::nullopt;
    };
    constexpr char kEnded[] = "the document ends before this line";

    for (const NumberSlot& slot : head_fields(read)) {
        std::string_view line;
        if (!reader.next(line)) return problem(reader.line_number() + 1, kEnded);
        if (auto bad = number(slot, trimmed(line))) return problem(reader.line_number(), *bad);
    }
    for (PageSettings& page : read.pages) {
        std::string_view line;
        if (!reader.next(line)) return problem(reader.line_number() + 1, kEnded);
        std::string title = title_from_document_line(line);
        if (title.size() > kTitleMaxBytes) {
            return problem(reader.line_number(),
                           "the title is longer than " + std::to_string(kTitleMaxBytes) + " bytes");
        }
        page.title = std::move(title);
    }
    for (const DocumentField& field : body_fields(read)) {
        std::string_view word;
        if (!reader.word(word)) return problem(reader.word_line(), kEnded);
        if (field.text) {
            *field.text = hold_time_text(word);
        } else if (auto bad = number(field.number, word)) {
            return problem(reader.word_line(), *bad);
        }
    }
    std::string_view extra;
    if (reader.word(extra)) return problem(reader.word_line(), "more values than the document holds");

    read.run.data_modified = 0;
    model = std::move(read);
    return std::nullopt;
}

}  // namespace tvx
