#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <functional>
#include <map>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "cli/unit_backup.h"
#include "cli_harness.h"
#include "config/safe_file.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_document.h"
#include "protocol/random_model.h"
#include "unit/unit_tcp_hosts.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;
using testing::CliHarness;
using testing::Files;

// A folder's files by name with their bytes.
std::map<std::string, std::string> folder_contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string bytes;
        read_whole_file(entry.path(), bytes);
        files[entry.path().filename().string()] = bytes;
    }
    return files;
}

std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// One virtual unit over TCP and the files of the runs against it.
class CliFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.listen(0, error)) << error.toStdString();
        unit.settings().network.version_number = "2.10";
    }
    int run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(),
                         {"--tcp", "127.0.0.1:" + std::to_string(server.port()), "--pace", "reply"});
        return cli.run(arguments);
    }
    std::string errors() const { return cli.errors(); }

    VirtualUnit unit;
    UnitTcpServer server{unit};
    CliHarness cli;
    Files files;
};

// A backup over an earlier one that runs out of disk part way says so, and leaves the earlier backup
// whole and usable: nothing of the new one is mixed in and nothing is left beside it.
TEST_F(CliFiles, ABackupThatFailsLeavesTheEarlierOneWhole) {
    const std::string dir = files.path("site");
    ASSERT_EQ(run({"backup", dir}), 0) << errors();
    const auto earlier = folder_contents(dir);
    ASSERT_EQ(earlier.size(), 5u);

    unit.settings().power_on_page = 3;
    fail_writes_as_full_disk_for_testing("unit.tll");
    const int status = run({"backup", dir});
    fail_writes_as_full_disk_for_testing("");
    EXPECT_EQ(status, 1);
    EXPECT_NE(errors().find("site/unit.tll: not written: No space left on device"), std::string::npos)
        << errors();
    EXPECT_EQ(errors().find("Can't file open"), std::string::npos) << errors();
    EXPECT_EQ(folder_contents(dir), earlier);
    EXPECT_EQ(names_in(files.path("")), std::vector<std::string>{"site"});
    ASSERT_EQ(run({"restore", dir}), 0) << errors();

    // With room again the new backup takes the earlier one's place whole.
    unit.settings().power_on_page = 3;
    ASSERT_EQ(run({"backup", dir + "/"}), 0) << errors();
    SettingsModel backed_up;
    ASSERT_FALSE(read_document_strict(backed_up, files.read("site/unit.dat")));
    EXPECT_EQ(backed_up.power_on_page, 3);
    EXPECT_EQ(names_in(files.path("")), std::vector<std::string>{"site"});

    // The manifest is the contract restore reads.
    QJsonParseError error{};
    const QJsonObject manifest =
        QJsonDocument::fromJson(QByteArray::fromStdString(files.read("site/manifest.json")), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(manifest["format"].toInt(), 1);
    EXPECT_EQ(manifest["version"].toString(), "2.10");
    EXPECT_EQ(manifest["link"]["port"].toInt(), server.port());
    EXPECT_FALSE(manifest["cli_version"].toString().isEmpty());
    EXPECT_TRUE(manifest["time"].toString().endsWith('Z')) << manifest["time"].toString().toStdString();
    const QJsonObject dat = manifest["files"]["unit.dat"].toObject();
    EXPECT_EQ(dat["size"].toInteger(), static_cast<qint64>(files.read("site/unit.dat").size()));
    EXPECT_EQ(dat["sha256"].toString().size(), 64);
    EXPECT_EQ(manifest["files"].toObject().keys(),
              (QStringList{"unit.dat", "unit.tll", "unit.tlm", "unit.tls"}));
}

#ifndef _WIN32
// The same on a disk that is really full: a small file system of its own, mounted where only a child
// process sees it, holds one backup but not a second beside it.
TEST(CliBackupOnAFullDisk, TheEarlierBackupStaysWholeAndTheCauseIsTheSystems) {
    Files files;
    const std::string mount_point = files.path("small");
    fs::create_directory(mount_point);
    enum Outcome {
        kWhole = 0,
        kFirstFailed,
        kSecondWritten,
        kWrongCause,
        kEarlierChanged,
        kLeftBeside,
        kNoMount
    };
    const SettingsModel first = testing::round_trip_model(5);
    GlyphModel glyphs;
    reset_glyphs(glyphs);
    // Room for one backup and half another.
    std::size_t one_backup = write_document(first).size() + 4096;
    for (const GlyphSize* size : kGlyphSizes) one_backup += bank_file_text(glyphs, *size).size();
    const std::string options = "size=" + std::to_string(one_backup * 3 / 2 / 1024) + "k";
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", mount_point.c_str(), "tmpfs", 0, options.c_str()) != 0)
            _exit(kNoMount);
        const std::string dir = mount_point + "/site";
        const ManifestHead head{"2.10", QJsonObject{{"host", "127.0.0.1"}, {"port", 9004}}};
        if (write_backup(dir, first, glyphs, head)) _exit(kFirstFailed);
        const auto earlier = folder_contents(dir);
        const std::optional<WriteFailure> failed =
            write_backup(dir, testing::round_trip_model(6), glyphs, head);
        if (!failed) _exit(kSecondWritten);
        if (failed->error != std::errc::no_space_on_device) _exit(kWrongCause);
        if (folder_contents(dir) != earlier) _exit(kEarlierChanged);
        if (names_in(mount_point) != std::vector<std::string>{"site"}) _exit(kLeftBeside);
        _exit(kWhole);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kNoMount)
        GTEST_SKIP() << "no small file system could be mounted (it takes root or a user namespace)";
    EXPECT_EQ(WEXITSTATUS(status), kWhole);
}
#endif

