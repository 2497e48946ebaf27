#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include "model/settings_document.h"
#include "protocol/full_send_verification.h"
#include "protocol/sequence_test_link.h"
#include "support/recording_notices.h"
#include "ui/compare_dialog.h"
#include "ui/full_send_dialog.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

class FullSendVerifyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        reset_settings(tool);
        tool.config.select_number = -1;
        tool.model.power_on_page = 12;
        tool.model.alarm_hold_time = "5";  // the unit answers "005": the same hold time
        tool.model.pages[2].title = "\x93\xFA\x96\x7B";
        unit.settings().power_on_page = 40;
    }

    // Starts the dialog with the choice as given and ticks until it ends; the comparison window's title,
    // its rows and whether it said there are none, when one was shown.
    struct Shown {
        bool shown = false;
        QString title;
        std::vector<QStringList> rows;
        bool none = false;
    };
    Shown run(bool verify, int max_ticks = 400) {
        std::unique_ptr<UnitSequenceDialog> dialog(make_full_send_dialog(tool, link, notices, "", nullptr));
        auto* choice = dialog->findChild<QCheckBox*>(QStringLiteral("verify_after_send"));
        EXPECT_NE(choice, nullptr);
        EXPECT_FALSE(choice->isChecked());
        choice->setChecked(verify);
        progress_range = dialog->progress_bar()->maximum();
        dialog->show();
        dialog->start();
        choice_enabled_while_running = choice->isEnabled();
        for (int i = 0; i < max_ticks && dialog->isVisible() && dialog->timer().isActive(); ++i) {
            dialog->tick();
            // The model as the read leaves it, up to the tick before the sequence ends.
            if (dialog->isVisible() && dialog->timer().isActive())
                model_while_reading = write_document(tool.model);
        }
        completed = !dialog->isVisible();
        Shown shown;
        QTimer::singleShot(0, [&shown] {
            auto* box = qobject_cast<CompareDialog*>(QApplication::activeModalWidget());
            if (!box) return;
            shown.shown = true;
            shown.title = box->windowTitle();
            shown.none = box->empty_label()->isVisibleTo(box);
            for (int r = 0; r < box->table()->rowCount(); ++r) {
                QStringList row;
                for (int c = 0; c < 4; ++c) row << box->table()->item(r, c)->text();
                shown.rows.push_back(row);
            }
            box->accept();
        });
        QApplication::processEvents();
        QApplication::processEvents();
        return shown;
    }

    ToolState tool;
    testing::RecordingNotices notices;
    VirtualUnit unit;
    testing::InProcessUnitLink link{tool, notices, unit};
    int progress_range = 0;
    bool choice_enabled_while_running = true;
    bool completed = false;
    std::string model_while_reading;
};

TEST_F(FullSendVerifyTest, AUnitThatSaysGoButKeepsItsOwnPowerOnPageIsShownAndTheSettingsInMemoryStay) {
    unit.faults.forget_prefix = "POSP";
    const std::string before = write_document(tool.model);
    const Shown shown = run(true);
    EXPECT_TRUE(completed);
    EXPECT_EQ(progress_range, FullSendAndReadBack::kProgressRange);
    EXPECT_FALSE(choice_enabled_while_running);
    EXPECT_EQ(link.lines.size(), static_cast<std::size_t>(FullSendAndReadBack::kSteps - 1));
    // While the unit was read the model held its answers; afterwards the operator's settings are back.
    EXPECT_NE(model_while_reading, before);
    EXPECT_EQ(write_document(tool.model), before);
    EXPECT_TRUE(data_modified(tool.model));  // the operator's changes are still unsaved
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.link.success_pending, 0);  // no "Success" beside the differences
    ASSERT_TRUE(shown.shown);
    EXPECT_TRUE(shown.title.endsWith(QStringLiteral("照合")));
    ASSERT_EQ(shown.rows.size(), 1u);
    EXPECT_EQ(shown.rows[0], (QStringList{"その他", "電源投入時ページ", "13", "41"}));
    EXPECT_FALSE(shown.none);
}

TEST_F(FullSendVerifyTest, AnHonestUnitGivesNoDifferencesAndTheChoiceIsOffByDefault) {
    Shown shown = run(true);
    ASSERT_TRUE(shown.shown);
    EXPECT_TRUE(shown.none);
    EXPECT_TRUE(shown.rows.empty());

    // Without the choice the dialog sends as it always did: 117 lines, no reading, no window.
    link.lines.clear();
    shown = run(false);
    EXPECT_TRUE(completed);
    EXPECT_EQ(progress_range, 118);
    EXPECT_EQ(link.lines.size(), 117u);
    EXPECT_FALSE(shown.shown);
}

TEST_F(FullSendVerifyTest, ASettingTheUnitDidNotGiveBackIsListedNotTakenAsTheSame) {
    unit.settings().power_on_page = 12;
    tool.model.pages[4].char_size = 0;  // sent, but not given back: listed once, never against a default
    unit.faults.stray_at_line = FullSendAndReadBack::kSendSteps + 104;  // RCFS answered "GO"
    unit.faults.stray_answer = "GO";
    const Shown shown = run(true);
    EXPECT_TRUE(completed);
    ASSERT_TRUE(shown.shown);
    EXPECT_FALSE(shown.none);
    ASSERT_EQ(shown.rows.size(), 1u);
    EXPECT_EQ(shown.rows[0], (QStringList{"文字サイズ", "文字サイズ", "", "(読み込めませんでした)"}));
}

TEST_F(FullSendVerifyTest, AnErrorWhileReadingPutsTheSettingsBackAndComparesNothing) {
    const std::string before = write_document(tool.model);
    unit.faults.error_at_line = 130;  // a read after the send
    const Shown shown = run(true);
    EXPECT_FALSE(completed);
    EXPECT_EQ(write_document(tool.model), before);
    EXPECT_FALSE(shown.shown);

    // A broadcast is answered by nobody: nothing could be compared, so nothing starts.
    tool.config.rs_control = 1;
    tool.model.run.slave_address = kBroadcastAddress;
    link.lines.clear();
    run(true, 3);
    EXPECT_TRUE(link.lines.empty());
    EXPECT_EQ(notices.count("error", "スレーブアドレスを00から31の間で選択してください"), 1);
}

}  // namespace
}  // namespace tvx
