#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "config/notices.h"
#include "model/settings_compare.h"
#include "model/tool_state.h"

namespace tvx {

class MainWindow;

// The settings in memory against the settings document at path; nothing when the file is refused (the
// operator has been told why). What a document that ends early does not reach is not compared.
std::optional<std::vector<SettingDifference>> compare_with_document(const SettingsModel& memory,
                                                                    const std::filesystem::path& path,
                                                                    Notices& notices);

// Registers the comparison of the settings in memory with a chosen settings document.
void install_compare_and_ports(MainWindow& window, ToolState& tool, Notices& notices);

}  // namespace tvx