// restore takes nothing on trust: a manifest damaged, emptied or edited, or a file changed or gone since
// the backup, is refused with its reason before anything is sent.
TEST_F(CliFiles, RestoreRefusesABackupItsManifestDoesNotVouchFor) {
    const std::string good = files.path("good");
    ASSERT_EQ(run({"backup", good}), 0) << errors();
    QJsonObject manifest =
        QJsonDocument::fromJson(QByteArray::fromStdString(files.read("good/manifest.json"))).object();
    const auto edited = [&manifest](const std::function<void(QJsonObject&)>& edit) {
        QJsonObject copy = manifest;
        edit(copy);
        return QJsonDocument(copy).toJson().toStdString();
    };
    const auto file_field = [](const char* name, const char* field, QJsonValue value) {
        return [=](QJsonObject& m) {
            QJsonObject listed = m["files"].toObject();
            QJsonObject entry = listed[name].toObject();
            entry[field] = value;
            listed[name] = entry;
            m["files"] = listed;
        };
    };
    const qint64 dat_size = static_cast<qint64>(files.read("good/unit.dat").size());
    std::string changed_bank = files.read("good/unit.tll");
    changed_bank[0] = changed_bank[0] == '0' ? '1' : '0';

    struct Case {
        const char* name;
        std::string manifest;                       // kAsWritten: as the backup wrote it
        std::function<void(const fs::path&)> also;  // a change to the folder's files
        std::string reason;
    };
    const std::string kAsWritten = "\x01";
    const std::vector<Case> cases = {
        {"emptied", "", {}, "manifest.json: empty"},
        {"corrupted", "{not json", {}, "manifest.json: not JSON"},
        {"not an object", "[1]", {}, "manifest.json: not a JSON object"},
        {"no format", edited([](QJsonObject& m) { m.remove("format"); }), {}, "no \"format\""},
        {"later format", edited([](QJsonObject& m) { m["format"] = 2; }), {}, "\"format\" is not 1"},
        {"no cli version", edited([](QJsonObject& m) { m.remove("cli_version"); }), {}, "no \"cli_version\""},
        {"no time", edited([](QJsonObject& m) { m.remove("time"); }), {}, "no \"time\""},
        {"local time",
         edited([](QJsonObject& m) { m["time"] = "2024-05-01T09:30:00"; }),
         {},
         "\"time\" is not a UTC time"},
        {"no version", edited([](QJsonObject& m) { m.remove("version"); }), {}, "no \"version\""},
        {"no link", edited([](QJsonObject& m) { m.remove("link"); }), {}, "no \"link\""},
        {"no files", edited([](QJsonObject& m) { m.remove("files"); }), {}, "no \"files\""},
        {"a file left out",
         edited([](QJsonObject& m) {
             QJsonObject listed = m["files"].toObject();
             listed.remove("unit.tls");
             m["files"] = listed;
         }),
         {},
         "\"files\" does not list unit.tls"},
        {"a file too many",
         edited([](QJsonObject& m) {
             QJsonObject listed = m["files"].toObject();
             listed["notes.txt"] = listed["unit.tls"];
             m["files"] = listed;
         }),
         {},
         "\"files\" lists notes.txt"},
        {"a digest edited",
         edited(file_field("unit.tlm", "sha256", QString(64, '0'))),
         {},
         "unit.tlm is not the file backed up"},
        {"a digest mangled",
         edited(file_field("unit.tlm", "sha256", "xyz")),
         {},
         "\"sha256\" is not 64 lowercase hexadecimal digits"},
        {"a size edited",
         edited(file_field("unit.dat", "size", dat_size + 1)),
         {},
         ("unit.dat holds " + std::to_string(dat_size) + " bytes, the manifest says " +
          std::to_string(dat_size + 1))},
        {"a size not a number",
         edited(file_field("unit.dat", "size", "big")),
         {},
         "\"size\" is not a number of bytes"},
        {"a bank changed since", kAsWritten,
         [&changed_bank](const fs::path& d) { write_file_replacing(d / "unit.tll", changed_bank); },
         "unit.tll is not the file backed up"},
        {"a bank gone", kAsWritten, [](const fs::path& d) { fs::remove(d / "unit.tls"); },
         "not a whole backup: unit.tls: does not exist"},
        {"no manifest", kAsWritten, [](const fs::path& d) { fs::remove(d / "manifest.json"); },
         "not a whole backup: no manifest.json"},
    };
    const int lines = unit.lines_received();
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = files.path("case" + std::to_string(++n));
        fs::copy(good, dir);
        if (c.manifest != kAsWritten) write_file_replacing(dir / "manifest.json", c.manifest);
        if (c.also) c.also(dir);
        EXPECT_EQ(run({"restore", dir.string()}), 1);
        EXPECT_NE(errors().find(c.reason), std::string::npos) << errors();
        EXPECT_EQ(unit.lines_received(), lines);
    }
    ASSERT_EQ(run({"restore", good}), 0) << errors();
}

