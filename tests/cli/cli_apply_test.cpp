#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include <gtest/gtest.h>

#include "cli_harness.h"
#include "protocol/command_builders.h"
#include "protocol/model_dump.h"
#include "protocol/random_model.h"
#include "protocol/read_back_sequence.h"
#include "protocol/title_encoding.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

class CliApply : public testing::CliAgainstTcpUnit {
  protected:
    int run(std::vector<std::string> arguments) {
        received.clear();
        return CliAgainstTcpUnit::run(std::move(arguments));
    }

    // The lines the unit received that are not reads: what changed it.
    std::vector<std::string> setting_lines() const {
        std::vector<std::string> lines;
        std::copy_if(received.begin(), received.end(), std::back_inserter(lines),
                     [](const std::string& line) { return line.front() != 'R'; });
        return lines;
    }
    int reads() const { return static_cast<int>(received.size() - setting_lines().size()); }

    QJsonObject reported_unit() const {
        const QJsonObject report = QJsonDocument::fromJson(QByteArray::fromStdString(files.read("r.json"))).object();
        return report["units"].toArray().at(0).toObject();
    }
};

// The unit holds one document; another that differs in a title and one page's size is applied twice: the
// first time only those two lines go (the size in its single-page form) and are read back, the second
// time nothing but the reads. --check and --diff tell what would change and change nothing.
TEST_F(CliApply, SendsOnlyWhatDiffersOnceAndNothingTheSecondTime) {
    SettingsModel held = testing::round_trip_model(7);
    held.pages[2].title = "\x82\xA0";  // あ
    ASSERT_EQ(run({"send-all", files.write("held.dat", write_document(held))}), 0) << cli.errors();
    SettingsModel source = held;
    source.pages[2].title = "\x93\xFA\x96\x7B";  // 日本
    source.pages[40].char_size = (held.pages[40].char_size + 1) % 3;
    const std::string in = files.write("source.dat", write_document(source));

    ASSERT_EQ(run({"apply", in, "--report", files.path("r.json")}), 0) << cli.errors();
    EXPECT_EQ(setting_lines(), (std::vector<std::string>{*build_title_command(source.pages[2].title, 2),
                                                         build_page_command(source, PageCommand::CFS, 40)}));
    EXPECT_EQ(reads(), kReadBackSteps + 2);  // the unit, then the title and the sizes read back
    EXPECT_EQ(cli.output(), target + "\tchanged\t2\n");
    QJsonObject reported = reported_unit();
    EXPECT_TRUE(reported["changed"].toBool());
    EXPECT_TRUE(reported["verified"].toBool());
    EXPECT_EQ(reported["version"].toString().toStdString(), unit.settings().network.version_number);
    const QJsonArray changes = reported["changes"].toArray();
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0].toObject()["where"].toString(), "P03");
    EXPECT_EQ(changes[0].toObject()["setting"].toString(), "タイトル");
    EXPECT_EQ(changes[0].toObject()["after"].toString(), "日本");
    EXPECT_EQ(changes[1].toObject()["where"].toString(), "P41");
    EXPECT_EQ(changes[1].toObject()["setting"].toString(), "文字サイズ");
    SettingsModel expected = source;
    expected.network = unit.settings().network;
    EXPECT_EQ(testing::dump_unit_settings(unit.settings()), testing::dump_unit_settings(expected));

    ASSERT_EQ(run({"apply", in, "--report", files.path("r.json")}), 0) << cli.errors();
    EXPECT_EQ(setting_lines(), std::vector<std::string>{});
    EXPECT_EQ(reads(), kReadBackSteps);
    EXPECT_EQ(cli.output(), target + "\tunchanged\t0\n");
    EXPECT_FALSE(reported_unit()["changed"].toBool());
    EXPECT_EQ(reported_unit()["changes"].toArray().size(), 0);

    const std::string back = files.write("held.dat", write_document(held));
    ASSERT_EQ(run({"apply", back, "--check", "--diff"}), 0) << cli.errors();
    EXPECT_EQ(setting_lines(), std::vector<std::string>{});
    const char* const size_words[] = {"LARGE", "MEDIUM", "SMALL"};
    EXPECT_EQ(cli.output(), target + "\tchanged\t2\n" + target + "\tP03\tタイトル\t日本\tあ\n" + target +
                                "\tP41\t文字サイズ\t" + size_words[source.pages[40].char_size] + "\t" +
                                size_words[held.pages[40].char_size] + "\n");
    EXPECT_EQ(testing::dump_unit_settings(unit.settings()), testing::dump_unit_settings(expected));
}

