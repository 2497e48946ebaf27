#include "editors/schedule_editor.h"

#include "protocol/command_builders.h"

namespace tvx {
namespace {

std::vector<std::string> numbers(int first, int last) {
    std::vector<std::string> items;
    for (int n = first; n <= last; ++n) items.push_back(two_digits(n));
    return items;
}

constexpr std::string_view kPreviewHeader = "時 分 ページ　　 　　時 分 ページ　　　　時 分 ページ";

}  // namespace

ScheduleEditor::ScheduleEditor(ToolState& tool, CommandLink& link, Notices& notices,
                               ScheduleSelection& selection)
    : tool_(tool), link_(link), selection_(selection), sequence_(tool, link, notices) {}

int ScheduleEditor::open_editor() {
    editor_opened(tool_);
    return preview_.opened();
}

int ScheduleEditor::day() const {
    const int d = selection_.selected_day;
    return d >= 0 && d < kScheduleDays ? d : 0;
}

int ScheduleEditor::pattern() const {
    const int p = selection_.selected_pattern;
    return p >= 0 && p < kScheduleEntries ? p : 0;
}

ScheduleEntry& ScheduleEditor::entry() {
    return tool_.model.schedule[static_cast<std::size_t>(day())][static_cast<std::size_t>(pattern())];
}

const ScheduleEntry& ScheduleEditor::entry() const {
    return tool_.model.schedule[static_cast<std::size_t>(day())][static_cast<std::size_t>(pattern())];
}

std::string_view ScheduleEditor::caption(Field field) {
    switch (field) {
        case Field::kDay:
            return "日";
        case Field::kPattern:
            return "パターン番号";
        case Field::kHour:
            return "時";
        case Field::kMinute:
            return "分";
        case Field::kPage:
            return "ページ";
    }
    return {};
}

std::vector<std::string> ScheduleEditor::items(Field field) {
    switch (field) {
        case Field::kDay:
            return numbers(1, kScheduleDays);
        case Field::kPattern:
            return numbers(1, kScheduleEntries);
        case Field::kHour:
            return numbers(0, 23);
        case Field::kMinute:
            return numbers(0, 59);
        case Field::kPage: {
            std::vector<std::string> pages = numbers(1, kPageCount);
            pages.emplace_back("PAS");
            pages.emplace_back("---");
            return pages;
        }
    }
    return {};
}

int ScheduleEditor::selection(Field field) const {
    int value = 0;
    switch (field) {
        case Field::kDay:
            value = day();
            break;
        case Field::kPattern:
            value = pattern();
            break;
        case Field::kHour:
            value = entry().hour;
            break;
        case Field::kMinute:
            value = entry().minute;
            break;
        case Field::kPage:
            value = entry().page;
            break;
    }
    return value >= 0 && value < static_cast<int>(items(field).size()) ? value : -1;
}

void ScheduleEditor::select(Field field, int index) {
    if (index < 0 || index >= static_cast<int>(items(field).size())) return;
    switch (field) {
        case Field::kDay:
            selection_.selected_day = index;
            break;
        case Field::kPattern:
            selection_.selected_pattern = index;
            break;
        case Field::kHour:
            entry().hour = index;
            break;
        case Field::kMinute:
            entry().minute = index;
            break;
        case Field::kPage:
            entry().page = index;
            break;
    }
}

void ScheduleEditor::clear_day() {
    for (ScheduleEntry& e : tool_.model.schedule[static_cast<std::size_t>(day())]) e.page = kScheduleOffPage;
}

void ScheduleEditor::send_day() {
    link_.send_command(build_schedule_day(tool_.model, day()));
}

bool ScheduleEditor::send_all_days() {
    if (!sequence_.start()) return false;
    percent_text_.clear();
    return true;
}

int ScheduleEditor::repainted() {
    const int period = preview_.repainted();
    return sending() ? 0 : period;
}

ScheduleEditor::Tick ScheduleEditor::tick() {
    // A due preview takes the tick; the batch goes on at the next one.
    if (preview_.tick()) return Tick::kPreview;
    if (!sending()) return Tick::kIdle;
    const int sent = sequence_.steps_sent();
    switch (sequence_.tick()) {
        case PacedSequence::State::kRunning:
            if (sequence_.steps_sent() == sent) return Tick::kWaiting;
            percent_text_ = std::to_string(sequence_.percent());
            return Tick::kSent;
        case PacedSequence::State::kCompleted:
            percent_text_ = "   ";
            return Tick::kCompleted;
        default:
            return Tick::kStopped;
    }
}

std::string ScheduleEditor::entry_text(int pattern, const ScheduleEntry& entry) {
    std::string text =
        two_digits(pattern + 1) + " = " + two_digits(entry.hour) + ":" + two_digits(entry.minute) + " ";
    if (entry.page == kAutoSwitchPage) {
        text += "PAS  ";
    } else if (entry.page == kScheduleOffPage) {
        text += "--- ";
    } else if (entry.page >= 0 && entry.page < kPageCount) {
        text += "P" + two_digits(entry.page + 1) + "  ";
    } else {
        text += "?    ";
    }
    return text;
}

std::vector<PreviewLine> ScheduleEditor::draw_preview() const {
    std::vector<PreviewLine> lines;
    lines.push_back({60, 1, std::string(kPreviewHeader)});
    const auto& entries = tool_.model.schedule[static_cast<std::size_t>(day())];
    for (int i = 0; i < kScheduleEntries; ++i) {
        lines.push_back({20 + 160 * (i / kPreviewRows), 20 + 23 * (i % kPreviewRows),
                         entry_text(i, entries[static_cast<std::size_t>(i)])});
    }
    return lines;
}

void ScheduleEditor::select_slave_address(int index) {
    if (index >= 0 && index <= kBroadcastAddress) tool_.model.run.slave_address = index;
}

}  // namespace tvx
