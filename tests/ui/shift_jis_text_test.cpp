#include "ui/shift_jis_text.h"

#include <gtest/gtest.h>

#include "link/code_page_932.h"
#include "protocol/title_encoding.h"
#include "ui/title_editor_dialog.h"
#include "ui/title_field_text.h"
#include "ui_test_app.h"

namespace tvx {
namespace {

// What a Linux input method (and EUC-JP, and the Shift_JIS of other systems) writes for characters that
// code page 932 writes in other forms, the Shift JIS bytes the tool must keep, and the JIS code the unit
// receives for each.
struct OtherForm {
    char16_t typed;
    const char* bytes;
    std::uint16_t sent;
};
constexpr OtherForm kOtherForms[] = {
    {0x301C, "\x81\x60", 0x2141},  // 〜 WAVE DASH
    {0x2212, "\x81\x7C", 0x215D},  // − MINUS SIGN
    {0x2016, "\x81\x61", 0x2142},  // ‖ DOUBLE VERTICAL LINE
    {0x00A2, "\x81\x91", 0x2171},  // ¢ CENT SIGN
    {0x00A3, "\x81\x92", 0x2172},  // £ POUND SIGN
    {0x00AC, "\x81\xCA", 0x224C},  // ¬ NOT SIGN
    {0x2014, "\x81\x5C", 0x213D},  // — EM DASH
    {0x223C, "\x81\x60", 0x2141},  // ∼ TILDE OPERATOR
    {0x2053, "\x81\x60", 0x2141},  // ⁓ SWUNG DASH
    {0x00A6, "\xFA\x55", 0x7C7C},  // ¦ BROKEN BAR: an IBM extension, sent by its NEC-selected code
};

TEST(ShiftJisText, CharactersInTheirLinuxFormsBecomeTheBytesCodePage932WritesForThem) {
    testing::ui_app();
    QString typed;
    std::string expected;
    std::vector<std::uint16_t> sent;
    for (const OtherForm& form : kOtherForms) {
        const QChar c(form.typed);
        ASSERT_EQ(shift_jis_char(c), std::string(form.bytes))
            << std::hex << static_cast<unsigned>(form.typed);
        // The code page's own form gives the same bytes; reading them back gives that form.
        const QChar own = code_page_932_form(c);
        EXPECT_NE(own, c);
        EXPECT_EQ(shift_jis_char(own), std::string(form.bytes))
            << std::hex << static_cast<unsigned>(form.typed);
        EXPECT_EQ(decode_code_page_932(QByteArrayView(form.bytes)).text, QString(own))
            << std::hex << static_cast<unsigned>(form.typed);
        typed += c;
        expected += form.bytes;
        sent.push_back(form.sent);
    }
    // Every road of the operator's text into the model takes them: the title field (typed, converted,
    // pasted) and the short fields.
    EXPECT_EQ(TitleEditorDialog::title_bytes(typed), expected);
    EXPECT_EQ(to_shift_jis(typed), expected);
    EXPECT_EQ(stored_bytes(fit_field_change({}, typed, 448).chars), expected);
    // And the unit receives the JIS codes of those characters.
    const std::optional<TitleCodes> codes = encode_title(expected);
    ASSERT_TRUE(codes);
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), codes->begin()));

    // A title as a Linux desktop writes it: "価格〜１０¢−２£‖¬—".
    EXPECT_EQ(TitleEditorDialog::title_bytes(QStringLiteral("価格〜１０¢−２£‖¬—")),
              std::string("\x89\xBF\x8A\x69\x81\x60\x82\x50\x82\x4F\x81\x91\x81\x7C\x82\x51\x81\x92\x81\x61"
                          "\x81\xCA\x81\x5C"));
}

