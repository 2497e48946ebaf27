#include "ui/comparison_memory.h"

#include <QWidget>

#include "model/settings_model.h"

namespace tvx {

int difference_page(const SettingDifference& d) {
    const std::string& w = d.where;
    if (w.size() != 3 || w[0] != 'P' || w[1] < '0' || w[1] > '9' || w[2] < '0' || w[2] > '9') return -1;
    const int page = (w[1] - '0') * 10 + (w[2] - '0') - 1;
    return page >= 0 && page < kPageCount ? page : -1;
}

ComparisonMemory* ComparisonMemory::of(QWidget* widget) {
    if (!widget) return nullptr;
    return widget->window()->findChild<ComparisonMemory*>(QString(), Qt::FindDirectChildrenOnly);
}

void ComparisonMemory::remember(const std::vector<SettingDifference>& differences, const QString& title) {
    differences_ = differences;
    title_ = title;
    compared_ = true;
    pages_.clear();
    for (const SettingDifference& d : differences_) {
        if (const int page = difference_page(d); page >= 0) pages_.insert(page);
    }
}

QString ComparisonMemory::settings_of(int page) const {
    QStringList settings;
    for (const SettingDifference& d : differences_) {
        if (difference_page(d) == page) settings << QString::fromStdString(d.setting);
    }
    return settings.join(QStringLiteral("、"));
}

}  // namespace tvx
