#pragma once
// What the application's dialogs share: running a dialog modally (which
// tests can take over) and the message boxes they show.

#include "platform/core/ScopedOverride.h"
#include "platform/gui/Colors.h"

#include <QString>
#include <QStringList>

#include <functional>

class QComboBox;
class QDialog;
class QLineEdit;
class QWidget;

namespace dlg {

// Runs the dialog modally (QDialog::exec) and returns its result.
int RunModal(QDialog& dialog);

// While alive, RunModal hands the dialog to the runner instead of running an
// event loop; the runner's return value is the dialog's result. Runners nest;
// the innermost answers.
using ModalRunner = std::function<int(QDialog&)>;
struct ModalRunnerTag;
using ScopedModalRunner = plat::ScopedOverride<ModalRunner, ModalRunnerTag>;

// Replaces the items of a combo box by `items`, sorted ignoring letter case
// (as the combo boxes of the dialogs keep their items).
void SetSortedItems(QComboBox* combo, QStringList items);

// Boxes with an OK button (information, error) or Yes and No (confirmation),
// captioned with the program's title (plat::MsgBox; tests answer them with a
// plat::ScopedMsgBoxHandler).
void InformationBox(QWidget* parent, const QString& text);
void ErrorBox(QWidget* parent, const QString& text);
// True for Yes.
bool ConfirmationBox(QWidget* parent, const QString& text);

// Moves a window to the centre of the screen it is on.
void CenterOnScreen(QWidget& window);

// A password field: the typed characters show as "*".
QLineEdit* NewPasswordEdit(QWidget* parent);

// Applies a colour to the text of a widget in every colour group.
void SetTextColor(QWidget& widget, plat::TColor color);

} // namespace dlg
