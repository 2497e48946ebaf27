// An INI file as an operator may have edited it: loading the configuration keeps every choice inside its
// list and the host list inside its bound; setting one key and reading it again gives the value set and
// leaves the tool's other keys as they read before.

#include "config/ini_profile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "config/configuration.h"
#include "fuzz_support.h"

namespace {

using namespace tvx;
using tvx::fuzz::require;

const char* const kKeys[] = {"com_port",      "rs_control", "Interface", "p_port_number", "ClientServer",
                             "select_number", "list_count", "ip00_0",    "ip01_3",        "ip:0_1"};

// The loader reads a file; each input is written to one scratch file, removed when the run ends.
struct ScratchFile {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tvx230_fuzz_" + std::to_string(getpid()) + ".ini");
    ~ScratchFile() {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
};

const std::filesystem::path& scratch_file() {
    static const ScratchFile file;
    return file.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::as_text(data, size);
    {
        std::ofstream out(scratch_file(), std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    Configuration config;
    std::string port_number;
    load_configuration(config, port_number, scratch_file());
    require(fuzz::in_range(config.com_port, 0, 5), "com_port in its list");
    require(fuzz::in_range(config.rs_control, 0, 1), "rs_control in its list");
    require(fuzz::in_range(config.link_interface, 0, 1), "Interface in its list");
    require(fuzz::in_range(config.client_server, 0, 1), "ClientServer in its list");
    require(fuzz::in_range(config.list_count, 0, kMaxHosts), "host count within the bound");
    require(port_number.size() <= 5, "port text within its buffer");

    // One key set, chosen by the text itself so that every key gets its turn.
    const std::size_t chosen = size == 0 ? 0 : data[size / 2] % std::size(kKeys);
    const std::string value = std::to_string(size);
    const std::string written = profile_text_with_value(text, kIniSection, kKeys[chosen], value);
    require(profile_string_from_text(written, kIniSection, kKeys[chosen], "", 64) == value,
            "a key reads back the value set");
    for (std::size_t k = 0; k < std::size(kKeys); ++k) {
        if (k == chosen) continue;
        require(profile_string_from_text(written, kIniSection, kKeys[k], "-", 64) ==
                    profile_string_from_text(text, kIniSection, kKeys[k], "-", 64),
                "setting one key leaves the others");
    }
    return 0;
}
