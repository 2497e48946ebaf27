#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace tvx::native_file {

// The few file-system calls that durable replacement needs and the standard library does not offer:
// creating a file only if no file of that name exists, syncing it to the disk, copying permissions and
// renaming over a file with the rename itself on the disk. POSIX and Windows each have their own file.

// An open, newly created file; -1 when none.
using Handle = int;
inline constexpr Handle kNoHandle = -1;

// Why create_exclusive gave no handle.
enum class CreateResult { kCreated, kNameTaken, kFailed };

// Who may use a new file: its owner only, or whoever the operator's usual mode for new files lets.
enum class Access { kOwnerOnly, kUsual };

// Creates path for writing only when nothing (not even a dangling link) has that name.
CreateResult create_exclusive(const std::filesystem::path& path, Access access, Handle& handle);

// Writes every byte, retrying short and interrupted writes.
bool write_all(Handle handle, std::string_view bytes);

// Gives the new file the permission bits of the existing file like (a 0600 file stays 0600), and its
// owner and group where the platform lets this process do so.
bool copy_permissions(Handle handle, const std::filesystem::path& like);

// Pushes the file's content to the disk.
bool sync(Handle handle);

// Closes the handle; false when the close reports a delayed write error.
bool close(Handle handle);

// Puts from in place of to in one step (to may exist), the rename written through to the disk where the
// platform offers that.
bool replace(const std::filesystem::path& from, const std::filesystem::path& to);

// Why the last of these calls that failed did so, read right after it.
std::error_code last_error();

// Makes a rename in folder durable, where the platform needs a folder sync for that.
void sync_folder(const std::filesystem::path& folder);

}  // namespace tvx::native_file
