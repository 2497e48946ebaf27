#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glyphs/glyph_model.h"
#include "model/settings_model.h"
#include "protocol/line_assembler.h"
#include "protocol/title_encoding.h"

namespace tvx {

// Faults a virtual unit can be asked to show, so that every failure path of the tool can be driven.
struct UnitFaults {
    int error_at_line = 0;           // the k-th line addressed to the unit (from 1) gets error_reply instead
    bool error_every_line = false;   // every line from error_at_line on gets it
    std::string error_reply = "E3";  // "E0" to "E3", "MENU" or "GN"; the command is not carried out
    int silent_at_line = 0;          // the k-th line is carried out but not answered
    int stray_at_line = 0;           // the k-th line is carried out but answered with stray_answer
    std::string stray_answer = "?";  // as it stands, CR LF added: noise, another command's line, "07GO"
    bool silent = false;             // nothing is answered at all
    int piece_size = 0;              // answers go out in pieces of this many bytes (0: whole)
    int piece_gap_ms = 30;           // pause between pieces
    int delay_ms = 0;                // pause before each answer
    int line_baud = 0;               // answers wait for the time a serial line of this rate would take
    // A setting command that starts with this text is answered "GO" but not carried out: a unit that
    // says it took a setting and does not keep it. Reads are answered as ever.
    std::string forget_prefix;
};

// The unit's own state beside its settings: what the date and time commands and the display page
// editor set, which the tool never reads back.
struct UnitClock {
    int year = 0;  // 0..99 for 2000..2099
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int corrections = 0;  // "TSA" received
};

// A stand-in for a real unit, written from the command set: it holds a unit's settings and glyph banks,
// carries out every setting command and answers "GO", answers every read with its data line and every
// bitmap read with its glyph, and answers anything else with "E3". On RS-485 it answers only lines
// addressed to it, with its address in front, and carries out broadcasts ("FF") without answering.
class VirtualUnit {
  public:
    VirtualUnit();

    // Received bytes in any pieces, from a single connection; returns the answers to the lines they
    // complete, in order.
    std::vector<std::string> receive(std::string_view bytes);

    // One whole line as received (address and CR LF included); the answer, or none. The observer is told.
    std::optional<std::string> answer_line(std::string_view line);

    // The same without telling the observer.
    std::optional<std::string> handle_line(std::string_view line);

    SettingsModel& settings() { return settings_; }
    const SettingsModel& settings() const { return settings_; }
    GlyphModel& glyphs() { return glyphs_; }
    const GlyphModel& glyphs() const { return glyphs_; }
    const UnitClock& clock() const { return clock_; }
    int display_page() const { return display_page_; }  // 0..63, or 64 for automatic switching
    bool display_on() const { return display_on_; }
    const TitleCodes& title_codes(int page) const { return title_codes_[static_cast<std::size_t>(page)]; }

    // Replaces a page's title by one typed in the tool; false (title unchanged) when it cannot be shown.
    bool set_title(int page, std::string_view title);

    // Lines addressed to this unit so far (broadcasts included).
    int lines_received() const { return lines_received_; }

    // Told of every whole line received and what was answered (nothing for another unit's line, a
    // broadcast or an injected silence); for logs.
    std::function<void(std::string_view line, const std::optional<std::string>& answer)> observer;

    UnitFaults faults;
    bool rs485 = false;
    int address = 0;  // 0..31

    // The settings as a settings document, the glyphs as bank files beside it ("name.tll" and so on for a
    // document "name.dat"). Loading reads whatever of them exists; false when the document is missing.
    bool load(const std::filesystem::path& document);
    bool save(const std::filesystem::path& document) const;

  private:
    std::optional<std::string> answer(std::string_view command);
    std::optional<std::string> answer_read(std::string_view command);
    std::optional<std::string> data_line(std::string_view mnemonic) const;
    std::string bitmap_line(const GlyphSize& size, std::uint16_t code) const;
    bool apply(std::string_view command);
    bool apply_page_command(std::string_view command);
    bool apply_setting_command(std::string_view command);
    bool apply_other_command(std::string_view command);
    void store_title(int page, const TitleCodes& codes);

    SettingsModel settings_;
    GlyphModel glyphs_;
    UnitClock clock_;
    std::array<TitleCodes, kPageCount> title_codes_{};
    int display_page_ = 0;
    bool display_on_ = true;
    int lines_received_ = 0;
    LineAssembler assembler_{4096};
};

// Splits an answer into the pieces that fault injection asks for.
std::vector<std::string> answer_pieces(const std::string& answer, int piece_size);

}  // namespace tvx
