#include "config/ini_profile.h"

#include <chrono>

#include <gtest/gtest.h>

#include "config/configuration.h"
#include "config/configuration_takeover.h"
#include "config/safe_file.h"
#include "support/scratch_folder.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;

TEST(IniProfile, ReadsLikeTheProfileFunctions) {
    const std::string text =
        "; comment\r\n[Other]\r\ncom_port=4\r\n[tvx-230_section]\r\n  Com_Port = 3 \r\nname=\"quoted\"\r\n"
        "long=12345678901234\r\n";
    EXPECT_EQ(profile_string_from_text(text, kIniSection, "com_port", "0", 10), "3");
    EXPECT_EQ(profile_string_from_text(text, kIniSection, "name", "", 10), "quoted");
    EXPECT_EQ(profile_string_from_text(text, kIniSection, "long", "", 10), "123456789");
    EXPECT_EQ(profile_string_from_text(text, kIniSection, "missing", "09004", 6), "09004");
    EXPECT_EQ(profile_string_from_text(text, "Nowhere", "com_port", "x", 10), "x");
}

TEST(IniProfile, TextToIntReadsLeadingDigitsOnly) {
    EXPECT_EQ(text_to_int("12"), 12);
    EXPECT_EQ(text_to_int("  -7x"), -7);
    EXPECT_EQ(text_to_int("abc"), 0);
    EXPECT_EQ(text_to_int(""), 0);
    EXPECT_EQ(text_to_int("99999999999999"), 2147483647);
}

TEST(IniProfile, WritingOneKeyKeepsEveryOtherLine) {
    const std::string text =
        "[A]\r\nx=1\r\n\r\n[TVX-230_Section]\r\ncom_port=1\r\nrs_control=0\r\n\r\n[B]\r\ny=2\n";
    const std::string replaced = profile_text_with_value(text, kIniSection, "COM_PORT", "5");
    EXPECT_EQ(replaced,
              "[A]\r\nx=1\r\n\r\n[TVX-230_Section]\r\nCOM_PORT=5\r\nrs_control=0\r\n\r\n[B]\r\ny=2\r\n");
    const std::string added = profile_text_with_value(text, kIniSection, "Interface", "1");
    EXPECT_EQ(
        added,
        "[A]\r\nx=1\r\n\r\n[TVX-230_Section]\r\ncom_port=1\r\nrs_control=0\r\nInterface=1\r\n\r\n[B]\r\n"
        "y=2\r\n");
    EXPECT_EQ(profile_text_with_value("", kIniSection, "list_count", "0"),
              "[TVX-230_Section]\r\nlist_count=0\r\n");
}

TEST(IniProfile, WriteCreatesTheFileAndItsFolder) {
    const testing::ScratchFolder dir;
    const fs::path path = dir / "tvx230" / "tvx230.ini";
    ASSERT_TRUE(write_profile_string(path, kIniSection, "Interface", "1"));
    ASSERT_TRUE(write_profile_string(path, kIniSection, "ClientServer", "1"));
    std::string bytes;
    ASSERT_TRUE(read_whole_file(path, bytes));
    EXPECT_EQ(bytes, "[TVX-230_Section]\r\nInterface=1\r\nClientServer=1\r\n");
}

TEST(Configuration, HostKeysGoPastNineForIndexesOfAHundredAndMore) {
    EXPECT_EQ(host_key(0, 0), "ip00_0");
    EXPECT_EQ(host_key(1, 2), "ip01_2");
    EXPECT_EQ(host_key(99, 3), "ip99_3");
    EXPECT_EQ(host_key(100, 0), "ip:0_0");
    EXPECT_EQ(host_key(129, 1), "ip<9_1");
}

class ConfigurationFile : public ::testing::Test {
  protected:
    fs::path ini() const { return dir / "tvx230.ini"; }
    void write(const std::string& text) { ASSERT_TRUE(write_file_replacing(ini(), text)); }
    testing::ScratchFolder dir;
    Configuration config;
    std::string port_number;
};

