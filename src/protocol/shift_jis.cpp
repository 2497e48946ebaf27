#include "protocol/shift_jis.h"

namespace tvx {

bool is_mapped_ibm_extension(std::uint16_t v) {
    return (v >= 0xFA40 && v <= 0xFA49) || (v >= 0xFA55 && v <= 0xFA57) || v >= 0xFA5C;
}

std::uint16_t ibm_to_nec(std::uint16_t v) {
    if (v >= 0xFA40 && v <= 0xFA49) return static_cast<std::uint16_t>(v - 0x0B51);
    if (v >= 0xFA55 && v <= 0xFA57) return static_cast<std::uint16_t>(v - 0x0B5B);
    if ((v >= 0xFA5C && v <= 0xFA7E) || (v >= 0xFA9C && v <= 0xFAFC) || (v >= 0xFB5C && v <= 0xFB7E) ||
        (v >= 0xFB9C && v <= 0xFBFC)) {
        return static_cast<std::uint16_t>(v - 0x0D1C);
    }
    if ((v >= 0xFA80 && v <= 0xFA9B) || (v >= 0xFB80 && v <= 0xFB9B))
        return static_cast<std::uint16_t>(v - 0x0D1D);
    if ((v >= 0xFB40 && v <= 0xFB5B) || (v >= 0xFC40 && v <= 0xFC4B))
        return static_cast<std::uint16_t>(v - 0x0D5F);
    return 0;
}

std::uint16_t sjis_to_jis(std::uint16_t v) {
    const int lead = v >> 8;
    const int trail = v & 0xFF;
    int row = 0;
    if (lead >= 0x81 && lead <= 0x9F) {
        row = (lead - 0x70) * 2 - 1;
    } else if (lead >= 0xE0 && lead <= 0xFC) {
        row = (lead - 0xB0) * 2 - 1;
    } else {
        return 0;
    }
    int cell = 0;
    if (trail >= 0x40 && trail <= 0x7E) {
        cell = trail - 0x1F;
    } else if (trail >= 0x80 && trail <= 0x9E) {
        cell = trail - 0x20;
    } else if (trail >= 0x9F && trail <= 0xFC) {
        cell = trail - 0x7E;
        ++row;
    } else {
        return 0;
    }
    if (row < 0x21 || row > 0x7E || cell < 0x21 || cell > 0x7E) return 0;
    return static_cast<std::uint16_t>(row << 8 | cell);
}

std::uint16_t jis_to_sjis(std::uint16_t jis) {
    const int row = jis >> 8;
    const int cell = jis & 0xFF;
    if (row < 0x21 || row > 0x7E || cell < 0x21 || cell > 0x7E) return 0;
    const int lead = ((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0);
    int trail = 0;
    if (row % 2 == 1) {
        trail = cell + (cell >= 0x60 ? 0x20 : 0x1F);
    } else {
        trail = cell + 0x7E;
    }
    return static_cast<std::uint16_t>(lead << 8 | trail);
}

std::uint16_t sjis_to_unit_code(std::uint16_t v) {
    if (is_mapped_ibm_extension(v)) {
        v = ibm_to_nec(v);
        if (v == 0) return 0;
    }
    return sjis_to_jis(v);
}

}  // namespace tvx
