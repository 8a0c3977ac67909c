#pragma once
// The target of the input line: a public group, a private group or a
// character, shown as "{name}:" by the target label left of the line. The
// label hides with the chat controls while the target stays, and shows again
// when they come back.

#include <QString>

class QLabel;
class QWidget;

// What the input line sends to.
enum TTargetKind { tkPublicGroup = 0, tkPrivateGroup = 1, tkCharacter = 2, tkNone = 3 };

class TChatTarget {
public:
    // The label lies on the panel; the panel shows only with a text.
    TChatTarget(QWidget& panel, QLabel& label);

    TTargetKind Kind() const { return kind_; }
    const QString& Name() const { return name_; }

    // Sets the target and shows its label.
    void Set(TTargetKind kind, const QString& name);
    // No target any more when it is this private group (named ignoring case).
    void DropPrivateGroup(const QString& group);

    // The label as such; an empty text hides the panel.
    void SetLabel(const QString& text);
    // The chat controls go and come back: the label with them.
    void HideLabel() { SetLabel(QString()); }
    void ShowLabel();

private:
    QWidget& panel_;
    QLabel& label_;
    TTargetKind kind_ = tkNone;
    QString name_;
};
