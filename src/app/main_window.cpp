#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeySequence>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QToolBar>
#include <QWindow>
#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#include <windowsx.h>
#endif

#include "app/clock_text.h"
#include "config/path_text.h"
#include "glyphs/unsaved_banks.h"
#include "model/settings_document.h"
#include "protocol/link_tick.h"
#include "ui/clock_status_bar.h"
#include "ui/file_document_dialogs.h"
#include "ui/info_boxes.h"
#include "ui/toolbar_icons.h"

namespace tvx {

namespace {

constexpr int kButtonBorder = 1;

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// The keys every desktop program gives its file commands: the platform's own where it has one, the
// usual one where it has none (Windows knows no key for Save As and Quit).
QList<QKeySequence> file_shortcuts(int id) {
    using namespace command;
    const auto keys = [](QKeySequence::StandardKey standard, QKeyCombination fallback) {
        QList<QKeySequence> found = QKeySequence::keyBindings(standard);
        if (found.isEmpty()) found.append(QKeySequence(fallback));
        return found;
    };
    switch (id) {
        case kFileNew:
            return keys(QKeySequence::New, Qt::CTRL | Qt::Key_N);
        case kFileOpen:
            return keys(QKeySequence::Open, Qt::CTRL | Qt::Key_O);
        case kFileSave:
            return keys(QKeySequence::Save, Qt::CTRL | Qt::Key_S);
        case kFileSaveAs:
            return keys(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S);
        case kExit:
            return keys(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q);
        default:
            return {};
    }
}

}  // namespace

MainWindow::MainWindow(ToolState& tool, Notices& notices, std::unique_ptr<DocumentDialogs> dialogs,
                       QWidget* parent)
    : QMainWindow(parent), tool_(tool), notices_(notices), dialogs_(std::move(dialogs)) {
    if (!dialogs_) dialogs_ = std::make_unique<FileDocumentDialogs>(this, tool_.config);
    documents_ = std::make_unique<DocumentCommands>(tool_, notices_, *dialogs_);

    // Caption, system menu, minimise and close; no maximise and no sizing border.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(application_icon());

    auto* ground = new QWidget(this);
    ground->setAutoFillBackground(true);
    QPalette white = ground->palette();
    white.setColor(QPalette::Window, Qt::white);
    ground->setPalette(white);
    setCentralWidget(ground);

    clock_bar_ = new ClockStatusBar(this);
    setStatusBar(clock_bar_);
    build_tool_bar();
    register_built_in_commands();
    build_menus();

    update_caption();
    refresh_menu_state();
    update_clock(QDateTime::currentDateTime());
    update_status();
    move(0, 0);
    apply_window_size();

    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &MainWindow::tick);
}

MainWindow::~MainWindow() = default;

void MainWindow::register_built_in_commands() {
    using namespace command;
    const auto built_in = [this](int id, CommandTable::Opener opener) {
        commands_.register_opener(id, std::move(opener));
        built_in_.insert(id);
    };
    built_in(kFileNew, [this] { documents_->document_new(); });
    built_in(kFileOpen, [this] { documents_->document_open(); });
    built_in(kFileSave, [this] { documents_->document_save(); });
    built_in(kFileSaveAs, [this] { documents_->document_save_as(); });
    built_in(kExit, [this] { close(); });
    built_in(kAbout, [this] { show_about_box(this); });
    built_in(kGlyphInfo, [this] { show_glyph_info_box(this); });
}