// Every file and folder a run writes is checked before the first line goes out: a run that cannot keep
// its record sends nothing, and says why.
TEST_F(CliFiles, DestinationsThatCannotBeWrittenStopTheRunBeforeAnythingIsSent) {
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(files.path("pipe").c_str(), 0600), 0);
#endif
    const std::string backup_file = files.write("backup-file", "x");
    fs::create_directory(files.path("busy"));
    files.write("busy/notes.txt", "mine");
    const std::string missing = files.path("no/such/folder/");
    struct Case {
        std::vector<std::string> arguments;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {{"--report", missing + "r.json", "send", "RVN"},
         "r.json: the folder " + missing.substr(0, missing.size() - 1) + " does not exist"},
        {{"-q", "--log", missing + "r.log", "send", "RVN"}, "r.log: the folder"},
        {{"--report", files.path(""), "send", "RVN"}, "names a folder, not a file"},
        {{"--report", files.path("busy"), "send", "RVN"}, "busy: is a folder, not a file"},
#ifndef _WIN32
        {{"--log", files.path("pipe"), "send", "RVN"}, "pipe: not a regular file"},
#endif
        {{"read-back", "-o", missing + "back"}, "back.dat: the folder"},
        {{"glyphs", "read", "small", "-o", files.path("backup-file/g")}, "backup-file is not a folder"},
        {{"backup", backup_file}, "backup-file: is not a folder"},
        {{"backup", files.path("busy")}, "busy: holds what is no file of a backup (notes.txt)"},
        {{"backup", missing + "site"}, "does not exist"},
        {{"backup", "."}, "name it by its own name"},
        {{"--report", files.path("r.json"), "--log", files.path("./r.json"), "send", "RVN"},
         "written twice in one run"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[1]);
        EXPECT_EQ(run(c.arguments), 1);
        EXPECT_NE(errors().find(c.reason), std::string::npos) << errors();
        // Told once: the report that cannot be written is not tried again at the end.
        EXPECT_EQ(errors().find("not written"), std::string::npos) << errors();
        EXPECT_EQ(unit.lines_received(), 0);
        EXPECT_EQ(server.connections(), 0);
    }
    EXPECT_EQ(folder_contents(files.path("busy")).at("notes.txt"), "mine");
    // A report that can be written records why the run stopped.
    EXPECT_NE(files.read("r.json").find("written twice in one run"), std::string::npos);
}

