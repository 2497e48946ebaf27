#pragma once

// Shared by the fuzz targets: checks that end the run at the first broken promise, the ranges every
// reader keeps the model in, a quiet notices sink, and a repeatable way to cut an input into pieces.
//
// The targets are built twice: with clang and libFuzzer, and with the ordinary compiler into the corpus
// replay test. So nothing here may depend on either.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"
#include "glyphs/glyph_model.h"
#include "model/settings_model.h"

namespace tvx::fuzz {

// A broken promise is a finding: say which, and abort so that both libFuzzer and the replay see it.
inline void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? std::string_view{} : std::string_view(reinterpret_cast<const char*>(data), size);
}

inline bool in_range(int value, int low, int high) {
    return value >= low && value <= high;
}

inline bool printable(std::string_view text) {
    for (const char c : text) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

inline bool only_digits(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Every numeric field inside the range its dialog and its command can show; texts no longer than their
// buffers. Titles: at most max_title bytes.
inline void check_model(const SettingsModel& m, std::size_t max_title) {
    for (const PageSettings& page : m.pages) {
        for (const PageFieldRule& rule : kPageFields) {
            require(in_range(page.*rule.member, rule.min, rule.max), "per-page field in range");
        }
        require(page.title.size() <= max_title, "title within its buffer");
    }
    for (const auto& day : m.schedule) {
        for (const ScheduleEntry& entry : day) {
            require(in_range(entry.hour, 0, 23), "schedule hour in range");
            require(in_range(entry.minute, 0, 59), "schedule minute in range");
            require(in_range(entry.page, 0, kScheduleOffPage), "schedule page in range");
        }
    }
    for (const int v : {m.date_display, m.date_display_size, m.alarm_mode, m.alarm_polarity, m.alarm_display,
                        m.alarm_return, m.connector_input, m.video_loss_background, m.network.connection_try,
                        m.network.keep_alive}) {
        require(in_range(v, 0, 1), "on/off field is 0 or 1");
    }
    require(in_range(m.date_display_range, 0, 7), "date display range in range");
    require(in_range(m.remote_mode, 0, 2), "remote mode in range");
    require(in_range(m.power_on_page, 0, kAutoSwitchPage), "power-on page in range");
    require(in_range(m.network.subnet_class, 0, 2), "subnet class in range");
    require(in_range(m.network.time_register, 0, 5), "time register in range");
    for (const int page : m.connector_pages) require(in_range(page, 0, kPageCount - 1), "connector page");
    for (const auto* address :
         {&m.network.ip_address, &m.network.gateway_address, &m.network.active_address}) {
        for (const int octet : *address) require(in_range(octet, 0, 255), "address octet in range");
    }
    // The hold time is what its field holds: up to three characters of one or two bytes, or nothing.
    require(m.alarm_hold_time.size() <= 6, "hold time of at most three characters");
    require(m.network.port_number.size() <= 5, "port text of at most five characters");
    require(m.network.mac_address.size() <= 17 && printable(m.network.mac_address), "MAC address text");
    require(m.network.version_number.size() <= 4 && printable(m.network.version_number), "version text");
}

// Every slot holds its glyph's digits, each an uppercase hexadecimal digit, and the working glyph keeps
// its length. Only the bank of one size when one is given.
inline void check_glyphs(const GlyphModel& glyphs, const GlyphSize* only = nullptr) {
    for (const GlyphSize* size : kGlyphSizes) {
        if (only != nullptr && size != only) continue;
        const auto& bank = glyph_bank(glyphs, *size);
        require(bank.size() == static_cast<std::size_t>(size->slot_count), "bank keeps its slot count");
        for (const std::string& slot : bank) {
            require(slot.size() >= static_cast<std::size_t>(size->digits), "slot holds a whole glyph");
            require(slot.find_first_not_of("0123456789ABCDEF", 0) >= static_cast<std::size_t>(size->digits),
                    "slot digits are uppercase hexadecimal");
        }
    }
    require(glyphs.glyph_buffer.size() == static_cast<std::size_t>(kGlyphBufferLength),
            "working glyph keeps its length");
}

// Notices go nowhere, but are remembered in order, so that two ways of feeding the same bytes can be
// compared. Questions are answered Yes.
class RecordedNotices : public Notices {
  public:
    void notify_success(std::string_view text) override { add('S', text); }
    void notify_error(std::string_view text) override { add('E', text); }
    void notify_warning(std::string_view text) override { add('W', text); }
    void show_box(std::string_view text, std::string_view, BoxIcon) override { add('B', text); }
    bool ask_yes_no(std::string_view text) override {
        add('Q', text);
        return true;
    }
    bool confirm_not_auto_switching() override { return true; }
    bool confirm_make_other_sizes() override { return true; }

    std::vector<std::string> calls;

  private:
    void add(char kind, std::string_view text) {
        // A long run of noise can raise many notices; only their order and kind matter here.
        if (calls.size() < 4096) calls.push_back(std::string(1, kind) + std::string(text));
    }
};

// A number taken from the text itself, to pick among ways of running it without a framing of its own.
inline std::uint32_t text_hash(std::string_view text) {
    std::uint32_t state = 2166136261u;
    for (const char c : text) state = (state ^ static_cast<unsigned char>(c)) * 16777619u;
    return state;
}

// Cuts text into pieces of 1 to max_piece bytes, the same way for the same text, so that a fuzz input
// also tries arrival in pieces without a separate framing of its own.
inline std::vector<std::string_view> pieces_of(std::string_view text, std::size_t max_piece) {
    std::uint32_t state = text_hash(text) | 1u;
    std::vector<std::string_view> out;
    while (!text.empty()) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const std::size_t n = std::min<std::size_t>(text.size(), 1 + state % max_piece);
        out.push_back(text.substr(0, n));
        text.remove_prefix(n);
    }
    return out;
}

}  // namespace tvx::fuzz
