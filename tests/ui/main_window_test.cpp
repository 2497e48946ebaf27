#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <deque>
#include <optional>

#include <gtest/gtest.h>

#include "app/clock_text.h"
#include "link/code_page_932.h"
#include "model/settings_document.h"
#include "support/recording_notices.h"
#include "ui/clock_status_bar.h"
#include "ui/info_boxes.h"
#include "ui/message_box_notices.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

using testing::RecordingNotices;

// Save and open dialogs answered from a script; nothing scripted means cancelled.
class ScriptedDialogs : public DocumentDialogs {
  public:
    std::optional<std::filesystem::path> ask_open_path() override { return next(); }
    std::optional<std::filesystem::path> ask_save_path() override {
        ++save_asked;
        return next();
    }
    bool confirm_overwrite(const std::filesystem::path&) override { return true; }

    std::deque<std::optional<std::string>> paths;
    int save_asked = 0;

  private:
    std::optional<std::string> next() {
        if (paths.empty()) return std::nullopt;
        auto path = paths.front();
        paths.pop_front();
        return path;
    }
};

constexpr int kHiddenEntryOutside = MainWindow::kHiddenEntryCorner;

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        reset_settings(tool);
        make_window();
    }

    void make_window() {
        window.reset();
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        window = std::make_unique<MainWindow>(tool, notices, std::move(scripted));
    }

    void register_all_openers() {
        for (const MenuEntry& entry : menu_entries()) {
            if (entry.id == command::kExit || entry.id == command::kAbout ||
                entry.id == command::kGlyphInfo || entry.id == command::kFileNew ||
                entry.id == command::kFileOpen || entry.id == command::kFileSave ||
                entry.id == command::kFileSaveAs) {
                continue;
            }
            const int id = entry.id;
            window->register_opener(id, [this, id] { opened.push_back(id); });
        }
    }

    void right_click(QWidget* target, QPoint global) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, target->mapFromGlobal(global), global);
        QApplication::sendEvent(target, &event);
    }

    ToolState tool;
    RecordingNotices notices;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<MainWindow> window;
    std::vector<int> opened;
};

