#pragma once

#include <QDialog>
#include <filesystem>
#include <vector>

#include "model/settings_compare.h"

class QTableWidget;
class QLabel;
class QPushButton;

namespace tvx {

class Notices;

// Lists the differences between the settings in memory and a settings document: page or day, setting,
// the value in memory and the value in the document, with their count. Without differences it says so
// instead. The list can be copied or saved as text, one difference a line, the columns separated by tabs.
class CompareDialog : public QDialog {
    Q_OBJECT
  public:
    CompareDialog(const std::vector<SettingDifference>& differences, const QString& document_name,
                  QWidget* parent = nullptr);
    // The same list under another title, with other names for the two value columns.
    CompareDialog(const std::vector<SettingDifference>& differences, const QString& title,
                  const QString& first_values, const QString& second_values, QWidget* parent = nullptr);

    // Where a save that fails is told; without it the dialog shows the notice box itself.
    void set_notices(Notices& notices) { notices_ = &notices; }

    QTableWidget* table() const { return table_; }
    QLabel* empty_label() const { return empty_; }
    QLabel* count_label() const { return count_; }
    QPushButton* copy_button() const { return copy_; }
    QPushButton* save_button() const { return save_; }

    // The list as text: the column names, then one line per difference, every line ended by line_end.
    QString list_text(const QString& line_end = QStringLiteral("\n")) const;
    // Puts the list on the clipboard.
    void copy_list() const;
    // Writes the list (UTF-8, CR LF), replacing the file whole; false after a notice when it cannot.
    bool save_to(const std::filesystem::path& path);

  private:
    void ask_save();

    QTableWidget* table_ = nullptr;
    QLabel* empty_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* save_ = nullptr;
    Notices* notices_ = nullptr;
};

}  // namespace tvx
