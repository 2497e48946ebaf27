#include "ui/page_overview_dialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QVBoxLayout>

#include "config/test_picture.h"
#include "link/code_page_932.h"
#include "preview/monitor_preview.h"
#include "ui/comparison_memory.h"
#include "ui/monitor_preview_view.h"

namespace tvx {
namespace {

// As much of a title as a caption line holds.
constexpr int kCaptionTitleChars = 14;
const QColor kDiffers(220, 30, 30);

QString title_start(const std::string& title) {
    QString text =
        decode_code_page_932(QByteArrayView(title.data(), static_cast<qsizetype>(title.size()))).text;
    // Glyph cells and line breaks are bytes below a space: shown as a space each.
    for (QChar& c : text) {
        if (c.unicode() < 0x20) c = QChar(' ');
    }
    text = text.trimmed();
    return text.size() > kCaptionTitleChars ? text.left(kCaptionTitleChars) + QStringLiteral("…") : text;
}

}  // namespace

QString page_overview_caption(const PageSettings& page, int index) {
    static const char* const kSizes[] = {"LARGE", "MEDIUM", "SMALL"};
    const QString size = page.char_size >= 0 && page.char_size <= 2
                             ? QString::fromLatin1(kSizes[page.char_size])
                             : QStringLiteral("?");
    const QString position = page.display_position == 0 ? QStringLiteral("TOP") : QStringLiteral("BOTTOM");
    const QString title = title_start(page.title);
    return QStringLiteral("P%1 %2 %3 %4\n%5")
        .arg(index + 1, 2, 10, QLatin1Char('0'))
        .arg(size, position)
        .arg(page.display_offset, 2, 10, QLatin1Char('0'))
        .arg(title.isEmpty() ? QStringLiteral("（タイトルなし）") : title);
}

PageOverviewDialog::PageOverviewDialog(const ToolState& tool, const ComparisonMemory* comparison,
                                       QWidget* owner)
    : QDialog(owner), tool_(tool), comparison_(comparison) {
    setWindowTitle(QStringLiteral("ページ一覧（モニタ表示）"));
    note_ = new QLabel(this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("pages"));
    list_->setViewMode(QListView::IconMode);
    list_->setIconSize(kThumbnail);
    list_->setGridSize(kThumbnail + QSize(16, 52));
    list_->setResizeMode(QListView::Adjust);
    list_->setMovement(QListView::Static);
    list_->setUniformItemSizes(true);
    list_->setWordWrap(true);
    for (int page = 0; page < kPageCount; ++page) {
        auto* item = new QListWidgetItem(list_);
        item->setData(Qt::UserRole, page);
    }
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (!open_page_) return;
        open_page_(item->data(Qt::UserRole).toInt());
        refresh();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note_);
    layout->addWidget(list_);
    // Eight thumbnails a row: the 64 pages in eight rows, as the page selectors count them.
    resize(8 * (kThumbnail.width() + 16) + 40, 3 * (kThumbnail.height() + 52) + 60);
    refresh();
}

void PageOverviewDialog::refresh() {
    QString note = QStringLiteral(
        "目安: このツールが見積もったモニタ表示です。ダブルクリックでタイトルの設定を開きます。");
    if (comparison_ && comparison_->compared()) {
        note += QStringLiteral("\n赤枠: 最後の比較（%1）で値が異なったページ（%2 ページ）")
                    .arg(comparison_->title())
                    .arg(comparison_->pages().size());
    }
    note_->setText(note);
    const PreviewClock clock = MonitorPreviewView::local_clock();
    // The editors' test picture behind the thumbnails too.
    const std::string chosen = test_picture(tool_.config);
    const QImage picture =
        chosen.empty() ? QImage() : fit_test_picture(QImage(QString::fromUtf8(chosen.c_str())));
    for (int page = 0; page < kPageCount; ++page) {
        QImage image = render_monitor_preview(
            PreviewScene{tool_.model, tool_.glyphs, page, 0, clock, picture.isNull() ? nullptr : &picture},
            kThumbnail);
        QListWidgetItem* item = list_->item(page);
        const bool differs = comparison_ && comparison_->pages().count(page) != 0;
        QString caption = page_overview_caption(tool_.model.pages[static_cast<std::size_t>(page)], page);
        if (differs) {
            QPainter frame(&image);
            frame.setPen(QPen(kDiffers, 6));
            frame.drawRect(image.rect().adjusted(3, 3, -3, -3));
            // On the title's line, which has room to spare: the settings line fills its width already.
            caption.replace(QLatin1Char('\n'), QStringLiteral("\n≠ "));
            item->setToolTip(QStringLiteral("比較で異なった設定: ") + comparison_->settings_of(page));
            item->setForeground(kDiffers);
        } else {
            item->setToolTip({});
            item->setForeground(palette().text());
        }
        item->setIcon(QIcon(QPixmap::fromImage(image)));
        item->setText(caption);
        item->setData(Qt::UserRole + 1, differs);
    }
}

}  // namespace tvx