TEST_F(ConfigurationFile, MissingFileGivesTheDefaults) {
    config.com_port = 3;
    port_number = "1";
    load_configuration(config, port_number, ini());
    EXPECT_EQ(config.com_port, 0);
    EXPECT_EQ(config.rs_control, 0);
    EXPECT_EQ(config.link_interface, 0);
    EXPECT_EQ(config.client_server, 0);
    EXPECT_EQ(config.list_count, 0);
    EXPECT_EQ(port_number, "09004");
    EXPECT_EQ(config.ini_path, ini());
}

TEST_F(ConfigurationFile, ReadsEveryKeyAndTheHosts) {
    write(
        "[TVX-230_Section]\r\ncom_port=2\r\nrs_control=1\r\nInterface=1\r\np_port_number=1234567\r\n"
        "ClientServer=1\r\nselect_number=1\r\nlist_count=2\r\nip00_0=192\r\nip00_1=168\r\nip00_2=0\r\n"
        "ip00_3=1\r\nip01_0=10\r\nip01_1=abc\r\nip01_2=257\r\nip01_3=-1\r\nip02_0=7\r\n");
    load_configuration(config, port_number, ini());
    EXPECT_EQ(config.com_port, 2);
    EXPECT_EQ(config.rs_control, 1);
    EXPECT_EQ(config.link_interface, 1);
    EXPECT_EQ(config.client_server, 1);
    EXPECT_EQ(port_number, "12345");
    EXPECT_EQ(config.select_number, 1);
    EXPECT_EQ(config.list_count, 2);
    EXPECT_EQ(config.host_list[0], (HostAddress{192, 168, 0, 1}));
    EXPECT_EQ(config.host_list[1], (HostAddress{10, 0, 1, 255}));
    EXPECT_EQ(config.host_list[2], (HostAddress{0, 0, 0, 0}));
}

TEST_F(ConfigurationFile, ChoicesOutsideTheirListsTakeTheDefaultAndNoStoredHostIsDropped) {
    write("[TVX-230_Section]\r\ncom_port=6\r\nrs_control=2\r\nInterface=-1\r\nClientServer=9\r\n");
    load_configuration(config, port_number, ini());
    EXPECT_EQ(config.com_port, 0);
    EXPECT_EQ(config.rs_control, 0);
    EXPECT_EQ(config.link_interface, 0);
    EXPECT_EQ(config.client_server, 0);
    EXPECT_TRUE(config.load_notes.empty());

    write("[TVX-230_Section]\r\nlist_count=130\r\nip:0_0=1\r\nip<9_3=9\r\n");
    load_configuration(config, port_number, ini());
    EXPECT_EQ(config.list_count, 130);
    EXPECT_EQ(config.host_list[100][0], 1);
    EXPECT_EQ(config.host_list[129][3], 9);
    EXPECT_TRUE(config.load_notes.empty());

    // A count above the bound keeps the hosts up to it, where a count taken as 0 lost them all (and the
    // next host added was written over the first).
    std::string text = "[TVX-230_Section]\r\nlist_count=131\r\n";
    for (int host = 0; host < 131; ++host)
        text += host_key(host, 0) + "=" + std::to_string(host % 256) + "\r\n";
    write(text);
    load_configuration(config, port_number, ini());
    EXPECT_EQ(config.list_count, 130);
    EXPECT_EQ(config.host_list[0][0], 0);
    EXPECT_EQ(config.host_list[129][0], 129);
    ASSERT_EQ(config.load_notes.size(), 1u);
    EXPECT_NE(config.load_notes[0].find("list_count=131"), std::string::npos);

    // A count beyond the hosts stored: the stored ones stay, a gap among them too, and the count ends
    // after the last, so that a new host goes there.
    write("[TVX-230_Section]\r\nlist_count=9\r\nip00_0=10\r\nip02_3=12\r\n");
    load_configuration(config, port_number, ini());
    EXPECT_EQ(config.list_count, 3);
    EXPECT_EQ(config.host_list[0], (HostAddress{10, 0, 0, 0}));
    EXPECT_EQ(config.host_list[2], (HostAddress{0, 0, 0, 12}));
    ASSERT_EQ(config.load_notes.size(), 1u);
    EXPECT_NE(config.load_notes[0].find("3 件"), std::string::npos) << config.load_notes[0];
}

