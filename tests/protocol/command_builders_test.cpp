#include "protocol/command_builders.h"

#include <gtest/gtest.h>

#include "protocol/command_senders.h"
#include "protocol/recording_link.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

std::string text(const std::string& line) {
    EXPECT_GE(line.size(), 2u);
    EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
    return line.substr(0, line.size() - 2);
}

TEST(PageCommands, FollowTheUnitsLayout) {
    SettingsModel model;
    model.pages[0].char_size = 1;
    EXPECT_EQ(text(build_page_command(model, PageCommand::CFS, 0)), "CFS01M");
    model.pages[63].char_size = 0;
    EXPECT_EQ(text(build_page_command(model, PageCommand::CFS, 63)), "CFS64L");

    model.pages[11].display_position = 1;
    model.pages[2].display_offset = 7;
    model.pages[0].scroll_speed = 3;
    model.pages[63].blink = 1;
    model.pages[1].auto_switch = 1;
    model.pages[0].char_colour = 7;
    model.pages[0].edge_colour = 0;
    model.pages[9].background_fill = 0;
    model.pages[32].char_level = 1;
    EXPECT_EQ(text(build_page_command(model, PageCommand::IDP, 11)), "IDP12B");
    EXPECT_EQ(text(build_page_command(model, PageCommand::IDO, 2)), "IDO0307");
    EXPECT_EQ(text(build_page_command(model, PageCommand::ISS, 0)), "ISS014");
    EXPECT_EQ(text(build_page_command(model, PageCommand::CBS, 63)), "CBS64ON");
    EXPECT_EQ(text(build_page_command(model, PageCommand::CBS, 0)), "CBS01OF");
    EXPECT_EQ(text(build_page_command(model, PageCommand::PAS, 1)), "PAS02L");
    EXPECT_EQ(text(build_page_command(model, PageCommand::CABC, 0)), "CABC0170");
    EXPECT_EQ(text(build_page_command(model, PageCommand::FB, 9)), "FB10OF");
    EXPECT_EQ(text(build_page_command(model, PageCommand::CWL, 32)), "CWL33H");
}

TEST(PageCommands, AllPagesFormsCarryOneFieldPerPage) {
    SettingsModel model;
    for (auto& page : model.pages) page.blink = 0;
    EXPECT_EQ(text(build_all_pages_command(model, PageCommand::CBS)), "CBS" + std::string(64, 'F'));
    model.pages[3].background_fill = 1;
    const std::string fb = text(build_all_pages_command(model, PageCommand::FB));
    EXPECT_EQ(fb.size(), 66u);
    EXPECT_EQ(fb.substr(0, 7), "FBFFFNF");

    const std::pair<PageCommand, std::size_t> lengths[] = {
        {PageCommand::CFS, 67}, {PageCommand::IDP, 67}, {PageCommand::ISS, 67},  {PageCommand::CBS, 67},
        {PageCommand::PAS, 67}, {PageCommand::CWL, 67}, {PageCommand::IDO, 131}, {PageCommand::CABC, 132},
    };
    for (const auto& [command, length] : lengths) {
        EXPECT_EQ(text(build_all_pages_command(model, command)).size(), length);
    }
    model.pages[1].char_colour = 3;
    model.pages[1].edge_colour = 8;
    EXPECT_EQ(text(build_all_pages_command(model, PageCommand::CABC)).substr(0, 8), "CABC7038");
    model.pages[1].display_offset = 15;
    EXPECT_EQ(text(build_all_pages_command(model, PageCommand::IDO)).substr(0, 7), "IDO0715");
}

TEST(PageCommands, ValuesOutsideTheirListsSendTheRulesLetter) {
    SettingsModel model;
    model.pages[0].blink = 5;
    model.pages[0].char_size = 7;
    model.pages[0].background_fill = -1;
    EXPECT_EQ(text(build_page_command(model, PageCommand::CBS, 0)), "CBS01ON");
    EXPECT_EQ(text(build_page_command(model, PageCommand::CFS, 0)), "CFS01L");
    EXPECT_EQ(text(build_page_command(model, PageCommand::FB, 0)), "FB01ON");
}

