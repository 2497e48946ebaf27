#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tvx {

// The most a file the tool reads on the operator's word may hold: far more than any settings document
// or glyph bank file, far less than would stall the tool.
inline constexpr std::size_t kInputFileLimit = 16u << 20;

// Why a file the operator chose was not read.
enum class InputFileStatus {
    kRead,
    kCannotOpen,  // missing, unreadable, or a read error
    kNotAFile,    // a directory, FIFO, socket or device: reading it could block or never end
    kTooLarge,    // more than the limit
};

struct InputFileRead {
    InputFileStatus status = InputFileStatus::kCannotOpen;
    explicit operator bool() const { return status == InputFileStatus::kRead; }
};

// Reads a file whole, but only a regular file and at most limit bytes; a file that grows past the limit
// while it is read is refused too. bytes holds the file only when the status is kRead.
InputFileRead read_input_file(const std::filesystem::path& path, std::string& bytes,
                              std::size_t limit = kInputFileLimit);

}  // namespace tvx