// The configuration the earlier tool kept (on Windows, in the Windows folder) is taken over once, when
// the tool's own file does not exist yet; the earlier files are only read.
TEST_F(ConfigurationFile, TheEarlierConfigurationIsTakenOverOnceAndTheNewerCopyWins) {
    const std::string earlier_text =
        "[TVX-230_Section]\r\nInterface=1\r\nlist_count=1\r\nip00_0=10\r\n"
        "ip00_1=0\r\nip00_2=0\r\nip00_3=1\r\n[Other]\r\nx=\x82\xa0\r\n";
    const std::string stored_text = "[TVX-230_Section]\r\nInterface=1\r\nlist_count=0\r\n";
    fs::create_directories(dir / "windows");
    fs::create_directories(dir / "store");
    const EarlierConfiguration earlier{dir / "windows" / "tvx230.ini", dir / "store" / "tvx230.ini"};
    std::string problem;

    EXPECT_FALSE(take_over_configuration(ini(), earlier, problem));  // nothing there
    ASSERT_TRUE(write_file_replacing(earlier.file, earlier_text));
    EXPECT_EQ(take_over_configuration(ini(), earlier, problem), earlier.file);
    std::string taken;
    ASSERT_TRUE(read_whole_file(ini(), taken));
    EXPECT_EQ(taken, earlier_text);
    EXPECT_FALSE(take_over_configuration(ini(), earlier, problem)) << "taken over a second time";

    fs::remove(ini());
    ASSERT_TRUE(write_file_replacing(earlier.virtual_store, stored_text));
    fs::last_write_time(earlier.virtual_store, fs::last_write_time(earlier.file) + std::chrono::hours(1));
    EXPECT_EQ(take_over_configuration(ini(), earlier, problem), earlier.virtual_store);
    ASSERT_TRUE(read_whole_file(ini(), taken));
    EXPECT_EQ(taken, stored_text);

    fs::remove(ini());
    fs::last_write_time(earlier.virtual_store, fs::last_write_time(earlier.file) - std::chrono::hours(1));
    EXPECT_EQ(take_over_configuration(ini(), earlier, problem), earlier.file);
    std::string untouched;
    ASSERT_TRUE(read_whole_file(earlier.file, untouched));
    EXPECT_EQ(untouched, earlier_text);
}

TEST_F(ConfigurationFile, WritingAHostWritesItsFourKeys) {
    load_configuration(config, port_number, ini());
    config.host_list[101] = {10, 20, 30, 40};
    ASSERT_TRUE(write_host(config, 101));
    EXPECT_FALSE(write_host(config, kMaxHosts));
    ASSERT_TRUE(write_config_value(config, "list_count", "102"));
    Configuration back;
    load_configuration(back, port_number, ini());
    EXPECT_EQ(back.list_count, 102);
    EXPECT_EQ(back.host_list[101], (HostAddress{10, 20, 30, 40}));
}

