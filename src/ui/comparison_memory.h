#pragma once

#include <QObject>
#include <QString>
#include <set>
#include <vector>

#include "model/settings_compare.h"

class QWidget;

namespace tvx {

// The differences of the last comparison window shown (memory against a document, or what was sent
// against what the unit holds), kept so that the page overview can mark the pages that differ. One lives
// as a child of the main window; a comparison window finds it through its owner.
class ComparisonMemory : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The memory of the window that owns widget, or none.
    static ComparisonMemory* of(QWidget* widget);

    void remember(const std::vector<SettingDifference>& differences, const QString& title);

    // The pages (0..63) with a setting that differed, and what each differed in ("文字サイズ", ...).
    const std::set<int>& pages() const { return pages_; }
    QString settings_of(int page) const;
    const QString& title() const { return title_; }
    bool compared() const { return compared_; }

  private:
    std::vector<SettingDifference> differences_;
    std::set<int> pages_;
    QString title_;
    bool compared_ = false;
};

// The page (0..63) a difference's place names ("P05"), or -1 for a day or a unit-wide setting.
int difference_page(const SettingDifference& difference);

}  // namespace tvx
