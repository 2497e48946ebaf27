// File replacement on Windows.
#ifdef _WIN32

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "config/safe_file_native.h"

namespace tvx::native_file {
namespace {

// The cause of the last failed call: the C run-time tells through errno, MoveFileExW through
// GetLastError, so each call records its own.
std::error_code& failure() {
    static thread_local std::error_code cause;
    return cause;
}

bool failed_by_errno() {
    failure() = std::error_code(errno, std::generic_category());
    return false;
}

}  // namespace

CreateResult create_exclusive(const std::filesystem::path& path, Access, Handle& handle) {
    // Access rights come from the folder, as for any file saved there.
    handle =
        _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (handle != kNoHandle) return CreateResult::kCreated;
    failed_by_errno();
    return errno == EEXIST ? CreateResult::kNameTaken : CreateResult::kFailed;
}

bool write_all(Handle handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const unsigned chunk = bytes.size() > INT_MAX ? INT_MAX : static_cast<unsigned>(bytes.size());
        const int n = _write(handle, bytes.data(), chunk);
        if (n <= 0) return failed_by_errno();
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool copy_permissions(Handle, const std::filesystem::path&) {
    // The new file takes the folder's inherited access rights, as any file saved there does.
    return true;
}

bool sync(Handle handle) {
    return _commit(handle) == 0 || failed_by_errno();
}

bool close(Handle handle) {
    return _close(handle) == 0 || failed_by_errno();
}

bool replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
        return true;
    failure() = std::error_code(static_cast<int>(GetLastError()), std::system_category());
    return false;
}

std::error_code last_error() {
    return failure();
}

void sync_folder(const std::filesystem::path&) {
    // MOVEFILE_WRITE_THROUGH has already put the rename on the disk.
}

}  // namespace tvx::native_file

#endif
