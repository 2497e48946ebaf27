// The full send dialog when its unit goes away mid-send: the progress stays where the send stopped, Close
// comes back, and the dialog stays open.
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "support/pty_pair.h"
#include "support/tool_on_link.h"
#include "ui/full_send_dialog.h"
#include "ui_test_app.h"
#include "unit/unit_serial_host.h"

namespace tvx {
namespace {

using testing::run_until;

TEST(SequenceDialogLinkLoss, AFullSendStoppedByALostUnitKeepsItsProgressAndGivesCloseBack) {
    TVX_NEEDS_PTY();
    testing::ui_app();
    VirtualUnit unit;
    auto host = std::make_unique<UnitPtyHost>(unit);
    QString error;
    ASSERT_TRUE(host->open(error)) << error.toStdString();
    testing::ToolOnLink tool;
    tool.use_serial(host->slave_path().toStdString());
    tool.notices.clear();

    std::unique_ptr<UnitSequenceDialog> dialog(
        make_full_send_dialog(tool.tool, tool.dispatch, tool.notices, "", nullptr));
    dialog->show();
    QTest::mouseClick(dialog->start_button(), Qt::LeftButton);
    ASSERT_TRUE(dialog->timer().isActive());
    for (int step = 1; step <= 6; ++step) {
        dialog->tick();
        tool.await_answers();
    }

    host.reset();
    ASSERT_TRUE(run_until([&] { return tool.tool.link.link_lost != 0; }));
    dialog->tick();
    EXPECT_FALSE(dialog->timer().isActive());
    EXPECT_TRUE(dialog->close_button()->isEnabled());
    EXPECT_TRUE(dialog->start_button()->isEnabled());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->progress_bar()->value(), 6);
    EXPECT_EQ(dialog->percentage_field()->text(), QStringLiteral("5"));  // 6 * 100 / 118
    ASSERT_FALSE(tool.notices.texts("error").empty());
    EXPECT_EQ(tool.notices.texts("error").back(),
              "ステップ 7 で中断しました。最後に応答があったのはステップ 6 です。");  // step 7 never went out
    EXPECT_EQ(unit.lines_received(), 6);

    // Close works now; nothing more was sent.
    QTest::mouseClick(dialog->close_button(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(tool.tool.model.run.batch_step, 0);
}

}  // namespace
}  // namespace tvx
