#include "ui/qt_translations.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>
#include <map>

#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "ui/file_dialog_layout.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

TEST(QtTranslations, StandardDialogsSpeakJapanese) {
    QApplication& app = testing::ui_app();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(folder + QStringLiteral("/qtbase_ja.qm")))
        GTEST_SKIP() << "Qt's Japanese translations are not installed";
    const QLocale before;

    ASSERT_TRUE(install_qt_translations(app));
    // The file dialog's labels and the standard buttons, as the operator reads them.
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), QStringLiteral("ファイル名(&N):"));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Files of type:"), QStringLiteral("Files of type:"));
    EXPECT_NE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    EXPECT_EQ(QLocale().language(), QLocale::Japanese);
    // Qt 6 asks for the file list's type names under a name the catalogue lacks.
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"),
              QStringLiteral("フォルダ"));
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Drive"), QStringLiteral("ドライブ"));

    // The other widget tests expect Qt's own English.
    for (QTranslator* translator : app.findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QLocale::setDefault(before);
}

// The rows of Qt's own file dialog for a folder, by name: the columns as the operator reads them.
std::map<QString, QStringList> file_list_rows(QFileDialog& dialog) {
    std::map<QString, QStringList> rows;
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view) return rows;
    QAbstractItemModel* model = view->model();
    if (!QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) >= 2; }, 5000)) return rows;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row) {
        QStringList columns;
        for (int column = 0; column < model->columnCount(root); ++column)
            columns << model->index(row, column, root).data().toString();
        rows[columns.front()] = columns;
    }
    return rows;
}

TEST(QtTranslations, FileDialogsWriteDatesAndSizesInTheToolsLocaleWhateverTheDesktops) {
    testing::ui_app();
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile file(folder.filePath(QStringLiteral("page.dat")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2048, '0'));
    file.close();
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("banks")));

    QFileDialog dialog(nullptr, QString(), folder.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    widen_file_dialog(dialog);
    const auto rows = file_list_rows(dialog);
    ASSERT_EQ(rows.count(QStringLiteral("page.dat")), 1u);
    ASSERT_EQ(rows.count(QStringLiteral("banks")), 1u);
    const QStringList& page = rows.at(QStringLiteral("page.dat"));
    const QStringList& banks = rows.at(QStringLiteral("banks"));
    ASSERT_GE(page.size(), 4);
    ASSERT_GE(banks.size(), 4);

    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    EXPECT_EQ(page[3], japanese.toString(QFileInfo(file.fileName()).lastModified(), QLocale::ShortFormat));
    EXPECT_EQ(page[1], japanese.formattedDataSize(2048));
    EXPECT_EQ(banks[3], japanese.toString(QFileInfo(folder.filePath(QStringLiteral("banks"))).lastModified(),
                                          QLocale::ShortFormat));
    // A folder has no size.
    EXPECT_TRUE(banks[1].isEmpty());
    QLocale::setDefault(before);
}

}  // namespace
}  // namespace tvx
