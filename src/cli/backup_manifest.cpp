#include "cli/backup_manifest.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <algorithm>
#include <cmath>

namespace tvx {
namespace {

// A file larger than this is no file of a backup; beyond 2^53 a JSON number would lose digits anyway.
constexpr double kLargestSize = 1u << 30;

std::string sha256_hex(std::string_view bytes) {
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), QCryptographicHash::Sha256);
    return digest.toHex().toStdString();
}

bool is_sha256_hex(const QString& text) {
    if (text.size() != 64) return false;
    for (const QChar c : text) {
        if (!(c >= u'0' && c <= u'9') && !(c >= u'a' && c <= u'f')) return false;
    }
    return true;
}

// A field that must be a non-empty string (empty allowed when may_be_empty).
std::string string_problem(const QJsonObject& object, const char* key, bool may_be_empty = false) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined()) return std::string("no \"") + key + "\"";
    if (!value.isString() || (!may_be_empty && value.toString().isEmpty()))
        return std::string("\"") + key + "\" is not a text";
    return {};
}

std::string entry_problem(const QJsonValue& value, ManifestEntry& entry) {
    const std::string where = "\"files\": \"" + entry.name + "\"";
    if (!value.isObject()) return where + " is not an object with \"size\" and \"sha256\"";
    const QJsonObject object = value.toObject();
    const QJsonValue size = object.value(QLatin1String("size"));
    if (size.isUndefined()) return where + ": no \"size\"";
    const double bytes = size.toDouble(-1);
    if (!size.isDouble() || bytes < 0 || bytes > kLargestSize || std::floor(bytes) != bytes)
        return where + ": \"size\" is not a number of bytes";
    const QJsonValue digest = object.value(QLatin1String("sha256"));
    if (digest.isUndefined()) return where + ": no \"sha256\"";
    if (!digest.isString() || !is_sha256_hex(digest.toString()))
        return where + ": \"sha256\" is not 64 lowercase hexadecimal digits";
    if (object.size() != 2) return where + ": holds more than \"size\" and \"sha256\"";
    entry.size = static_cast<std::uint64_t>(bytes);
    entry.sha256 = digest.toString().toStdString();
    return {};
}

}  // namespace

std::string manifest_text(const ManifestHead& head, const std::vector<BackupFile>& files,
                          const QDateTime& time) {
    QJsonObject listed;
    for (const BackupFile& file : files) {
        listed.insert(QString::fromStdString(file.name),
                      QJsonObject{{"size", static_cast<qint64>(file.bytes.size())},
                                  {"sha256", QString::fromStdString(sha256_hex(file.bytes))}});
    }
    const QJsonObject manifest{
        {"format", kManifestFormat},
        {"cli_version", TVX230_VERSION},
        {"time", time.toUTC().toString(Qt::ISODate)},
        {"version", QString::fromStdString(head.unit_version)},
        {"link", head.link},
        {"files", listed},
    };
    return QJsonDocument(manifest).toJson(QJsonDocument::Indented).toStdString();
}

ManifestReading read_manifest(std::string_view text, const std::vector<std::string>& names) {
    ManifestReading reading;
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(text.data(), static_cast<qsizetype>(text.size())), &error);
    if (error.error != QJsonParseError::NoError) {
        reading.problem = text.empty() ? "empty"
                                       : "not JSON: " + error.errorString().toStdString() + " at byte " +
                                             std::to_string(error.offset);
        return reading;
    }
    if (!document.isObject()) {
        reading.problem = "not a JSON object";
        return reading;
    }
    const QJsonObject manifest = document.object();
    const QJsonValue format = manifest.value(QLatin1String("format"));
    if (format.isUndefined()) {
        reading.problem =
            "no \"format\" (not a manifest of this program, or one from before manifests held "
            "digests: make the backup again)";
        return reading;
    }
    if (format.toDouble(-1) != kManifestFormat) {
        reading.problem = "\"format\" is not " + std::to_string(kManifestFormat) +
                          " (a backup of another version of tvx230-cli)";
        return reading;
    }
    for (const char* key : {"cli_version", "time"}) {
        if (std::string problem = string_problem(manifest, key); !problem.empty()) {
            reading.problem = problem;
            return reading;
        }
    }
    const QString time = manifest.value(QLatin1String("time")).toString();
    const QDateTime when = QDateTime::fromString(time, Qt::ISODate);
    if (!when.isValid() || when.timeSpec() != Qt::UTC) {
        reading.problem = "\"time\" is not a UTC time in ISO 8601 (YYYY-MM-DDTHH:MM:SSZ)";
        return reading;
    }
    if (std::string problem = string_problem(manifest, "version", true); !problem.empty()) {
        reading.problem = problem;
        return reading;
    }
    if (!manifest.value(QLatin1String("link")).isObject()) {
        reading.problem =
            manifest.contains(QLatin1String("link")) ? "\"link\" is not an object" : "no \"link\"";
        return reading;
    }
    const QJsonValue files = manifest.value(QLatin1String("files"));
    if (!files.isObject()) {
        reading.problem = files.isUndefined() ? "no \"files\"" : "\"files\" is not an object";
        return reading;
    }
    const QJsonObject listed = files.toObject();
    for (const std::string& name : names) {
        ManifestEntry entry{name, 0, {}};
        const QJsonValue value = listed.value(QString::fromStdString(name));
        if (value.isUndefined()) {
            reading.problem = "\"files\" does not list " + name;
            return reading;
        }
        if (std::string problem = entry_problem(value, entry); !problem.empty()) {
            reading.problem = problem;
            return reading;
        }
        reading.files.push_back(std::move(entry));
    }
    if (listed.size() != static_cast<qsizetype>(names.size())) {
        for (auto it = listed.begin(); it != listed.end(); ++it) {
            const std::string name = it.key().toStdString();
            if (std::find(names.begin(), names.end(), name) == names.end()) {
                reading.problem = "\"files\" lists " + name + ", which is no file of a backup";
                break;
            }
        }
        reading.files.clear();
    }
    return reading;
}

std::optional<std::string> file_mismatch(const ManifestEntry& entry, const std::string& bytes) {
    if (bytes.size() != entry.size) {
        return entry.name + " holds " + std::to_string(bytes.size()) + " bytes, the manifest says " +
               std::to_string(entry.size) + ": changed since the backup";
    }
    if (sha256_hex(bytes) != entry.sha256)
        return entry.name + " is not the file backed up (its SHA-256 differs from the manifest's)";
    return std::nullopt;
}

}  // namespace tvx
