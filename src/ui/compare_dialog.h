#pragma once

#include <QDialog>
#include <vector>

#include "model/settings_compare.h"

class QTableWidget;
class QLabel;

namespace tvx {

// Lists the differences between the settings in memory and a settings document: page or day, setting,
// the value in memory and the value in the document. Without differences it says so instead.
class CompareDialog : public QDialog {
    Q_OBJECT
  public:
    CompareDialog(const std::vector<SettingDifference>& differences, const QString& document_name,
                  QWidget* parent = nullptr);
    // The same list under another title, with other names for the two value columns.
    CompareDialog(const std::vector<SettingDifference>& differences, const QString& title,
                  const QString& first_values, const QString& second_values, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    QLabel* empty_label() const { return empty_; }

  private:
    QTableWidget* table_ = nullptr;
    QLabel* empty_ = nullptr;
};

}  // namespace tvx
