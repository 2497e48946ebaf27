#include "protocol/read_record.h"

#include <algorithm>

#include "protocol/command_builders.h"
#include "protocol/command_set.h"
#include "protocol/line_format.h"

namespace tvx {
namespace {

std::string numbered_item(const ReadStep& step, int number) {
    std::string text;
    if (step.numbering == ReadStep::Numbering::kPage) {
        text = "ページ ";
        append_digits(text, number, 2);
    } else {
        text = std::to_string(number) + "日";
    }
    return text;
}

// "ページ 05", or a run "ページ 01〜03"; "3日", or "1日〜31日".
std::string numbered_run(const ReadStep& step, int first, int last) {
    std::string text = numbered_item(step, first);
    if (last == first) return text;
    text += "〜";
    if (step.numbering == ReadStep::Numbering::kPage) {
        append_digits(text, last, 2);
    } else {
        text += numbered_item(step, last);
    }
    return text;
}

// The items of one editor's line: settings by name, pages and days in runs.
struct GroupLine {
    std::string_view group;
    std::vector<std::string> items;
    const ReadStep* run_step = nullptr;
    int run_first = 0;
    int run_last = 0;

    void close_run() {
        if (run_step != nullptr) items.push_back(numbered_run(*run_step, run_first, run_last));
        run_step = nullptr;
    }
    void add(const ReadStep& step) {
        if (step.numbering == ReadStep::Numbering::kNone) {
            close_run();
            if (!step.setting.empty() && std::find(items.begin(), items.end(), step.setting) == items.end())
                items.emplace_back(step.setting);
            return;
        }
        if (run_step != nullptr && step.number == run_last + 1) {
            run_last = step.number;
            return;
        }
        close_run();
        run_step = &step;
        run_first = run_last = step.number;
    }
};

}  // namespace

ReadStep setting_read_step(std::string_view read, std::string_view group, std::string_view setting) {
    ReadStep step;
    step.command = build_read_command(read);
    for (const ReadCommandRow& row : kReadCommands) {
        if (row.read == read) step.mnemonic = std::string(row.reply);
    }
    step.line_start = step.mnemonic;
    step.group = group;
    step.setting = setting;
    return step;
}

std::string read_step_name(const ReadStep& step) {
    std::string name(step.group);
    if (step.numbering != ReadStep::Numbering::kNone) return name + " " + numbered_item(step, step.number);
    if (!step.setting.empty()) name += " " + std::string(step.setting);
    return name;
}

void ReadRecord::sent(ToolState& tool, int step) {
    if (step == 1) {
        answers_.assign(static_cast<std::size_t>(step_count_), ReadAnswer::kNone);
        awaited_step_ = 0;
    }
    keep_answer(tool);
    if (step < 1 || step > step_count_) return;
    const ReadStep read = step_of_(step);
    AwaitedRead& awaited = tool.reply.awaited;
    awaited.active = true;
    awaited.mnemonic = read.mnemonic;
    awaited.line_start = read.line_start;
    awaited.address.clear();
    if (tool.config.link_interface == 0 && tool.config.rs_control == 1)
        append_digits(awaited.address, tool.model.run.slave_address, 2);
    awaited.answer = ReadAnswer::kNone;
    awaited_step_ = step;
}

void ReadRecord::ended(ToolState& tool) {
    keep_answer(tool);
    tool.reply.awaited = AwaitedRead{};
}

void ReadRecord::keep_answer(const ToolState& tool) {
    if (awaited_step_ < 1 || static_cast<std::size_t>(awaited_step_) > answers_.size()) return;
    answers_[static_cast<std::size_t>(awaited_step_ - 1)] = tool.reply.awaited.answer;
    awaited_step_ = 0;
}

bool ReadRecord::read(int step) const {
    if (step < 1 || static_cast<std::size_t>(step) > answers_.size()) return false;
    if (answers_[static_cast<std::size_t>(step - 1)] == ReadAnswer::kRead) return true;
    const std::string line_start = step_of_(step).line_start;
    for (std::size_t i = 0; i < answers_.size(); ++i) {
        if (answers_[i] == ReadAnswer::kRead && step_of_(static_cast<int>(i) + 1).line_start == line_start)
            return true;
    }
    return false;
}

std::vector<int> ReadRecord::read_steps() const {
    std::vector<int> steps;
    for (int step = 1; step <= step_count_; ++step) {
        if (read(step)) steps.push_back(step);
    }
    return steps;
}

std::vector<int> ReadRecord::unread_steps() const {
    std::vector<int> steps;
    for (int step = 1; step <= step_count_; ++step) {
        if (!read(step)) steps.push_back(step);
    }
    return steps;
}

std::string ReadRecord::unread_description() const {
    std::vector<ReadStep> unread;
    for (int step : unread_steps()) unread.push_back(step_of_(step));
    std::vector<GroupLine> lines;
    for (const ReadStep& step : unread) {
        auto line = std::find_if(lines.begin(), lines.end(),
                                 [&step](const GroupLine& l) { return l.group == step.group; });
        if (line == lines.end()) line = lines.insert(lines.end(), GroupLine{step.group, {}});
        line->add(step);
    }
    std::string text;
    for (GroupLine& line : lines) {
        line.close_run();
        if (!text.empty()) text += "\n";
        text += line.group;
        for (std::size_t i = 0; i < line.items.size(); ++i) text += (i == 0 ? ": " : ", ") + line.items[i];
    }
    return text;
}

void tell_read_end(const ReadRecord& record, ToolState& tool, Notices& notices) {
    const std::string unread = record.unread_description();
    if (unread.empty()) {
        if (tool.config.link_interface == 0) tool.link.success_pending = 1;
        return;
    }
    tool.link.success_pending = 0;
    notices.notify_error(std::string(kUnreadHeading) + "\n" + unread);
}

}  // namespace tvx
