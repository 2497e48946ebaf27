#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace tvx::testing {

// A folder of the test's own under the system's temporary folder, removed with everything in it when the
// test ends. Standard C++ only, so that the tests of the core run where Qt is not built.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::mt19937_64 random(std::random_device{}() ^
                               static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
        for (int attempt = 0; attempt < 100 && !ec; ++attempt) {
            const std::filesystem::path candidate = base / ("tvx230-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, ec)) {
                path_ = candidate;
                return;
            }
        }
    }
    ~ScratchFolder() {
        if (path_.empty()) return;
        std::error_code ec;
        // A test may leave a read-only file or folder behind; make it removable first.
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        }
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool valid() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

}  // namespace tvx::testing
