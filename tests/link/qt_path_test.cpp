#include "link/qt_path.h"

#include <gtest/gtest.h>

namespace tvx {
namespace {

// A file dialog's answer as the core keeps it: a Japanese name survives, and on Windows the path is in
// the system's own form, so that the same file is one recent file whichever way it was chosen.
TEST(QtPath, AChosenFileBecomesThePathTheSystemWrites) {
#ifdef _WIN32
    const QString chosen = QStringLiteral("C:/users/root/Documents/設定テスト.dat");
    const std::filesystem::path path = to_path(chosen);
    EXPECT_EQ(path.native(), std::wstring(L"C:\\users\\root\\Documents\\設定テスト.dat"));
    EXPECT_EQ(path, to_path(QStringLiteral("C:\\users\\root\\Documents\\設定テスト.dat")));
    EXPECT_EQ(path.filename().native(), std::wstring(L"設定テスト.dat"));
    EXPECT_EQ(to_qstring(path), QStringLiteral("C:\\users\\root\\Documents\\設定テスト.dat"));
#else
    const QString chosen = QStringLiteral("/home/operator/設定テスト.dat");
    const std::filesystem::path path = to_path(chosen);
    EXPECT_EQ(path.native(), std::string("/home/operator/設定テスト.dat"));
    EXPECT_EQ(to_qstring(path), chosen);
#endif
}

}  // namespace
}  // namespace tvx