// The file dialogs' folders go into keys of their own, beside the original's keys, which stay as they are.
TEST_F(ConfigurationFile, RecentFoldersAreKeptInKeysOfTheirOwn) {
    write("[TVX-230_Section]\r\nInterface=1\r\nlist_count=1\r\nip00_0=10\r\n");
    load_configuration(config, port_number, ini());
    remember_folder(config, FileKind::kBank, "/srv/banks/大文字");
    remember_folder(config, FileKind::kDocument, "/srv/a\r\nInterface=0");  // would end the value early
    remember_folder(config, FileKind::kLog, std::string(kRecentFolderLength + 1, 'x'));
    remember_folder(config, FileKind::kBitmap, "");
    std::string bytes;
    ASSERT_TRUE(read_whole_file(ini(), bytes));
    EXPECT_EQ(bytes,
              "[TVX-230_Section]\r\nInterface=1\r\nlist_count=1\r\nip00_0=10\r\n"
              "folder_bank=/srv/banks/大文字\r\n");

    Configuration back;
    load_configuration(back, port_number, ini());
    EXPECT_EQ(back.recent_folders, (RecentFolders{"", "/srv/banks/大文字", "", ""}));
    EXPECT_EQ(back.link_interface, 1);
    EXPECT_EQ(back.list_count, 1);
}

// The documents of the recent-files submenu: newest first, at most eight, each once; the list is written
// whole, so the keys of a list that shrank are emptied rather than left with an old path.
TEST_F(ConfigurationFile, RecentFilesKeepTheNewestEightOnceEachAndSurviveARestart) {
    write("[TVX-230_Section]\r\nInterface=1\r\n");
    load_configuration(config, port_number, ini());
    EXPECT_TRUE(config.recent_files.empty());
    for (int i = 1; i <= 9; ++i) remember_recent_file(config, "/d/" + std::to_string(i) + ".dat");
    remember_recent_file(config, "/d/5.dat");  // chosen again: moves up, not listed twice
    remember_recent_file(config, "/d/a\r\nInterface=0");
    remember_recent_file(config, std::string(kRecentFileLength + 1, 'x'));
    const RecentFiles expected{"/d/5.dat", "/d/9.dat", "/d/8.dat", "/d/7.dat",
                               "/d/6.dat", "/d/4.dat", "/d/3.dat", "/d/2.dat"};
    EXPECT_EQ(config.recent_files, expected);

    Configuration back;
    load_configuration(back, port_number, ini());
    EXPECT_EQ(back.recent_files, expected);
    EXPECT_EQ(back.link_interface, 1);

    EXPECT_TRUE(forget_recent_file(back, "/d/9.dat"));
    EXPECT_FALSE(forget_recent_file(back, "/d/9.dat"));
    Configuration again;
    load_configuration(again, port_number, ini());
    EXPECT_EQ(again.recent_files.size(), 7u);
    EXPECT_EQ(again.recent_files[1], "/d/8.dat");
    std::string bytes;
    ASSERT_TRUE(read_whole_file(ini(), bytes));
    EXPECT_NE(bytes.find("recent_file8=\r\n"), std::string::npos);

    // A hand-edited file with gaps and repeats reads as a clean list.
    write("[TVX-230_Section]\r\nrecent_file1=/a.dat\r\nrecent_file3=/a.dat\r\nrecent_file4=/b.dat\r\n");
    load_configuration(config, port_number, ini());
    EXPECT_EQ(config.recent_files, (RecentFiles{"/a.dat", "/b.dat"}));
}

}  // namespace
}  // namespace tvx

namespace tvx {
namespace {

TEST_F(ConfigurationFile, AFailedWriteIsToldOnceAndKeepsTheOldFile) {
    write("[TVX-230_Section]\r\nInterface=1\r\n");
    load_configuration(config, port_number, ini());
    int told = 0;
    config.on_write_failed = [&told] { ++told; };
    ASSERT_TRUE(write_config_value(config, "com_port", "2"));
    EXPECT_EQ(told, 0);

    // A folder where the file should be: nothing can be written there.
    config.ini_path = dir / "folder.ini";
    fs::create_directory(config.ini_path);
    EXPECT_FALSE(write_config_value(config, "com_port", "3"));
    EXPECT_FALSE(write_host(config, 0));
    EXPECT_EQ(told, 2);
    std::string bytes;
    ASSERT_TRUE(read_whole_file(ini(), bytes));
    EXPECT_EQ(bytes, "[TVX-230_Section]\r\nInterface=1\r\ncom_port=2\r\n");
}

}  // namespace
}  // namespace tvx
