#include "protocol/full_send_sequence.h"

#include <iterator>

#include "protocol/command_builders.h"
#include "protocol/command_senders.h"
#include "protocol/read_back_sequence.h"
#include "protocol/title_encoding.h"

namespace tvx {
namespace {

constexpr int kFirstScheduleStep = kPageCount + 1;
constexpr int kFirstSettingStep = kFirstScheduleStep + kScheduleDays;
constexpr int kHoldTimeStep = kFirstSettingStep + 1;

// Steps 96 to 117; the hold time (step 97) has a builder that can refuse.
enum class Kind { kSetting, kAllPages, kHoldTime, kConnectorPages, kPowerOnPage };
struct SettingStep {
    Kind kind;
    SettingCommand setting;
    PageCommand page;
};
constexpr SettingStep setting(SettingCommand c) {
    return {Kind::kSetting, c, PageCommand::CFS};
}
constexpr SettingStep all_pages(PageCommand c) {
    return {Kind::kAllPages, SettingCommand::AM, c};
}
constexpr SettingStep other(Kind kind) {
    return {kind, SettingCommand::AM, PageCommand::CFS};
}

constexpr SettingStep kSettingSteps[] = {
    setting(SettingCommand::AM),   other(Kind::kHoldTime),        setting(SettingCommand::AP),
    setting(SettingCommand::ADO),  setting(SettingCommand::ARO),  other(Kind::kConnectorPages),
    all_pages(PageCommand::CABC),  all_pages(PageCommand::CBS),   all_pages(PageCommand::CFS),
    setting(SettingCommand::CI),   all_pages(PageCommand::CWL),   all_pages(PageCommand::FB),
    all_pages(PageCommand::IDO),   all_pages(PageCommand::IDP),   all_pages(PageCommand::ISS),
    all_pages(PageCommand::PAS),   other(Kind::kPowerOnPage),     setting(SettingCommand::RM),
    setting(SettingCommand::TSDO), setting(SettingCommand::TSDR), setting(SettingCommand::TSDS),
    setting(SettingCommand::VLBC),
};
static_assert(kFirstSettingStep + static_cast<int>(std::size(kSettingSteps)) == kFullSendSteps);

// The settings of steps 96 to 117 as the editors name them, then the closing step.
constexpr std::string_view kSettingNames[] = {
    "アラーム モード",       "アラーム 保持時間",     "アラーム 入力極性",
    "アラーム 表示",         "アラーム リターン",     "アラーム コネクター番号割り付け",
    "文字＆縁取り色",        "文字点滅",              "文字サイズ",
    "その他 コネクター入力", "文字レベル",            "背景色ベタ塗り",
    "表示位置微調整",        "表示位置",              "スクロール速度",
    "自動切換え",            "その他 電源投入時ページ", "リモート モード",
    "日付＆時刻 表示",       "日付＆時刻 表示範囲",   "日付＆時刻 表示サイズ",
    "その他 ビデオロス背景色", "終了",
};
static_assert(kFirstSettingStep + static_cast<int>(std::size(kSettingNames)) == kFullSendSteps + 1);

}  // namespace

std::optional<std::string> full_send_command(const SettingsModel& model, int step) {
    if (step < 1 || step >= kFullSendSteps) return std::nullopt;
    if (step < kFirstScheduleStep) {
        const int page = step - 1;
        return build_title_command(model.pages[static_cast<std::size_t>(page)].title, page);
    }
    if (step < kFirstSettingStep) return build_schedule_day(model, step - kFirstScheduleStep);
    const SettingStep& row = kSettingSteps[step - kFirstSettingStep];
    switch (row.kind) {
        case Kind::kSetting:
            return build_setting_command(model, row.setting);
        case Kind::kAllPages:
            return build_all_pages_command(model, row.page);
        case Kind::kHoldTime:
            return build_alarm_hold_time(model);
        case Kind::kConnectorPages:
            return build_connector_pages(model, ConnectorCommand::ACA);
        case Kind::kPowerOnPage:
            return build_power_on_page(model);
    }
    return std::nullopt;
}

bool full_send_step_per_page(int step) {
    return step >= kFirstSettingStep && step < kFullSendSteps &&
           kSettingSteps[step - kFirstSettingStep].kind == Kind::kAllPages;
}

std::optional<std::string> full_send_item_command(const SettingsModel& model, FullSendItem item) {
    if (item.page < 0) return full_send_command(model, item.step);
    if (!full_send_step_per_page(item.step) || item.page >= kPageCount) return std::nullopt;
    return build_page_command(model, kSettingSteps[item.step - kFirstSettingStep].page, item.page);
}

std::string full_send_step_name(int step) {
    if (step < 1 || step > kFullSendSteps) return "ステップ " + std::to_string(step);
    // Titles and schedule days go in the order the read-back reads them, and are named alike.
    if (step < kFirstSettingStep) return read_step_name(read_back_step(step));
    return std::string(kSettingNames[step - kFirstSettingStep]);
}

bool FullSendSequence::can_start() {
    if (!notices_.confirm_not_auto_switching()) return false;
    if (!link_.tcp_is_connected()) {
        notices_.notify_warning(kSocketNotConnected);
        return false;
    }
    refused_page_ = -1;
    return true;
}

FullSendItem FullSendSequence::item(int step) const {
    if (only_.empty()) return {step};
    if (step >= 1 && step <= static_cast<int>(only_.size())) return only_[static_cast<std::size_t>(step - 1)];
    return {kFullSendSteps};
}

std::string FullSendSequence::step_name(int step) const {
    const FullSendItem sent = item(step);
    std::string name = full_send_step_name(sent.step);
    if (sent.page < 0) return name;
    return name + " ページ " + (sent.page < 9 ? "0" : "") + std::to_string(sent.page + 1);
}

bool FullSendSequence::send_step(int sequence_step) {
    const FullSendItem sent = item(sequence_step);
    const int step = sent.step;
    if (step == kHoldTimeStep) {
        send_alarm_hold_time(tool_.model, link_, notices_);  // a refusal is shown and does not stop
        return true;
    }
    const std::optional<std::string> line = full_send_item_command(tool_.model, sent);
    if (!line) {
        if (step < kFirstScheduleStep) {
            refused_page_ = step - 1;
            notices_.notify_warning(kTitleRefused);
            return false;
        }
        return true;
    }
    link_.send_command(*line);
    return true;
}

}  // namespace tvx
