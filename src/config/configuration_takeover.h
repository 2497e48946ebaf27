#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tvx {

// Where the earlier tool kept its configuration: the file itself, and the copy Windows keeps per user
// (its VirtualStore) for a program that wrote there without the right to. Either may be empty.
struct EarlierConfiguration {
    std::filesystem::path file;
    std::filesystem::path virtual_store;
};

// When ini does not exist yet, writes to it the earlier configuration, the newer of the two files where
// both exist, as the profile reader reads it (byte for byte), and returns the file it came from. The
// earlier files are only read. Nothing when ini exists or there is nothing to take over; problem says
// why an earlier file that is there could not be taken over.
std::optional<std::filesystem::path> take_over_configuration(const std::filesystem::path& ini,
                                                             const EarlierConfiguration& earlier,
                                                             std::string& problem);

}  // namespace tvx
