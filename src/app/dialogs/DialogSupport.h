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

// Runs the dialog modally (plat::ExecModal: its owner has the keyboard focus
// back when it closes) and returns its result.
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

// Moves a top-level window to the centre of the work area of the monitor its
// owner (its parent's window) stands on, or of the primary monitor when it
// has none; a window larger than that area keeps its top-left corner in it.
void CenterOnScreen(QWidget& window);
// The same when the window is first shown, once its size is known and before
// the window system places it.
void CenterWhenShown(QWidget& window);

// The border of a dialog: a title bar with the system menu and the close
// button (and the help button when asked), never a minimise or maximise
// button, and a size that its layout fixes.
void SetDialogBorder(QDialog& dialog, bool helpButton);

// A password field: the typed characters show as "*".
QLineEdit* NewPasswordEdit(QWidget* parent);

// Applies a colour to the text of a widget in every colour group.
void SetTextColor(QWidget& widget, plat::TColor color);
// The same while the widget is enabled; disabled, it keeps the greyed text
// of the palette, as the platform's controls do.
void SetEnabledTextColor(QWidget& widget, plat::TColor color);

} // namespace dlg