TEST_F(MainWindowTest, MenuBarHoldsEveryItemInOrderWithItsId) {
    struct Item {
        const char* path;
        int id;
    };
    const std::vector<Item> expected{
        {"ﾌｧｲﾙ/新規作成", 32775},
        {"ﾌｧｲﾙ/開く", 32776},
        {"ﾌｧｲﾙ/上書き保存", 32777},
        {"ﾌｧｲﾙ/名前を付けて保存", 32778},
        {"ﾌｧｲﾙ/比較...", 33001},
        {"ﾌｧｲﾙ/ｱﾌﾟﾘｹｰｼｮﾝの終了", 121},
        {"設定/日付，時刻", 32780},
        {"設定/タイトル", 32781},
        {"設定/文字サイズ", 32804},
        {"設定/表示位置", 32807},
        {"設定/表示位置微調整", 32808},
        {"設定/スクロール速度", 32809},
        {"設定/文字点滅", 32806},
        {"設定/自動切換え", 32783},
        {"設定/文字＆縁取り色", 32784},
        {"設定/背景色ベタ塗り", 32785},
        {"設定/文字レベル", 32786},
        {"設定/スケジュール", 32787},
        {"設定/アラーム", 32788},
        {"設定/リモート", 32789},
        {"設定/その他", 32790},
        {"設定/表示ページ", 32802},
        {"設定/外字挿入", 32794},
        {"設定/外字一覧/外字小文字", 32811},
        {"設定/外字一覧/外字中文字", 32812},
        {"設定/外字一覧/外字大文字", 32813},
        {"設定/全項目の設定", 32791},
        {"設定/機器のスレーブアドレス", 32792},
        {"設定/メンテナンス/設定項目の読み込み", 32810},
        {"設定/ページ一覧（モニタ表示）", 33002},
        {"インターフェイス/インターフェイスの設定", 32798},
        {"インターフェイス/RS-232C/485の設定", 32799},
        {"インターフェイス/クライアント/サーバー", 32803},
        {"インターフェイス/TCP/IPの設定", 32800},
        {"インターフェイス/通信ログ", 32830},
        {"インターフェイス/RS-485 スキャン", 32831},
        {"プロトコル/プロトコルの設定", 32801},
        {"情報/TVX230 のﾊﾞｰｼﾞｮﾝ情報.", 120},
        {"情報/外字について", 32814},
    };

    std::vector<std::pair<QString, int>> found;
    std::function<void(QMenu*, const QString&)> walk = [&](QMenu* menu, const QString& prefix) {
        for (QAction* item : menu->actions()) {
            if (item->isSeparator()) continue;
            if (item->menu()) {
                walk(item->menu(), prefix + item->text() + "/");
            } else {
                found.emplace_back(prefix + item->text(), item->data().toInt());
            }
        }
    };
    QStringList titles;
    for (QAction* top : window->menuBar()->actions()) {
        titles << top->text();
        walk(top->menu(), top->text() + "/");
    }
    EXPECT_EQ(titles, QStringList({"ﾌｧｲﾙ", "設定", "インターフェイス", "プロトコル", "情報"}));
    // Exit closes the file menu, set apart by a separator.
    const QList<QAction*> file_items = window->menuBar()->actions()[0]->menu()->actions();
    ASSERT_GE(file_items.size(), 3);
    EXPECT_EQ(file_items.back()->data().toInt(), command::kExit);
    EXPECT_TRUE(file_items[file_items.size() - 2]->isSeparator());
    EXPECT_EQ(file_items[file_items.size() - 3]->data().toInt(), command::kCompare);
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(found[i].first, QString::fromUtf8(expected[i].path)) << i;
        EXPECT_EQ(found[i].second, expected[i].id) << expected[i].path;
    }
}

TEST_F(MainWindowTest, ToolbarHasSeventeenDistinctButtonsWithTooltipsThenASeparator) {
    const QStringList tooltips{"日付，時刻の設定",     "タイトルの設定",          "文字サイズの設定",
                               "表示位置の設定",       "表示位置微調整",          "スクロール速度の設定",
                               "文字点滅の設定",       "自動切換えの設定",        "文字＆縁取り色の設定",
                               "背景色ベタ塗りの設定", "文字レベルの設定",        "スケジュールの設定",
                               "アラームの設定",       "リモートの設定",          "その他の設定",
                               "表示ページの設定",     "ページ一覧（モニタ表示）"};
    const QList<QAction*> buttons = window->toolbar_actions();
    ASSERT_EQ(buttons.size(), 17);
    std::vector<QImage> images;
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(buttons[i]->toolTip(), tooltips[i]);
        EXPECT_EQ(buttons[i]->data().toInt(), 501 + i);
        const QImage image = buttons[i]->icon().pixmap(QSize(32, 22)).toImage();
        EXPECT_EQ(image.size(), QSize(32, 22));
        for (const QImage& earlier : images) EXPECT_NE(image, earlier) << "button " << i + 1;
        images.push_back(image);
    }
    EXPECT_EQ(window->tool_bar()->iconSize(), QSize(32, 22));
    EXPECT_TRUE(window->tool_bar()->actions().back()->isSeparator());
}

TEST_F(MainWindowTest, ToolbarButtonsOpenTheirMenuCommandOnceRegistered) {
    QAction* date_button = window->toolbar_actions().front();
    EXPECT_FALSE(date_button->isEnabled());
    window->register_opener(command::kDateTime, [this] { opened.push_back(command::kDateTime); });
    EXPECT_TRUE(date_button->isEnabled());
    EXPECT_TRUE(window->action(command::kDateTime)->isEnabled());
    date_button->trigger();
    EXPECT_EQ(opened, std::vector<int>{command::kDateTime});
}

