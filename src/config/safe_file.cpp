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
    if (path.empty()) return false;
    const std::optional<fs::path> found = replacement_target(path);
    if (!found) return false;
    const fs::path& target = *found;

    // Only a regular file is replaced: renaming over a folder, a device or a pipe would not write into
    // it but take its place.
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    const bool exists = status.type() != fs::file_type::not_found;
    if (exists && !fs::is_regular_file(status)) return false;
    // A file nobody may write to was made read-only on purpose: opening it for writing would be refused,
    // and a rename over it must not get round that (Windows refuses it too).
    constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (exists && (status.permissions() & kAnyWrite) == fs::perms::none) return false;

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
    if (created != io::CreateResult::kCreated) return false;

    bool ok =
        (!exists || io::copy_permissions(handle, target)) && io::write_all(handle, bytes) && io::sync(handle);
    ok = io::close(handle) && ok;
    ok = ok && io::replace(temp, target);
    if (!ok) {
        fs::remove(temp, ec);
        return false;
    }
    io::sync_folder(target.parent_path());
    return true;
}

}  // namespace tvx
