#include "editors/per_page_preview.h"

namespace tvx {

std::string two_digits(int value) {
    if (value < 0 || value > 99) return "??";
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

}  // namespace tvx
