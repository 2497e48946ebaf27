#include "config/safe_file.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <optional>
#include <random>
#include <system_error>

#include "config/safe_file_native.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;

// More links in a row than this is a loop (the limit POSIX systems use themselves).
constexpr int kMaxLinkHops = 40;
// Name clashes in a row before the folder is taken to be full of someone else's files.
constexpr int kMaxNameAttempts = 100;

// The file a write to path really replaces: path itself, or, when path is a symbolic link, the file at
// the end of its chain of links, so that the link stays a link and its target gets the new content.
// Nothing for a loop of links or a link that cannot be read.
std::optional<fs::path> replacement_target(const fs::path& path) {
    fs::path target = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
        const fs::path link = fs::read_symlink(target, ec);
        if (ec || link.empty()) return std::nullopt;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return std::nullopt;
}

// A name beside target that nobody can predict; the file is created only if the name is free, so
// whatever else lies in the folder is never opened or followed.
fs::path temporary_name(const fs::path& target, std::uint64_t random) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string tag(16, '0');
    for (char& c : tag) {
        c = kHex[random & 0xF];
        random >>= 4;
    }
    // A long file name plus the tag could pass the file system's name limit.
    fs::path::string_type stem = target.filename().native();
    if (stem.size() > 64) stem.resize(64);
    fs::path name = ".";
    name += stem;
    name += "." + tag + ".tmp";
    return target.parent_path() / name;
}

std::uint64_t random_number() {
    // Some C++ libraries give a fixed random_device sequence; the clock makes two runs differ anyway.
    static std::mt19937_64 engine = [] {
        std::random_device device;
        const auto now =
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        std::seed_seq seed{device(), device(), static_cast<unsigned>(now), static_cast<unsigned>(now >> 32)};
        return std::mt19937_64(seed);
    }();
    return engine();
}

// The file name writes fail at, for tests of a full disk; empty when none.
fs::path& full_disk_at() {
    static fs::path name;
    return name;
}

// "site/" names the folder "site": the name that renames and names beside it work on.
fs::path folder_name_of(const fs::path& path) {
    fs::path folder = path.lexically_normal();
    if (!folder.has_filename() && folder.has_parent_path()) folder = folder.parent_path();
    return folder;
}

class FileErrorCategory : public std::error_category {
  public:
    const char* name() const noexcept override { return "file"; }
    std::string message(int value) const override {
        switch (static_cast<FileError>(value)) {
            case FileError::kNotARegularFile:
                return "not a regular file";
        }
        return "file error";
    }
};

}  // namespace

