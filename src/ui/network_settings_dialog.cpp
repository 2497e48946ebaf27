#include "ui/network_settings_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/ipv4_address_field.h"
#include "ui/setting_editor_widgets.h"

namespace tvx {
namespace {

HostAddress host_address(const IPv4Octets& octets) {
    HostAddress address{};
    for (std::size_t i = 0; i < address.size(); ++i) address[i] = static_cast<std::uint8_t>(octets[i] & 0xFF);
    return address;
}

QGroupBox* box(const QString& caption, QWidget* content, QWidget* button, QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(content);
    if (button) layout->addWidget(button);
    layout->addStretch();
    return group;
}

}  // namespace

NetworkSettingsDialog::NetworkSettingsDialog(ToolState& tool, CommandLink& link, Notices& notices,
                                             const std::string& selected_address, QWidget* owner)
    : QDialog(owner), editor_(tool, link, notices) {
    setModal(true);
    setWindowTitle(qt_text(editor_.window_title(selected_address)));

    auto* grid = new QGridLayout(this);
    int row = 0;
    for (AddressCommand address : {AddressCommand::EIA, AddressCommand::EGA, AddressCommand::EAA}) {
        auto* field = new Ipv4AddressField(this);
        auto* button = make_button("設定", this);
        connect(button, &QPushButton::clicked, this, [this, address, field] {
            // What the field holds is what is sent; an octet it cannot take is refused and shown.
            if (editor_.send_address(address, field->text().toStdString())) {
                field->set_address(host_address(editor_.address(address)));
            } else {
                field->focus_invalid_octet();
            }
        });
        grid->addWidget(box(qt_text(NetworkSettingsEditor::caption(address)), field, button, this), row++, 0);
        addresses_[static_cast<std::size_t>(address)] = field;
        address_buttons_[static_cast<std::size_t>(address)] = button;
    }
    mac_ = new QLineEdit(this);
    mac_->setReadOnly(true);
    mac_->setMinimumWidth(mac_->fontMetrics().horizontalAdvance(QStringLiteral("00-00-00-00-00-00")) + 16);
    grid->addWidget(box(QStringLiteral("MAC Address"), mac_, nullptr, this), row++, 0);

    row = 0;
    for (Choice choice :
         {Choice::kSubnetMask, Choice::kConnectionTry, Choice::kKeepAlive, Choice::kTimeRegister}) {
        auto* group = new ChoiceGroup(NetworkSettingsEditor::caption(choice),
                                      NetworkSettingsEditor::items(choice), this, "設定");
        connect(group->combo(), &QComboBox::activated, this,
                [this, choice](int index) { editor_.select(choice, index); });
        connect(group->button(), &QPushButton::clicked, this, [this, choice] { editor_.send(choice); });
        groups_[static_cast<std::size_t>(choice)] = group;
    }
    port_ = new QLineEdit(this);
    port_->setMaxLength(static_cast<int>(NetworkSettingsEditor::kPortLength));
    port_->setFixedWidth(port_->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    port_button_ = make_button("設定", this);
    connect(port_, &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.set_port_text(to_shift_jis(text)); });
    connect(port_button_, &QPushButton::clicked, this, [this] { editor_.send_port(); });
    version_ = new QLineEdit(this);
    version_->setReadOnly(true);
    version_->setFixedWidth(version_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);

    grid->addWidget(groups_[static_cast<std::size_t>(Choice::kSubnetMask)], 0, 1);
    grid->addWidget(box(QStringLiteral("Port Number"), port_, port_button_, this), 1, 1);
    grid->addWidget(groups_[static_cast<std::size_t>(Choice::kConnectionTry)], 2, 1);
    grid->addWidget(groups_[static_cast<std::size_t>(Choice::kKeepAlive)], 3, 1);
    grid->addWidget(groups_[static_cast<std::size_t>(Choice::kTimeRegister)], 4, 1);
    grid->addWidget(box(QStringLiteral("Version Number"), version_, nullptr, this), 4, 0);

    read_ = make_button("読み込み", this);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, kNetworkReadSteps);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    close_ = make_button("Close", this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(read_);
    bottom->addWidget(progress_, 1);
    bottom->addWidget(close_);
    grid->addLayout(bottom, 5, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(read_, &QPushButton::clicked, this, [this, &tool] {
        if (!editor_.start_read()) return;
        close_->setEnabled(false);
        progress_->setValue(0);
        show_pace(progress_, tool);
        timer_.start(pace_tick_ms(tool, kNetworkReadTickMs));
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    connect(&timer_, &QTimer::timeout, this, &NetworkSettingsDialog::timer_tick);
    show_model();
}

NetworkSettingsDialog::~NetworkSettingsDialog() {
    timer_.stop();
    editor_.close_editor();
}

void NetworkSettingsDialog::show_model() {
    for (AddressCommand address : {AddressCommand::EIA, AddressCommand::EGA, AddressCommand::EAA}) {
        addresses_[static_cast<std::size_t>(address)]->set_address(host_address(editor_.address(address)));
    }
    for (Choice choice :
         {Choice::kSubnetMask, Choice::kConnectionTry, Choice::kKeepAlive, Choice::kTimeRegister}) {
        groups_[static_cast<std::size_t>(choice)]->show_selection(editor_.selection(choice));
    }
    port_->setText(from_shift_jis(editor_.port_text()));
    mac_->setText(from_shift_jis(editor_.mac_text()));
    version_->setText(from_shift_jis(editor_.version_text()));
}

void NetworkSettingsDialog::timer_tick() {
    // A notice box opened during a tick runs its own event loop: the ticks it lets through wait.
    if (in_tick_) return;
    in_tick_ = true;
    const NetworkSettingsEditor::Tick tick = editor_.tick();
    in_tick_ = false;
    switch (tick) {
        case NetworkSettingsEditor::Tick::kSent:
            progress_->setValue(editor_.progress());
            close_->setEnabled(editor_.close_enabled());
            return;
        case NetworkSettingsEditor::Tick::kCompleted:
            timer_.stop();
            progress_->setValue(0);
            close_->setEnabled(true);
            show_model();
            return;
        case NetworkSettingsEditor::Tick::kStopped:
        case NetworkSettingsEditor::Tick::kIdle:
            timer_.stop();
            close_->setEnabled(true);
            return;
        case NetworkSettingsEditor::Tick::kWaiting:
            return;
    }
}

void NetworkSettingsDialog::reject() {
    // Esc and the close box are Close: while Close is disabled by the read they do nothing.
    if (!close_->isEnabled()) return;
    QDialog::reject();
}

void NetworkSettingsDialog::done(int result) {
    timer_.stop();
    editor_.close_editor();
    QDialog::done(result);
}

}  // namespace tvx
