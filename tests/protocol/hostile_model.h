#pragma once

#include <random>
#include <string>
#include <vector>

#include "model/settings_model.h"
#include "protocol/random_model.h"

namespace tvx::testing {

// Texts an operator can type into the title and hold-time fields that are awkward to store: nothing,
// blanks, tabs, control bytes, the document's own markers, and characters beyond ASCII.
inline const std::vector<std::string>& awkward_texts() {
    static const std::vector<std::string> texts{
        "",
        " ",
        "   ",
        "\t",
        "s",
        "S",
        "%",
        "%20",
        "5 x",
        " 5",
        "50 ",
        "\r",
        "\n",
        "\r\n",
        "\x0E",
        "\x0E\x40",
        "\x0E\x4C",
        "\x81\x40",
        "\x81\x40\x81\x40\x81\x40",  // ideographic spaces
        "\x82\x54",
        "\x93\xFA\x96\x7B\x8C\xEA",
        "\xB1\xB2",
        "\x82\xA0\r",
        "\x82\r\n",
        std::string(1, '\0'),
        "a\tb",
        "\x7F",
        "010",
        "999",
        "2",
    };
    return texts;
}

// One character as the fields encode it: a single byte of any value below 0x80 or a half-width kana, or
// a double-byte character.
inline std::string random_character(std::mt19937& random) {
    const auto pick = [&random](int min, int max) {
        return std::uniform_int_distribution<int>(min, max)(random);
    };
    switch (pick(0, 3)) {
        case 0:
            return std::string(1, static_cast<char>(pick(0x00, 0x7F)));
        case 1:
            return std::string(1, static_cast<char>(pick(0xA1, 0xDF)));
        default: {
            const int lead = pick(0, 1) ? pick(0x81, 0x9F) : pick(0xE0, 0xFC);
            return {static_cast<char>(lead), static_cast<char>(pick(0x40, 0xFC))};
        }
    }
}

// random_model(seed) with awkward text in every title and in the hold time. Titles also get runs of
// arbitrary bytes (anything the model may hold, not only what the field gives), up to a title buffer.
inline SettingsModel hostile_model(unsigned seed) {
    SettingsModel m = random_model(seed);
    std::mt19937 random(seed * 7919u + 1);
    const auto pick = [&random](int min, int max) {
        return std::uniform_int_distribution<int>(min, max)(random);
    };
    const auto& texts = awkward_texts();
    const auto awkward = [&] {
        return texts[static_cast<std::size_t>(pick(0, static_cast<int>(texts.size()) - 1))];
    };
    for (PageSettings& page : m.pages) {
        switch (pick(0, 3)) {
            case 0:
                page.title = awkward();
                break;
            case 1: {
                page.title.clear();
                for (int n = pick(1, 8); n > 0; --n) page.title += awkward();
                break;
            }
            case 2: {
                page.title.clear();
                for (int n = pick(1, 120); n > 0; --n) page.title += static_cast<char>(pick(0, 255));
                break;
            }
            default:
                break;  // the random model's own title
        }
        if (page.title.size() > kTitleMaxBytes) page.title.resize(kTitleMaxBytes);
    }
    switch (pick(0, 2)) {
        case 0:
            m.alarm_hold_time = awkward();
            break;
        case 1:  // digits that a send takes, then anything
            m.alarm_hold_time = std::to_string(pick(0, 99));
            m.alarm_hold_time += random_character(random);
            break;
        default:
            m.alarm_hold_time.clear();
            for (int n = pick(0, 3); n > 0; --n) m.alarm_hold_time += random_character(random);
            break;
    }
    return m;
}

}  // namespace tvx::testing