// A backup folder whose banks differ from the unit's in one glyph registers that slot alone and reads it
// back; a source the unit cannot be made to hold fails as the document's fault with what went out kept.
TEST_F(CliApply, ABackupFolderRegistersOnlyTheGlyphThatDiffers) {
    const std::string dir = files.path("unit");
    ASSERT_EQ(run({"backup", dir}), 0) << cli.errors();
    const std::string backed_up = glyph_bank(unit.glyphs(), kSmall)[9];
    std::string glyph(static_cast<std::size_t>(kSmall.text_length), '0');
    std::fill_n(glyph.begin(), 20, 'F');
    unit.receive(build_glyph_register(kSmall, 9, glyph));

    ASSERT_EQ(run({"apply", dir, "--report", files.path("r.json")}), 0) << cli.errors();
    EXPECT_EQ(setting_lines(), std::vector<std::string>{build_glyph_register(kSmall, 9, backed_up)});
    const auto glyph_reads = std::count_if(received.begin(), received.end(), [](const std::string& line) {
        return line.rfind(kSmall.read_mnemonic, 0) == 0;
    });
    EXPECT_EQ(glyph_reads, kSmall.slot_count + 1);
    const QJsonArray changes = reported_unit()["changes"].toArray();
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0].toObject()["where"].toString(), "小文字外字");
    EXPECT_EQ(changes[0].toObject()["setting"].toString(), "No.10");
    EXPECT_EQ(changes[0].toObject()["before"].toString().left(20), QString(20, 'F'));

    ASSERT_EQ(run({"apply", dir}), 0) << cli.errors();
    EXPECT_EQ(setting_lines(), std::vector<std::string>{});

    // A hold time below three seconds cannot go: the rest does, and the run fails on the document.
    SettingsModel refused;
    reset_settings(refused);
    refused.alarm_hold_time = "002";
    refused.pages[0].title = "\x93\xFA";
    const std::string refused_path = files.write("refused.dat", write_document(refused));
    // A check says so too, sending nothing and printing no result for the unit.
    ASSERT_EQ(run({"apply", refused_path, "--check", "--report", files.path("r.json")}), 1);
    EXPECT_EQ(setting_lines(), std::vector<std::string>{});
    EXPECT_EQ(reported_unit()["reason_code"].toString(), "document");
    EXPECT_EQ(reported_unit()["reason"].toString().toStdString(), "3秒以上を設定してください。: アラーム 保持時間");
    EXPECT_EQ(cli.output(), "");
    SettingsModel unshowable = refused;
    unshowable.pages[1].title = "A";  // a half-width letter
    ASSERT_EQ(run({"apply", files.write("title.dat", write_document(unshowable)), "--check", "--report",
                   files.path("r.json")}),
              1);
    EXPECT_EQ(reported_unit()["reason"].toString().toStdString(),
              std::string(kTitleRefused) + ": タイトル ページ 02");
    ASSERT_EQ(run({"apply", refused_path, "--report", files.path("r.json")}), 1);
    EXPECT_EQ(reported_unit()["reason_code"].toString(), "document");
    EXPECT_EQ(unit.settings().pages[0].title, "\x93\xFA");
}

// A setting the unit does not take is named by what it is: in a send of some settings the step's number in
// that send says nothing of which setting it was.
TEST_F(CliApply, ASettingNotTakenIsNamedBySetting) {
    SettingsModel held = testing::round_trip_model(3);
    ASSERT_EQ(run({"send-all", files.write("held.dat", write_document(held))}), 0) << cli.errors();
    SettingsModel source = held;
    source.date_display_range = (held.date_display_range + 1) % 8;
    source.video_loss_background = 1 - held.video_loss_background;
    unit.faults.error_at_line = unit.lines_received() + kReadBackSteps + 2;  // the second setting line
    unit.faults.error_reply = "GN";

    ASSERT_EQ(run({"apply", files.write("source.dat", write_document(source)), "--report", files.path("r.json")}), 1);
    const std::string reason = reported_unit()["reason"].toString().toStdString();
    EXPECT_EQ(reported_unit()["reason_code"].toString(), "mode_difference");
    EXPECT_NE(reason.find("その他 ビデオロス背景色"), std::string::npos) << reason;
    EXPECT_EQ(reason.find("ステップ 2"), std::string::npos) << reason;
}

}  // namespace
}  // namespace tvx