bool read_whole_file(const std::filesystem::path& path, std::string& bytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool write_file_replacing(const std::filesystem::path& path, std::string_view bytes) {
    std::error_code error;
    return write_file_replacing(path, bytes, error);
}

bool write_file_replacing(const std::filesystem::path& path, std::string_view bytes, std::error_code& error) {
    error.clear();
    if (path.empty()) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
        return false;
    }
    const std::optional<fs::path> found = replacement_target(path);
    if (!found) {
        error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
        return false;
    }
    const fs::path& target = *found;

    // Only a regular file is replaced: renaming over a folder, a device or a pipe would not write into
    // it but take its place.
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    const bool exists = status.type() != fs::file_type::not_found;
    if (exists && !fs::is_regular_file(status)) {
        error = fs::is_directory(status) ? std::make_error_code(std::errc::is_a_directory)
                                         : make_error_code(FileError::kNotARegularFile);
        return false;
    }
    // A file nobody may write to was made read-only on purpose: opening it for writing would be refused,
    // and a rename over it must not get round that (Windows refuses it too).
    constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (exists && (status.permissions() & kAnyWrite) == fs::perms::none) {
        error = std::make_error_code(std::errc::permission_denied);
        return false;
    }

    namespace io = native_file;
    fs::path temp;
    io::Handle handle = io::kNoHandle;
    io::CreateResult created = io::CreateResult::kNameTaken;
    for (int attempt = 0; attempt < kMaxNameAttempts && created == io::CreateResult::kNameTaken; ++attempt) {
        temp = temporary_name(target, random_number());
        // In place of an existing file the new one starts readable by its owner only and then takes the
        // old file's permissions, so content meant for a 0600 file is never readable by others.
        created = io::create_exclusive(temp, exists ? io::Access::kOwnerOnly : io::Access::kUsual, handle);
    }
    if (created != io::CreateResult::kCreated) {
        error = created == io::CreateResult::kNameTaken ? std::make_error_code(std::errc::file_exists)
                                                        : io::last_error();
        return false;
    }

    // The first step that fails gives the cause, read before anything else can change it.
    const auto step = [&error](bool done) {
        if (!done && !error) error = io::last_error();
        return done;
    };
    const auto write = [&] {
        if (!full_disk_at().empty() && target.filename() == full_disk_at()) {
            error = std::make_error_code(std::errc::no_space_on_device);
            return false;
        }
        return step(io::write_all(handle, bytes));
    };
    bool ok = (!exists || step(io::copy_permissions(handle, target))) && write() && step(io::sync(handle));
    ok = step(io::close(handle)) && ok;
    ok = ok && step(io::replace(temp, target));
    if (!ok) {
        fs::remove(temp, ec);
        if (!error) error = std::make_error_code(std::errc::io_error);
        return false;
    }
    io::sync_folder(target.parent_path());
    return true;
}

std::error_code make_error_code(FileError error) {
    static const FileErrorCategory category;
    return {static_cast<int>(error), category};
}

fs::path create_folder_beside(const fs::path& target, std::error_code& error) {
    error.clear();
    const std::optional<fs::path> found = replacement_target(folder_name_of(target));
    if (!found) {
        error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
        return {};
    }
    const fs::path real = folder_name_of(*found);
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        const fs::path fresh = temporary_name(real, random_number());
        std::error_code ec;
        // False without an error: a folder of that name was there already.
        if (!fs::create_directory(fresh, ec)) {
            if (!ec || ec == std::errc::file_exists) continue;
            error = ec;
            return {};
        }
        const fs::file_status old = fs::status(real, ec);
        if (fs::is_directory(old)) fs::permissions(fresh, old.permissions(), fs::perm_options::replace, ec);
        return fresh;
    }
    error = std::make_error_code(std::errc::file_exists);
    return {};
}

bool replace_folder(const fs::path& fresh, const fs::path& target, std::error_code& error) {
    error.clear();
    const std::optional<fs::path> found = replacement_target(folder_name_of(target));
    if (!found) {
        error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
        return false;
    }
    const fs::path real = folder_name_of(*found);
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(real, ec);
    if (status.type() == fs::file_type::not_found) {
        fs::rename(fresh, real, error);
        if (error) return false;
        native_file::sync_folder(real.parent_path());
        return true;
    }
    if (!fs::is_directory(status)) {
        error = std::make_error_code(std::errc::not_a_directory);
        return false;
    }
    fs::path aside;
    for (int attempt = 0; attempt < kMaxNameAttempts && aside.empty(); ++attempt) {
        aside = temporary_name(real, random_number());
        if (fs::symlink_status(aside, ec).type() != fs::file_type::not_found) aside.clear();
    }
    if (aside.empty()) {
        error = std::make_error_code(std::errc::file_exists);
        return false;
    }
    fs::rename(real, aside, error);
    if (error) return false;
    fs::rename(fresh, real, error);
    if (error) {
        fs::rename(aside, real, ec);
        return false;
    }
    native_file::sync_folder(real.parent_path());
    // The new folder is in place and on the disk; an old one that cannot be removed whole only takes room.
    fs::remove_all(aside, ec);
    return true;
}

void fail_writes_as_full_disk_for_testing(std::string file_name) {
    full_disk_at() = std::move(file_name);
}

}  // namespace tvx
