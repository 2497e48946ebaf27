#include "ui/per_page_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/monitor_preview_view.h"
#include "ui/setting_editor_widgets.h"

namespace tvx {

PerPageDialog::PerPageDialog(ToolState& tool, CommandLink& link, const PerPageEditorForm& form,
                             const std::string& selected_address, QWidget* owner)
    : QDialog(owner), editor_(tool, link, form) {
    setModal(true);
    setWindowTitle(qt_text(form.caption));

    const bool colours = form.layout == PreviewLayout::kColourRows;
    preview_ = new PreviewFrame(colours ? QSize(320, 205) : QSize(520, 200), this);
    preview_->setObjectName(QStringLiteral("preview"));
    monitor_ = new MonitorPreviewView(tool, this);
    page_ = new ChoiceGroup("ページ", PerPageEditor::page_items(), this);
    page_->setObjectName(QStringLiteral("page"));
    for (int v = 0; v < form.value_count; ++v) {
        const PerPageValue& value = form.values[static_cast<std::size_t>(v)];
        values_[static_cast<std::size_t>(v)] = new ChoiceGroup(value.caption, value.items, this);
        all_pages_[static_cast<std::size_t>(v)] = new ChoiceGroup(value.all_caption, value.items, this);
    }
    slave_ = make_slave_address_group(editor_.slave_address(), this);
    page_button_ = make_button(form.page_button, this);
    all_button_ = make_button("全設定", this);
    close_button_ = make_button("Close", this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(preview_, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    auto* sends = new QVBoxLayout;
    sends->addWidget(page_button_);
    sends->addWidget(all_button_);
    sends->addStretch();
    grid->addLayout(sends, 0, 1);
    auto* selectors = new QVBoxLayout;
    auto* first_row = new QHBoxLayout;
    selectors->addLayout(first_row);
    first_row->addWidget(page_);
    if (colours) {
        // Page and the two colours of the page; then slave address and the two all-pages colours.
        first_row->addWidget(values_[0]);
        first_row->addWidget(values_[1]);
        first_row->addStretch();
        auto* second_row = new QHBoxLayout;
        selectors->addLayout(second_row);
        second_row->addWidget(slave_);
        second_row->addWidget(all_pages_[0]);
        second_row->addWidget(all_pages_[1]);
        second_row->addStretch();
    } else {
        first_row->addWidget(values_[0]);
        first_row->addWidget(all_pages_[0]);
        first_row->addWidget(slave_);
        first_row->addStretch();
    }
    grid->addLayout(selectors, 1, 0);
    grid->addWidget(close_button_, 1, 1, Qt::AlignBottom);
    grid->addWidget(monitor_, 0, 2, 2, 1, Qt::AlignTop);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    setWindowTitle(qt_text(editor_.window_title(selected_address)));
    show_values();

    connect(page_->combo(), &QComboBox::activated, this, [this](int index) {
        editor_.select_page(index);
        draw_preview();
        show_values();
    });
    for (int v = 0; v < form.value_count; ++v) {
        connect(values_[static_cast<std::size_t>(v)]->combo(), &QComboBox::activated, this,
                [this, v](int index) {
                    editor_.select_value(v, index);
                    draw_preview();
                });
        connect(all_pages_[static_cast<std::size_t>(v)]->combo(), &QComboBox::activated, this,
                [this, v](int index) {
                    editor_.select_all_pages(v, index);
                    draw_preview();
                    show_values();
                });
    }
    connect(slave_->combo(), &QComboBox::activated, this,
            [this](int index) { editor_.select_slave_address(index); });
    connect(page_button_, &QPushButton::clicked, this, [this] { editor_.send_page(); });
    connect(all_button_, &QPushButton::clicked, this, [this] { editor_.send_all_pages(); });
    connect(close_button_, &QPushButton::clicked, this, &QDialog::accept);

    connect(&preview_timer_, &QTimer::timeout, this, &PerPageDialog::preview_tick);
    // The preview is never drawn while the window is drawn again: it becomes due, a little later.
    new ExposeWatcher(this, [this] { preview_timer_.start(editor_.preview().repainted()); });
    preview_timer_.start(editor_.open_editor());
}

void PerPageDialog::show_values() {
    page_->show_selection(editor_.page_selection());
    for (int v = 0; v < editor_.form().value_count; ++v) {
        values_[static_cast<std::size_t>(v)]->show_selection(editor_.value_selection(v));
        all_pages_[static_cast<std::size_t>(v)]->show_selection(editor_.all_pages_selection(v));
    }
}

void PerPageDialog::draw_preview() {
    preview_->draw(editor_.draw_preview());
    monitor_->redraw();
}

void PerPageDialog::preview_tick() {
    if (editor_.preview().tick()) draw_preview();
    preview_timer_.stop();
}

}  // namespace tvx