TEST_F(MainWindowTest, WindowIsFixedAtTheCornerWithCaptionByRole) {
    EXPECT_EQ(window->windowTitle(), "TVX-230 Client Program");
    EXPECT_EQ(window->size(), QSize(644, 120));
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    tool.config.client_server = 1;
    make_window();
    EXPECT_EQ(window->windowTitle(), "TVX-230 Server Program");

    // The client/server dialog may change the role; the caption follows when it closes.
    tool.config.link_interface = 1;
    window->register_opener(command::kClientServer, [this] { tool.config.client_server = 0; });
    window->action(command::kClientServer)->trigger();
    EXPECT_EQ(window->windowTitle(), "TVX-230 Client Program");
}

// The file commands answer to the keys of every desktop program; their texts stay as they are.
TEST_F(MainWindowTest, FileCommandsHaveTheDesktopKeysAndKeepTheirTexts) {
    const std::pair<int, QKeySequence> keys[] = {
        {command::kFileNew, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {command::kFileOpen, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {command::kFileSave, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {command::kFileSaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {command::kExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (const auto& [id, key] : keys) {
        EXPECT_TRUE(window->action(id)->shortcuts().contains(key)) << id;
    }
    EXPECT_EQ(window->action(command::kFileSaveAs)->text(), "名前を付けて保存");
    EXPECT_TRUE(window->action(command::kDateTime)->shortcuts().isEmpty());

    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    tool.document_path.clear();
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Don't file open"});
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialogs->save_asked, 1);
}

// The submenu lists the documents newest first under their numbers; choosing one opens it.
TEST_F(MainWindowTest, RecentFilesSubmenuOpensADocumentAndSaysNoneWhenEmpty) {
    QMenu* recent = window->recent_menu();
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->title(), "最近使ったファイル");
    QMenu* file = nullptr;
    for (QObject* object : window->action(command::kFileOpen)->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(object)) file = menu;
    }
    ASSERT_NE(file, nullptr);
    const QList<QAction*> items = file->actions();
    EXPECT_EQ(items.indexOf(recent->menuAction()), items.indexOf(window->action(command::kFileOpen)) + 1);

    window->fill_recent_menu();
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_FALSE(recent->actions().front()->isEnabled());

    QTemporaryDir dir;
    SettingsModel saved;
    saved.alarm_mode = 1;
    const std::string path = dir.filePath("R&D.dat").toStdString();
    QFile out(QString::fromStdString(path));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray::fromStdString(write_document(saved)));
    out.close();
    tool.config.recent_files = {path, dir.filePath("gone.dat").toStdString()};
    window->fill_recent_menu();
    ASSERT_EQ(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[0]->text(), "&1 " + QDir::toNativeSeparators(dir.filePath("R&&D.dat")));
    recent->actions()[0]->trigger();
    EXPECT_EQ(tool.model.alarm_mode, 1);
    EXPECT_EQ(tool.document_path, path);
}

// A screen narrower than the window (a scale factor of 2 on 1280 pixels leaves 640) takes the window at
// its width; the buttons wrap onto a second row, in order, and the window grows downwards.
TEST_F(MainWindowTest, ANarrowScreenWrapsTheToolbarInsteadOfCuttingIt) {
    window->show();
    EXPECT_EQ(window->tool_bar_rows(), 1);
    const int one_row_height = window->height();
    window->fit_width(400);
    EXPECT_LE(window->frameGeometry().width(), 400);
    EXPECT_GE(window->tool_bar_rows(), 2);
    QApplication::processEvents();
    int right_edge = 0;
    for (QAction* button : window->toolbar_actions()) {
        const QList<QObject*> shown = button->associatedObjects();
        ASSERT_FALSE(shown.isEmpty());
        QWidget* widget = nullptr;
        for (QObject* object : shown) {
            if (auto* bar = qobject_cast<QToolBar*>(object)) widget = bar->widgetForAction(button);
        }
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->isVisible());
        right_edge = std::max(right_edge, widget->mapTo(window.get(), QPoint(widget->width(), 0)).x());
    }
    EXPECT_LE(right_edge, window->width());
    // Below the rows the status bar is whole; where the rows need more height the window grows.
    const auto status_bar_whole = [&] {
        QApplication::processEvents();
        const QRect status = window->clock_bar()->geometry();
        return status.bottom() < window->height() &&
               status.height() >= window->clock_bar()->minimumSizeHint().height();
    };
    EXPECT_TRUE(status_bar_whole());
    window->grab().save(QStringLiteral("/tmp/tvx230_main_window_narrow.png"));
    window->fit_width(160);
    EXPECT_GE(window->tool_bar_rows(), 4);
    EXPECT_GT(window->height(), one_row_height);
    EXPECT_TRUE(status_bar_whole());

    window->fit_width(MainWindow::kWidth);
    EXPECT_EQ(window->tool_bar_rows(), 1);
    EXPECT_EQ(window->height(), one_row_height);
}

TEST_F(MainWindowTest, MenuEnablingFollowsTheLinkAndRegisteredOpeners) {
    QAction* serial = window->action(command::kSerialSettings);
    QAction* client_server = window->action(command::kClientServer);
    QAction* tcp = window->action(command::kTcpSettings);
    QAction* slave = window->action(command::kSlaveAddress);
    QAction* scan = window->action(command::kBusScan);

    // Nothing registered yet: the editors' items are there but cannot be chosen; the shell's own can.
    window->refresh_menu_state();
    EXPECT_FALSE(serial->isEnabled());
    EXPECT_FALSE(window->action(command::kTitle)->isEnabled());
    EXPECT_TRUE(window->action(command::kExit)->isEnabled());
    EXPECT_TRUE(window->action(command::kFileSaveAs)->isEnabled());
    EXPECT_TRUE(window->action(command::kAbout)->isEnabled());
    EXPECT_TRUE(window->action(command::kGlyphInfo)->isEnabled());

    register_all_openers();
    struct Case {
        int link_interface, rs_control;
        bool serial, client_server, tcp, slave;
    };
    for (const Case c : {Case{0, 0, true, false, false, false}, Case{0, 1, true, false, false, true},
                         Case{1, 0, false, true, true, false}, Case{1, 1, false, true, true, false}}) {
        tool.config.link_interface = c.link_interface;
        tool.config.rs_control = c.rs_control;
        // The rules run whenever a menu is about to show.
        emit window->menuBar()->actions()[2]->menu()->aboutToShow();
        SCOPED_TRACE(::testing::Message() << "interface " << c.link_interface << " rs " << c.rs_control);
        EXPECT_EQ(serial->isEnabled(), c.serial);
        EXPECT_EQ(client_server->isEnabled(), c.client_server);
        EXPECT_EQ(tcp->isEnabled(), c.tcp);
        EXPECT_EQ(slave->isEnabled(), c.slave);
        // The bus scan asks RS-485 addresses: like the slave address, only on an RS-485 line.
        EXPECT_EQ(scan->isEnabled(), c.slave);
        EXPECT_TRUE(window->action(command::kTitle)->isEnabled());
    }
}

TEST_F(MainWindowTest, ProtocolSettingsRefusesOnTcp) {
    window->register_opener(command::kProtocol, [this] { opened.push_back(command::kProtocol); });
    tool.config.link_interface = 1;
    window->refresh_menu_state();
    ASSERT_TRUE(window->action(command::kProtocol)->isEnabled());
    window->action(command::kProtocol)->trigger();
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"インターフェイスをRS-232Cにしてください。"});

    notices.clear();
    tool.config.link_interface = 0;
    window->action(command::kProtocol)->trigger();
    EXPECT_EQ(opened, std::vector<int>{command::kProtocol});
    EXPECT_TRUE(notices.calls.empty());
}

