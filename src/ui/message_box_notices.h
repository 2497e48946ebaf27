#pragma once

#include "protocol/notices.h"

namespace tvx {

// The desktop tool's notices: a beep, then a task-modal message box without an owner, so that a
// notice raised while an editor is open still appears above it. The two confirmations of the
// transfers and the glyph editor belong to the dialog that asks them.
class MessageBoxNotices : public Notices {
  public:
    void notify_success(std::string_view text) override;
    void notify_error(std::string_view text) override;
    void notify_warning(std::string_view text) override;
    void show_box(std::string_view text, std::string_view title, BoxIcon icon) override;
    bool ask_yes_no(std::string_view text) override;
    bool confirm_not_auto_switching() override;
    bool confirm_make_other_sizes() override;
};

}  // namespace tvx