TEST(SettingCommands, EveryRowWritesItsLetters) {
    SettingsModel model;
    model.date_display_range = 2;
    model.date_display_size = 1;
    model.date_display = 1;
    model.alarm_mode = 1;
    model.alarm_polarity = 1;
    model.alarm_display = 1;
    model.alarm_return = 0;
    model.remote_mode = 2;
    model.connector_input = 1;
    model.video_loss_background = 1;
    model.network.subnet_class = 2;
    model.network.connection_try = 1;
    model.network.keep_alive = 0;
    model.network.time_register = 5;
    const std::pair<SettingCommand, std::string> expected[] = {
        {SettingCommand::TSDR, "TSDR3"}, {SettingCommand::TSDS, "TSDSN"}, {SettingCommand::TSDO, "TSDON"},
        {SettingCommand::AM, "AME"},     {SettingCommand::AP, "APB"},     {SettingCommand::ADO, "ADON"},
        {SettingCommand::ARO, "AROF"},   {SettingCommand::RM, "RMOPE"},   {SettingCommand::CI, "CIR"},
        {SettingCommand::VLBC, "VLBCB"}, {SettingCommand::ESM, "ESMC"},   {SettingCommand::ECT, "ECTON"},
        {SettingCommand::EKA, "EKAOF"},  {SettingCommand::ETR, "ETR6"},
    };
    for (const auto& [command, line] : expected) EXPECT_EQ(text(build_setting_command(model, command)), line);

    model.remote_mode = 1;
    EXPECT_EQ(text(build_setting_command(model, SettingCommand::RM)), "RMBIT");
    model.remote_mode = 9;
    EXPECT_EQ(text(build_setting_command(model, SettingCommand::RM)), "RMBIN");
}

TEST(OtherCommands, DateDisplayPageConnectorsAndPowerOn) {
    EXPECT_EQ(text(build_date_command(DateCommand::DSY, 16)), "DSY16");
    EXPECT_EQ(text(build_date_command(DateCommand::DSM, 6)), "DSM07");
    EXPECT_EQ(text(build_date_command(DateCommand::DSD, 30)), "DSD31");
    EXPECT_EQ(text(build_date_command(DateCommand::TSH, 23)), "TSH23");
    EXPECT_EQ(text(build_date_command(DateCommand::TSM, 5)), "TSM05");
    EXPECT_EQ(text(build_date_command(DateCommand::TSS, 59)), "TSS59");
    EXPECT_EQ(text(build_time_adjust()), "TSA");

    EXPECT_EQ(text(build_display_page(6)), "P07");
    EXPECT_EQ(text(build_display_page(64)), "PAS");
    EXPECT_EQ(text(build_display_switch(true)), "IDON");
    EXPECT_EQ(text(build_display_switch(false)), "IDOF");

    SettingsModel model;
    EXPECT_EQ(text(build_connector_pages(model, ConnectorCommand::ACA)), "ACA0102030405060708");
    for (int n = 0; n < 8; ++n) model.connector_pages[n] = 8 - n;
    EXPECT_EQ(text(build_connector_pages(model, ConnectorCommand::RCA)), "RCA0908070605040302");

    model.power_on_page = 64;
    EXPECT_EQ(text(build_power_on_page(model)), "POSPAS");
    model.power_on_page = 11;
    EXPECT_EQ(text(build_power_on_page(model)), "POSP12");
}

