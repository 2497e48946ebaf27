#include "ui/title_field_text.h"

#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include "model/settings_document.h"
#include "protocol/command_builders.h"
#include "protocol/title_encoding.h"
#include "ui/title_editor_dialog.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

std::string cell_bytes(unsigned cell) {
    return {static_cast<char>(cell >> 8), static_cast<char>(cell & 0xFF)};
}

// A CA line of the given codes, the rest of the 224 filled with ideographic spaces.
std::string title_line(const std::vector<std::uint16_t>& codes) {
    TitleCodes all{};
    all.fill(kIdeographicSpace);
    std::copy(codes.begin(), codes.end(), all.begin());
    return build_title_command(all, 0);
}

TEST(TitleFieldText, EveryGlyphCellIsACharacterOfItsOwnThatStoresTheSameCell) {
    QString seen;
    for (unsigned cell = kFirstGlyphCell; cell <= kLastGlyphCell; ++cell) {
        const std::string bytes = cell_bytes(cell);
        const TitleFieldChars chars = title_field_chars(bytes);
        ASSERT_EQ(chars.size(), 1u) << std::hex << cell;
        EXPECT_TRUE(is_glyph_char(chars[0].shown)) << std::hex << cell;
        EXPECT_FALSE(seen.contains(chars[0].shown)) << std::hex << cell;
        seen += chars[0].shown;
        // Typed back (moved by cut and paste, say) it is the very same cell.
        EXPECT_EQ(typed_char_bytes(chars[0].shown), bytes) << std::hex << cell;
    }
    EXPECT_EQ(field_char_note(title_field_chars(cell_bytes(glyph_code(0) - kGlyphCellOffset))[0].shown),
              QStringLiteral("外字 001 (A365)"));
    EXPECT_EQ(field_char_note(title_field_chars(cell_bytes(glyph_code(255) - kGlyphCellOffset))[0].shown),
              QStringLiteral("外字 256 (A64A)"));
    EXPECT_EQ(field_char_note(title_field_chars(cell_bytes(kFirstGlyphCell))[0].shown),
              QStringLiteral("外字 (A345)"));
    EXPECT_EQ(field_char_note(QChar(0x3042)), QString());

    // Zero, CR and LF bytes inside a glyph cell belong to the cell, not to a line break.
    EXPECT_EQ(TitleEditorDialog::field_text(std::string("\x10\x0D\x0A\x0D\x0A", 5)).size(), 3);
}

TEST(TitleFieldText, GlyphCellsKeptInADocumentComeBackToTheFieldAsTheyWere) {
    testing::ui_app();
    for (unsigned cell = kFirstGlyphCell; cell <= kLastGlyphCell; ++cell) {
        // Between a line break and a character, where the document's escapes matter most.
        const std::string title = "\x82\xA0" + cell_bytes(cell) + "\r\n" + cell_bytes(cell) + "\x93\xFA";
        SettingsModel saved;
        saved.pages[7].title = title;
        SettingsModel opened;
        read_document(opened, write_document(saved));
        ASSERT_EQ(opened.pages[7].title, title) << std::hex << cell;
        const QString shown = TitleEditorDialog::field_text(opened.pages[7].title);
        ASSERT_EQ(shown.size(), 5) << std::hex << cell;
        EXPECT_EQ(TitleEditorDialog::title_bytes(shown), title) << std::hex << cell;
    }
}

TEST(TitleFieldText, GlyphsOfEverySizeComeBackFromTheUnitUnchangedThroughTheField) {
    testing::ui_app();
    // Large 001-070, medium 001-160 and small 001-256 share one code table of four ranges.
    for (int slot = 0; slot < 256; slot += 4) {
        std::vector<std::uint16_t> codes{0x2422};  // "あ" before the glyphs
        for (int s = slot; s < slot + 4; ++s) codes.push_back(glyph_code(s));
        codes.push_back(0x467C);  // "日" after them
        SettingsModel model;
        ASSERT_TRUE(decode_title(model, title_line(codes)));
        const QString shown = TitleEditorDialog::field_text(model.pages[0].title);
        ASSERT_EQ(shown.size(), 6) << slot;
        const std::optional<std::string> stored = TitleEditorDialog::title_bytes(shown);
        ASSERT_TRUE(stored);
        EXPECT_EQ(*stored, model.pages[0].title) << slot;
        const std::optional<TitleCodes> sent = encode_title(*stored);
        ASSERT_TRUE(sent);
        EXPECT_TRUE(std::equal(codes.begin(), codes.end(), sent->begin())) << slot;
    }
}

TEST(TitleFieldText, WhateverBytesATitleHoldsAreKeptByTheirCharacters) {
    testing::ui_app();
    // Every two-byte value, and each with a half-width letter before it (so it is read off its cell).
    for (unsigned cell = 0; cell <= 0xFFFF; ++cell) {
        for (const std::string& title : {cell_bytes(cell), "A" + cell_bytes(cell)}) {
            const TitleFieldChars chars = title_field_chars(title);
            ASSERT_EQ(stored_bytes(chars), title) << std::hex << cell;
            for (const TitleFieldChar& c : chars) {
                // Glyphs, line breaks and bytes that are no character type back exactly; so does every
                // character the code page holds once, all but its few duplicates.
                if (is_glyph_char(c.shown) || is_raw_byte_char(c.shown) || c.shown == QLatin1Char('\n')) {
                    ASSERT_EQ(typed_char_bytes(c.shown), c.bytes) << std::hex << cell;
                } else {
                    ASSERT_TRUE(typed_char_bytes(c.shown)) << std::hex << cell;
                }
            }
        }
    }
    // The field shows exactly these characters: none is turned into another on its way in or out.
    QString every;
    for (unsigned cell = 0; cell <= 0xFFFF; ++cell) every += shown_text(title_field_chars(cell_bytes(cell)));
    QPlainTextEdit field;
    field.setPlainText(every);
    ASSERT_EQ(field.toPlainText(), every);
    for (unsigned byte = 0; byte <= 0xFF; ++byte) {
        const QString shown =
            shown_text(title_field_chars("A" + std::string(1, static_cast<char>(byte)) + "B"));
        field.setPlainText(shown);
        ASSERT_EQ(field.toPlainText(), shown) << std::hex << byte;
    }
    // A stray control byte and a broken pair show as characters of their own, not as text.
    const TitleFieldChars stray = title_field_chars(std::string("\x82\xA0\x01\x82", 4));
    ASSERT_EQ(stray.size(), 3u);
    EXPECT_TRUE(is_raw_byte_char(stray[1].shown));
    EXPECT_TRUE(is_raw_byte_char(stray[2].shown));
}

}  // namespace
}  // namespace tvx
