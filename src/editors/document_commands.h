#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "config/notices.h"
#include "model/settings_model.h"
#include "model/tool_state.h"

namespace tvx {

// What a document read from a file is for: it decides how the notice about a document that ends early
// goes on.
enum class DocumentUse { kOpen, kCompare };

// Reads the file at path as a settings document into model, as Open and the comparison read it: only a
// regular file of a sane size, and only what can be a settings document. A refusal is told to the
// operator, naming the file (and the line at fault), leaves model as it was and gives false. A document
// that ends early is read as far as it goes, the rest of model staying as it was, and then a notice says
// how far.
bool read_document_file(const std::filesystem::path& path, SettingsModel& model, Notices& notices, DocumentUse use);

// The file dialogs the document commands need; the desktop tool shows the standard dialogs
// ("ファイルのオープン", "ファイルの保存", filters "データ(*.dat)" and "すべて(*.*)"), tests script them.
class DocumentDialogs {
  public:
    virtual ~DocumentDialogs() = default;
    // An existing file to open, or nothing when cancelled.
    virtual std::optional<std::filesystem::path> ask_open_path() = 0;
    // A name to save as, or nothing when cancelled. The dialog itself asks about overwriting the name
    // as chosen.
    virtual std::optional<std::filesystem::path> ask_save_path() = 0;
    // Asked when ".dat" was appended to the chosen name and a file of the longer name exists.
    virtual bool confirm_overwrite(const std::filesystem::path& path) = 0;
};

// New, Open, Save and Save As of the "ﾌｧｲﾙ" menu, and the save that Exit offers.
class DocumentCommands {
  public:
    DocumentCommands(ToolState& tool, Notices& notices, DocumentDialogs& dialogs)
        : tool_(tool), notices_(notices), dialogs_(dialogs) {}

    void document_new();
    void document_open();
    // Opens a document of the "最近使ったファイル" submenu, asking about unsaved settings as Open does. A
    // file that is no longer there is taken off the list, and the operator told.
    void document_open_recent(const std::string& path);
    // True when the document was written.
    bool document_save();
    bool document_save_as();
    // Exit's save: to the current document when there is one, otherwise through Save As.
    bool save_for_exit();

    // The Save As name rule: ".dat" is appended unless the name holds ".dat" (in any case) after its
    // first character.
    static std::filesystem::path with_dat_extension(const std::filesystem::path& name);

  private:
    bool write_to(const std::filesystem::path& path);
    // Asks before unsaved settings are replaced by another document; true to go on.
    bool may_replace_document();
    void open_path(const std::filesystem::path& path);

    ToolState& tool_;
    Notices& notices_;
    DocumentDialogs& dialogs_;
};

}  // namespace tvx
