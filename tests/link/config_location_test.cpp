#include "link/config_location.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tvx {
namespace {

// The earlier tool's configuration is looked for where Windows keeps it: the Windows folder, and the
// per-user copy Windows makes when a program writes there without the right to. Nowhere elsewhere.
TEST(ConfigLocation, TheEarlierConfigurationIsLookedForInTheWindowsFolderAndItsVirtualStore) {
    const EarlierConfiguration earlier = earlier_configuration();
#ifdef _WIN32
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
    ASSERT_GT(length, 0u);
    const std::filesystem::path windows(std::wstring(folder, length));
    EXPECT_EQ(earlier.file, windows / "tvx230.ini");
    EXPECT_EQ(earlier.virtual_store.filename(), "tvx230.ini");
    EXPECT_EQ(earlier.virtual_store.parent_path().filename(), windows.filename());
    EXPECT_EQ(earlier.virtual_store.parent_path().parent_path().filename(), "VirtualStore");
#else
    EXPECT_TRUE(earlier.file.empty());
    EXPECT_TRUE(earlier.virtual_store.empty());
#endif
}

}  // namespace
}  // namespace tvx
