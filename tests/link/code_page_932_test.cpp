#include "link/code_page_932.h"

#include <gtest/gtest.h>

namespace tvx {
namespace {

// On Windows these go through the system's code page, elsewhere through Qt's: both must give the unit's
// bytes for what the operator types, and say when they cannot.
TEST(CodePage932, JapaneseTextBecomesTheUnitsBytesAndBack) {
    const QString typed = QStringLiteral("映像テストｱ①～A");
    const QByteArray bytes(
        "\x89\x66\x91\x9C\x83\x65\x83\x58\x83\x67\xB1\x87\x40\x81\x60"
        "A");
    const CodePage932Bytes encoded = encode_code_page_932(typed);
    ASSERT_TRUE(encoded.available);
    EXPECT_FALSE(encoded.error);
    EXPECT_EQ(encoded.bytes, bytes);
    const CodePage932Text decoded = decode_code_page_932(bytes);
    EXPECT_FALSE(decoded.error);
    EXPECT_EQ(decoded.text, typed);
}

TEST(CodePage932, WhatTheCodePageLacksIsAnErrorNeverALookAlike) {
    // No best fit: é is not e, ¥ is not a backslash, an emoji is one character lacking.
    for (const QString& lacking : {QStringLiteral("\u00E9"), QStringLiteral("\u00A5"),
                                   QStringLiteral("\u3030"), QStringLiteral("\U0001F600")}) {
        const CodePage932Bytes encoded =
            encode_code_page_932(QStringLiteral("a") + lacking + QStringLiteral("b"));
        EXPECT_TRUE(encoded.error) << lacking.toStdString();
        EXPECT_EQ(encoded.bytes, QByteArray("a\xFC\xFC"
                                            "b"))
            << lacking.toStdString();
    }
    EXPECT_FALSE(encode_code_page_932(QString()).error);
}

TEST(CodePage932, BytesThatAreNoCharacterBecomeReplacementCharacters) {
    // An unassigned pair, and a lead byte at the end: the characters around them survive.
    const CodePage932Text unassigned =
        decode_code_page_932(QByteArray("A\x85\x40"
                                        "B"));
    EXPECT_TRUE(unassigned.error);
    ASSERT_TRUE(unassigned.text.startsWith(QLatin1Char('A')));
    EXPECT_TRUE(unassigned.text.endsWith(QLatin1Char('B')));
    EXPECT_TRUE(unassigned.text.contains(QChar::ReplacementCharacter));

    const CodePage932Text cut = decode_code_page_932(QByteArray("\x82\xA0\x82"));
    EXPECT_TRUE(cut.error);
    EXPECT_TRUE(cut.text.startsWith(QStringLiteral("あ")));
}

}  // namespace
}  // namespace tvx
