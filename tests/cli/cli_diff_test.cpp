#include <gtest/gtest.h>

#include "cli/console.h"
#include "cli/json_text.h"
#include "cli_harness.h"
#include "model/settings_compare.h"
#include "protocol/random_model.h"

namespace tvx {
namespace {

using testing::CliHarness;
using testing::Files;

class CliDiff : public ::testing::Test {
  protected:
    void SetUp() override { model = testing::random_model(11); }

    int diff(const std::string& a, const std::string& b) { return cli.run({"diff", a, b}); }

    SettingsModel model;
    Files files;
    CliHarness cli;
};

TEST_F(CliDiff, IdenticalDocumentsAreTheSameWithNoOutput) {
    const std::string a = files.write("a.dat", write_document(model));
    const std::string b = files.write("b.dat", write_document(model));
    EXPECT_EQ(diff(a, b), 0) << cli.errors();
    EXPECT_EQ(cli.output(), "");
}

TEST_F(CliDiff, APageColourAndAScheduleEntryChangedGiveExactlyTwoLines) {
    SettingsModel changed = model;
    changed.pages[4].char_colour = (model.pages[4].char_colour + 1) % 9;
    changed.schedule[0][1].hour = (model.schedule[0][1].hour + 1) % 24;
    const std::string a = files.write("a.dat", write_document(model));
    const std::string b = files.write("b.dat", write_document(changed));

    EXPECT_EQ(diff(a, b), 1) << cli.errors();
    const std::vector<SettingDifference> expected = compare_settings(model, changed);
    ASSERT_EQ(expected.size(), 2u);
    std::string lines;
    for (const SettingDifference& d : expected)
        lines += d.where + "\t" + d.setting + "\t" + d.value_a + "\t" + d.value_b + "\n";
    EXPECT_EQ(cli.output(), lines);
    EXPECT_EQ(cli.output().rfind("P05\t", 0), 0u) << cli.output();
}

TEST_F(CliDiff, AMissingOrDamagedDocumentFails) {
    const std::string a = files.write("a.dat", write_document(model));
    EXPECT_EQ(diff(a, files.path("missing.dat")), 1);
    EXPECT_NE(cli.errors().find("missing.dat"), std::string::npos) << cli.errors();
    EXPECT_EQ(cli.output(), "");

    const std::string damaged = files.write("short.dat", write_document(model).substr(0, 40));
    EXPECT_EQ(diff(damaged, a), 1);
    EXPECT_NE(cli.errors().find("not a whole settings document"), std::string::npos) << cli.errors();
}

// show lists every saved setting with its value, in diff's words: a line for each of diff's lines
// between two documents that differ everywhere, the value from the document shown.
TEST_F(CliDiff, ShowListsEverySettingInDiffsWords) {
    model.pages[2].title = "\x93\xFA\x96\x7B";
    ASSERT_EQ(cli.run({"show", files.write("a.dat", write_document(model))}), 0) << cli.errors();
    const std::vector<SettingDifference> every = list_settings(model);
    std::string lines;
    for (const SettingDifference& s : every) {
        EXPECT_EQ(s.value_a, s.value_b);
        // Titles hold control bytes, which reach the terminal as <XX>.
        const std::string value = s.values_are_shift_jis ? shift_jis_as_utf8(s.value_a) : s.value_a;
        lines += s.where + "\t" + s.setting + "\t" + terminal_text(value) + "\n";
    }
    EXPECT_EQ(cli.output(), lines);
    EXPECT_NE(cli.output().find("P03\tタイトル\t日本\n"), std::string::npos);
    // 64 pages of a title and 10 options, 31 days of 24 entries, 11 options, the hold time, 8 connectors
    // and 4 network settings.
    EXPECT_EQ(every.size(), 64u * 11 + 31 * 24 + 11 + 1 + 8 + 4);
    EXPECT_EQ(cli.run({"show", files.path("missing.dat")}), 1);
    EXPECT_EQ(cli.output(), "");
}

TEST_F(CliDiff, NeedsNoLinkAndExactlyTwoDocuments) {
    EXPECT_TRUE(parse_cli_options({"diff", "a.dat", "b.dat"}).options);
    EXPECT_FALSE(parse_cli_options({"diff", "a.dat"}).options);
    EXPECT_FALSE(parse_cli_options({"--tcp", "h", "diff", "a.dat", "b.dat"}).options);
}

}  // namespace
}  // namespace tvx
