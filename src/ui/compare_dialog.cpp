#include "ui/compare_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStringDecoder>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tvx {
namespace {

QString shown(const std::string& text, bool shift_jis) {
    if (!shift_jis) return QString::fromStdString(text);
    QStringDecoder decode("windows-31j");
    return decode(QByteArray::fromStdString(text));
}

}  // namespace

CompareDialog::CompareDialog(const std::vector<SettingDifference>& differences, const QString& document_name,
                             QWidget* parent)
    : CompareDialog(differences, QStringLiteral("比較 - %1").arg(document_name), QStringLiteral("メモリの値"),
                    QStringLiteral("ファイルの値"), parent) {}

CompareDialog::CompareDialog(const std::vector<SettingDifference>& differences, const QString& title,
                             const QString& first_values, const QString& second_values, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);

    table_ = new QTableWidget(static_cast<int>(differences.size()), 4, this);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("ページ／日"), QStringLiteral("設定"), first_values, second_values});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int row = 0; row < static_cast<int>(differences.size()); ++row) {
        const SettingDifference& d = differences[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(d.where)));
        table_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(d.setting)));
        table_->setItem(row, 2, new QTableWidgetItem(shown(d.value_a, d.values_are_shift_jis)));
        table_->setItem(row, 3, new QTableWidgetItem(shown(d.value_b, d.values_are_shift_jis)));
    }
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->resizeColumnsToContents();
    layout->addWidget(table_);

    empty_ = new QLabel(QStringLiteral("差分はありません"), this);
    empty_->setAlignment(Qt::AlignCenter);
    layout->addWidget(empty_);
    table_->setVisible(!differences.empty());
    empty_->setVisible(differences.empty());

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(differences.empty() ? QSize(280, 120) : QSize(560, 360));
}

}  // namespace tvx
