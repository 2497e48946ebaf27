#pragma once

#include <functional>
#include <map>
#include <span>
#include <string_view>

namespace tvx {

// Command ids of the menu bar and the toolbar. The ids are the tool's own and stay as they are.
namespace command {
inline constexpr int kFileNew = 32775;
inline constexpr int kFileOpen = 32776;
inline constexpr int kFileSave = 32777;
inline constexpr int kFileSaveAs = 32778;
inline constexpr int kExit = 121;
inline constexpr int kDateTime = 32780;
inline constexpr int kTitle = 32781;
inline constexpr int kCharSize = 32804;
inline constexpr int kDisplayPosition = 32807;
inline constexpr int kDisplayOffset = 32808;
inline constexpr int kScrollSpeed = 32809;
inline constexpr int kBlink = 32806;
inline constexpr int kAutoSwitch = 32783;
inline constexpr int kCharColour = 32784;
inline constexpr int kBackgroundFill = 32785;
inline constexpr int kCharLevel = 32786;
inline constexpr int kSchedule = 32787;
inline constexpr int kAlarm = 32788;
inline constexpr int kRemote = 32789;
inline constexpr int kOtherOptions = 32790;
inline constexpr int kDisplayPage = 32802;
inline constexpr int kGlyphInsert = 32794;
inline constexpr int kGlyphListSmall = 32811;
inline constexpr int kGlyphListMedium = 32812;
inline constexpr int kGlyphListLarge = 32813;
inline constexpr int kFullSend = 32791;
inline constexpr int kSlaveAddress = 32792;
inline constexpr int kReadBack = 32810;
inline constexpr int kInterface = 32798;
inline constexpr int kSerialSettings = 32799;
inline constexpr int kClientServer = 32803;
inline constexpr int kTcpSettings = 32800;
inline constexpr int kProtocol = 32801;
inline constexpr int kAbout = 120;
inline constexpr int kGlyphInfo = 32814;
// Entries the tool gained later, at the end of their menus (比較... before Exit, which stays last).
inline constexpr int kCommLog = 32830;
inline constexpr int kBusScan = 32831;
inline constexpr int kCompare = 33001;
inline constexpr int kPageOverview = 33002;
}  // namespace command

// One item of the menu bar. Items of a submenu name it in `submenu`; the others leave it empty.
struct MenuEntry {
    std::string_view menu;
    std::string_view submenu;
    std::string_view caption;
    int id;
};

// One toolbar button: its own id, the menu command it stands for, and its tooltip.
struct ToolbarEntry {
    int id;
    int command_id;
    std::string_view tooltip;
};

// The menu bar in menu order, menu by menu.
std::span<const MenuEntry> menu_entries();
// The toolbar buttons in order: the 16 of the setting editors, then the page overview.
std::span<const ToolbarEntry> toolbar_entries();

// The menu command a toolbar id stands for; any other id is returned as it is.
int command_for(int id);

// What each command does. Dialogs register their opener under the menu id as they are built; an
// entry without an opener stays in the menu but cannot be chosen.
class CommandTable {
  public:
    using Opener = std::function<void()>;

    void register_opener(int id, Opener opener);
    // True when the command (menu or toolbar id) has something to run.
    bool has_opener(int id) const;
    // Runs the command's opener; false when it has none.
    bool trigger(int id) const;

  private:
    std::map<int, Opener> openers_;
};

}  // namespace tvx
