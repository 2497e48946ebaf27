#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <gtest/gtest.h>

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

    // The other widget tests expect Qt's own English.
    for (QTranslator* translator : app.findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QLocale::setDefault(before);
}

}  // namespace
}  // namespace tvx
