#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/settings_model.h"

namespace tvx {

// The framed line is built in a buffer of 1024 bytes: two address characters, the text and a
// terminating zero, so the longest command text that fits is 1021 bytes.
inline constexpr std::size_t kSerialFrameBuffer = 1024;
inline constexpr std::size_t kMaxSerialCommand = kSerialFrameBuffer - 3;

struct SerialFrame {
    bool accepted = false;        // false: the command is too long and nothing may be written
    std::string bytes;            // what goes on the line, without any terminating zero
    bool reply_expected = false;  // a broadcast is answered by no unit; a refused command stays
                                  // expected, so the operator hears of it through "No Connect"
};

// RS-232C (rs_control 0) sends the command unchanged. RS-485 (rs_control 1) puts the slave address in
// front as two decimal digits ("00".."31"), or "FF" for a broadcast (kBroadcastAddress or any address
// outside 0..31).
SerialFrame frame_serial_line(std::string_view command, int rs_control, int slave_address);

}  // namespace tvx
