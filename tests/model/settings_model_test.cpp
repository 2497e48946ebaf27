#include <gtest/gtest.h>

#include "model/settings_document.h"
#include "model/tool_state.h"

namespace tvx {
namespace {

TEST(SettingsModel, StartsWithTheUnitDefaults) {
    const SettingsModel model;
    for (const PageSettings& page : model.pages) {
        EXPECT_TRUE(page.title.empty());
        EXPECT_EQ(page.char_size, 1);
        EXPECT_EQ(page.display_position, 1);
        EXPECT_EQ(page.display_offset, 7);
        EXPECT_EQ(page.scroll_speed, 3);
        EXPECT_EQ(page.blink, 0);
        EXPECT_EQ(page.auto_switch, 1);
        EXPECT_EQ(page.char_colour, kWhite);
        EXPECT_EQ(page.edge_colour, kBlack);
        EXPECT_EQ(page.background_fill, 0);
        EXPECT_EQ(page.char_level, 1);
    }
    for (const auto& day : model.schedule) {
        for (int e = 0; e < kScheduleEntries; ++e) {
            EXPECT_EQ(day[e].hour, e);
            EXPECT_EQ(day[e].minute, 0);
            EXPECT_EQ(day[e].page, kScheduleOffPage);
        }
    }
    EXPECT_EQ(model.alarm_hold_time, "010");
    EXPECT_EQ(model.alarm_display, 1);
    EXPECT_EQ(model.alarm_return, 1);
    for (int n = 0; n < kConnectorCount; ++n) EXPECT_EQ(model.connector_pages[n], n);
    EXPECT_EQ(model.network.port_number, "09004");
    EXPECT_EQ(model.network.subnet_class, 2);
    EXPECT_EQ(model.network.time_register, 5);
    EXPECT_EQ(model.network.mac_address, "00-00-00-00-00-00");
    EXPECT_EQ(model.network.version_number, "0.00");
    EXPECT_EQ(model.memory.all_char_colour, kWhite);
}

TEST(SettingsModel, ResetRestoresEverythingButTheSlaveAddressAndConnections) {
    ToolState tool;
    tool.model.pages[10].title = "\x93\xfa";
    tool.model.pages[63].char_colour = kRed;
    tool.model.memory.all_char_size = 2;
    tool.model.schedule[30][23] = {1, 2, 3};
    tool.model.run = {.current_page = 5, .slave_address = 17, .saved_document = "x", .batch_step = 9,
                      .hidden_entry_count = 4};
    tool.model.network.port_number = "10001";
    tool.link = {1, 20, 1, 1, 1};
    tool.glyphs.large_bank[69] = std::string(580, 'F');
    tool.glyphs.glyph_buffer[0] = 'A';
    tool.glyphs.current_slot = 12;
    tool.reply.tcp_line.text = "CFS";
    tool.config.link_interface = 1;
    tool.document_path = "/tmp/a.dat";

    reset_settings(tool);

    EXPECT_TRUE(tool.model.pages[10].title.empty());
    EXPECT_EQ(tool.model.pages[63].char_colour, kWhite);
    EXPECT_EQ(tool.model.memory.all_char_size, 1);
    EXPECT_EQ(tool.model.schedule[30][23].hour, 23);
    EXPECT_EQ(tool.model.schedule[30][23].page, kScheduleOffPage);
    EXPECT_EQ(tool.model.run.current_page, 0);
    EXPECT_EQ(tool.model.run.slave_address, 17);
    EXPECT_FALSE(data_modified(tool.model));
    EXPECT_EQ(tool.model.run.batch_step, 0);
    EXPECT_EQ(tool.model.run.hidden_entry_count, 0);
    EXPECT_EQ(tool.model.network.port_number, "09004");
    EXPECT_EQ(tool.link.reply_expected, 0);
    EXPECT_EQ(tool.link.reply_timeout_ticks, 0);
    EXPECT_EQ(tool.link.success_pending, 0);
    EXPECT_EQ(tool.link.error_reply, 0);
    EXPECT_EQ(tool.link.app_running, 1);
    EXPECT_EQ(tool.glyphs.large_bank[69], std::string(580, '0'));
    EXPECT_EQ(tool.glyphs.medium_bank.size(), 160u);
    EXPECT_EQ(tool.glyphs.small_bank[255], std::string(150, '0'));
    EXPECT_EQ(tool.glyphs.glyph_buffer, std::string(580, '0'));
    EXPECT_EQ(tool.glyphs.current_slot, 0);
    EXPECT_TRUE(tool.reply.tcp_line.text.empty());
    EXPECT_FALSE(tool.reply.tcp_line.partial());
    EXPECT_EQ(tool.config.link_interface, 1);
    EXPECT_EQ(tool.document_path, "/tmp/a.dat");
}

}  // namespace
}  // namespace tvx
