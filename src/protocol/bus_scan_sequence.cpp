#include "protocol/bus_scan_sequence.h"

#include "protocol/command_builders.h"
#include "protocol/line_format.h"

namespace tvx {
namespace {

// "03VN1.23\r\n": the two address digits in front; -1 when they are not an address of the bus.
int line_address(std::string_view line) {
    if (line.size() < 2 || line[0] < '0' || line[0] > '9' || line[1] < '0' || line[1] > '9') return -1;
    const int address = (line[0] - '0') * 10 + (line[1] - '0');
    return address < kBusAddressCount ? address : -1;
}

}  // namespace

bool BusScanSequence::can_start() {
    if (tool_.config.link_interface != 0 || tool_.config.rs_control != 1) {
        notices_.notify_warning("RS-485 を選んでください");
        return false;
    }
    answers_ = {};
    asked_ = -1;
    waited_ticks_ = 0;
    saved_address_ = tool_.model.run.slave_address;
    return true;
}

bool BusScanSequence::send_step(int step) {
    asked_ = step - 1;
    waited_ticks_ = 0;
    tool_.model.run.slave_address = asked_;
    // Each address has its own short wait; the single-command time-out must not add them up.
    tool_.link.reply_timeout_ticks = 0;
    link_.send_command(build_read_command("RVN"));
    return true;
}

bool BusScanSequence::waiting() const {
    if (asked_ < 0 || answers_[static_cast<std::size_t>(asked_)]) return false;
    // Each tick that finds the step unanswered counts towards its time-out (waited()).
    return waited_ticks_ < timeout_ticks_;
}

int BusScanSequence::last_answered_step() const {
    for (int address = kBusAddressCount - 1; address >= 0; --address) {
        if (answers_[static_cast<std::size_t>(address)]) return address + 1;
    }
    return 0;
}

std::string BusScanSequence::step_label(int step) const {
    const int address = step - 1;
    std::string label = "アドレス ";
    label += static_cast<char>('0' + address / 10 % 10);
    label += static_cast<char>('0' + address % 10);
    return label;
}

void BusScanSequence::reply_line(std::string_view line) {
    // The reply is in: the ordinary time-out of single commands has nothing left to wait for.
    tool_.link.reply_expected = 0;
    tool_.link.reply_timeout_ticks = 0;
    const int address = line_address(line);
    if (address < 0) return;
    std::string_view text = without_line_end(line.substr(2));
    std::string version;
    if (text.substr(0, 2) == "VN") {
        text.remove_prefix(2);
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte < 0x7F) version.push_back(c);
        }
        // The unit pads its version to four characters.
        while (!version.empty() && version.back() == ' ') version.pop_back();
    }
    // A late answer of an earlier address still counts: the address in front says whose it is.
    answers_[static_cast<std::size_t>(address)] = std::move(version);
}

std::vector<BusUnit> BusScanSequence::found() const {
    std::vector<BusUnit> units;
    for (int address = 0; address < kBusAddressCount; ++address) {
        const auto& answer = answers_[static_cast<std::size_t>(address)];
        if (answer) units.push_back(BusUnit{address, *answer});
    }
    return units;
}

int BusScanSequence::percent() const {
    if (state() == State::kCompleted) return 100;
    // An address counts as done once it answered or timed out.
    int done = asked_ < 0 ? 0 : asked_;
    if (asked_ >= 0 && (answers_[static_cast<std::size_t>(asked_)] || waited_ticks_ >= timeout_ticks_))
        ++done;
    return done * 100 / kBusAddressCount;
}

void BusScanSequence::finished(State) {
    // The address of the last step would otherwise stay chosen; the operator picks one from the list.
    tool_.model.run.slave_address = saved_address_;
    tool_.link.reply_expected = 0;
    tool_.link.reply_timeout_ticks = 0;
    tool_.link.success_pending = 0;
}

}  // namespace tvx
