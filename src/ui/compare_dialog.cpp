#include "ui/compare_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "config/notices.h"
#include "config/safe_file.h"
#include "link/code_page_932.h"
#include "ui/comparison_memory.h"
#include "ui/file_dialog_layout.h"

namespace tvx {
namespace {

constexpr char kCannotSave[] = "ファイルを保存できません";

// A cell of the text list: a tab or a line break inside a title would split its line.
QString cell_text(QString text) {
    for (QChar& c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    }
    return text;
}

QString shown(const std::string& text, bool shift_jis) {
    if (!shift_jis) return QString::fromStdString(text);
    return decode_code_page_932(QByteArrayView(text.data(), static_cast<qsizetype>(text.size()))).text;
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
    // The page overview marks the pages this comparison found different.
    if (ComparisonMemory* memory = ComparisonMemory::of(parent)) memory->remember(differences, title);
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
    count_ = new QLabel(QStringLiteral("差分 %1 件").arg(differences.size()), this);
    count_->setObjectName(QStringLiteral("difference_count"));
    layout->addWidget(count_);
    layout->addWidget(table_);

    empty_ = new QLabel(QStringLiteral("差分はありません"), this);
    empty_->setAlignment(Qt::AlignCenter);
    layout->addWidget(empty_);
    table_->setVisible(!differences.empty());
    count_->setVisible(!differences.empty());
    empty_->setVisible(differences.empty());

    auto* buttons = new QDialogButtonBox(this);
    copy_ = buttons->addButton(QStringLiteral("コピー"), QDialogButtonBox::ActionRole);
    save_ = buttons->addButton(QStringLiteral("保存..."), QDialogButtonBox::ActionRole);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    // Enter closes the list; copying and saving are asked for by name.
    for (QPushButton* button : {copy_, save_}) {
        button->setAutoDefault(false);
        button->setEnabled(!differences.empty());
    }
    ok->setDefault(true);
    connect(copy_, &QPushButton::clicked, this, &CompareDialog::copy_list);
    connect(save_, &QPushButton::clicked, this, &CompareDialog::ask_save);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(differences.empty() ? QSize(320, 120) : QSize(560, 360));
}

QString CompareDialog::list_text(const QString& line_end) const {
    QString text;
    const int columns = table_->columnCount();
    const auto line = [&](auto cell) {
        for (int column = 0; column < columns; ++column) {
            if (column > 0) text += QLatin1Char('\t');
            text += cell_text(cell(column));
        }
        text += line_end;
    };
    line([this](int column) { return table_->horizontalHeaderItem(column)->text(); });
    for (int row = 0; row < table_->rowCount(); ++row) {
        line([this, row](int column) {
            const QTableWidgetItem* item = table_->item(row, column);
            return item ? item->text() : QString();
        });
    }
    return text;
}

void CompareDialog::copy_list() const {
    QGuiApplication::clipboard()->setText(list_text());
}

bool CompareDialog::save_to(const std::filesystem::path& path) {
    const QByteArray bytes = list_text(QStringLiteral("\r\n")).toUtf8();
    if (write_file_replacing(path,
                             std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        return true;
    }
    if (notices_) {
        notices_->notify_warning(kCannotSave);
    } else {
        QApplication::beep();
        QMessageBox::warning(this, QStringLiteral("Error"), QString::fromUtf8(kCannotSave));
    }
    return false;
}

void CompareDialog::ask_save() {
    QFileDialog dialog(this, QStringLiteral("比較結果の保存"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setNameFilters(
        {QStringLiteral("テキスト ファイル (*.txt)"), QStringLiteral("すべてのファイル (*)")});
    widen_file_dialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().front();
    if (!path.isEmpty()) save_to(std::filesystem::path(path.toStdU16String()));
}

}  // namespace tvx
