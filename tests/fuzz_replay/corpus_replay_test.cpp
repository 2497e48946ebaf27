#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// The fuzz targets' entries, each compiled from its own fuzz source.
extern "C" {
int fuzz_serial_reply(const std::uint8_t* data, std::size_t size);
int fuzz_tcp_reply(const std::uint8_t* data, std::size_t size);
int fuzz_settings_document(const std::uint8_t* data, std::size_t size);
int fuzz_bank_file(const std::uint8_t* data, std::size_t size);
int fuzz_ini_profile(const std::uint8_t* data, std::size_t size);
int fuzz_title_decode(const std::uint8_t* data, std::size_t size);
int fuzz_cli_options(const std::uint8_t* data, std::size_t size);
}

namespace tvx {
namespace {

namespace fs = std::filesystem;

struct FuzzTarget {
    const char* name;  // also the folder of its corpus
    int (*entry)(const std::uint8_t*, std::size_t);
};

const FuzzTarget kTargets[] = {
    {"serial_reply", fuzz_serial_reply},
    {"tcp_reply", fuzz_tcp_reply},
    {"settings_document", fuzz_settings_document},
    {"bank_file", fuzz_bank_file},
    {"ini_profile", fuzz_ini_profile},
    {"title_decode", fuzz_title_decode},
    {"cli_options", fuzz_cli_options},
};

fs::path corpus_root() {
    return fs::path(TVX230_SOURCE_DIR) / "fuzz" / "corpus";
}

// Exactly the file's bytes in a buffer of exactly their size, so that the sanitizer build sees any read
// past the end, as libFuzzer's would.
void run(const FuzzTarget& target, const std::vector<std::uint8_t>& bytes) {
    const std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[std::max<std::size_t>(bytes.size(), 1)]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    EXPECT_EQ(target.entry(copy.get(), bytes.size()), 0);
}

class CorpusReplay : public ::testing::TestWithParam<FuzzTarget> {};

// Every seed and every input that once found a fault runs through its target again; a target aborts at
// the first broken promise, which fails the test program.
TEST_P(CorpusReplay, EveryCorpusFileRunsCleanly) {
    const FuzzTarget& target = GetParam();
    const fs::path folder = corpus_root() / target.name;
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << "no corpus for " << target.name;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        std::ifstream in(file, std::ios::binary);
        ASSERT_TRUE(in) << file;
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        run(target, bytes);
    }
    // The edges no corpus file needs to hold: nothing at all, and single bytes.
    run(target, {});
    for (const std::uint8_t byte : {0x00, 0x0A, 0x0D, 0x20, 0x30, 0x81, 0xFF}) run(target, {byte});
}

INSTANTIATE_TEST_SUITE_P(FuzzTargets, CorpusReplay, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<FuzzTarget>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tvx
