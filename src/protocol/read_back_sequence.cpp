#include "protocol/read_back_sequence.h"

#include <array>

#include "protocol/command_builders.h"
#include "protocol/command_senders.h"
#include "protocol/line_format.h"

namespace tvx {
namespace {

struct SettingRead {
    std::string_view read;
    std::string_view group;  // as the editors are named in the menu
    std::string_view setting;
};

// Steps 96 to 119.
constexpr std::array<SettingRead, 24> kSettingReads{{
    {"RACA", "アラーム", "コネクター番号割り付け"},
    {"RAD", "アラーム", "表示"},
    {"RADT", "アラーム", "保持時間"},
    {"RAM", "アラーム", "モード"},
    {"RAP", "アラーム", "入力極性"},
    {"RAR", "アラーム", "リターン"},
    {"RCABC", "文字＆縁取り色", ""},
    {"RCBS", "文字点滅", ""},
    {"RCFS", "文字サイズ", ""},
    {"RCI", "その他", "コネクター入力"},
    {"RCWL", "文字レベル", ""},
    {"RFB", "背景色ベタ塗り", ""},
    {"RIDO", "表示位置微調整", ""},
    {"RIDP", "表示位置", ""},
    {"RISS", "スクロール速度", ""},
    {"RPAS", "自動切換え", ""},
    {"RPOSP", "その他", "電源投入時ページ"},
    {"RRM", "リモート", "モード"},
    {"RTSD", "日付＆時刻", "表示"},
    {"RTSDR", "日付＆時刻", "表示範囲"},
    {"RTSDS", "日付＆時刻", "表示サイズ"},
    {"RVLBC", "その他", "ビデオロス背景色"},
    {"RVLBC", "その他", "ビデオロス背景色"},
    {"RVN", "プロトコル", "Version Number"},
}};
constexpr int kFirstScheduleStep = kPageCount + 1;
constexpr int kFirstSettingStep = kFirstScheduleStep + kScheduleDays;
static_assert(kFirstSettingStep + static_cast<int>(kSettingReads.size()) - 1 == kReadBackSteps);

// A title or schedule read: "RCA05" answered by the "CA05" line.
ReadStep numbered_read_step(std::string command, std::string_view mnemonic, std::string_view group,
                            ReadStep::Numbering numbering, int number) {
    ReadStep step;
    step.line_start = std::string(mnemonic);
    append_digits(step.line_start, number, 2);
    step.command = std::move(command);
    step.mnemonic = std::string(mnemonic);
    step.group = group;
    step.numbering = numbering;
    step.number = number;
    return step;
}

}  // namespace

std::string read_back_command(int step) {
    return read_back_step(step).command;
}

ReadStep read_back_step(int step) {
    if (step < 1 || step > kReadBackSteps) return {};
    if (step < kFirstScheduleStep)
        return numbered_read_step(build_title_read(step - 1), "CA", "タイトル", ReadStep::Numbering::kPage,
                                  step);
    if (step < kFirstSettingStep) {
        const int day = step - kFirstScheduleStep + 1;
        return numbered_read_step(build_schedule_read(day - 1), "SD", "スケジュール",
                                  ReadStep::Numbering::kDay, day);
    }
    const SettingRead& read = kSettingReads[static_cast<std::size_t>(step - kFirstSettingStep)];
    return setting_read_step(read.read, read.group, read.setting);
}

ReadBackSequence::ReadBackSequence(ToolState& tool, CommandLink& link, Notices& notices, std::vector<int> only)
    : PacedSequence(tool, link, notices),
      link_(step_link()),
      notices_(notices),
      only_(std::move(only)),
      record_(only_.empty() ? kReadBackSteps : static_cast<int>(only_.size()),
              [this](int step) { return read_back_step(table_step(step)); }) {}

int ReadBackSequence::table_step(int step) const {
    if (only_.empty()) return step;
    if (step >= 1 && step <= static_cast<int>(only_.size())) return only_[static_cast<std::size_t>(step - 1)];
    return 0;
}

bool ReadBackSequence::can_start() {
    const int address = tool_.model.run.slave_address;
    if (tool_.config.link_interface == 0 && tool_.config.rs_control == 1 &&
        (address < 0 || address >= kBroadcastAddress)) {
        notices_.notify_error(kReadBackNeedsAddress);
        return false;
    }
    if (!notices_.confirm_not_auto_switching()) return false;
    if (!link_.tcp_is_connected()) {
        notices_.notify_warning(kSocketNotConnected);
        return false;
    }
    return true;
}

bool ReadBackSequence::send_step(int step) {
    record_.sent(tool_, step);
    link_.send_command(read_back_command(table_step(step)));
    return true;
}

std::string ReadBackSequence::step_name(int step) const {
    return read_step_name(read_back_step(table_step(step)));
}

std::string ReadBackSequence::interrupted_report() const {
    return PacedSequence::interrupted_report() + "読み込めた設定 " +
           std::to_string(record_.read_steps().size()) + " / " + std::to_string(step_count()) +
           " 項目はそのまま残り、ほかは元の値のままです。";
}

void ReadBackSequence::finished(State state) {
    record_.ended(tool_);
    if (state == State::kCompleted) tell_read_end(record_, tool_, notices_);
    if (state == State::kStopped && tell_unread_on_error_stop_ && !stopped_by_link()) {
        const std::string unread = record_.unread_description();
        if (!unread.empty()) notices_.notify_error(std::string(kUnreadHeading) + "\n" + unread);
    }
}

}  // namespace tvx
