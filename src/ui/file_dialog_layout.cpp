#include "ui/file_dialog_layout.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

namespace tvx {

namespace {

constexpr int kWidth = 880;
constexpr int kHeight = 500;
constexpr int kPlacesWidth = 150;

}  // namespace

void widen_file_dialog(QFileDialog& dialog) {
    // A desktop's native dialog sizes itself; this shapes Qt's own, where there is none.
    dialog.setViewMode(QFileDialog::Detail);
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
