#include <QStringDecoder>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include "protocol/shift_jis.h"
#include "protocol/title_encoding.h"

namespace tvx {
namespace {

// The title encoding held against Qt's code page 932, the codec the dialogs use for what the operator
// types: these run where Qt is built.
// Every double-byte character that code page 932 knows: the title encoding takes exactly the JIS X 0208
// ones (NEC special characters and IBM extensions included), and what the unit sends back is the same
// character again.
TEST(TitleEncoding, AgreesWithCodePage932ForEveryDoubleByteCharacter) {
    ASSERT_TRUE(QStringDecoder("windows-31j").isValid());
    int accepted = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead <= 0xDF) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const QByteArray raw(bytes, 2);
            QStringDecoder decoder("windows-31j");  // its error flag stays set once raised
            const QString character = decoder.decode(raw);
            if (decoder.hasError() || character.size() != 1 || character[0] == QChar::ReplacementCharacter)
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
            QStringDecoder again_decoder("windows-31j");
            const QString again = again_decoder.decode(QByteArray(back.data(), 2));
            EXPECT_FALSE(again_decoder.hasError());
            EXPECT_EQ(again, character) << std::hex << sjis;
        }
    }
    // JIS X 0208 levels 1 and 2 with symbols, the NEC special characters and the IBM extensions.
    EXPECT_GT(accepted, 7000);
}

TEST(TitleEncoding, QtEncodedTextIsAcceptedAsTyped) {
    QStringEncoder encoder("windows-31j");
    const QByteArray bytes = encoder.encode(QStringLiteral("日本語のタイトル①Ⅰ㈱髙"));
    ASSERT_FALSE(encoder.hasError());
    const std::string title(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const auto codes = encode_title(title);
    ASSERT_TRUE(codes);
    QStringDecoder decoder("windows-31j");
    const std::string back = decode_title_codes(*codes);
    EXPECT_EQ(decoder.decode(QByteArray(back.data(), static_cast<qsizetype>(back.size()))),
              QStringLiteral("日本語のタイトル①Ⅰ㈱髙"));
}

}  // namespace
}  // namespace tvx
