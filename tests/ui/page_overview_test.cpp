#include <QLabel>
#include <QListWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include "config/ini_profile.h"
#include "config/test_picture.h"
#include "support/scratch_folder.h"
#include "ui/compare_dialog.h"
#include "ui/comparison_memory.h"
#include "ui/monitor_preview_view.h"
#include "ui/page_overview_dialog.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

class PageOverviewTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::ui_app(); }
    ToolState tool;
};

TEST_F(PageOverviewTest, SixtyFourThumbnailsWithTheirSettingsAndADoubleClickOpensThePage) {
    tool.model.pages[4].title = "\x93\xFA\x96\x7B";
    tool.model.pages[4].char_size = 0;
    tool.model.pages[4].display_position = 0;
    tool.model.pages[4].display_offset = 12;
    PageOverviewDialog overview(tool, nullptr, nullptr);
    ASSERT_EQ(overview.list()->count(), 64);
    EXPECT_EQ(overview.list()->item(4)->text(), QStringLiteral("P05 LARGE TOP 12\n日本"));
    EXPECT_EQ(overview.list()->item(63)->text(), QStringLiteral("P64 MEDIUM BOTTOM 07\n（タイトルなし）"));
    EXPECT_TRUE(overview.note()->text().startsWith(QStringLiteral("目安")));
    const QImage thumbnail =
        overview.list()->item(4)->icon().pixmap(PageOverviewDialog::kThumbnail).toImage();
    EXPECT_EQ(thumbnail.size(), PageOverviewDialog::kThumbnail);

    std::vector<int> opened;
    overview.set_open_page([&](int page) {
        opened.push_back(page);
        tool.model.pages[static_cast<std::size_t>(page)].title = "\x82\xA0";  // as the title editor would
    });
    emit overview.list()->itemDoubleClicked(overview.list()->item(9));
    EXPECT_EQ(opened, std::vector<int>{9});
    EXPECT_EQ(overview.list()->item(9)->text(), QStringLiteral("P10 MEDIUM BOTTOM 07\nあ")) << "drawn again";
}

TEST_F(PageOverviewTest, PagesTheLastComparisonFoundDifferentAreMarked) {
    QWidget main_window;
    auto* memory = new ComparisonMemory(&main_window);
    SettingsModel unit = tool.model;
    unit.pages[2].char_colour = kRed;
    unit.pages[40].title = "\x82\xA0";
    unit.schedule[0][0].page = 3;  // a day's entry marks no page
    {
        CompareDialog compared(compare_settings(tool.model, unit), QStringLiteral("照合"),
                               QStringLiteral("送信した値"), QStringLiteral("本機の値"), &main_window);
    }
    EXPECT_EQ(memory->pages(), (std::set<int>{2, 40}));
    PageOverviewDialog overview(tool, memory, &main_window);
    EXPECT_EQ(overview.list()->item(2)->text(), QStringLiteral("P03 MEDIUM BOTTOM 07\n≠ （タイトルなし）"));
    EXPECT_EQ(overview.list()->item(3)->text().indexOf(QStringLiteral("≠")), -1);
    EXPECT_NE(overview.list()->item(40)->toolTip().indexOf(QStringLiteral("タイトル")), -1);
    EXPECT_NE(overview.note()->text().indexOf(QStringLiteral("照合")), -1);
}

TEST_F(PageOverviewTest, TheTestPictureIsKeptInTheIniFileAndANonImageChangesNothing) {
    testing::ScratchFolder folder;
    tool.config.ini_path = folder.path() / "tvx230.ini";
    ASSERT_TRUE(write_profile_string(tool.config.ini_path, kIniSection, "Interface", "0"));
    QImage red(64, 48, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString picture = QString::fromStdString((folder.path() / "red.png").string());
    ASSERT_TRUE(red.save(picture));

    MonitorPreviewView view(tool);
    EXPECT_EQ(view.image().pixel(2, 2), colour_bars().pixel(0, 0)) << "colour bars until a picture is chosen";
    EXPECT_FALSE(view.use_picture(QString::fromStdString((folder.path() / "tvx230.ini").string())));
    EXPECT_EQ(test_picture(tool.config), "");
    EXPECT_TRUE(view.use_picture(picture));
    EXPECT_EQ(view.image().pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(test_picture(tool.config), picture.toStdString());
    EXPECT_EQ(read_profile_string(tool.config.ini_path, kIniSection, "Interface", "", 8), "0")
        << "other keys kept";

    MonitorPreviewView reopened(tool);
    EXPECT_EQ(reopened.image().pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_TRUE(reopened.use_picture({}));
    EXPECT_EQ(test_picture(tool.config), "");
}

}  // namespace
}  // namespace tvx
