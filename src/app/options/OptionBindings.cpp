#include "app/options/OptionBindings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>

TOptionBinding Bind(QCheckBox* box, bool TMainSettings::*value) {
    return {SettingName(value), box->text(),
            [box, value](const TMainSettings& s) { box->setChecked(s.*value); },
            [box, value](TMainSettings& s) { s.*value = box->isChecked(); }};
}

TOptionBinding Bind(QListWidgetItem* item, bool TMainSettings::*value) {
    return {SettingName(value), item->text(),
            [item, value](const TMainSettings& s) {
                item->setCheckState(s.*value ? Qt::Checked : Qt::Unchecked);
            },
            [item, value](TMainSettings& s) { s.*value = item->checkState() == Qt::Checked; }};
}

// A value beyond the spin's range comes back within it.
TOptionBinding Bind(QSpinBox* spin, int32_t TMainSettings::*value) {
    return {SettingName(value), CaptionOf(spin),
            [spin, value](const TMainSettings& s) { spin->setValue(s.*value); },
            [spin, value](TMainSettings& s) { s.*value = spin->value(); }};
}

TOptionBinding Bind(QLineEdit* edit, QString TMainSettings::*value) {
    return {SettingName(value), CaptionOf(edit),
            [edit, value](const TMainSettings& s) { edit->setText(s.*value); },
            [edit, value](TMainSettings& s) { s.*value = edit->text(); }};
}

QString CaptionOf(const QWidget* control) {
    const QWidget* page = control->parentWidget();
    if (page == nullptr) {
        return {};
    }
    for (const QLabel* label : page->findChildren<QLabel*>()) {
        if (label->buddy() == control) {
            return label->text();
        }
    }
    return {};
}
