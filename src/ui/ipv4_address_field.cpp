#include "ui/ipv4_address_field.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QStringList>
#include <QToolTip>
#include <utility>

namespace tvx {
namespace {

constexpr int kOctetDigits = 3;
constexpr int kLastOctet = 3;
constexpr int kFlashMs = 600;
const QString kOctetRefused = QStringLiteral("0から255までの数字を入力してください");

// 0 to 255 when the text is one to three digits, otherwise -1.
int octet_value(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && !text.isEmpty() && text.size() <= kOctetDigits && value <= 255 ? value : -1;
}

QString three_digits(int value) {
    return QStringLiteral("%1").arg(value, kOctetDigits, 10, QLatin1Char('0'));
}

bool is_digits(const QString& text) {
    if (text.isEmpty() || text.size() > kOctetDigits) return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    }
    return true;
}

}  // namespace

// One octet of the field: up to three digits, with the moves between octets an address box has.
class OctetEdit : public QLineEdit {
  public:
    OctetEdit(Ipv4AddressField* field, int index) : QLineEdit(field), field_(field), index_(index) {
        setObjectName(QStringLiteral("octet_%1").arg(index));
        setFrame(false);
        setAlignment(Qt::AlignCenter);
        setMaxLength(kOctetDigits);
        setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this));
        setAcceptDrops(false);
        // Digits only: an input method left on (for titles, say) must not turn them full-width.
        setAttribute(Qt::WA_InputMethodEnabled, false);
        setInputMethodHints(Qt::ImhDigitsOnly);
        setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 4);
    }

    // The field is going away: its octets may still lose the focus while Qt takes them down.
    void forget_field() { field_ = nullptr; }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Paste)) {
            field_->paste_text(index_, QApplication::clipboard()->text());
            return;
        }
        const QString typed = event->text();
        const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        // The dot an operator types after three digits belongs to the octet that moved on by itself.
        const bool moved_here = std::exchange(field_->moved_on_to_, -1) == index_;
        if (plain && typed == QStringLiteral(".")) {
            if (moved_here) return;
            // A dot with no digits before it, or after the last octet, starts no octet.
            if (text().isEmpty() || index_ == kLastOctet) {
                field_->refuse(index_);
            } else {
                field_->move_to(index_ + 1, true, false);
            }
            return;
        }
        const bool digit = plain && typed.size() == 1 && typed[0].isDigit() && typed[0].unicode() < 128;
        if (plain && !digit && !typed.isEmpty() && typed[0].isPrint()) {
            field_->refuse(index_);
            return;
        }
        if (event->key() == Qt::Key_Backspace && cursorPosition() == 0 && !hasSelectedText() && index_ > 0) {
            field_->move_to(index_ - 1, false, true);
            field_->octet(index_ - 1)->backspace();
            field_->octet_changed();
            return;
        }
        if (event->key() == Qt::Key_Left && cursorPosition() == 0 && !hasSelectedText() && index_ > 0) {
            field_->move_to(index_ - 1, false, true);
            return;
        }
        if (event->key() == Qt::Key_Right && cursorPosition() == text().size() && !hasSelectedText() &&
            index_ < kLastOctet) {
            field_->move_to(index_ + 1, false, false);
            return;
        }
        if (digit && !hasSelectedText() && text().size() >= kOctetDigits) {
            // A full octet: a digit typed after it starts the next one, and after the last there is no
            // room. Typed inside it, the digit starts the octet afresh: the operator is typing a new
            // value, and keeping the old digits would send an address nobody typed.
            if (cursorPosition() < text().size()) {
                selectAll();
            } else if (index_ < kLastOctet) {
                field_->move_to(index_ + 1, true, false);
                QCoreApplication::sendEvent(field_->octet(index_ + 1), event);
                return;
            } else {
                field_->refuse(index_);
                return;
            }
        }
        QLineEdit::keyPressEvent(event);
        if (digit && text().size() == kOctetDigits && cursorPosition() == kOctetDigits &&
            index_ < kLastOctet && octet_value(text()) >= 0) {
            field_->move_to(index_ + 1, true, false);
            field_->moved_on_to_ = index_ + 1;
        }
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        QLineEdit::mouseReleaseEvent(event);
        // A click selects the octet, as tabbing in does, so the digits typed next replace it; a drag
        // keeps the part it selected.
        if (event->button() == Qt::LeftButton && !hasSelectedText()) selectAll();
    }

    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        // Coming into the window (as a dialog opens) is like tabbing in: typing replaces the octet.
        if (event->reason() == Qt::ActiveWindowFocusReason) selectAll();
    }

    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        if (!field_) return;
        // Octets keep what was typed while the operator moves among them; leaving the field shows the
        // address with three digits each.
        const QWidget* next = QApplication::focusWidget();
        if (!next || !field_->isAncestorOf(next)) field_->pad_all();
    }

    void contextMenuEvent(QContextMenuEvent* event) override {
        QMenu* menu = createStandardContextMenu();
        // The menu's paste takes a whole address too.
        for (QAction* action : menu->actions()) {
            if (!action->text().startsWith(QLineEdit::tr("&Paste"))) continue;
            action->disconnect();
            connect(action, &QAction::triggered, this,
                    [this] { field_->paste_text(index_, QApplication::clipboard()->text()); });
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    }

  private:
    Ipv4AddressField* field_;
    int index_;
};

