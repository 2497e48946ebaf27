#include "ui/read_back_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "protocol/read_record.h"
#include "protocol/sequence_test_link.h"
#include "support/recording_notices.h"
#include "ui/full_send_dialog.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

class UnitSequenceDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::ui_app(); }

    ToolState tool;
    testing::RecordingNotices notices;
    VirtualUnit unit;
    testing::InProcessUnitLink link{tool, notices, unit};
};

TEST_F(UnitSequenceDialogTest, ReadBackRunsToItsEndAndClosesItself) {
    tool.config.select_number = -1;
    std::unique_ptr<UnitSequenceDialog> dialog(make_read_back_dialog(tool, link, notices, "", nullptr));
    dialog->show();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("設定項目の読み込み"));
    EXPECT_EQ(dialog->slave_selector()->count(), 32);
    EXPECT_EQ(dialog->progress_bar()->maximum(), 120);
    EXPECT_EQ(dialog->start_button()->text(), QStringLiteral("読み込み"));

    QTest::mouseClick(dialog->start_button(), Qt::LeftButton);
    EXPECT_EQ(dialog->timer().interval(), 400);
    EXPECT_TRUE(dialog->timer().isActive());
    EXPECT_FALSE(dialog->close_button()->isEnabled());
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    dialog->close();
    EXPECT_TRUE(dialog->isVisible());

    dialog->tick();
    EXPECT_EQ(dialog->percentage_field()->text(), QStringLiteral("0"));
    EXPECT_EQ(dialog->progress_bar()->value(), 1);
    for (int step = 2; step <= 60; ++step) dialog->tick();
    EXPECT_EQ(dialog->percentage_field()->text(), QStringLiteral("50"));
    for (int step = 61; step <= 118; ++step) dialog->tick();
    EXPECT_TRUE(dialog->isVisible());
    dialog->tick();  // step 119 completes the read
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->percentage_field()->text(), QStringLiteral("   "));
    EXPECT_EQ(link.lines.size(), 119u);
    EXPECT_EQ(tool.model.run.batch_step, 0);
}

TEST_F(UnitSequenceDialogTest, AReadAnsweredWithNoiseEndsWithItsNameInsteadOfSuccess) {
    unit.faults.stray_at_line = 104;  // "RCFS"
    unit.faults.stray_answer = "#?";
    std::unique_ptr<UnitSequenceDialog> dialog(make_read_back_dialog(tool, link, notices, "", nullptr));
    dialog->show();
    QTest::mouseClick(dialog->start_button(), Qt::LeftButton);
    for (int tick = 1; tick <= 120; ++tick) dialog->tick();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{std::string(kUnreadHeading) + "\n文字サイズ"});
    EXPECT_EQ(tool.link.success_pending, 0);
}

