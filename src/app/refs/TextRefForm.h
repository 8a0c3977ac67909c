#pragma once
// "Reference Information": the read-only viewer of a received text
// reference. A modeless window that frees itself when closed. The text is
// always shown as plain text: nothing in it is read as markup, links or
// pictures.

#include "app/common/Actions.h"

#include <QDialog>
#include <QString>

class QAction;
class QPushButton;
class QTextEdit;
class TDkxPopupMenu;
class TTextBlob;

namespace plat {
class ImageList;
class TActionList;
} // namespace plat

class TTextRefForm : public QDialog, public TFormEditActions {
    Q_OBJECT
public:
    explicit TTextRefForm(QWidget* parent = nullptr);

    // The text of a received text attachment as the viewer is given it:
    // decoded from Windows-1252, every tab replaced by one blank.
    static QString ReferenceText(const TTextBlob& blob);

    // Shows the reference in place of what the viewer held. Colour codes are
    // removed. A text with a colon is shown line by line without its
    // trailing blank lines, each line's text up to and including its first
    // colon in bold; a text without one is shown as it is.
    void ShowReference(const QString& text);

    // Copy and Select All follow the viewer's selection and text.
    void InputPopupMenuPopup();

    QTextEdit* RefMemo = nullptr;
    QPushButton* Button1 = nullptr;
    // The form's actions: their shortcuts work while the form has the keys.
    plat::TActionList* ActionList1 = nullptr;
    plat::ImageList* MenuImages = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool placed_ = false;
};