TEST_F(MainWindowTest, TenRightClicksAtTheCornerOpenTheReadBack) {
    register_all_openers();
    window->show();
    for (int i = 0; i < 9; ++i) right_click(window.get(), QPoint(3, 19));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(tool.model.run.hidden_entry_count, 9);
    // A click from the toolbar counts as well.
    right_click(window->tool_bar(), QPoint(0, 0));
    EXPECT_EQ(opened, std::vector<int>{command::kReadBack});
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);

    // A click elsewhere starts the count again.
    opened.clear();
    for (int i = 0; i < 5; ++i) right_click(window.get(), QPoint(5, 5));
    // Outside the screen's corner and the window's own (which begins a frame's width further in).
    right_click(window.get(), window->mapToGlobal(QPoint(kHiddenEntryOutside, 0)) + QPoint(0, 5));
    for (int i = 0; i < 9; ++i) right_click(window.get(), QPoint(5, 5));
    EXPECT_TRUE(opened.empty());
    right_click(window.get(), QPoint(5, 5));
    EXPECT_EQ(opened, std::vector<int>{command::kReadBack});
    window->hide();
}

TEST_F(MainWindowTest, RightClicksInTheWindowsOwnCornerCountWhereTheCaptionIsNotOurs) {
    // A window manager draws the caption over the screen's corner: the window's inside is below it.
    register_all_openers();
    window->move(140, 90);
    window->show();
    const QPoint corner = window->mapToGlobal(QPoint(0, 0));
    ASSERT_GE(corner.x(), kHiddenEntryOutside);
#ifdef Q_OS_WIN
    // On Windows the caption is the system's and reaches the tool: the screen's corner alone counts.
    for (int i = 0; i < 10; ++i) right_click(window->menuBar(), corner + QPoint(4, 4));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);
    window->hide();
    return;
