#pragma once
// The controls of an options page bound to the settings table: each page
// keeps one list of bindings, read in order both when it loads and when it
// saves, so that a new option is its settings row and its control.

#include "app/settings/Settings.h"

#include <QString>

#include <functional>

class QCheckBox;
class QLineEdit;
class QListWidgetItem;
class QSpinBox;
class QWidget;

// One value of the settings table as a page shows it.
struct TOptionBinding {
    QString Setting; // the value's name in the settings table (SettingName)
    QString Caption; // what the page shows for it: the control's text or its label's
    std::function<void(const TMainSettings&)> Load;
    // Empty for a value the page shows and never changes.
    std::function<void(TMainSettings&)> Save;
};

TOptionBinding Bind(QCheckBox* box, bool TMainSettings::*value);
TOptionBinding Bind(QListWidgetItem* item, bool TMainSettings::*value);
TOptionBinding Bind(QSpinBox* spin, int32_t TMainSettings::*value);
TOptionBinding Bind(QLineEdit* edit, QString TMainSettings::*value);

// The text of the first label whose buddy the control is; empty for none.
QString CaptionOf(const QWidget* control);