void MainWindow::build_menus() {
    std::map<QString, QMenu*> menus;
    std::map<QString, QMenu*> submenus;
    for (const MenuEntry& entry : menu_entries()) {
        QMenu*& menu = menus[text(entry.menu)];
        if (!menu) {
            menu = menuBar()->addMenu(text(entry.menu));
            connect(menu, &QMenu::aboutToShow, this, &MainWindow::refresh_menu_state);
        }
        QMenu* target = menu;
        if (!entry.submenu.empty()) {
            QMenu*& sub = submenus[text(entry.menu) + QLatin1Char('/') + text(entry.submenu)];
            if (!sub) {
                sub = menu->addMenu(text(entry.submenu));
                connect(sub, &QMenu::aboutToShow, this, &MainWindow::refresh_menu_state);
            }
            target = sub;
        }
        // Exit stands last, apart from the document commands.
        if (entry.id == command::kExit) target->addSeparator();
        QAction* item = target->addAction(text(entry.caption));
        item->setData(entry.id);
        item->setShortcuts(file_shortcuts(entry.id));
        const int id = entry.id;
        connect(item, &QAction::triggered, this, [this, id] { run_command(id); });
        actions_[id] = item;
        if (id == command::kFileOpen) {
            recent_menu_ = target->addMenu(QStringLiteral("最近使ったファイル"));
            connect(recent_menu_, &QMenu::aboutToShow, this, &MainWindow::fill_recent_menu);
        }
    }
}

void MainWindow::fill_recent_menu() {
    recent_menu_->clear();
    const RecentFiles& files = tool_.config.recent_files;
    if (files.empty()) {
        recent_menu_->addAction(QStringLiteral("(なし)"))->setEnabled(false);
        return;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        QString shown = QDir::toNativeSeparators(text(files[i]));
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        // The number is the item's key while the menu is open.
        QAction* item = recent_menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        const std::string path = files[i];
        connect(item, &QAction::triggered, this, [this, path] { documents_->document_open_recent(path); });
    }
}

void MainWindow::build_tool_bar() {
    tool_bar_ = add_tool_bar_row();
    int index = 0;
    for (const ToolbarEntry& entry : toolbar_entries()) {
        QAction* button = new QAction(QIcon(toolbar_image(index++)), QString(), this);
        button->setToolTip(text(entry.tooltip));
        button->setData(entry.id);
        const int id = entry.id;
        connect(button, &QAction::triggered, this, [this, id] { run_command(id); });
        tool_actions_.append(button);
    }
    place_tool_buttons(int(tool_actions_.size()));
}

QToolBar* MainWindow::add_tool_bar_row() {
    auto* row = new QToolBar(this);
    row->setMovable(false);
    row->setFloatable(false);
    row->setIconSize(QSize(kToolbarImageWidth, kToolbarImageHeight));
    row->setToolButtonStyle(Qt::ToolButtonIconOnly);
    row->toggleViewAction()->setVisible(false);
    if (!tool_rows_.isEmpty()) addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, row);
    tool_rows_.append(row);
    return row;
}

void MainWindow::place_tool_buttons(int per_row) {
    for (QToolBar* row : tool_rows_) row->clear();
    while (tool_rows_.size() > 1) {
        QToolBar* extra = tool_rows_.takeLast();
        removeToolBarBreak(extra);
        removeToolBar(extra);
        delete extra;
    }
    QToolBar* row = tool_bar_;
    for (int i = 0; i < tool_actions_.size(); ++i) {
        if (i > 0 && i % per_row == 0) row = add_tool_bar_row();
        QAction* button = tool_actions_[i];
        row->addAction(button);
        // A thin border around the image, so that all 17 fit the window's width.
        if (QWidget* widget = row->widgetForAction(button)) {
            widget->setFixedSize(kToolbarImageWidth + 2 * kButtonBorder,
                                 kToolbarImageHeight + 2 * kButtonBorder);
        }
    }
    row->addSeparator();
    tool_buttons_per_row_ = per_row;
}

void MainWindow::fit_tool_buttons(int width) {
    // The buttons wrap onto further rows where the window is narrower than one row of them (a large
    // scale factor on a small screen); the order stays.
    const int count = int(tool_actions_.size());
    const QWidget* first = tool_bar_->widgetForAction(tool_actions_.front());
    const int spacing = tool_bar_->layout() ? tool_bar_->layout()->spacing() : 0;
    const int pitch = (first ? first->width() : kToolbarImageWidth + 2 * kButtonBorder) + spacing;
    const QMargins margins = tool_bar_->contentsMargins();
    // Room for the trailing separator and the frame around the buttons.
    const int room = width - margins.left() - margins.right() -
                     2 * tool_bar_->style()->pixelMetric(QStyle::PM_ToolBarFrameWidth) -
                     tool_bar_->style()->pixelMetric(QStyle::PM_ToolBarSeparatorExtent) - pitch / 2;
    const int per_row = std::clamp(room / pitch, 1, count);
    if (per_row != tool_buttons_per_row_) place_tool_buttons(per_row);
}