#endif
    for (int i = 0; i < 9; ++i)
        right_click(window->menuBar(), corner + QPoint(i % 2 ? 19 : 0, i % 2 ? 0 : 19));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(tool.model.run.hidden_entry_count, 9);
    right_click(window->menuBar(), corner + QPoint(20, 2));  // just outside
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);
    for (int i = 0; i < 10; ++i) right_click(window->menuBar(), corner + QPoint(4, 4));
    EXPECT_EQ(opened, std::vector<int>{command::kReadBack});
    window->hide();
}

TEST(ClockText, DateKeepsTheWeekdayAtTheSeventeenthByte) {
    EXPECT_EQ(clock_date_text(QDate(2027, 1, 6)), "2027年 1月 6日  水曜日");
    EXPECT_EQ(clock_date_text(QDate(2026, 12, 27)), "2026年12月27日  日曜日");
    EXPECT_EQ(clock_date_text(QDate(2027, 1, 9)), "2027年 1月 9日  土曜日");
    for (const QDate date : {QDate(2027, 1, 6), QDate(2026, 12, 27)}) {
        const CodePage932Bytes encoded = encode_code_page_932(clock_date_text(date));
        ASSERT_FALSE(encoded.error);
        ASSERT_EQ(encoded.bytes.size(), 22);
        EXPECT_EQ(encoded.bytes.mid(16), encode_code_page_932(clock_date_text(date).right(3)).bytes);
    }
    EXPECT_EQ(clock_time_text(QTime(9, 5, 3)), "09：05：03");
    EXPECT_EQ(clock_time_text(QTime(23, 59, 0)), "23：59：00");
}

