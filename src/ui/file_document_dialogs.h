#pragma once

#include "editors/document_commands.h"

class QWidget;

namespace tvx {

// The standard open and save dialogs of the document commands, owned by the main window.
// Paths are handed over as UTF-8 text.
class FileDocumentDialogs : public DocumentDialogs {
  public:
    explicit FileDocumentDialogs(QWidget* owner) : owner_(owner) {}

    std::optional<std::string> ask_open_path() override;
    std::optional<std::string> ask_save_path() override;
    bool confirm_overwrite(const std::string& path) override;

  private:
    QWidget* owner_;
};

}  // namespace tvx
