#include <gtest/gtest.h>

#include "link/code_page_932.h"
#include "protocol/shift_jis.h"
#include "protocol/title_encoding.h"

namespace tvx {
namespace {

// The title encoding held against code page 932 as the dialogs convert what the operator types (the
// system's own on Windows).
// Every double-byte character that code page 932 knows: the title encoding takes exactly the JIS X 0208
// ones (NEC special characters and IBM extensions included), and what the unit sends back is the same
// character again.
TEST(TitleEncoding, AgreesWithCodePage932ForEveryDoubleByteCharacter) {
    ASSERT_TRUE(decode_code_page_932("A").available);
    int accepted = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead <= 0xDF) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const QByteArray raw(bytes, 2);
            const CodePage932Text decoded = decode_code_page_932(raw);
            const QString& character = decoded.text;
            if (decoded.error || character.size() != 1 || character[0] == QChar::ReplacementCharacter)
                continue;

            const std::string title = std::string(bytes, 2) + "\x82\xA0";  // あ after it keeps a space
            const bool user_defined = lead >= 0xF0 && lead <= 0xF9;
            const std::uint16_t sjis = static_cast<std::uint16_t>(lead << 8 | trail);
            const bool ibm_duplicate =
                (sjis >= 0xFA4A && sjis <= 0xFA54) || (sjis >= 0xFA58 && sjis <= 0xFA5B);
            const auto codes = encode_title(title);
            if (user_defined || ibm_duplicate) {
                EXPECT_FALSE(codes) << std::hex << sjis;
                continue;
            }
            ASSERT_TRUE(codes) << std::hex << sjis;
            ++accepted;
            const std::uint16_t code = (*codes)[0];
            EXPECT_GE(code >> 8, 0x21);
            EXPECT_LE(code >> 8, 0x7C);

            const std::string back = decode_title_codes(*codes);
            ASSERT_EQ(back.size(), 4u) << std::hex << sjis;
            const CodePage932Text again = decode_code_page_932(QByteArrayView(back.data(), 2));
            EXPECT_FALSE(again.error);
            EXPECT_EQ(again.text, character) << std::hex << sjis;
        }
    }
    // JIS X 0208 levels 1 and 2 with symbols, the NEC special characters and the IBM extensions.
    EXPECT_GT(accepted, 7000);
}

TEST(TitleEncoding, TypedTextIsAcceptedAndComesBack) {
    const CodePage932Bytes encoded = encode_code_page_932(QStringLiteral("日本語のタイトル①Ⅰ㈱髙"));
    ASSERT_FALSE(encoded.error);
    const auto codes = encode_title(encoded.bytes.toStdString());
    ASSERT_TRUE(codes);
    const std::string back = decode_title_codes(*codes);
    EXPECT_EQ(decode_code_page_932(QByteArrayView(back.data(), static_cast<qsizetype>(back.size()))).text,
              QStringLiteral("日本語のタイトル①Ⅰ㈱髙"));
}

}  // namespace
}  // namespace tvx