TEST(ShiftJisText, NoOtherCharacterChangesItsForm) {
    testing::ui_app();
    int mapped = 0;
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
        const QChar c(static_cast<char16_t>(u));
        if (code_page_932_form(c) == c) continue;
        ++mapped;
        // Only characters the code page lacks are mapped, and each to one it holds.
        EXPECT_FALSE(c.isSurrogate()) << std::hex << u;
        EXPECT_TRUE(encode_code_page_932(QStringView(&c, 1)).error) << std::hex << u;
        EXPECT_TRUE(shift_jis_char(c)) << std::hex << u;
    }
    EXPECT_EQ(mapped, static_cast<int>(std::size(kOtherForms)));
    // What still cannot be held is refused, never turned into 0xFCFC.
    EXPECT_EQ(shift_jis_char(QChar(0x3030)), std::nullopt);  // 〰 WAVY DASH
    EXPECT_EQ(shift_jis_char(QChar(0x00E9)), std::nullopt);  // é
    EXPECT_EQ(shift_jis_char(QChar(0xD83D)), std::nullopt);  // half of an emoji
}

// A field's change, as the fields take it.
TEST(ShiftJisText, AChangeThatDoesNotFitKeepsItsLeadingWholeCharacters) {
    testing::ui_app();
    const FieldChars a4 = field_chars(QStringLiteral("ああああ"));  // 8 bytes
    struct Case {
        const char* what;
        const FieldChars& before;
        QString after;
        std::size_t limit;
        QString kept;
        std::string bytes;
        int start, cursor;
        qsizetype inserted, left_out;
        bool changed;
    };
    const Case cases[] = {
        {"fits", a4, QStringLiteral("ああいいああ"), 12, QStringLiteral("ああいいああ"),
         "\x82\xA0\x82\xA0\x82\xA2\x82\xA2\x82\xA0\x82\xA0", 2, 4, 2, 0, true},
        {"one double-byte character short", a4, QStringLiteral("ああいいいああ"), 13,
         QStringLiteral("ああいいああ"), "\x82\xA0\x82\xA0\x82\xA2\x82\xA2\x82\xA0\x82\xA0", 2, 4, 3, 1,
         true},
        {"never half a character: one byte left", a4, QStringLiteral("ああああいA"), 9,
         QStringLiteral("ああああ"), "\x82\xA0\x82\xA0\x82\xA0\x82\xA0", 4, 4, 2, 2, false},
        {"a half-width letter takes the last byte", a4, QStringLiteral("ああああAい"), 9,
         QStringLiteral("ああああA"),
         "\x82\xA0\x82\xA0\x82\xA0\x82\xA0"
         "A",
         4, 5, 2, 1, true},
        {"replacing a selection", a4, QStringLiteral("あ〜〜〜あ"), 8, QStringLiteral("あ〜〜あ"),
         "\x82\xA0\x81\x60\x81\x60\x82\xA0", 1, 3, 3, 1, true},
        {"deleting", a4, QStringLiteral("ああ"), 8, QStringLiteral("ああ"), "\x82\xA0\x82\xA0", 2, 2, 0, 0,
         true},
    };
    for (const Case& c : cases) {
        const FieldChange change = fit_field_change(c.before, c.after, c.limit);
        EXPECT_FALSE(change.refused) << c.what;
        EXPECT_EQ(shown_text(change.chars), c.kept) << c.what;
        EXPECT_EQ(stored_bytes(change.chars), c.bytes) << c.what;
        EXPECT_EQ(change.start, c.start) << c.what;
        EXPECT_EQ(change.cursor, c.cursor) << c.what;
        EXPECT_EQ(change.inserted, c.inserted) << c.what;
        EXPECT_EQ(change.left_out, c.left_out) << c.what;
        EXPECT_EQ(change.changed, c.changed) << c.what;
    }

    // One character the code page cannot hold refuses the whole change, even past what fits.
    const FieldChange refused = fit_field_change(a4, QStringLiteral("ああいいいいé"), 10);
    EXPECT_TRUE(refused.refused);
    EXPECT_EQ(shown_text(refused.chars), QStringLiteral("ああああ"));
    EXPECT_EQ(refused.start, 2);

    // A glyph cell is one character of two bytes: with one byte left it is left out whole.
    const QChar glyph(static_cast<char16_t>(kFirstGlyphChar + 0x20));
    const FieldChange cell = fit_field_change(a4, QStringLiteral("ああああ") + glyph, 9, typed_char_bytes);
    EXPECT_EQ(cell.left_out, 1);
    EXPECT_FALSE(cell.changed);

    EXPECT_EQ(left_out_text(80), "入りきらない 80 文字を省きました");
}

}  // namespace
}  // namespace tvx
