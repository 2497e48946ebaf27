#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console.h"
#include "model/settings_compare.h"

namespace tvx {

// Reads a settings document strictly into model; a message on the console when it cannot be read whole.
bool read_document_file(const std::string& path, SettingsModel& model, Console& console);
// The same for a document already read as bytes, path naming it in the message.
bool read_document_text(const std::string& path, const std::string& bytes, SettingsModel& model,
                        Console& console);

// diff: reads both settings documents strictly and prints every setting that differs, one line each,
// tab-separated: where (page or day, or the group of a unit-wide setting), setting, value in a, value in
// b. Returns the exit status: 0 the same, 1 different or a document that cannot be read (said on the
// console).
int diff_documents(const std::string& path_a, const std::string& path_b, std::ostream& out, Console& console);

// show: reads a settings document strictly and prints every setting, one line each, tab-separated: where,
// setting, value. Returns the exit status: 0, or 1 for a document that cannot be read (said on the console).
int show_document(const std::string& path, std::ostream& out, Console& console);

// The differences one per line as diff prints them, each after prefix (a unit's "N<TAB>" in a fleet).
void print_differences(std::ostream& out, const std::vector<SettingDifference>& differences,
                       std::string_view prefix);

}  // namespace tvx
