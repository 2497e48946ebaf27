#pragma once

#include <QDialog>
#include <functional>

#include "model/tool_state.h"

class QLabel;
class QListWidget;

namespace tvx {

class ComparisonMemory;

// "ページ一覧（モニタ表示）": the 64 pages as small monitor previews with their number, size, position and
// offset and the start of their title; a double-click opens that page's title editor. The pages that the
// last comparison found different are marked. The pictures are the tool's model of the monitor (目安).
class PageOverviewDialog : public QDialog {
    Q_OBJECT
  public:
    PageOverviewDialog(const ToolState& tool, const ComparisonMemory* comparison, QWidget* owner);

    // What a double-click on page (0..63) does; the thumbnails are drawn again afterwards.
    void set_open_page(std::function<void(int)> open) { open_page_ = std::move(open); }

    // Draws every thumbnail again from the model.
    void refresh();

    QListWidget* list() const { return list_; }
    QLabel* note() const { return note_; }
    static constexpr QSize kThumbnail{160, 120};

  private:
    const ToolState& tool_;
    const ComparisonMemory* comparison_;
    std::function<void(int)> open_page_;
    QListWidget* list_ = nullptr;
    QLabel* note_ = nullptr;
};

// The caption under a page's thumbnail: "P05 MEDIUM BOTTOM 07" and the start of the title.
QString page_overview_caption(const PageSettings& page, int index);

}  // namespace tvx
