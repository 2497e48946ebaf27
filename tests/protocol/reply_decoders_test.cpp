#include "protocol/reply_decoders.h"

#include <gtest/gtest.h>

#include "protocol/command_builders.h"
#include "protocol/model_dump.h"
#include "protocol/random_model.h"
#include "protocol/title_encoding.h"

namespace tvx {
namespace {

TEST(Decoders, PowerOnPage) {
    SettingsModel model;
    decode_data_line(model, "POSP", "POSPAS\r\n");
    EXPECT_EQ(model.power_on_page, 64);
    decode_data_line(model, "POSP", "POSP07\r\n");
    EXPECT_EQ(model.power_on_page, 6);
    for (const char* bad : {"POSP00\r\n", "POSP65\r\n", "POSP7\r\n", "POSP\r\n", "POSPA\r\n"}) {
        EXPECT_FALSE(decode_data_line(model, "POSP", bad));
        EXPECT_EQ(model.power_on_page, 6) << bad;
    }
}

TEST(Decoders, ScheduleEntries) {
    SettingsModel model;
    std::string line =
        "SD03"
        "073012"
        "0730AS"
        "073000";
    for (int e = 3; e < 24; ++e) line += "235964";
    decode_data_line(model, "SD", line + "\r\n");
    const auto& day = model.schedule[2];
    EXPECT_EQ(day[0].hour, 7);
    EXPECT_EQ(day[0].minute, 30);
    EXPECT_EQ(day[0].page, 11);
    EXPECT_EQ(day[1].page, 64);
    EXPECT_EQ(day[2].page, 65);
    EXPECT_EQ(day[23].hour, 23);
    EXPECT_EQ(day[23].minute, 59);
    EXPECT_EQ(day[23].page, 63);

    // A day outside 01 to 31 is void; a line too short for its 24 entries changes nothing.
    const SettingsModel before = model;
    EXPECT_FALSE(decode_data_line(model, "SD", "SD00" + line.substr(4)));
    EXPECT_FALSE(decode_data_line(model, "SD", "SD32" + line.substr(4)));
    EXPECT_FALSE(decode_data_line(model, "SD", line.substr(0, 147)));
    EXPECT_EQ(testing::dump_unit_settings(before), testing::dump_unit_settings(model));

    // Fields out of range keep their values, each on its own.
    std::string odd =
        "SD03"
        "2560xx";
    odd += line.substr(10);
    EXPECT_FALSE(decode_data_line(model, "SD", odd));  // not taken whole: the read did not read
    EXPECT_EQ(day[0].hour, 7);
    EXPECT_EQ(day[0].minute, 30);
    EXPECT_EQ(day[0].page, 11);
}

TEST(Decoders, AllPagesLetters) {
    SettingsModel model;
    std::string cfs = "CFS" + std::string(64, 'M');
    cfs[3 + 2] = 'X';
    cfs[3 + 3] = 'L';
    EXPECT_TRUE(decode_data_line(model, "CFS", cfs + "\r\n"));
    EXPECT_EQ(model.pages[0].char_size, 1);
    EXPECT_EQ(model.pages[2].char_size, 2);  // a foreign letter is SMALL
    EXPECT_EQ(model.pages[3].char_size, 0);

    // One letter short: nothing changes, not even the pages before the gap.
    EXPECT_FALSE(decode_data_line(model, "CFS", "CFS" + std::string(63, 'L') + "\r\n"));
    EXPECT_EQ(model.pages[0].char_size, 1);

    std::string iss = "ISS" + std::string(64, '2');
    iss[3] = '9';
    iss[4] = '0';
    model.pages[0].scroll_speed = 3;
    model.pages[1].scroll_speed = 3;
    EXPECT_FALSE(decode_data_line(model, "ISS", iss));
    EXPECT_EQ(model.pages[0].scroll_speed, 3);  // speeds are computed from the digit: out of range stays
    EXPECT_EQ(model.pages[1].scroll_speed, 3);
    EXPECT_EQ(model.pages[2].scroll_speed, 1);

    decode_data_line(model, "FB", "FB" + std::string(64, 'N'));
    EXPECT_EQ(model.pages[63].background_fill, 1);
    decode_data_line(model, "IDP", "IDP" + std::string(64, 'T'));
    EXPECT_EQ(model.pages[5].display_position, 0);
}

TEST(Decoders, AllPagesDigits) {
    SettingsModel model;
    std::string ido = "IDO";
    for (int k = 0; k < 64; ++k) ido += k == 1 ? "16" : k == 2 ? "a1" : "15";
    EXPECT_FALSE(decode_data_line(model, "IDO", ido));
    EXPECT_EQ(model.pages[0].display_offset, 15);
    EXPECT_EQ(model.pages[1].display_offset, 7);
    EXPECT_EQ(model.pages[2].display_offset, 7);

    std::string cabc = "CABC";
    for (int k = 0; k < 64; ++k) cabc += k == 1 ? "93" : k == 2 ? "4:" : "18";
    EXPECT_FALSE(decode_data_line(model, "CABC", cabc));
    EXPECT_EQ(model.pages[0].char_colour, 1);
    EXPECT_EQ(model.pages[0].edge_colour, 8);
    EXPECT_EQ(model.pages[1].char_colour, kWhite);
    EXPECT_EQ(model.pages[1].edge_colour, 3);
    EXPECT_EQ(model.pages[2].char_colour, 4);
    EXPECT_EQ(model.pages[2].edge_colour, kBlack);
}

TEST(Decoders, SettingLettersKeepTheirRules) {
    SettingsModel model;
    const std::tuple<const char*, const char*, int SettingsModel::*, int> cases[] = {
        {"AM", "AMX", &SettingsModel::alarm_mode, 1},
        {"AP", "APM", &SettingsModel::alarm_polarity, 0},
        {"ADO", "ADOF", &SettingsModel::alarm_display, 0},
        {"ARO", "AROX", &SettingsModel::alarm_return, 1},
        {"RM", "RMBIN", &SettingsModel::remote_mode, 0},
        {"RM", "RMBIT", &SettingsModel::remote_mode, 1},
        {"RM", "RMXXX", &SettingsModel::remote_mode, 2},
        {"CI", "CIA", &SettingsModel::connector_input, 0},
        {"VLBC", "VLBCX", &SettingsModel::video_loss_background, 0},
        {"VLBC", "VLBCB", &SettingsModel::video_loss_background, 1},
        {"TSDO", "TSDON", &SettingsModel::date_display, 1},
        {"TSDS", "TSDSS", &SettingsModel::date_display_size, 0},
        {"TSDR", "TSDR8", &SettingsModel::date_display_range, 7},
        {"TSDR", "TSDR9", &SettingsModel::date_display_range, 7},
        {"TSDR", "TSDR", &SettingsModel::date_display_range, 7},
    };
    for (const auto& [mnemonic, line, field, expected] : cases) {
        decode_data_line(model, mnemonic, std::string(line) + "\r\n");
        EXPECT_EQ(model.*field, expected) << line;
    }
    decode_data_line(model, "ESM", "ESMB");
    EXPECT_EQ(model.network.subnet_class, 1);
    EXPECT_FALSE(decode_data_line(model, "ESM", "ESMD"));
    EXPECT_EQ(model.network.subnet_class, 1);
    decode_data_line(model, "ETR", "ETR1");
    EXPECT_EQ(model.network.time_register, 0);
    EXPECT_FALSE(decode_data_line(model, "ETR", "ETR7"));
    EXPECT_EQ(model.network.time_register, 0);
    decode_data_line(model, "ECT", "ECTON");
    EXPECT_EQ(model.network.connection_try, 1);
    decode_data_line(model, "EKA", "EKAOF");
    EXPECT_EQ(model.network.keep_alive, 0);
}

TEST(Decoders, TextsAndAddresses) {
    SettingsModel model;
    decode_data_line(model, "ADT", "ADT045\r\n");
    EXPECT_EQ(model.alarm_hold_time, "045");
    EXPECT_FALSE(decode_data_line(model, "ADT", "ADT04\r\n"));
    EXPECT_FALSE(decode_data_line(model, "ADT", "ADT0x5\r\n"));
    EXPECT_EQ(model.alarm_hold_time, "045");

    decode_data_line(model, "EIA", "EIA192.168.001.003\r\n");
    EXPECT_EQ(model.network.ip_address, (IPv4Octets{192, 168, 1, 3}));
    decode_data_line(model, "EGA", "EGA999.000.000.001");
    EXPECT_EQ(model.network.gateway_address, (IPv4Octets{999 & 0xFF, 0, 0, 1}));
    EXPECT_FALSE(decode_data_line(model, "EAA", "EAA010.000.000.0"));
    EXPECT_EQ(model.network.active_address, (IPv4Octets{0, 0, 0, 0}));

    decode_data_line(model, "EMA", "EMA00-11-22-33-44-55\r\n");
    EXPECT_EQ(model.network.mac_address, "00-11-22-33-44-55");
    EXPECT_FALSE(decode_data_line(model, "EMA", "EMA00-11\r\n"));
    EXPECT_EQ(model.network.mac_address, "00-11-22-33-44-55");
    decode_data_line(model, "EPN", "EPN09005\r\n");
    EXPECT_EQ(model.network.port_number, "09005");
    EXPECT_FALSE(decode_data_line(model, "EPN", "EPN0900\r\n"));
    EXPECT_FALSE(decode_data_line(model, "EPN", "EPN0900A\r\n"));
    EXPECT_EQ(model.network.port_number, "09005");
    EXPECT_FALSE(decode_data_line(model, "VN", "VN\r\n"));
    EXPECT_EQ(model.network.version_number, "0.00");

    decode_data_line(model, "ACA", "ACA0908070605040302\r\n");
    EXPECT_EQ(model.connector_pages, (std::array<int, 8>{8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_FALSE(decode_data_line(model, "ACA", "ACA0065070605040302\r\n"));
    EXPECT_EQ(model.connector_pages, (std::array<int, 8>{8, 7, 6, 5, 4, 3, 2, 1}));
}

// Whatever the builders send, the decoders read back the same: the data lines have the setting
// commands' layout.
TEST(Decoders, ReadBackWhatTheBuildersWrite) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const SettingsModel sent = testing::random_model(seed);
        SettingsModel read;
        for (const PageCommandRow& row : kPageCommands) {
            EXPECT_TRUE(decode_data_line(read, row.mnemonic, build_all_pages_command(sent, row.command)));
        }
        for (const SettingCommandRow& row : kSettingCommands) {
            EXPECT_TRUE(decode_data_line(read, row.mnemonic, build_setting_command(sent, row.command)));
        }
        for (const AddressCommandRow& row : kAddressCommands) {
            EXPECT_TRUE(decode_data_line(read, row.mnemonic, build_address_command(sent, row.command)));
        }
        for (int page = 0; page < kPageCount; ++page) {
            EXPECT_TRUE(decode_data_line(
                read, "CA", *build_title_command(sent.pages[static_cast<std::size_t>(page)].title, page)));
        }
        for (int day = 0; day < kScheduleDays; ++day)
            EXPECT_TRUE(decode_data_line(read, "SD", build_schedule_day(sent, day)));
        EXPECT_TRUE(decode_data_line(read, "ACA", build_connector_pages(sent, ConnectorCommand::ACA)));
        EXPECT_TRUE(decode_data_line(read, "ADT", *build_alarm_hold_time(sent)));
        EXPECT_TRUE(decode_data_line(read, "POSP", build_power_on_page(sent)));
        EXPECT_TRUE(decode_data_line(read, "EPN", *build_port_number(sent)));
        EXPECT_TRUE(decode_data_line(read, "EMA", build_mac_line(sent)));
        EXPECT_TRUE(decode_data_line(read, "VN", build_version_line(sent)));
        ASSERT_EQ(testing::dump_unit_settings(sent), testing::dump_unit_settings(read)) << "seed " << seed;
    }
}

}  // namespace
}  // namespace tvx