TEST(OtherCommands, ScheduleEntriesAndTheirPages) {
    SettingsModel model;
    auto& day = model.schedule[0];
    day[0] = {7, 30, 11};
    day[1] = {7, 30, 64};
    day[2] = {7, 30, 65};
    day[3] = {7, 30, 99};
    const std::string line = text(build_schedule_day(model, 0));
    EXPECT_EQ(line.size(), 148u);
    EXPECT_EQ(line.substr(0, 28),
              "SD01073012"
              "0730AS"
              "073000"
              "073000");
    EXPECT_EQ(line.substr(28, 6), "040000");
    EXPECT_EQ(text(build_schedule_day(model, 30)).substr(0, 4), "SD31");
}

TEST(OtherCommands, NetworkAddressesAndPort) {
    SettingsModel model;
    model.network.ip_address = {10, 0, 0, 5};
    model.network.gateway_address = {192, 168, 1, 1};
    model.network.active_address = {192, 168, 1, 10};
    EXPECT_EQ(text(build_address_command(model, AddressCommand::EIA)), "EIA010.000.000.005");
    EXPECT_EQ(text(build_address_command(model, AddressCommand::EGA)), "EGA192.168.001.001");
    EXPECT_EQ(text(build_address_command(model, AddressCommand::EAA)), "EAA192.168.001.010");

    EXPECT_EQ(text(*build_port_number(model)), "EPN09004");
    model.network.port_number = "80";
    EXPECT_EQ(text(*build_port_number(model)), "EPN00080");
    for (const char* bad : {"", "9a004", "090041", " 9004"}) {
        model.network.port_number = bad;
        EXPECT_FALSE(build_port_number(model)) << bad;
    }

    testing::RecordingLink link;
    testing::RecordingNotices notices;
    EXPECT_FALSE(send_port_number(model, link, notices));
    EXPECT_TRUE(link.lines.empty());
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{std::string(kPortNumberNotDigits)});
}

TEST(AlarmHoldTime, SendsThreeDigitsFromThreeSecondsOn) {
    const std::pair<const char*, const char*> cases[] = {
        {"5", "ADT005"},   {"010", "ADT010"},  {"12a", "ADT012"}, {"003", "ADT003"},
        {"999", "ADT999"}, {"1234", "ADT123"}, {"3", "ADT003"},
    };
    SettingsModel model;
    for (const auto& [hold, expected] : cases) {
        model.alarm_hold_time = hold;
        ASSERT_TRUE(build_alarm_hold_time(model)) << hold;
        EXPECT_EQ(text(*build_alarm_hold_time(model)), expected);
    }
    for (const char* refused : {"2", "", "a12", "002", "0"}) {
        model.alarm_hold_time = refused;
        testing::RecordingLink link;
        testing::RecordingNotices notices;
        EXPECT_FALSE(send_alarm_hold_time(model, link, notices)) << refused;
        EXPECT_TRUE(link.lines.empty());
        EXPECT_EQ(notices.count("error", "3秒以上を設定してください。"), 1);
    }
}

TEST(GlyphCommands, SlotCodesFollowTheUnitsTable) {
    EXPECT_EQ(glyph_code(0), 0xA365);
    EXPECT_EQ(glyph_code(25), 0xA37E);
    EXPECT_EQ(glyph_code(26), 0xA421);
    EXPECT_EQ(glyph_code(119), 0xA47E);
    EXPECT_EQ(glyph_code(120), 0xA521);
    EXPECT_EQ(glyph_code(213), 0xA57E);
    EXPECT_EQ(glyph_code(214), 0xA621);
    EXPECT_EQ(glyph_code(255), 0xA64A);
    for (int slot = 0; slot < 256; ++slot) {
        const std::uint16_t code = glyph_code(slot);
        EXPECT_GE(code & 0xFF, 0x21);
        EXPECT_LE(code & 0xFF, 0x7E);
        EXPECT_EQ(glyph_slot(code), slot);
    }
    EXPECT_EQ(glyph_slot(0xA364), -1);
    EXPECT_EQ(glyph_slot(0xA420), -1);
    EXPECT_EQ(glyph_slot(0xA64B), -1);
}

