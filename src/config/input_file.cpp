#include "config/input_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace tvx {
namespace {

InputFileStatus open_failure(std::error_code ec) {
    if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory)
        return InputFileStatus::kNotFound;
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        return InputFileStatus::kPermissionDenied;
    return InputFileStatus::kCannotOpen;
}

}  // namespace

InputFileRead read_input_file(const std::filesystem::path& path, std::string& bytes, std::size_t limit) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) return {ec ? open_failure(ec) : InputFileStatus::kNotFound};
    if (ec) return {open_failure(ec)};
    if (!std::filesystem::is_regular_file(status)) return {InputFileStatus::kNotAFile};
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return {open_failure(ec)};
    if (size > limit) return {InputFileStatus::kTooLarge};

    // The stream keeps no cause; the open call beneath it leaves one in errno.
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return {open_failure(std::error_code(errno, std::generic_category()))};
    std::string read;
    read.reserve(static_cast<std::size_t>(size));
    char chunk[64 * 1024];
    while (in) {
        in.read(chunk, sizeof chunk);
        read.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (read.size() > limit) return {InputFileStatus::kTooLarge};
    }
    if (in.bad()) return {InputFileStatus::kCannotOpen};
    bytes = std::move(read);
    return {InputFileStatus::kRead};
}

}  // namespace tvx
