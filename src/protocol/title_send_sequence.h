#pragma once

#include "config/notices.h"
#include "protocol/command_link.h"
#include "protocol/paced_sequence.h"

namespace tvx {

// The title editor's all-pages send: the titles of pages 1 to 64, one per tick. The tick of page 64
// completes the sequence (over TCP, the first tick after its answer).
inline constexpr int kTitleSendSteps = kPageCount;
inline constexpr int kTitleSendTickMs = 600;

class TitleSendSequence : public PacedSequence {
  public:
    TitleSendSequence(ToolState& tool, CommandLink& link, Notices& notices)
        : PacedSequence(tool, link, notices), link_(step_link()), notices_(notices) {}
    ~TitleSendSequence() override { cancel(); }

    int step_count() const override { return kTitleSendSteps; }

    // The page (0..63) whose title stopped the sequence, or -1.
    int refused_page() const { return refused_page_; }
    // "タイトル ページ 05".
    std::string step_name(int step) const override;

  protected:
    // The operator confirms that the unit is not switching pages by itself; over TCP a connection must be
    // up.
    bool can_start() override;
    // A title the unit cannot show is reported and ends the sequence in the same tick.
    bool send_step(int step) override;

  private:
    CommandLink& link_;
    Notices& notices_;
    int refused_page_ = -1;
};

// "ページ設定" of the title editor: one page's title, not while a sequence runs. A refused title is
// reported with kTitleRefused. True when the line went out.
bool send_page_title(ToolState& tool, CommandLink& link, Notices& notices, int page);

}  // namespace tvx
