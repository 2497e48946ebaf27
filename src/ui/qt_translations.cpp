#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

namespace tvx {

namespace {

// What the file dialogs' type column says of a folder, a drive or a link: Qt 6 asks for these under a
// name its Japanese catalogue does not hold, so the column would read "Folder" among Japanese labels.
class FileTypeNames : public QTranslator {
  public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (!context || !source || std::strcmp(context, "QAbstractFileIconProvider") != 0) return {};
        static const struct {
            const char* english;
            const char* japanese;
        } names[] = {{"Folder", "フォルダ"}, {"File Folder", "ファイル フォルダ"}, {"Drive", "ドライブ"},
                     {"File", "ファイル"},   {"Shortcut", "ショートカット"},       {"Alias", "エイリアス"},
                     {"Unknown", "不明"}};
        for (const auto& name : names) {
            if (std::strcmp(source, name.english) == 0) return QString::fromUtf8(name.japanese);
        }
        return {};
    }
};

}  // namespace

bool install_qt_translations(QCoreApplication& app) {
    // Dates, sizes and file types in Qt's dialogs the Japanese way too.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool any = false;
    // qtbase holds the widgets' texts; qtserialport the port errors.
    for (const char* catalogue : {"qtbase_ja", "qtserialport_ja"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(catalogue), folder) &&
            QCoreApplication::installTranslator(translator)) {
            any = true;
        } else {
            delete translator;
        }
    }
    // Installed last, so asked first; it answers only what the catalogues leave out.
    if (any) QCoreApplication::installTranslator(new FileTypeNames(&app));
    return any;
}

}  // namespace tvx
