// File replacement on POSIX systems.
#ifndef _WIN32

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "config/safe_file_native.h"

namespace tvx::native_file {

CreateResult create_exclusive(const std::filesystem::path& path, Access access, Handle& handle) {
    // The usual mode is 0666 less the umask: what any new file of the operator gets.
    const mode_t mode = access == Access::kOwnerOnly ? 0600 : 0666;
    do {
        handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    } while (handle == kNoHandle && errno == EINTR);
    if (handle != kNoHandle) return CreateResult::kCreated;
    return errno == EEXIST ? CreateResult::kNameTaken : CreateResult::kFailed;
}

bool write_all(Handle handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(handle, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool copy_permissions(Handle handle, const std::filesystem::path& like) {
    struct stat old {};
    if (::stat(like.c_str(), &old) != 0) return false;
    // The owner and group too where this process may give them (a file of another user written by an
    // administrator stays that user's); otherwise the new file is this user's, as any file it creates.
    // Before the mode: a change of owner clears the set-id bits.
    if (::fchown(handle, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int ignored = ::fchown(handle, static_cast<uid_t>(-1), old.st_gid);
    }
    return ::fchmod(handle, old.st_mode & 07777) == 0;
}

bool sync(Handle handle) {
    int result = 0;
    do {
        result = ::fsync(handle);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

bool close(Handle handle) {
    // Linux closes the descriptor even when close is interrupted; retrying could close another one.
    return ::close(handle) == 0 || errno == EINTR;
}

bool replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

std::error_code last_error() {
    return {errno, std::generic_category()};
}

void sync_folder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // Some file systems cannot sync a folder (EINVAL); the file itself is already on the disk then.
    ::fsync(fd);
    ::close(fd);
}

}  // namespace tvx::native_file

#endif
