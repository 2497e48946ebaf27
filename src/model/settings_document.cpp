#include "model/settings_document.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
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
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    }

    // The next word separated by white space (line breaks and blank lines included).
    bool word(std::string_view& out) {
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; };
        std::size_t i = 0;
        while (i < rest_.size() && blank(rest_[i])) ++i;
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

private:
    std::string_view rest_;
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
    const std::array<NumberSlot, 3> head{{{&model.date_display, 0, 1, 0},
                                          {&model.date_display_range, 0, 7, 0},
                                          {&model.date_display_size, 0, 1, 0}}};
    for (const NumberSlot& slot : head) {
        std::string_view line;
        if (!reader.next(line)) return;
        std::string_view word = line;
        while (!word.empty() && (word.front() == ' ' || word.front() == '\t')) word.remove_prefix(1);
        while (!word.empty() && (word.back() == ' ' || word.back() == '\t')) word.remove_suffix(1);
        if (!store(slot, word)) return;
    }

    for (PageSettings& page : model.pages) {
        std::string_view line;
        if (!reader.next(line)) return;
        page.title = cut_title(title_from_document_line(line));
    }

    // Everything after the titles is read word by word.
    std::vector<std::function<bool(std::string_view)>> fields;
    fields.reserve(2300);
    const auto add = [&](int* field, int min, int max, int def) {
        fields.emplace_back([=, &store](std::string_view w) { return store({field, min, max, def}, w); });
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
    fields.emplace_back([&model](std::string_view word) {
        model.alarm_hold_time = std::string(word.substr(0, 3));
        return true;
    });
    for (int& page : model.connector_pages) add(&page, 0, kPageCount - 1, static_cast<int>(&page - model.connector_pages.data()));
    add(&model.remote_mode, 0, 2, 0);
    add(&model.connector_input, 0, 1, 0);
    add(&model.power_on_page, 0, kAutoSwitchPage, 0);
    add(&model.video_loss_background, 0, 1, 0);
    add(&model.network.subnet_class, 0, 2, 2);
    add(&model.network.connection_try, 0, 1, 0);
    add(&model.network.keep_alive, 0, 1, 0);
    add(&model.network.time_register, 0, 5, 5);

    for (const auto& field : fields) {
        std::string_view word;
        if (!reader.word(word) || !field(word)) return;
    }
}

}  // namespace tvx
