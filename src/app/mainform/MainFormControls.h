#pragma once

// Controls of the main window that carry a font with its colour and a
// background colour as stored values, so that what the settings put in comes
// back unchanged (system colours stay system colours): the input line here,
// the trees' view in TreeView.h.

#include "app/mainform/TreeView.h"
#include "platform/gui/Colors.h"
#include "platform/gui/Drawing.h"

#include <QTextEdit>

#include <functional>

class QKeyEvent;
class QMimeData;

// An editor of rich text: the input line.
class TRichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit TRichEdit(QWidget* parent = nullptr);

    const plat::ColoredFont& Font() const { return font_; }
    // Also the colour of what is typed next into an empty editor.
    void SetFont(const plat::ColoredFont& value);
    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value);

    // The colour the next typed characters get; the font colour when the
    // format at the caret has none of its own.
    plat::TColor TypingColor() const;
    void SetTypingColor(plat::TColor value);

    // Called for every key press before the editor acts on it; a handler that
    // sets Handled consumes the key.
    std::function<void(TRichEdit* Sender, QKeyEvent* Key, bool& Handled)> OnKeyDown;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Pasted and dropped text arrives as plain text, in the typing colour.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Each block keeps its shaped text between layouts.
    void KeepBlockLayouts();
    // Whether the key only types its characters at the caret.
    bool TypesText(const QKeyEvent& event) const;
    static bool IsModifierKey(int key);

    plat::ColoredFont font_;
    plat::TColor color_ = plat::clWindow;
};
