#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <string>
#include <vector>

namespace tvx::testing {

// Checks a JSON value against a JSON Schema, for the keywords the tool's schema files use: type (one or a
// list), enum, required, properties, additionalProperties (false), items, minimum, pattern and $ref to
// "#/$defs/NAME". Each keyword applies to the values of its kind only, as the standard says. Returns every
// problem found, as "where: what"; empty when the value conforms.
std::vector<std::string> schema_problems(const QJsonObject& schema, const QJsonValue& value);

// The schema file, read; an empty object when it cannot be read.
QJsonObject read_schema(const QString& path);

}  // namespace tvx::testing