void MainWindow::apply_window_size() {
    // At a large scale factor a small screen is narrower than the window: it takes the screen's width
    // and grows downwards instead, never past the screen's edge.
    int outer_width = kWidth;
    if (const QScreen* shown_on = screen()) {
        outer_width = std::min(outer_width, shown_on->availableGeometry().width());
    }
    fit_width(outer_width);
}

void MainWindow::fit_width(int outer_width) {
    // The size is the window's outer size. Where the platform reports the frame, the inside is made
    // that much smaller, but never too small for the menu bar, toolbar and status bar.
    QMargins frame;
    if (const QWindow* handle = windowHandle()) frame = handle->frameMargins();
    const int width = outer_width - frame.left() - frame.right();
    fit_tool_buttons(width);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // Rows added to a window on the screen are shown at once, so that the height below counts them.
    if (isVisible()) {
        for (QToolBar* row : tool_rows_) row->show();
    }
    if (layout()) layout()->activate();
    const int height = qMax(kHeight - frame.top() - frame.bottom(), minimumSizeHint().height());
    setFixedSize(width, height);
}

void MainWindow::register_opener(int id, CommandTable::Opener opener) {
    commands_.register_opener(id, std::move(opener));
    built_in_.erase(command_for(id));
    refresh_menu_state();
}

void MainWindow::run_command(int id) {
    using namespace command;
    id = command_for(id);
    if (id == kProtocol && tool_.config.link_interface == 1) {
        notices_.notify_error("インターフェイスをRS-232Cにしてください。");
        return;
    }
    // Every editor starts the hidden entry's count again when it opens.
    if (!built_in_.count(id) && commands_.has_opener(id)) tool_.model.run.hidden_entry_count = 0;
    commands_.trigger(id);
    if (id == kClientServer) update_caption();
}

void MainWindow::update_caption() {
    setWindowTitle(tool_.config.client_server == 1 ? QStringLiteral("TVX-230 Server Program")
                                                   : QStringLiteral("TVX-230 Client Program"));
}

bool MainWindow::item_enabled(int id) const {
    using namespace command;
    const bool tcp = tool_.config.link_interface == 1;
    // With TCP/IP the protocol item is there to say why it cannot open.
    const bool available = commands_.has_opener(id) || (id == kProtocol && tcp);
    switch (id) {
        case kClientServer:
        case kTcpSettings:
            return available && tcp;
        case kSerialSettings:
            return available && !tcp;
        case kSlaveAddress:
        case kBusScan:
            return available && !tcp && tool_.config.rs_control == 1;
        default:
            return available;
    }
}

void MainWindow::refresh_menu_state() {
    for (const auto& [id, item] : actions_) item->setEnabled(item_enabled(id));
    for (QAction* button : tool_actions_) button->setEnabled(commands_.has_opener(button->data().toInt()));
}

void MainWindow::tick() {
    // A notice box raised by the link keeps the event loop running; the ticks that arrive meanwhile
    // only move the clock, so one tick never runs inside another.
    if (!in_link_tick_) {
        in_link_tick_ = true;
        link_tick(tool_.link, notices_);
        in_link_tick_ = false;
    }
    update_clock(QDateTime::currentDateTime());
    update_status();
}

void MainWindow::show_result(const std::string& result) {
    clock_bar_->set_info_text(ClockStatusBar::Info::kResult,
                              QTime::currentTime().toString(QStringLiteral("HH:mm:ss ")) + text(result));
}

