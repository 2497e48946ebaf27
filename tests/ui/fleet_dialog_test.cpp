#include "ui/fleet_dialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "link/tcp_loopback.h"
#include "support/recording_notices.h"
#include "ui_test_app.h"
#include "unit/unit_tcp_hosts.h"
#include "unit/virtual_unit.h"

namespace tvx {
namespace {

using Command = FleetController::Command;

class FleetDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        reset_settings(tool);
        tool.config.link_interface = 1;
        tool.config.client_server = 1;
        tool.config.pace = 1;
        port = testing::unused_port();
        tool.model.network.port_number = std::to_string(port);
        link = std::make_unique<TcpLink>(tool, notices);
        ASSERT_EQ(link->tcp_start_server(), 1);
        for (int i = 0; i < 3; ++i) {
            auto& unit = *units.emplace_back(std::make_unique<VirtualUnit>());
            clients.push_back(std::make_unique<UnitTcpClient>(unit, "127.0.0.1", port));
            clients.back()->start();
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return link->clients_in_use() == 3; }));
    }
    void TearDown() override {
        clients.clear();
        link.reset();
    }

    std::unique_ptr<FleetDialog> dialog(Command command, const char* caption = "全項目の設定") {
        return std::make_unique<FleetDialog>(
            std::make_unique<FleetController>(tool, *link, notices, std::vector<int>{1, 2, 3},
                                              FleetController::Request{command, caption}),
            nullptr);
    }

    static QStringList column(const QTableWidget* table, int c) {
        QStringList texts;
        for (int r = 0; r < table->rowCount(); ++r) texts << table->item(r, c)->text();
        return texts;
    }

    ToolState tool;
    testing::RecordingNotices notices;
    std::uint16_t port = 0;
    std::unique_ptr<TcpLink> link;
    std::vector<std::unique_ptr<VirtualUnit>> units;
    std::vector<std::unique_ptr<UnitTcpClient>> clients;
};

TEST_F(FleetDialogTest, FullSendWithVerificationShowsEachUnitsResultAndSavesThem) {
    units[1]->faults.forget_prefix = "CBS";
    tool.model.pages[2].blink = 1;
    auto view = dialog(Command::kFullSend);
    EXPECT_EQ(view->windowTitle(), "全項目の設定 - 選択した 3 台");
    EXPECT_FALSE(view->verify_box()->isHidden());
    EXPECT_FALSE(view->cancel_button()->isEnabled());
    EXPECT_FALSE(view->save_button()->isEnabled());
    view->verify_box()->setChecked(true);

    view->start_button()->click();
    ASSERT_EQ(notices.texts("question").size(), 1u);
    EXPECT_NE(
        notices.texts("question")[0].find("選択した 3 台に「全項目の設定」を送信します。（送信後に照合）"),
        std::string::npos);
    EXPECT_FALSE(view->start_button()->isEnabled());
    EXPECT_FALSE(view->verify_box()->isEnabled());
    EXPECT_TRUE(view->cancel_button()->isEnabled());
    EXPECT_FALSE(view->close_button()->isEnabled());
    view->reject();  // the close box does nothing while units are sent to
    EXPECT_TRUE(view->controller().running());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->controller().running(); }, 60000));
    QTableWidget* table = view->table();
    EXPECT_EQ(column(table, 0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(column(table, 1)[0], QStringLiteral("127.0.0.1:%1").arg(link->client_table()[1].port));
    const QStringList results = column(table, 3);
    EXPECT_EQ(results[0], "成功");
    EXPECT_TRUE(results[1].startsWith("失敗: 照合の結果")) << results[1].toStdString();
    EXPECT_EQ(results[2], "成功");
    EXPECT_EQ(column(table, 2)[0], "100 %");
    EXPECT_EQ(view->summary_label()->text(), "3 台中 2 台成功、1 台失敗");
    EXPECT_EQ(view->progress_bar()->value(), 100);
    EXPECT_TRUE(view->close_button()->isEnabled());
    EXPECT_FALSE(view->cancel_button()->isEnabled());

    view->copy_button()->click();
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.contains(
        QStringLiteral("\n2\t127.0.0.1:%1\t失敗: 照合の結果").arg(link->client_table()[2].port)))
        << copied.toStdString();

    QTemporaryDir dir;
    const QString path = dir.filePath("results.txt");
    ASSERT_TRUE(view->save_results(path));
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::stringstream saved;
    saved << in.rdbuf();
    EXPECT_EQ(QString::fromStdString(saved.str()), QString(copied).replace("\n", "\r\n"));
    // Saving where no file can be written says so, and leaves nothing.
    EXPECT_FALSE(view->save_results(dir.filePath("missing/results.txt")));
}

TEST_F(FleetDialogTest, CancelStopsEveryUnitWhereItIs) {
    tool.config.pace = 0;  // 標準: a line every 400 ms
    auto view = dialog(Command::kTitles, "タイトル 全設定");
    EXPECT_TRUE(view->verify_box()->isHidden());
    view->start_button()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return units[2]->lines_received() >= 1; }));
    view->cancel_button()->click();
    EXPECT_FALSE(view->controller().running());
    EXPECT_EQ(view->summary_label()->text(), "3 台中 0 台成功、0 台失敗、3 台中止");
    for (const QString& result : column(view->table(), 3)) EXPECT_TRUE(result.startsWith("中止: ステップ "));
    QTest::qWait(500);
    for (const auto& unit : units) EXPECT_LT(unit->lines_received(), 3);
}

TEST_F(FleetDialogTest, OneChosenUnitIsLeftToTheSingleUnitDialogsAndTheirLink) {
    ASSERT_TRUE(link->tcp_select_client(2));
    QWidget window;
    link->setParent(&window);
    EXPECT_FALSE(run_on_chosen_units(&window, tool, notices, {Command::kFullSend, "全項目の設定"}));

    // The editors' link hands a line straight on while one unit is chosen.
    struct Recorder : CommandLink {
        void send_command(std::string_view line) override { lines.emplace_back(line); }
        bool tcp_is_connected() const override { return true; }
        std::vector<std::string> lines;
    } direct;
    ChosenUnitsLink editors_link(tool, notices, direct, &window);
    editors_link.send_command("CFS05M\r\n");
    EXPECT_EQ(direct.lines, std::vector<std::string>{"CFS05M\r\n"});
    link->setParent(nullptr);
}

}  // namespace
}  // namespace tvx
