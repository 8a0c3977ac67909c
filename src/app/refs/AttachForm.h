#pragma once
// "Attach Reference": the editor in which the user writes a text reference,
// opens it from and saves it to a reference file (".ref", rich text), and
// attaches it to the next outgoing message. A modeless window that frees
// itself when closed; closing never asks to save.

#include "app/common/Actions.h"
#include "platform/gui/Colors.h"

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QTextEdit>

#include <functional>

class QAction;
class QPainter;
class QPushButton;
class QTabWidget;
class QTextDocument;
class QWidget;
class TDkItemViewer;
class TDkxColorItem;
class TDkxColorPalette;
class TDkxCustomColorSet;
class TDkxCustomItem;
class TDkxCustomToolPalette;
class TDkxDock;
class TDkxPopupMenu;
class TDkxSubmenuItem;
class TDkxToolbar;

namespace plat {
class ImageList;
class TActionList;
struct TRect;
} // namespace plat

class TAttachForm : public QDialog, public TFormEditActions {
    Q_OBJECT
public:
    // The colour of the "Default" item: text in it carries no colour of its own.
    static constexpr plat::TColor kDefaultColor = plat::clWindowText;
    // Files larger than this are refused by Open.
    static constexpr qint64 kMaxFileSize = 8 * 1024 * 1024;

    // The "Font Color" palette offers the colours of the set (the main
    // window's); a set that goes is let go.
    explicit TAttachForm(TDkxCustomColorSet* colorSet, QWidget* parent = nullptr);

    // Fired by OK when the reference is not blank, before the window closes:
    // the reference as rich text (RTF) and its first line (its title).
    std::function<void(TAttachForm* sender, const QByteArray& richText, const QString& firstLine)>
        OnAttachReference;

    // Ask for the file to open and the file to save to; an empty result
    // means the user cancelled. They run RunOpenReferenceDialog and
    // RunSaveReferenceDialog unless replaced (tests).
    std::function<QString(QWidget* parent)> OpenDialog;
    std::function<QString(QWidget* parent)> SaveDialog;

    // Loads rich text into the editor (the reference already attached to the
    // next message). Counts as a change of the editor's text.
    void LoadReference(const QByteArray& richText);

    bool Modified() const { return modified_; }
    // The current file; empty when none.
    const QString& FileName() const { return fileName_; }
    // The colour the "Font Color" item shows; clNone before any was chosen.
    plat::TColor PaletteColor() const;
    // The editor the pop-up menu and the edit actions act on.
    QTextEdit* PopupComponent() const;

    // True when the editor's text may be replaced: nothing unsaved, the user
    // said No, or said Yes and the save succeeded.
    bool QuerySave();
    // Saves to the current file, or to the one the save dialog gives; False
    // when cancelled or when writing failed (then an error box was shown and
    // the file on disk is unchanged).
    bool SaveReference();

    void NewActionExecute();
    void OpenActionExecute();
    void SaveActionExecute();
    void OkButtonClick();
    void FormActivate();

    void RefEditEnter();
    void RefEditExit();
    // The palette colour follows the colour of the selection.
    void SyncColor();
    void ClrDefaultClick(QObject* Sender);
    // The palette selects no cell itself.
    void ColorPaletteCellClick(TDkxCustomToolPalette* Sender, int Col, int Row, bool& AllowChange);
    // Unless drawn disabled (bit 0 of the state flags), the bottom 4 rows of
    // the item's image, moved by the image offset, show the palette colour;
    // while there is none, a framed dither.
    void ColorItemDrawImage(TDkxCustomItem* Item, TDkItemViewer* Viewer, QPainter& Canvas,
                            const plat::TRect& ImageRect, QPoint ImageOffset, unsigned StateFlags);
    // Enables the edit actions for the editor and makes it the pop-up menu's.
    void UpdateActions(QTextEdit* editor);
    void InputPopupMenuPopup();

    QTabWidget* PageControl = nullptr;
    QTextEdit* RefEdit = nullptr;
    QTextEdit* ItemEdit = nullptr;
    QTextEdit* CharEdit = nullptr;
    // The dock of the tool bar, above the pages.
    TDkxDock* TopDock = nullptr;
    // New, Save, Open and the "Font Color" submenu; it cannot float.
    TDkxToolbar* DkxToolbar1 = nullptr;
    TDkxSubmenuItem* ColorItem = nullptr; // "Font Color"
    TDkxColorItem* ClrDefault = nullptr;
    TDkxColorPalette* ColorPalette = nullptr;
    // The form's actions: their shortcuts work while the form has the keys.
    plat::TActionList* ActionList1 = nullptr;
    plat::ImageList* MenuImages = nullptr;
    QAction* NewAction = nullptr;
    QAction* SaveAction = nullptr;
    QAction* OpenAction = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildToolbar(TDkxCustomColorSet* colorSet);
    void BuildActions();
    QTextEdit* AddPage(QTextEdit* editor, const QString& caption);
    void EditorReleased(QTextEdit* editor);
    // The page editor with the focus; null when none has it.
    QTextEdit* FocusedEditor() const;
    void SetSelectionColor(plat::TColor color);
    bool WriteFile(const QString& file);

    bool modified_ = false;
    QString fileName_;
    QString savedFile_; // the file the last successful save wrote
    bool firstActivation_ = true;
    bool placed_ = false;
};

// The first line of a document: its first paragraph up to a line break.
QString FirstLine(const QTextDocument& document);

// The dialogs of reference files ("ZELVO References (*.ref)"), run through
// dlg::RunModal; the chosen file, or empty on Cancel.
QString RunOpenReferenceDialog(QWidget* parent);
QString RunSaveReferenceDialog(QWidget* parent);
