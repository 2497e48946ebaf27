#include "ui/info_boxes.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/toolbar_icons.h"

namespace tvx {

InfoBox::InfoBox(QWidget* owner, const QString& title, const QStringList& lines, bool with_icon)
    : QDialog(owner), lines_(lines) {
    setWindowTitle(title);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* text = new QVBoxLayout;
    for (const QString& line : lines) text->addWidget(new QLabel(line, this));

    auto* body = new QHBoxLayout;
    if (with_icon) {
        auto* icon = new QLabel(this);
        icon->setPixmap(application_icon().pixmap(32, 32));
        icon->setAlignment(Qt::AlignTop);
        body->addWidget(icon);
    }
    body->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void show_about_box(QWidget* owner) {
    InfoBox box(owner, QStringLiteral("TVX230のﾊﾞｰｼﾞｮﾝ情報"),
                {QStringLiteral("TVX-230 Client/Server Program"),
                 QStringLiteral("Version %1").arg(QLatin1String(kToolVersion))},
                true);
    box.exec();
}

void show_glyph_info_box(QWidget* owner) {
    InfoBox box(
        owner, QStringLiteral("外字について"),
        {QStringLiteral("外字ファイルの拡張子は､"), QStringLiteral("大文字TLL  中文字TLM　小文字TLSです。"),
         QStringLiteral("マウス左ボタン ダブルクリックで編集画面"),
         QStringLiteral("マウス右ボタン ダブルクリックでBMPファイルを作成します。"),
         QStringLiteral("※外字操作は､自動切換え時に行わないでください。")},
        false);
    box.exec();
}

}  // namespace tvx
