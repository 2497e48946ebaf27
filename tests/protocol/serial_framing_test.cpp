#include "protocol/serial_framing.h"

#include <string>

#include <gtest/gtest.h>

namespace tvx {
namespace {

TEST(SerialFraming, Rs232cSendsTheCommandUnchanged) {
    const SerialFrame frame = frame_serial_line("PAS01S\r\n", 0, 5);
    EXPECT_TRUE(frame.accepted);
    EXPECT_EQ(frame.bytes, "PAS01S\r\n");
    EXPECT_TRUE(frame.reply_expected);
}

TEST(SerialFraming, Rs485PrefixesTwoDigitAddress) {
    for (const auto& [address, prefix] : {std::pair{0, "00"}, {5, "05"}, {10, "10"}, {31, "31"}}) {
        const SerialFrame frame = frame_serial_line("PAS01S\r\n", 1, address);
        EXPECT_TRUE(frame.accepted);
        EXPECT_EQ(frame.bytes, std::string(prefix) + "PAS01S\r\n") << address;
        EXPECT_TRUE(frame.reply_expected) << address;
    }
}

TEST(SerialFraming, BroadcastAndOutOfRangeAddressesExpectNoReply) {
    for (const int address : {32, 33, 99, -1}) {
        const SerialFrame frame = frame_serial_line("PAS01S\r\n", 1, address);
        EXPECT_TRUE(frame.accepted);
        EXPECT_EQ(frame.bytes, "FFPAS01S\r\n") << address;
        EXPECT_FALSE(frame.reply_expected) << address;
    }
}

TEST(SerialFraming, LongestCommandFitsAndOneMoreIsRefused) {
    const std::string longest(kMaxSerialCommand, 'A');
    const SerialFrame fits = frame_serial_line(longest, 1, 7);
    EXPECT_TRUE(fits.accepted);
    EXPECT_EQ(fits.bytes.size(), kSerialFrameBuffer - 1);

    const SerialFrame refused = frame_serial_line(longest + "A", 1, 32);
    EXPECT_FALSE(refused.accepted);
    EXPECT_TRUE(refused.bytes.empty());
    EXPECT_TRUE(refused.reply_expected);
    EXPECT_FALSE(frame_serial_line(longest + "A", 0, 0).accepted);
}

}  // namespace
}  // namespace tvx
