#pragma once

#include <QDateTime>
#include <QMainWindow>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "app/command_table.h"
#include "config/notices.h"
#include "editors/document_commands.h"
#include "editors/link_status.h"
#include "model/tool_state.h"

class QAction;
class QMenu;
class QToolBar;

namespace tvx {

class ClockStatusBar;

// The tool's one window: menu bar, toolbar and the status-bar clock. It has no content of its own;
// every task is a modal dialog opened through the command table.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int kWidth = 644;  // outer size, frame included where the platform reports it
    static constexpr int kHeight = 120;
    static constexpr int kTickMs = 100;
    static constexpr int kHiddenEntryClicks = 10;
    static constexpr int kHiddenEntryCorner = 20;

    // Without dialogs the standard file dialogs are used.
    MainWindow(ToolState& tool, Notices& notices, std::unique_ptr<DocumentDialogs> dialogs = nullptr,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Later dialogs register here; the menu item and its toolbar button become available.
    void register_opener(int id, CommandTable::Opener opener);
    // Runs a menu or toolbar command as choosing it does.
    void run_command(int id);

    // Whether a TCP connection is marked connected; Exit is refused while it is.
    void set_tcp_connected_query(std::function<bool()> query) { tcp_connected_ = std::move(query); }
    // The link as it stands, for the status bar; asked at every tick. Without it the status bar tells
    // the configured link only.
    void set_link_query(std::function<LinkSnapshot()> query) { link_query_ = std::move(query); }
    // Where the moments the link goes and comes back are noted besides the status bar (the log).
    void set_link_note(std::function<void(const std::string&)> note) { link_note_ = std::move(note); }
    // The status bar's last result, stamped with the time it came.
    void show_result(const std::string& result);
    // The status bar's link and document cells as they stand now.
    void update_status();

    // The caption by client_server.
    void update_caption();
    // The enabling rules, run each time a menu is shown.
    void refresh_menu_state();
    // One tick of the 100 ms timer: the link's time-out and success notices, then the clock.
    void tick();
    void update_clock(const QDateTime& now);
    // A right-button request at a screen position: the hidden entry to the read-back dialog. Counted in
    // the screen's top-left 20 × 20 pixels and in the same corner of the window's inside.
    void hidden_entry_request(const QPoint& global);

    // The "最近使ったファイル" submenu of the file menu, filled each time it opens.
    QMenu* recent_menu() const { return recent_menu_; }
    void fill_recent_menu();

    QAction* action(int id) const;
    QList<QAction*> toolbar_actions() const;
    QToolBar* tool_bar() const { return tool_bar_; }
    // Sizes the window to an outer width (the screen's, where that is less than the window's own), the
    // toolbar buttons wrapping onto as many rows as they need.
    void fit_width(int outer_width);
    // The rows the toolbar buttons take: one, unless the screen is too narrow for them.
    int tool_bar_rows() const { return int(tool_rows_.size()); }
    ClockStatusBar* clock_bar() const { return clock_bar_; }
    DocumentCommands& documents() { return *documents_; }
    bool timer_active() const { return timer_.isActive(); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& type, void* message, qintptr* result) override;
#endif

  private:
    void build_menus();
    void build_tool_bar();
    QToolBar* add_tool_bar_row();
    // The 16 buttons, per_row to a row, in their order; then the separator.
    void place_tool_buttons(int per_row);
    void fit_tool_buttons(int width);
    void register_built_in_commands();
    void apply_window_size();
    // Exit's rules; true when the tool may end.
    bool exit_allowed();
    bool item_enabled(int id) const;

    ToolState& tool_;
    Notices& notices_;
    std::unique_ptr<DocumentDialogs> dialogs_;
    std::unique_ptr<DocumentCommands> documents_;
    CommandTable commands_;
    std::set<int> built_in_;
    std::map<int, QAction*> actions_;
    QList<QAction*> tool_actions_;
    QToolBar* tool_bar_ = nullptr;  // the first row of buttons
    QList<QToolBar*> tool_rows_;
    int tool_buttons_per_row_ = 0;
    QMenu* recent_menu_ = nullptr;
    ClockStatusBar* clock_bar_ = nullptr;
    QTimer timer_;
    bool in_link_tick_ = false;
    bool ending_ = false;
    std::function<bool()> tcp_connected_;
    std::function<LinkSnapshot()> link_query_;
    std::function<void(const std::string&)> link_note_;
    LinkStatusWatch link_watch_;
    int status_ticks_ = 0;
};

}  // namespace tvx