TEST(GlyphCommands, SampleCharacterCodes) {
    EXPECT_EQ(text(build_glyph_read(kLarge, *sample_char_code("\x82\xA0"))), "RFBML2422");
    EXPECT_EQ(text(build_glyph_read(kLarge, *sample_char_code("A"))), "RFBML2121");
    EXPECT_EQ(text(build_glyph_read(kMedium, *sample_char_code(""))), "RFBMM2121");
    EXPECT_EQ(*sample_char_code("\xFA\x40"), 0x7C71);  // IBM small roman numeral one, NEC-selected code
    EXPECT_EQ(*sample_char_code("\xFA\x4A"), 0x2121);  // an IBM code without NEC-selected equivalent
    EXPECT_EQ(*sample_char_code("\x93\xFA\x96\x7B"), 0x467C);  // first character only
    EXPECT_FALSE(
        sample_char_code("\x93\xFA\x96\x7B"
                         "A"));

    GlyphModel glyphs;
    testing::RecordingLink link;
    testing::RecordingNotices notices;
    EXPECT_FALSE(send_sample_read(glyphs, kLarge, "abcde", link, notices));
    EXPECT_EQ(notices.count("error", "外字登録番号"), 1);
    EXPECT_TRUE(link.lines.empty());
}

TEST(GlyphCommands, ReadsWaitForThePendingReplyAndTheConnection) {
    GlyphModel glyphs;
    testing::RecordingLink link;
    testing::RecordingNotices notices;
    link.connected = false;
    EXPECT_FALSE(send_glyph_read(glyphs, kSmall, 0xA64A, link, notices, true));
    EXPECT_EQ(notices.count("error", "Socket が接続されていません"), 1);
    EXPECT_EQ(glyphs.glyph_reply_pending, 0);

    EXPECT_TRUE(send_glyph_read(glyphs, kSmall, 0xA64A, link, notices, false));
    EXPECT_EQ(glyphs.glyph_reply_pending, 1);
    EXPECT_FALSE(send_glyph_read(glyphs, kSmall, 0xA365, link, notices, false));
    ASSERT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(link.lines[0], "RFBMSA64A\r\n");
}

TEST(GlyphCommands, RegistrationAndInsertion) {
    std::string glyph(576, '0');
    glyph[0] = 'f';
    glyph[575] = '8';
    const std::string large = text(build_glyph_register(kLarge, 0, glyph));
    EXPECT_EQ(large.size(), 6u + 576u);
    EXPECT_EQ(large.substr(0, 7), "GRL001F");
    EXPECT_EQ(large.back(), '8');
    EXPECT_EQ(text(build_glyph_register(kMedium, 159, "")).size(), 6u + 256u);
    EXPECT_EQ(text(build_glyph_register(kMedium, 159, "")).substr(0, 6), "GRM160");
    EXPECT_EQ(text(build_glyph_register(kSmall, 255, std::string(150, 'A'))),
              "GRS256" + std::string(144, 'A'));
    EXPECT_EQ(text(build_glyph_insert(11, 4, 99)), "G012P05I100");

    GlyphModel glyphs;
    glyphs.current_slot = 4;
    testing::RecordingLink link;
    testing::RecordingNotices notices;
    notices.answers = {false, true};
    EXPECT_FALSE(send_working_glyph(glyphs, kLarge, link, notices));
    EXPECT_TRUE(link.lines.empty());
    EXPECT_TRUE(send_working_glyph(glyphs, kLarge, link, notices));
    ASSERT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(link.lines[0].substr(0, 6), "GRL005");
}

TEST(ReadCommands, TitleScheduleAndTableRows) {
    EXPECT_EQ(build_title_read(0), "RCA01\r\n");
    EXPECT_EQ(build_title_read(63), "RCA64\r\n");
    EXPECT_EQ(build_schedule_read(30), "RSD31\r\n");
    EXPECT_EQ(build_read_command("RCFS"), "RCFS\r\n");
}

}  // namespace
}  // namespace tvx