// An input file that is refused says what happened to it, in place of the desktop tool's bare
// "Can't file open".
TEST_F(CliFiles, RefusedInputFilesSayWhatHappened) {
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(files.path("fifo.dat").c_str(), 0600), 0);
#endif
    const std::string huge = files.write("huge.dat", "");
    fs::resize_file(huge, std::uintmax_t{17} << 20);
    const std::string bom = files.write("bom.dat", "\xEF\xBB\xBF" + write_document(SettingsModel{}));
    GlyphModel glyphs;
    reset_glyphs(glyphs);
    const std::string bank = files.write("bom.tls", "\xEF\xBB\xBF" + bank_file_text(glyphs, kSmall));
    const std::string hosts = files.write("hosts.txt",
                                          "\xEF\xBB\xBF"
                                          "127.0.0.1:" +
                                              std::to_string(server.port()) + "\n");
    struct Case {
        std::vector<std::string> arguments;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {{"send-all", files.path("missing.dat")}, "missing.dat: does not exist"},
#ifndef _WIN32
        {{"send-all", files.path("fifo.dat")}, "fifo.dat: not a regular file"},
        {{"send-all", "/dev/zero"}, "/dev/zero: not a regular file"},
#endif
        {{"send-all", huge}, "huge.dat: too large (more than 16 MiB)"},
        {{"send-all", bom},
         "bom.dat: starts with a byte-order mark; a settings document is saved without one"},
        {{"glyphs", "register", bank}, "bom.tls: starts with a byte-order mark; a bank file"},
        {{"glyphs", "register", files.path("missing.tll")}, "missing.tll: does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        EXPECT_EQ(run(c.arguments), 1);
        EXPECT_NE(errors().find(c.reason), std::string::npos) << errors();
        EXPECT_EQ(errors().find("Can't file open"), std::string::npos) << errors();
    }
    EXPECT_EQ(cli.run({"--hosts", hosts, "send", "RVN"}), 1);
    EXPECT_NE(errors().find("hosts.txt: starts with a byte-order mark; a hosts file"), std::string::npos)
        << errors();
    EXPECT_EQ(cli.run({"diff", bom, files.path("missing.dat")}), 1);
    EXPECT_NE(errors().find("byte-order mark"), std::string::npos) << errors();
    EXPECT_EQ(unit.lines_received(), 0);
}

}  // namespace
}  // namespace tvx
