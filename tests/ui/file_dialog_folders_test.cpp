#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "config/configuration.h"
#include "config/ini_profile.h"
#include "ui/file_document_dialogs.h"
#include "ui/glyph_list_dialog.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

// A folder as the INI keeps it: with the system's own separators.
std::string native(const QString& folder) {
    return QDir::toNativeSeparators(folder).toStdString();
}

// Each kind of file dialog starts where the last file of its kind was chosen, and the next run of the
// tool starts there too (the folders are kept in the INI file).
class FileDialogFoldersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ui_app();
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"documents", "banks", "bitmaps", "later"})
            ASSERT_TRUE(QDir(dir.path()).mkdir(name));
        config.ini_path = (dir.path() + "/tvx230.ini").toStdString();
    }

    QString folder(const char* name) const { return dir.path() + "/" + name; }

    // Runs ask() while the file dialog it opens is answered: seen gets the folder the dialog started in,
    // and the dialog takes file (a name in that folder, or a whole path) or is cancelled when empty.
    template <typename Ask>
    auto answer(Ask ask, const QString& file) {
        QTimer::singleShot(0, [this, file] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            seen = dialog->directory().absolutePath();
            if (file.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(file);
            static_cast<QDialog*>(dialog)->accept();  // as the dialog's own button does
        });
        return ask();
    }

    std::string key(std::string_view name) const {
        return read_profile_string(config.ini_path, kIniSection, name, "", 2048);
    }

    QTemporaryDir dir;
    Configuration config;
    QString seen;
};

TEST_F(FileDialogFoldersTest, EachKindStartsInItsLastFolderAndTheFileKeepsIt) {
    QFile(folder("documents") + "/unit.dat").open(QIODevice::WriteOnly);
    FileDocumentDialogs documents(nullptr, config);
    GlyphFileDialogs glyphs(nullptr, config);
    const auto path = [this](const char* name, const char* file) {
        return (folder(name) + "/" + file).toStdString();
    };

    EXPECT_EQ(answer([&] { return documents.ask_open_path(); }, folder("documents") + "/unit.dat"),
              path("documents", "unit.dat"));
    EXPECT_EQ(key("folder_document"), native(folder("documents")));
    EXPECT_EQ(
        answer([&] { return glyphs.ask_save_path("データ(*.tls)", "*.tls"); }, folder("banks") + "/b1.TLS"),
        path("banks", "b1.TLS"));
    EXPECT_EQ(
        answer([&] { return glyphs.ask_bitmap_path("大文字外字登録番号01をbmpファイルで保存", "gl01.bmp"); },
               folder("bitmaps") + "/gl01.bmp"),
        path("bitmaps", "gl01.bmp"));

    // Each kind starts where its own last file was chosen, whichever folder was visited last.
    answer([&] { return documents.ask_save_path(); }, QString());
    EXPECT_EQ(seen, folder("documents"));
    answer([&] { return glyphs.ask_open_path("データ(*.tll)", "*.tll"); }, QString());
    EXPECT_EQ(seen, folder("banks"));
    // A bitmap's default name is offered inside the bitmap folder.
    EXPECT_EQ(
        answer([&] { return glyphs.ask_bitmap_path("大文字外字登録番号07をbmpファイルで保存", "gl07.bmp"); },
               "gl07.bmp"),
        path("bitmaps", "gl07.bmp"));
    EXPECT_EQ(seen, folder("bitmaps"));
    answer([&] { return documents.ask_open_path(); }, QString());
    EXPECT_EQ(seen, folder("documents"));

    // The next run reads the folders back from the INI file; a cancelled dialog remembered nothing.
    Configuration next;
    NetworkSettings network;
    load_configuration(next, network.port_number, config.ini_path);
    const auto kept = [&next](FileKind kind) { return next.recent_folders[static_cast<std::size_t>(kind)]; };
    EXPECT_EQ(kept(FileKind::kDocument), native(folder("documents")));
    EXPECT_EQ(kept(FileKind::kBank), native(folder("banks")));
    EXPECT_EQ(kept(FileKind::kBitmap), native(folder("bitmaps")));
    EXPECT_EQ(kept(FileKind::kLog), "");

    // A folder that has gone since is not where the dialog starts.
    ASSERT_TRUE(QDir(folder("documents")).removeRecursively());
    answer([&] { return documents.ask_open_path(); }, QString());
    EXPECT_NE(seen, folder("documents"));
}

}  // namespace
}  // namespace tvx
