#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tvx {

// The most a file the tool reads on the operator's word may hold: far more than any settings document
// or glyph bank file, far less than would stall the tool.
inline constexpr std::size_t kInputFileLimit = 16u << 20;

// Why a file the operator chose was not read.
enum class InputFileStatus {
    kRead,
    kCannotOpen,        // a read error, or opening failed for another cause than the two below
    kNotFound,          // no such file (or a folder on its way is not there)
    kPermissionDenied,  // there, but this user may not read it (or not reach its folder)
    kNotAFile,          // a directory, FIFO, socket or device: reading it could block or never end
    kTooLarge,          // more than the limit
};

// Whether the file could not be opened at all, as opposed to being there and refused for what it is.
constexpr bool cannot_open(InputFileStatus status) {
    return status == InputFileStatus::kCannotOpen || status == InputFileStatus::kNotFound ||
           status == InputFileStatus::kPermissionDenied;
}

struct InputFileRead {
    InputFileStatus status = InputFileStatus::kCannotOpen;
    explicit operator bool() const { return status == InputFileStatus::kRead; }
};

// Reads a file whole, but only a regular file and at most limit bytes; a file that grows past the limit
// while it is read is refused too. bytes holds the file only when the status is kRead.
InputFileRead read_input_file(const std::filesystem::path& path, std::string& bytes,
                              std::size_t limit = kInputFileLimit);

// Whether text starts with a byte-order mark (UTF-8, or either UTF-16): an editor's mark that no file the
// tool reads may start with, since they are ASCII or Shift JIS.
constexpr bool starts_with_byte_order_mark(std::string_view text) {
    return text.starts_with("\xEF\xBB\xBF") || text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF");
}

}  // namespace tvx
