#include "json_schema.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace tvx::testing {
namespace {

bool has_type(const QJsonValue& value, const QString& type) {
    if (type == "null") return value.isNull();
    if (type == "boolean") return value.isBool();
    if (type == "string") return value.isString();
    if (type == "object") return value.isObject();
    if (type == "array") return value.isArray();
    if (type == "number") return value.isDouble();
    if (type == "integer") {
        const double d = value.toDouble();
        return value.isDouble() && d == static_cast<double>(static_cast<long long>(d));
    }
    return false;
}

class Checker {
  public:
    explicit Checker(const QJsonObject& root) : root_(root) {}

    void check(const QJsonObject& schema, const QJsonValue& value, const std::string& where) {
        if (schema.contains("$ref")) {
            const QString ref = schema["$ref"].toString();
            const QString prefix = "#/$defs/";
            if (!ref.startsWith(prefix) || !root_["$defs"].toObject().contains(ref.mid(prefix.size()))) {
                problems.push_back(where + ": unknown $ref " + ref.toStdString());
                return;
            }
            check(root_["$defs"].toObject()[ref.mid(prefix.size())].toObject(), value, where);
        }
        if (schema.contains("type")) {
            const QJsonValue type = schema["type"];
            bool ok = false;
            if (type.isArray()) {
                for (const QJsonValue t : type.toArray()) ok = ok || has_type(value, t.toString());
            } else {
                ok = has_type(value, type.toString());
            }
            if (!ok) {
                problems.push_back(where + ": not of the type " +
                                   QJsonDocument(QJsonArray{type}).toJson(QJsonDocument::Compact).toStdString());
                return;
            }
        }
        if (schema.contains("enum") && !schema["enum"].toArray().contains(value))
            problems.push_back(where + ": not one of the values allowed");
        if (value.isDouble() && schema.contains("minimum") && value.toDouble() < schema["minimum"].toDouble())
            problems.push_back(where + ": below the minimum");
        if (value.isString() && schema.contains("pattern")) {
            const QRegularExpression pattern(schema["pattern"].toString());
            if (!pattern.match(value.toString()).hasMatch())
                problems.push_back(where + ": \"" + value.toString().toStdString() + "\" does not match");
        }
        if (value.isObject()) check_object(schema, value.toObject(), where);
        if (value.isArray() && schema.contains("items")) {
            const QJsonArray items = value.toArray();
            for (qsizetype i = 0; i < items.size(); ++i)
                check(schema["items"].toObject(), items[i], where + "[" + std::to_string(i) + "]");
        }
    }

    std::vector<std::string> problems;

  private:
    void check_object(const QJsonObject& schema, const QJsonObject& object, const std::string& where) {
        const QJsonObject properties = schema["properties"].toObject();
        for (const QJsonValue name : schema["required"].toArray()) {
            if (!object.contains(name.toString()))
                problems.push_back(where + ": no \"" + name.toString().toStdString() + "\"");
        }
        for (auto it = object.begin(); it != object.end(); ++it) {
            const std::string at = where + "." + it.key().toStdString();
            if (properties.contains(it.key())) {
                check(properties[it.key()].toObject(), it.value(), at);
            } else if (schema["additionalProperties"] == QJsonValue(false)) {
                problems.push_back(at + ": not in the schema");
            }
        }
    }

    const QJsonObject& root_;
};

}  // namespace

std::vector<std::string> schema_problems(const QJsonObject& schema, const QJsonValue& value) {
    Checker checker(schema);
    checker.check(schema, value, "$");
    return checker.problems;
}

QJsonObject read_schema(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

}  // namespace tvx::testing