TEST_F(UnitSequenceDialogTest, AnErrorReplyLeavesTheDialogOpenWithCloseEnabled) {
    unit.faults.error_at_line = 10;
    std::unique_ptr<UnitSequenceDialog> dialog(make_read_back_dialog(tool, link, notices, "", nullptr));
    dialog->show();
    QTest::mouseClick(dialog->start_button(), Qt::LeftButton);
    for (int i = 0; i < 11; ++i) dialog->tick();
    EXPECT_FALSE(dialog->timer().isActive());
    EXPECT_TRUE(dialog->close_button()->isEnabled());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->progress_bar()->value(), 10);
    EXPECT_EQ(dialog->percentage_field()->text(), QStringLiteral("8"));
    EXPECT_EQ(link.lines.size(), 10u);
    QTest::mouseClick(dialog->close_button(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(UnitSequenceDialogTest, FullSendOffersBroadcastOnRs485) {
    tool.config.rs_control = 1;
    tool.model.run.slave_address = kBroadcastAddress;
    std::unique_ptr<UnitSequenceDialog> dialog(
        make_full_send_dialog(tool, link, notices, "10.0.0.7", nullptr));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("全項目の設定10.0.0.7"));
    EXPECT_EQ(dialog->slave_selector()->count(), 33);
    EXPECT_TRUE(dialog->slave_selector()->isEnabled());
    EXPECT_EQ(dialog->slave_selector()->currentText(), QStringLiteral("Bloadcast"));
    EXPECT_EQ(dialog->progress_bar()->maximum(), 118);
    EXPECT_EQ(dialog->start_button()->text(), QStringLiteral("設定"));

    // The read-back has no broadcast entry and shows no selection for it.
    std::unique_ptr<UnitSequenceDialog> read_back(make_read_back_dialog(tool, link, notices, "", nullptr));
    EXPECT_EQ(read_back->slave_selector()->currentIndex(), -1);
    read_back->slave_selector()->setCurrentIndex(6);
    emit read_back->slave_selector()->activated(6);
    EXPECT_EQ(tool.model.run.slave_address, 6);
}

TEST_F(UnitSequenceDialogTest, StopInTheMiddleKeepsTheDialogOpenWithItsProgressAndSaysWhatWasDone) {
    std::unique_ptr<UnitSequenceDialog> send(make_full_send_dialog(tool, link, notices, "", nullptr));
    send->show();
    SequenceJobView* job = send->job_view();
    EXPECT_FALSE(job->stop_button()->isEnabled());
    send->start();
    EXPECT_TRUE(job->stop_button()->isEnabled());
    EXPECT_EQ(job->text_label()->text(), QStringLiteral("タイトル ページ 01 (0 / 118)  残り 約 47 秒"));
    for (int i = 0; i < 70; ++i) send->tick();
    EXPECT_TRUE(
        job->text_label()->text().startsWith(QStringLiteral("スケジュール 6日 (70 / 118)  残り 約 ")));
    QTest::mouseClick(job->stop_button(), Qt::LeftButton);
    EXPECT_FALSE(send->timer().isActive());
    EXPECT_TRUE(send->isVisible());
    EXPECT_TRUE(send->close_button()->isEnabled());
    EXPECT_FALSE(job->stop_button()->isEnabled());
    EXPECT_EQ(link.lines.size(), 70u);
    EXPECT_EQ(send->progress_bar()->value(), 70);
    EXPECT_EQ(send->percentage_field()->text(), QStringLiteral("59"));
    EXPECT_TRUE(job->text_label()->text().contains(QStringLiteral("未送信: スケジュール 7日〜")));
    ASSERT_EQ(notices.texts("status").size(), 1u);
    EXPECT_EQ(notices.texts("status")[0].rfind("全項目の設定: 中止 (70 / 118 ステップ, ", 0), 0u);
    EXPECT_TRUE(notices.texts("error").empty());
    EXPECT_EQ(tool.model.run.batch_step, 0);

    // Start again, to the end: the dialog closes and the run is told without a box.
    notices.clear();
    send->start();
    for (int i = 0; i < 118; ++i) send->tick();
    EXPECT_FALSE(send->isVisible());
    ASSERT_EQ(notices.texts("status").size(), 1u);
    EXPECT_EQ(notices.texts("status")[0].rfind("全項目の設定: 完了 (118 ステップ, ", 0), 0u);
    EXPECT_TRUE(notices.texts("success").empty());

    // A read-back stopped says the settings read stay read.
    std::unique_ptr<UnitSequenceDialog> read(make_read_back_dialog(tool, link, notices, "", nullptr));
    read->show();
    read->start();
    for (int i = 0; i < 5; ++i) read->tick();
    read->stop();
    EXPECT_TRUE(read->job_view()->text_label()->text().endsWith(
        QStringLiteral("読み込めた設定 5 / 119 項目はそのまま残り、ほかは元の値のままです。")));
    EXPECT_TRUE(read->isVisible());
}

TEST_F(UnitSequenceDialogTest, ClosingTheDialogWhileRunningGivesTheModelBack) {
    {
        std::unique_ptr<UnitSequenceDialog> dialog(make_full_send_dialog(tool, link, notices, "", nullptr));
        dialog->start();
        dialog->tick();
        EXPECT_EQ(tool.model.run.batch_step, 1);
    }
    EXPECT_EQ(tool.model.run.batch_step, 0);
}

// The three dialogs as the operator reaches them in the running tool.
TEST(SequenceDialogsMenu, OpenFromTheMenuTheToolbarAndTheHiddenEntry) {
    testing::ui_app();
    QTemporaryDir dir;
    Application::Options options;
    options.lock_path = dir.filePath("instance.lock");
    options.ini_path = dir.filePath("tvx230.ini").toStdString();
    options.show_window = false;
    testing::RecordingNotices notices;
    Application app(notices, options);
    ASSERT_EQ(app.start(), Application::Start::kRunning);
    app.tool().config.select_number = -1;
    MainWindow* window = app.main_window();

    const auto open = [](const std::function<void()>& run) {
        QString caption;
        QTimer::singleShot(0, [&caption] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            caption = dialog->windowTitle();
            dialog->reject();
        });
        run();
        return caption;
    };
    EXPECT_EQ(open([&] { window->run_command(command::kTitle); }), QStringLiteral("タイトルの設定"));
    EXPECT_EQ(open([&] { window->run_command(502); }), QStringLiteral("タイトルの設定"));
    EXPECT_EQ(open([&] { window->run_command(command::kFullSend); }), QStringLiteral("全項目の設定"));
    EXPECT_EQ(open([&] { window->run_command(command::kReadBack); }), QStringLiteral("設定項目の読み込み"));
    EXPECT_EQ(open([&] {
                  for (int i = 0; i < MainWindow::kHiddenEntryClicks; ++i)
                      window->hidden_entry_request(QPoint(1, 1));
              }),
              QStringLiteral("設定項目の読み込み"));
}

}  // namespace
}  // namespace tvx
