#include "app/command_table.h"

#include <array>
#include <utility>

namespace tvx {

namespace {

using namespace command;

constexpr std::array kMenuEntries{
    MenuEntry{"ﾌｧｲﾙ", "", "新規作成", kFileNew},
    MenuEntry{"ﾌｧｲﾙ", "", "開く", kFileOpen},
    MenuEntry{"ﾌｧｲﾙ", "", "上書き保存", kFileSave},
    MenuEntry{"ﾌｧｲﾙ", "", "名前を付けて保存", kFileSaveAs},
    MenuEntry{"ﾌｧｲﾙ", "", "比較...", kCompare},
    MenuEntry{"ﾌｧｲﾙ", "", "ｱﾌﾟﾘｹｰｼｮﾝの終了", kExit},
    MenuEntry{"設定", "", "日付，時刻", kDateTime},
    MenuEntry{"設定", "", "タイトル", kTitle},
    MenuEntry{"設定", "", "文字サイズ", kCharSize},
    MenuEntry{"設定", "", "表示位置", kDisplayPosition},
    MenuEntry{"設定", "", "表示位置微調整", kDisplayOffset},
    MenuEntry{"設定", "", "スクロール速度", kScrollSpeed},
    MenuEntry{"設定", "", "文字点滅", kBlink},
    MenuEntry{"設定", "", "自動切換え", kAutoSwitch},
    MenuEntry{"設定", "", "文字＆縁取り色", kCharColour},
    MenuEntry{"設定", "", "背景色ベタ塗り", kBackgroundFill},
    MenuEntry{"設定", "", "文字レベル", kCharLevel},
    MenuEntry{"設定", "", "スケジュール", kSchedule},
    MenuEntry{"設定", "", "アラーム", kAlarm},
    MenuEntry{"設定", "", "リモート", kRemote},
    MenuEntry{"設定", "", "その他", kOtherOptions},
    MenuEntry{"設定", "", "表示ページ", kDisplayPage},
    MenuEntry{"設定", "", "外字挿入", kGlyphInsert},
    MenuEntry{"設定", "外字一覧", "外字小文字", kGlyphListSmall},
    MenuEntry{"設定", "外字一覧", "外字中文字", kGlyphListMedium},
    MenuEntry{"設定", "外字一覧", "外字大文字", kGlyphListLarge},
    MenuEntry{"設定", "", "全項目の設定", kFullSend},
    MenuEntry{"設定", "", "機器のスレーブアドレス", kSlaveAddress},
    MenuEntry{"設定", "メンテナンス", "設定項目の読み込み", kReadBack},
    MenuEntry{"設定", "", "ページ一覧（モニタ表示）", kPageOverview},
    MenuEntry{"インターフェイス", "", "インターフェイスの設定", kInterface},
    MenuEntry{"インターフェイス", "", "RS-232C/485の設定", kSerialSettings},
    MenuEntry{"インターフェイス", "", "クライアント/サーバー", kClientServer},
    MenuEntry{"インターフェイス", "", "TCP/IPの設定", kTcpSettings},
    MenuEntry{"インターフェイス", "", "通信ログ", kCommLog},
    MenuEntry{"インターフェイス", "", "RS-485 スキャン", kBusScan},
    MenuEntry{"プロトコル", "", "プロトコルの設定", kProtocol},
    MenuEntry{"情報", "", "TVX230 のﾊﾞｰｼﾞｮﾝ情報.", kAbout},
    MenuEntry{"情報", "", "外字について", kGlyphInfo},
};

constexpr std::array kToolbarEntries{
    ToolbarEntry{501, kDateTime, "日付，時刻の設定"},
    ToolbarEntry{502, kTitle, "タイトルの設定"},
    ToolbarEntry{503, kCharSize, "文字サイズの設定"},
    ToolbarEntry{504, kDisplayPosition, "表示位置の設定"},
    ToolbarEntry{505, kDisplayOffset, "表示位置微調整"},
    ToolbarEntry{506, kScrollSpeed, "スクロール速度の設定"},
    ToolbarEntry{507, kBlink, "文字点滅の設定"},
    ToolbarEntry{508, kAutoSwitch, "自動切換えの設定"},
    ToolbarEntry{509, kCharColour, "文字＆縁取り色の設定"},
    ToolbarEntry{510, kBackgroundFill, "背景色ベタ塗りの設定"},
    ToolbarEntry{511, kCharLevel, "文字レベルの設定"},
    ToolbarEntry{512, kSchedule, "スケジュールの設定"},
    ToolbarEntry{513, kAlarm, "アラームの設定"},
    ToolbarEntry{514, kRemote, "リモートの設定"},
    ToolbarEntry{515, kOtherOptions, "その他の設定"},
    ToolbarEntry{516, kDisplayPage, "表示ページの設定"},
    ToolbarEntry{517, kPageOverview, "ページ一覧（モニタ表示）"},
};

}  // namespace

std::span<const MenuEntry> menu_entries() {
    return kMenuEntries;
}

std::span<const ToolbarEntry> toolbar_entries() {
    return kToolbarEntries;
}

int command_for(int id) {
    for (const ToolbarEntry& entry : kToolbarEntries) {
        if (entry.id == id) return entry.command_id;
    }
    return id;
}

void CommandTable::register_opener(int id, Opener opener) {
    if (opener) {
        openers_[command_for(id)] = std::move(opener);
    } else {
        openers_.erase(command_for(id));
    }
}

bool CommandTable::has_opener(int id) const {
    return openers_.count(command_for(id)) != 0;
}

bool CommandTable::trigger(int id) const {
    const auto it = openers_.find(command_for(id));
    if (it == openers_.end()) return false;
    // A copy, so that an opener that registers openers itself does not pull the ground from under it.
    const Opener opener = it->second;
    opener();
    return true;
}

}  // namespace tvx
