#include <random>

#include <gtest/gtest.h>

#include "model/settings_document.h"
#include "protocol/reply_handler.h"
#include "protocol/title_encoding.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

// Every field the decoders write stays inside its range, and every text stays printable where the
// document and the dialogs need it to be.
void expect_in_range(const SettingsModel& m) {
    for (const PageSettings& page : m.pages) {
        for (const PageFieldRule& rule : kPageFields) {
            ASSERT_GE(page.*rule.member, rule.min);
            ASSERT_LE(page.*rule.member, rule.max);
        }
        ASSERT_LE(page.title.size(), kTitleBytes);
        ASSERT_EQ(page.title.size() % 2, 0u);
    }
    for (const auto& day : m.schedule) {
        for (const ScheduleEntry& entry : day) {
            ASSERT_TRUE(entry.hour >= 0 && entry.hour <= 23);
            ASSERT_TRUE(entry.minute >= 0 && entry.minute <= 59);
            ASSERT_TRUE(entry.page >= 0 && entry.page <= kScheduleOffPage);
        }
    }
    for (int v : {m.date_display, m.date_display_size, m.alarm_mode, m.alarm_polarity, m.alarm_display,
                  m.alarm_return, m.connector_input, m.video_loss_background, m.network.connection_try,
                  m.network.keep_alive}) {
        ASSERT_TRUE(v == 0 || v == 1);
    }
    ASSERT_TRUE(m.date_display_range >= 0 && m.date_display_range <= 7);
    ASSERT_TRUE(m.remote_mode >= 0 && m.remote_mode <= 2);
    ASSERT_TRUE(m.power_on_page >= 0 && m.power_on_page <= kAutoSwitchPage);
    ASSERT_TRUE(m.network.subnet_class >= 0 && m.network.subnet_class <= 2);
    ASSERT_TRUE(m.network.time_register >= 0 && m.network.time_register <= 5);
    for (int page : m.connector_pages) ASSERT_TRUE(page >= 0 && page <= 63);
    for (const auto* address :
         {&m.network.ip_address, &m.network.gateway_address, &m.network.active_address}) {
        for (int octet : *address) ASSERT_TRUE(octet >= 0 && octet <= 255);
    }
    ASSERT_EQ(m.alarm_hold_time.find_first_not_of("0123456789"), std::string::npos);
    ASSERT_EQ(m.network.port_number.find_first_not_of("0123456789"), std::string::npos);
    for (char c : m.network.mac_address + m.network.version_number) ASSERT_TRUE(c >= 0x20 && c < 0x7F);
}

TEST(ReplyRobustness, ForeignAndShortDataLinesNeverLeaveTheRanges) {
    const char* const prefixes[] = {"FBML", "FBMM", "FBMS", "ACA",  "ADO", "ADT",  "AM",   "AP",   "ARO",
                                    "CABC", "CA01", "CA64", "CBS",  "CFS", "CI",   "CWL",  "FB",   "IDO",
                                    "IDP",  "ISS",  "PAS",  "POSP", "RM",  "SD01", "SD31", "TSDO", "TSDR",
                                    "TSDS", "VLBC", "VN",   "EAA",  "EGA", "EIA",  "EMA",  "ESM",  "EPN",
                                    "ECT",  "EKA",  "ETR",  "GO",   "GN"};
    std::mt19937 random(4242);
    ToolState tool;
    testing::RecordingNotices notices;
    for (int round = 0; round < 8000; ++round) {
        std::string line = prefixes[random() % std::size(prefixes)];
        const std::size_t length = random() % 4 == 0 ? random() % 1000 : random() % 40;
        const bool digits_only = random() % 2 == 0;
        for (std::size_t i = 0; i < length; ++i) {
            line += digits_only ? static_cast<char>('0' + random() % 10) : static_cast<char>(random() % 256);
        }
        if (random() % 3 != 0) line += "\r\n";
        if (round % 2 == 0) {
            handle_serial_reply(tool, notices, line);
        } else {
            handle_tcp_reply(tool, notices, line);
            handle_tcp_reply(tool, notices, "\n");
        }
        expect_in_range(tool.model);
        ASSERT_LE(tool.reply.tcp_line.text.size(), ReplyState::kTcpAccumulationLimit);
        if (round % 500 != 0) continue;
        for (const GlyphSize* size : kGlyphSizes) {
            for (const std::string& slot : glyph_bank(tool.glyphs, *size)) {
                ASSERT_EQ(slot.substr(0, static_cast<std::size_t>(size->digits))
                              .find_first_not_of("0123456789ABCDEF"),
                          std::string::npos);
            }
        }
    }
}

// Titles read back from a unit keep their line in the settings document, glyph cells whose bytes are
// zero, CR or LF included.
TEST(TitleDocument, EveryGlyphCellAndTheLineBreakSurviveTheDocument) {
    SettingsModel model;
    int page = 0;
    TitleCodes codes{};
    std::size_t k = 0;
    codes.fill(kIdeographicSpace);
    const auto flush = [&] {
        model.pages[static_cast<std::size_t>(page++)].title = decode_title_codes(codes);
        codes.fill(kIdeographicSpace);
        k = 0;
    };
    for (int code = kFirstGlyphCell + kGlyphCellOffset; code <= kLastGlyphCell + kGlyphCellOffset; ++code) {
        codes[k++] = static_cast<std::uint16_t>(code);
        if (k % 8 == 0) codes[k++] = kLineBreakCode;
        if (k >= codes.size() - 1) flush();
    }
    flush();
    ASSERT_LT(page, kPageCount);

    SettingsModel read;
    read_document(read, write_document(model));
    for (int p = 0; p < kPageCount; ++p) {
        ASSERT_EQ(read.pages[static_cast<std::size_t>(p)].title,
                  model.pages[static_cast<std::size_t>(p)].title)
            << p;
    }
    ASSERT_EQ(model.pages[0].title.substr(0, 2), std::string("\x10\x00", 2));
}

}  // namespace
}  // namespace tvx
