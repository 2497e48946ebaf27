#pragma once

#include "config/configuration.h"
#include "editors/document_commands.h"

class QFileDialog;
class QWidget;

namespace tvx {

// The standard open and save dialogs of the document commands, owned by the main window. They start in
// the folder of the last document chosen. Paths are handed over as UTF-8 text.
class FileDocumentDialogs : public DocumentDialogs {
  public:
    FileDocumentDialogs(QWidget* owner, Configuration& config) : owner_(owner), config_(config) {}

    std::optional<std::string> ask_open_path() override;
    std::optional<std::string> ask_save_path() override;
    bool confirm_overwrite(const std::string& path) override;

  private:
    std::optional<std::string> run(QFileDialog& dialog);

    QWidget* owner_;
    Configuration& config_;
};

}  // namespace tvx