TEST_F(MainWindowTest, TickRunsTheLinkThenTheClock) {
    window->update_clock(QDateTime(QDate(2027, 1, 6), QTime(9, 5, 3)));
    EXPECT_EQ(window->clock_bar()->part_text(0), "2027年 1月 6日  水曜日");
    EXPECT_EQ(window->clock_bar()->part_text(1), "09：05：03");

    tool.link.reply_expected = 1;
    tool.link.reply_timeout_ticks = 26;
    tool.link.success_pending = 1;
    window->tick();
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"No Connect"});
    EXPECT_EQ(notices.texts("success"), std::vector<std::string>{"Success"});
    EXPECT_NE(window->clock_bar()->part_text(1), "09：05：03");
}

TEST_F(MainWindowTest, TheStatusBarFollowsTheLinkAsItGoesAndComesBack) {
    LinkSnapshot link = configured_link(tool);
    link.device = "/dev/ttyUSB0";
    link.open = true;
    std::vector<std::string> notes;
    window->set_link_query([&link] { return link; });
    window->set_link_note([&notes](const std::string& note) { notes.push_back(note); });
    const auto cell = [this](ClockStatusBar::Info info) { return window->clock_bar()->info_text(info); };

    window->tick();
    EXPECT_EQ(cell(ClockStatusBar::Info::kLink), QStringLiteral("COM1 /dev/ttyUSB0 38400 8E1 RS-232C"));
    EXPECT_EQ(cell(ClockStatusBar::Info::kResult), QString());
    link.open = false;
    link.awaiting_device = true;
    window->tick();
    EXPECT_EQ(cell(ClockStatusBar::Info::kLink),
              QStringLiteral("COM1 /dev/ttyUSB0 外れています (戻れば開き直します)"));
    EXPECT_TRUE(
        cell(ClockStatusBar::Info::kResult).endsWith(QStringLiteral(" COM1 /dev/ttyUSB0 が外れました")));
    link.open = true;
    link.awaiting_device = false;
    window->tick();
    EXPECT_TRUE(
        cell(ClockStatusBar::Info::kResult).endsWith(QStringLiteral(" COM1 /dev/ttyUSB0 を開き直しました")));
    EXPECT_EQ(notes, (std::vector<std::string>{"COM1 /dev/ttyUSB0 が外れました",
                                               "COM1 /dev/ttyUSB0 を開き直しました"}));
    // The clock keeps its row and its parts.
    EXPECT_FALSE(window->clock_bar()->part_text(0).isEmpty());
    EXPECT_FALSE(window->clock_bar()->part_text(1).isEmpty());
}

// A notice box runs an event loop in which further ticks arrive.
class ReenteringNotices : public RecordingNotices {
  public:
    void notify_success(std::string_view text) override {
        RecordingNotices::notify_success(text);
        if (window && depth++ == 0) {
            link->success_pending = 1;
            window->tick();
        }
    }
    MainWindow* window = nullptr;
    LinkFlags* link = nullptr;
    int depth = 0;
};

TEST_F(MainWindowTest, ATickNeverRunsTheLinkInsideAnotherTick) {
    ReenteringNotices reentering;
    MainWindow own(tool, reentering, std::make_unique<ScriptedDialogs>());
    reentering.window = &own;
    reentering.link = &tool.link;
    tool.link.success_pending = 1;
    own.tick();
    EXPECT_EQ(reentering.texts("success").size(), 1u);
    EXPECT_EQ(tool.link.success_pending, 1);  // shown by the next tick instead
    own.tick();
    EXPECT_EQ(reentering.texts("success").size(), 2u);
}

TEST_F(MainWindowTest, InformationBoxesShowTheirTextAndChangeNothing) {
    QString title;
    QStringList lines;
    const auto read_and_close = [&] {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<InfoBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            lines = box->lines();
            box->accept();
        });
    };
    read_and_close();
    window->action(command::kGlyphInfo)->trigger();
    EXPECT_EQ(title, "外字について");
    EXPECT_EQ(lines, QStringList({"外字ファイルの拡張子は､", "大文字TLL  中文字TLM　小文字TLSです。",
                                  "マウス左ボタン ダブルクリックで編集画面",
                                  "マウス右ボタン ダブルクリックでBMPファイルを作成します。",
                                  "※外字操作は､自動切換え時に行わないでください。"}));

    read_and_close();
    window->action(command::kAbout)->trigger();
    EXPECT_EQ(title, "TVX230のﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_TRUE(lines.join('\n').contains("1.0.0"));
    EXPECT_TRUE(notices.calls.empty());
}

class ExitTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        tool.link.app_running = 1;
        window->show();
        ASSERT_TRUE(window->timer_active());
    }
    void TearDown() override { window->hide(); }

    void expect_ended() {
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(window->timer_active());
        EXPECT_EQ(tool.link.app_running, 0);
    }
    void expect_open() {
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->timer_active());
        EXPECT_EQ(tool.link.app_running, 1);
    }

    QTemporaryDir dir;
};

TEST_F(ExitTest, RefusedWhileTcpIsConnected) {
    bool connected = true;
    window->set_tcp_connected_query([&] { return connected; });
    tool.model.power_on_page = 5;  // an unsaved setting
    window->action(command::kExit)->trigger();
    expect_open();
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"TCP/IPを切断してください。"});
    EXPECT_TRUE(notices.texts("question").empty());

    connected = false;
    notices.answers = {true};
    window->close();  // the close box takes the same way
    expect_ended();
}

TEST_F(ExitTest, EndsAtOnceWithNothingUnsaved) {
    window->action(command::kExit)->trigger();
    expect_ended();
    EXPECT_TRUE(notices.calls.empty());
}

TEST_F(ExitTest, YesEndsWithoutSaving) {
    tool.model.power_on_page = 5;  // an unsaved setting
    notices.answers = {true};
    window->close();
    expect_ended();
    EXPECT_EQ(notices.texts("question"), std::vector<std::string>{"データを保存せずに終了しますか？"});
    EXPECT_EQ(dialogs->save_asked, 0);
}

TEST_F(ExitTest, NoWithACancelledSaveAsKeepsTheToolOpen) {
    tool.model.power_on_page = 5;  // an unsaved setting
    notices.answers = {false};
    window->close();
    expect_open();
    EXPECT_EQ(dialogs->save_asked, 1);
    EXPECT_TRUE(data_modified(tool.model));
}

TEST_F(ExitTest, NoWithAFailedSaveKeepsTheToolOpen) {
    tool.model.power_on_page = 5;  // an unsaved setting
    tool.document_path = dir.filePath("missing-folder/a.dat").toStdString();
    notices.answers = {false};
    window->close();
    expect_open();
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Can't file open"});
}

TEST_F(ExitTest, NoSavesThenEnds) {
    tool.model.power_on_page = 5;  // an unsaved setting
    dialogs->paths = {dir.filePath("titles").toStdString()};
    notices.answers = {false};
    window->close();
    expect_ended();
    EXPECT_TRUE(QFile::exists(dir.filePath("titles.dat")));
    EXPECT_FALSE(data_modified(tool.model));
}

// The question as the operator meets it: Enter gives No, which keeps the settings (here by a Save As the
// operator cancels), and the tool stays.
TEST_F(ExitTest, EnterAtTheQuestionKeepsTheSettingsAndTheTool) {
    window->hide();
    MessageBoxNotices boxes;
    auto scripted = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs* script = scripted.get();
    MainWindow tool_window(tool, boxes, std::move(scripted));
    tool_window.show();
    for (PageSettings& page : tool.model.pages) page.char_colour = kBlank;
    QString asked;
    QTimer::singleShot(0, [&asked] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        asked = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    tool_window.close();
    EXPECT_EQ(asked, "データを保存せずに終了しますか？");
    EXPECT_EQ(script->save_asked, 1);
    EXPECT_TRUE(tool_window.isVisible());
    EXPECT_EQ(tool.link.app_running, 1);
    EXPECT_TRUE(data_modified(tool.model));
}

}  // namespace
}  // namespace tvx
