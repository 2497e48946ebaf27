// Models whose text fields hold awkward text, through a settings document and through a unit: the
// document gives them back unchanged, and a full send followed by a read-back gives back exactly what the
// unit could be sent; what it could not hold is refused openly and leaves the unit as it was.
#include <gtest/gtest.h>

#include "model/settings_document.h"
#include "protocol/command_builders.h"
#include "protocol/full_send_sequence.h"
#include "protocol/hostile_model.h"
#include "protocol/model_dump.h"
#include "protocol/read_back_sequence.h"
#include "protocol/sequence_test_link.h"
#include "protocol/title_encoding.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

using testing::InProcessUnitLink;
using testing::RecordingNotices;
using State = PacedSequence::State;

State run(PacedSequence& seq) {
    if (!seq.start()) return seq.state();
    while (seq.tick() == State::kRunning) {
    }
    return seq.state();
}

// The model an operator gets by opening the document of model.
SettingsModel through_document(const SettingsModel& model) {
    SettingsModel opened;
    const DocumentReading reading = read_document_checked(opened, write_document(model));
    EXPECT_FALSE(reading.refused.has_value());
    EXPECT_EQ(reading.read_to_line, 0);
    return opened;
}

// The seconds a hold time text sends: its leading digits (at most three), or nothing below 3 seconds.
std::optional<std::string> hold_time_sent(const std::string& text) {
    std::string digits;
    while (digits.size() < 3 && digits.size() < text.size() &&
           std::isdigit(static_cast<unsigned char>(text[digits.size()])))
        digits += text[digits.size()];
    if (digits.empty() || std::stoi(digits) < 3) return std::nullopt;
    return std::string(3 - digits.size(), '0') + digits;
}

// A title as the unit shows it back: the unit fills a title with ideographic spaces and drops them when
// it is read.
std::string title_held(std::string title) {
    while (title.size() >= 2 && title.compare(title.size() - 2, 2, "\x81\x40") == 0)
        title.resize(title.size() - 2);
    return title;
}

// What a read-back of a unit holding unit gives: every setting, except the device network settings,
// which the read-back does not ask for (the reader keeps its own).
std::string read_back_of(SettingsModel unit, const SettingsModel& reader) {
    unit.network = reader.network;
    return testing::dump_unit_settings(unit);
}

struct Transfer {
    SettingsModel unit_after;  // what the unit holds after the send
    SettingsModel read_back;   // what a read-back gives
    State send_state = State::kIdle;
    int refused_page = -1;
    RecordingNotices send_notices;
};

Transfer send_and_read_back(const SettingsModel& model, const SettingsModel& unit_before) {
    Transfer t;
    VirtualUnit unit;
    unit.settings() = unit_before;
    for (int p = 0; p < kPageCount; ++p)
        unit.set_title(p, unit_before.pages[static_cast<std::size_t>(p)].title);
    {
        ToolState sender;
        sender.model = model;
        InProcessUnitLink link(sender, t.send_notices, unit);
        FullSendSequence seq(sender, link, t.send_notices);
        t.send_state = run(seq);
        t.refused_page = seq.refused_page();
    }
    t.unit_after = unit.settings();
    ToolState reader;
    RecordingNotices notices;
    InProcessUnitLink link(reader, notices, unit);
    ReadBackSequence seq(reader, link, notices);
    EXPECT_EQ(run(seq), State::kCompleted);
    t.read_back = reader.model;
    return t;
}

TEST(AwkwardTextThroughTheUnit, ReadBackGivesWhatTheUnitWasSentAndNothingElse) {
    int refused_titles = 0;
    int refused_hold_times = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const SettingsModel hostile = testing::hostile_model(seed);
        const SettingsModel opened = through_document(hostile);
        ASSERT_EQ(testing::dump_document_settings(opened), testing::dump_document_settings(hostile)) << seed;
        const SettingsModel unit_before = testing::random_model(seed + 500);

        // As opened: the first title the unit cannot show stops the send there, with the titles before it
        // sent and nothing after it.
        int first_refused = -1;
        for (int p = 0; p < kPageCount && first_refused < 0; ++p) {
            if (!encode_title(opened.pages[static_cast<std::size_t>(p)].title)) first_refused = p;
        }
        Transfer as_opened = send_and_read_back(opened, unit_before);
        SettingsModel expected = unit_before;
        if (first_refused >= 0) {
            ++refused_titles;
            EXPECT_EQ(as_opened.send_state, State::kStopped) << seed;
            EXPECT_EQ(as_opened.refused_page, first_refused) << seed;
            EXPECT_EQ(as_opened.send_notices.texts("warning"),
                      std::vector<std::string>{std::string(kTitleRefused)});
            for (int p = 0; p < first_refused; ++p)
                expected.pages[static_cast<std::size_t>(p)].title =
                    title_held(opened.pages[static_cast<std::size_t>(p)].title);
            EXPECT_EQ(testing::dump_unit_settings(as_opened.unit_after),
                      testing::dump_unit_settings(expected))
                << seed;
            EXPECT_EQ(testing::dump_unit_settings(as_opened.read_back),
                      read_back_of(expected, as_opened.read_back))
                << seed;
        }

        // With the titles the unit cannot show left empty, everything else goes out; a hold time that the
        // send refuses leaves the unit's own, with the hold-time notice, and the send goes on.
        SettingsModel sendable = opened;
        for (PageSettings& page : sendable.pages) {
            if (!encode_title(page.title)) page.title.clear();
        }
        Transfer whole = send_and_read_back(sendable, unit_before);
        EXPECT_EQ(whole.send_state, State::kCompleted) << seed;
        expected = sendable;
        for (PageSettings& page : expected.pages) page.title = title_held(page.title);
        expected.network = unit_before.network;
        const std::optional<std::string> seconds = hold_time_sent(sendable.alarm_hold_time);
        expected.alarm_hold_time = seconds ? *seconds : unit_before.alarm_hold_time;
        if (!seconds) {
            ++refused_hold_times;
            EXPECT_EQ(whole.send_notices.texts("error"),
                      std::vector<std::string>{std::string(kAlarmHoldTooShort)})
                << testing::hex(sendable.alarm_hold_time);
        } else {
            EXPECT_EQ(whole.send_notices.texts("error"), std::vector<std::string>{});
        }
        EXPECT_EQ(testing::dump_unit_settings(whole.unit_after), testing::dump_unit_settings(expected))
            << "seed " << seed << " hold " << testing::hex(sendable.alarm_hold_time);
        EXPECT_EQ(testing::dump_unit_settings(whole.read_back), read_back_of(expected, whole.read_back))
            << "seed " << seed;

        // And what was read back keeps through a document too.
        EXPECT_EQ(testing::dump_document_settings(through_document(whole.read_back)),
                  testing::dump_document_settings(whole.read_back));
    }
    // The seeds reach refused titles, and hold times that the send refuses and takes.
    EXPECT_GT(refused_titles, 5);
    EXPECT_GT(refused_hold_times, 5);
    EXPECT_LT(refused_hold_times, 35);
}

}  // namespace
}  // namespace tvx
