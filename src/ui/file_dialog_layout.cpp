#include "ui/file_dialog_layout.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

namespace tvx {

namespace {

constexpr int kWidth = 880;
constexpr int kHeight = 500;
constexpr int kPlacesWidth = 150;
constexpr int kSizeColumn = 1;
constexpr int kDateColumn = 3;

// Qt's file list writes sizes and dates the desktop's way; the tool's own locale writes them as the
// rest of the tool reads.
class ToolLocaleFileList : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role == Qt::DisplayRole && files && index.isValid()) {
            const QModelIndex source = mapToSource(index);
            if (index.column() == kDateColumn)
                return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
            if (index.column() == kSizeColumn && !files->isDir(source))
                return QLocale().formattedDataSize(files->size(source));
        }
        return QIdentityProxyModel::data(index, role);
    }
};

}  // namespace

void widen_file_dialog(QFileDialog& dialog) {
    // A desktop's native dialog sizes itself; this shapes Qt's own, where there is none.
    dialog.setViewMode(QFileDialog::Detail);
    // Before the columns are shaped: a new model gives the views new columns.
    if (!dialog.proxyModel()) dialog.setProxyModel(new ToolLocaleFileList(&dialog));
    dialog.resize(kWidth, kHeight);
    // The places on the left show their whole names.
    if (auto* places = dialog.findChild<QWidget*>(QStringLiteral("sidebar")))
        places->setMinimumWidth(kPlacesWidth);
    for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        // The name takes what is left; the others fit what they show.
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

}  // namespace tvx
