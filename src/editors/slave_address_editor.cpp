#include "editors/slave_address_editor.h"

namespace tvx {

SlaveSelector SlaveAddressEditor::slave_address() const {
    const int address = tool_.model.run.slave_address;
    return {true, address >= 0 && address <= kBroadcastAddress ? address : -1};
}

void SlaveAddressEditor::select_slave_address(int index) {
    if (index >= 0 && index <= kBroadcastAddress) tool_.model.run.slave_address = index;
}

}  // namespace tvx
