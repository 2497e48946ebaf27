#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

#include "ui/setting_editor_widgets.h"

namespace tvx::testing {

// What a dialog shows, read as the operator reads it, and a choice made as the operator makes it.

inline QStringList items_of(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

inline QStringList items_of(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

inline QStringList group_titles(const QWidget* dialog) {
    QStringList titles;
    for (const QGroupBox* box : dialog->findChildren<QGroupBox*>()) titles << box->title();
    return titles;
}

inline QStringList button_texts(const QWidget* dialog) {
    QStringList texts;
    for (const QPushButton* button : dialog->findChildren<QPushButton*>()) texts << button->text();
    return texts;
}

// Picks an entry of a selector group, as a click in its list does.
inline void choose(ChoiceGroup* group, int index) {
    group->combo()->setCurrentIndex(index);
    emit group->combo()->activated(index);
}

// Picks an entry of a plain selector, as a click in its list does.
inline void choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

}  // namespace tvx::testing
