#include "protocol/serial_framing.h"

namespace tvx {

SerialFrame frame_serial_line(std::string_view command, int rs_control, int slave_address) {
    SerialFrame frame;
    frame.reply_expected = true;
    if (command.size() > kMaxSerialCommand) return frame;
    frame.accepted = true;

    if (rs_control == 1) {
        // An address outside 0..31 (only 32 is ever offered) would give a prefix no unit reads as its
        // own; it goes out as a broadcast, which at least cannot wait for an answer that never comes.
        if (slave_address >= 0 && slave_address < kBroadcastAddress) {
            frame.bytes.push_back(static_cast<char>('0' + slave_address / 10));
            frame.bytes.push_back(static_cast<char>('0' + slave_address % 10));
        } else {
            frame.bytes = "FF";
            frame.reply_expected = false;
        }
    }
    frame.bytes.append(command);
    return frame;
}

}  // namespace tvx
