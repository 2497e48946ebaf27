#include "app/status_notices.h"

#include "editors/link_status.h"

namespace tvx {

void StatusNotices::result(std::string_view title, std::string_view text) {
    if (result_) result_(result_text(title, text));
}

void StatusNotices::notify_success(std::string_view text) {
    result("", text);
    shown_.notify_success(text);
}

void StatusNotices::notify_error(std::string_view text) {
    result("Error", text);
    shown_.notify_error(text);
}

void StatusNotices::notify_warning(std::string_view text) {
    result("Error", text);
    shown_.notify_warning(text);
}

void StatusNotices::notify_status(std::string_view text) {
    result("", text);
    if (note_) note_(std::string(text));
    shown_.notify_status(text);
}

void StatusNotices::show_box(std::string_view text, std::string_view title, BoxIcon icon) {
    result(title, text);
    shown_.show_box(text, title, icon);
}

}  // namespace tvx