Ipv4AddressField::~Ipv4AddressField() {
    for (OctetEdit* edit : octets_) edit->forget_field();
}

Ipv4AddressField::Ipv4AddressField(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    for (int i = 0; i <= kLastOctet; ++i) {
        if (i > 0) layout->addWidget(new QLabel(QStringLiteral("."), this));
        auto* edit = new OctetEdit(this, i);
        // Tab goes through the field as one stop; the octets after the first are reached by typing.
        if (i > 0) edit->setFocusPolicy(Qt::ClickFocus);
        connect(edit, &QLineEdit::textEdited, this, &Ipv4AddressField::octet_changed);
        layout->addWidget(edit);
        octets_[static_cast<std::size_t>(i)] = edit;
    }
    setFocusProxy(octets_[0]);
    flash_timer_.setSingleShot(true);
    flash_timer_.setInterval(kFlashMs);
    connect(&flash_timer_, &QTimer::timeout, this, [this] {
        flashing_ = -1;
        show_marks();
    });
    set_address(HostAddress{});
}

QLineEdit* Ipv4AddressField::octet(int index) const {
    return octets_.at(static_cast<std::size_t>(index));
}

QString Ipv4AddressField::text() const {
    QStringList parts;
    for (const OctetEdit* edit : octets_) parts << edit->text();
    return parts.join(QLatin1Char('.'));
}

std::optional<HostAddress> Ipv4AddressField::address() const {
    HostAddress address{};
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        const int value = octet_value(octets_[i]->text());
        if (value < 0) return std::nullopt;
        address[i] = static_cast<std::uint8_t>(value);
    }
    return address;
}

void Ipv4AddressField::set_address(const HostAddress& address) {
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        const QSignalBlocker quiet(octets_[i]);
        octets_[i]->setText(three_digits(address[i]));
    }
    show_marks();
}

int Ipv4AddressField::invalid_octet() const {
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        if (octet_value(octets_[i]->text()) < 0) return static_cast<int>(i);
    }
    return -1;
}

void Ipv4AddressField::focus_invalid_octet() {
    const int index = invalid_octet();
    if (index >= 0) move_to(index, true, false);
}

bool Ipv4AddressField::paste_text(int index, const QString& text) {
    const QString pasted = text.trimmed();
    QStringList parts = pasted.split(QLatin1Char('.'));
    for (QString& part : parts) part = part.trimmed();
    OctetEdit* here = octets_.at(static_cast<std::size_t>(index));
    if (parts.size() == 1) {
        // Digits alone go in at the cursor, as typed, while the octet has room for them.
        QString result = here->text();
        const int from = here->hasSelectedText() ? here->selectionStart() : here->cursorPosition();
        result.remove(from, here->selectedText().size());
        result.insert(from, pasted);
        if (!is_digits(pasted) || result.size() > kOctetDigits) {
            refuse(index);
            return false;
        }
        here->insert(pasted);
        octet_changed();
        return true;
    }
    const int first = parts.size() == kLastOctet + 1 ? 0 : index;
    bool fits = first + parts.size() <= kLastOctet + 1;
    for (const QString& part : parts) fits = fits && is_digits(part);
    if (!fits) {
        refuse(index);
        return false;
    }
    for (int i = 0; i < parts.size(); ++i) octets_.at(static_cast<std::size_t>(first + i))->setText(parts[i]);
    move_to(first + static_cast<int>(parts.size()) - 1, false, true);
    octet_changed();
    return true;
}

void Ipv4AddressField::move_to(int index, bool select_all, bool at_end) {
    OctetEdit* target = octets_.at(static_cast<std::size_t>(index));
    target->setFocus(Qt::OtherFocusReason);
    if (select_all) {
        target->selectAll();
    } else if (at_end) {
        target->end(false);
    } else {
        target->home(false);
    }
}

void Ipv4AddressField::pad_all() {
    for (OctetEdit* edit : octets_) {
        const int value = octet_value(edit->text());
        if (value < 0 || edit->text().size() == kOctetDigits) continue;
        const QSignalBlocker quiet(edit);
        edit->setText(three_digits(value));
    }
}

void Ipv4AddressField::octet_changed() {
    show_marks();
    emit address_edited();
}

void Ipv4AddressField::refuse(int index) {
    QApplication::beep();
    flashing_ = index;
    show_marks();
    flash_timer_.start();
    QLineEdit* edit = octet(index);
    QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), kOctetRefused, edit);
    emit input_refused(index);
}

void Ipv4AddressField::show_marks() {
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        OctetEdit* edit = octets_[i];
        // Above 255 is marked where it stands; the operator sees what will be refused. A refused key
        // flashes its octet the same way for a moment.
        const bool refused = !edit->text().isEmpty() && octet_value(edit->text()) < 0;
        QPalette palette = this->palette();
        if (refused || flashing_ == static_cast<int>(i)) {
            palette.setColor(QPalette::Base, QColor(0xFF, 0xC8, 0xC8));
            palette.setColor(QPalette::Text, QColor(0xB0, 0x00, 0x00));
            palette.setColor(QPalette::Highlight, QColor(0xC0, 0x10, 0x10));
            palette.setColor(QPalette::HighlightedText, Qt::white);
        }
        edit->setPalette(palette);
        edit->setToolTip(refused ? kOctetRefused : QString());
    }
}

}  // namespace tvx