void MainWindow::update_status() {
    const LinkSnapshot link = link_query_ ? link_query_() : configured_link(tool_);
    clock_bar_->set_info_text(ClockStatusBar::Info::kLink, text(link_status_text(link)));
    if (const std::optional<std::string> change = link_watch_.update(link)) {
        show_result(*change);
        if (link_note_) link_note_(*change);
    }
    // What a save would write is compared with the saved document: twice a second is often enough.
    if (status_ticks_++ % 5 == 0) {
        clock_bar_->set_info_text(
            ClockStatusBar::Info::kDocument,
            text(document_status_text(path_to_utf8(tool_.document_path), data_modified(tool_.model))));
    }
}

void MainWindow::update_clock(const QDateTime& now) {
    clock_bar_->set_part_text(0, clock_date_text(now.date()));
    clock_bar_->set_part_text(1, clock_time_text(now.time()));
}

void MainWindow::hidden_entry_request(const QPoint& global) {
    int& count = tool_.model.run.hidden_entry_count;
    // The screen's corner. On Windows the system draws the caption there and its right clicks come
    // through nativeEvent, so that corner alone counts. Where a window manager owns the caption and keeps
    // its clicks, the same corner of the window's inside (its menu bar) counts as well.
    const bool screen_corner = global.x() < kHiddenEntryCorner && global.y() < kHiddenEntryCorner;
#ifdef Q_OS_WIN
    const bool window_corner = false;
#else
    const QPoint inside = mapFromGlobal(global);
    const bool window_corner = inside.x() >= 0 && inside.y() >= 0 && inside.x() < kHiddenEntryCorner &&
                               inside.y() < kHiddenEntryCorner;
#endif
    if (screen_corner || window_corner) {
        ++count;
    } else {
        count = 0;
    }
    if (count >= kHiddenEntryClicks) {
        count = 0;
        run_command(command::kReadBack);
    }
}

QAction* MainWindow::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QList<QAction*> MainWindow::toolbar_actions() const {
    return tool_actions_;
}

bool MainWindow::exit_allowed() {
    if (tcp_connected_ && tcp_connected_()) {
        notices_.notify_error("TCP/IPを切断してください。");
        return false;
    }
    // Unsaved glyph banks: No goes back to the tool, where the lists can save them.
    if (!confirm_discard_unsaved_banks(tool_.glyphs, notices_, kExitWithoutBanksQuestion)) return false;
    if (data_modified(tool_.model) && !notices_.ask_yes_no("データを保存せずに終了しますか？")) {
        // The operator wants the settings kept: a save that fails or is cancelled keeps the tool open.
        return documents_->save_for_exit();
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!ending_ && !exit_allowed()) {
        event->ignore();
        return;
    }
    ending_ = true;
    timer_.stop();
    tool_.link.app_running = 0;
    event->accept();
    QCoreApplication::quit();
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    // Requests from the menu bar, toolbar and status bar arrive here too; the keyboard's is not a click.
    if (event->reason() == QContextMenuEvent::Mouse) hidden_entry_request(event->globalPos());
    event->accept();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    apply_window_size();
    if (!ending_ && !timer_.isActive()) timer_.start();
}

#ifdef Q_OS_WIN
bool MainWindow::nativeEvent(const QByteArray& type, void* message, qintptr* result) {
    // A right click on the caption or frame is not delivered as a context menu event; the corner of
    // the screen is covered by the caption, so it is taken here.
    if (type == "windows_generic_MSG") {
        const MSG* msg = static_cast<const MSG*>(message);
        // A request from the keyboard (Shift+F10, the menu key) carries -1 for both coordinates; it is
        // no click, and is left to Qt. The coordinates are compared, not lParam as a whole: on 64-bit
        // Windows the two packed -1 need not make an lParam of -1.
        const POINT point{GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)};
        if (msg->message == WM_CONTEXTMENU && !(point.x == -1 && point.y == -1)) {
            POINT client_point = point;
            RECT client{};
            ScreenToClient(msg->hwnd, &client_point);
            GetClientRect(msg->hwnd, &client);
            if (!PtInRect(&client, client_point)) {
                hidden_entry_request(QPoint(point.x, point.y));
                *result = 0;
                return true;
            }
        }
    }
    return QMainWindow::nativeEvent(type, message, result);
}
#endif

}  // namespace tvx
