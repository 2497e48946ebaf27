#pragma once

#include <filesystem>

#include "config/configuration.h"
#include "editors/document_commands.h"

class QFileDialog;
class QWidget;

namespace tvx {

// The standard open and save dialogs of the document commands, owned by the main window. They start in
// the folder of the last document chosen.
class FileDocumentDialogs : public DocumentDialogs {
  public:
    FileDocumentDialogs(QWidget* owner, Configuration& config) : owner_(owner), config_(config) {}

    std::optional<std::filesystem::path> ask_open_path() override;
    std::optional<std::filesystem::path> ask_save_path() override;
    bool confirm_overwrite(const std::filesystem::path& path) override;

  private:
    std::optional<std::filesystem::path> run(QFileDialog& dialog);

    QWidget* owner_;
    Configuration& config_;
};

}  // namespace tvx
