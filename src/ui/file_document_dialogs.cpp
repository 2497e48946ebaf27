#include "ui/file_document_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "link/qt_path.h"
#include "ui/file_dialog_layout.h"
#include "ui/recent_folder.h"

namespace tvx {

namespace {

const QStringList& document_filters() {
    static const QStringList filters{QStringLiteral("データ(*.dat)"), QStringLiteral("すべて(*.*)")};
    return filters;
}

}  // namespace

std::optional<std::filesystem::path> FileDocumentDialogs::run(QFileDialog& dialog) {
    dialog.setNameFilters(document_filters());
    dialog.selectNameFilter(document_filters().front());
    start_in_recent_folder(dialog, config_, FileKind::kDocument);
    widen_file_dialog(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
    remember_chosen_folder(config_, FileKind::kDocument, chosen.front());
    return to_path(chosen.front());
}

std::optional<std::filesystem::path> FileDocumentDialogs::ask_open_path() {
    QFileDialog dialog(owner_, QStringLiteral("ファイルのオープン"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog);
}

std::optional<std::filesystem::path> FileDocumentDialogs::ask_save_path() {
    QFileDialog dialog(owner_, QStringLiteral("ファイルの保存"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The dialog asks before it lets an existing name be chosen (Qt's default for save dialogs).
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    return run(dialog);
}

bool FileDocumentDialogs::confirm_overwrite(const std::filesystem::path& path) {
    const QString name = QFileInfo(to_qstring(path)).fileName();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("ファイルの保存"),
                    QStringLiteral("%1 は既に存在します。\n上書きしますか？").arg(name),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace tvx
