#include "ui/full_send_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "editors/full_send_controller.h"
#include "protocol/full_send_sequence.h"
#include "protocol/full_send_verification.h"
#include "ui/compare_dialog.h"

namespace tvx {
namespace {

// Keeps a widget enabled exactly while the watched one is.
class FollowEnabled : public QObject {
  public:
    explicit FollowEnabled(QWidget* follower) : QObject(follower), follower_(follower) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) {
            if (auto* widget = qobject_cast<QWidget*>(watched)) follower_->setEnabled(widget->isEnabled());
        }
        return false;
    }

  private:
    QWidget* follower_;
};

// "送信後に照合": off, the dialog sends as ever; on, the unit is read back after the send into a model of
// its own and the comparison window follows a completed run. The choice is fixed while a run goes.
void add_verify_choice(UnitSequenceDialog& dialog, ToolState& tool, CommandLink& link, Notices& notices) {
    auto* verify = new QCheckBox(QStringLiteral("送信後に照合"), &dialog);
    verify->setObjectName(QStringLiteral("verify_after_send"));
    verify->setChecked(false);
    if (auto* layout = qobject_cast<QVBoxLayout*>(dialog.layout())) layout->insertWidget(1, verify);

    auto current = std::make_shared<FullSendAndReadBack*>(nullptr);
    QObject::connect(
        verify, &QCheckBox::toggled, &dialog, [&dialog, &tool, &link, &notices, verify, current](bool on) {
            UnitSequenceController& controller = dialog.controller();
            if (controller.running()) {
                const QSignalBlocker keep(verify);
                verify->setChecked(!on);
                return;
            }
            if (on) {
                auto sequence = std::make_unique<FullSendAndReadBack>(tool, link, notices);
                *current = sequence.get();
                controller.replace_sequence(std::move(sequence), FullSendAndReadBack::kProgressRange);
            } else {
                *current = nullptr;
                controller.replace_sequence(std::make_unique<FullSendSequence>(tool, link, notices),
                                            kFullSendProgressRange);
            }
            dialog.progress_bar()->setRange(0, controller.definition().progress_range);
            dialog.progress_bar()->setValue(0);
        });
    // Close is disabled while a run goes; so is the choice.
    dialog.close_button()->installEventFilter(new FollowEnabled(verify));

    QObject::connect(&dialog, &QDialog::accepted, &dialog, [&dialog, current] {
        const FullSendAndReadBack* sequence = *current;
        if (!sequence || !sequence->verified()) return;
        // Shown once the sequence dialog has closed, so that one modal window is open at a time.
        QWidget* owner = dialog.parentWidget();
        const std::vector<SettingDifference> differences = sequence->differences();
        const QString title = dialog.windowTitle() + QStringLiteral(" - 照合");
        QTimer::singleShot(0, owner ? static_cast<QObject*>(owner) : qApp, [differences, title, owner] {
            CompareDialog box(differences, title, QStringLiteral("送信した値"), QStringLiteral("本機の値"),
                              owner);
            box.exec();
        });
    });
}

}  // namespace

UnitSequenceDialog* make_full_send_dialog(ToolState& tool, CommandLink& link, Notices& notices,
                                          const std::string& selected_address, QWidget* owner) {
    auto* dialog =
        new UnitSequenceDialog(make_full_send_controller(tool, link, notices), notices, selected_address, owner);
    add_verify_choice(*dialog, tool, link, notices);
    return dialog;
}

}  // namespace tvx
