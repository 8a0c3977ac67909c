#pragma once
// The link between an item and its action. The application's actions are
// QActions; an item takes its values from the action when the action is set
// and follows every later change of the action (QAction::changed, and the
// action's dynamic properties below) until the item's own value differs from
// what the action held: an item whose caption was set apart keeps it.
//
// How an item's values map onto a QAction:
//   Caption     text()            Checked   isChecked()
//   Enabled     isEnabled()       Visible   isVisible()
//   ShortCut    shortcut()        AutoCheck isCheckable()
//   Hint        statusTip() ("short|long")
//   ImageIndex  the "ImageIndex" property (absent: -1)
//   HelpContext the "HelpContext" property (absent: 0)
//   OnClick     the action's trigger()

#include "platform/gui/ShortCut.h"

#include <QAction>
#include <QObject>
#include <QPointer>
#include <QString>

class TDkCustomItem;

namespace dk {

extern const char* const kActionImageIndexProperty;  // "ImageIndex"
extern const char* const kActionHelpContextProperty; // "HelpContext"

int ActionImageIndex(const QAction& action);
void SetActionImageIndex(QAction& action, int index);
int ActionHelpContext(const QAction& action);
void SetActionHelpContext(QAction& action, int context);

// Who brings an action up to date before its item is used (the application
// installs it; the default does nothing).
using ActionUpdateHandler = void (*)(QAction& action);
ActionUpdateHandler SetActionUpdateHandler(ActionUpdateHandler handler);
ActionUpdateHandler CurrentActionUpdateHandler();

} // namespace dk

class TDkCustomItemActionLink final : public QObject {
    Q_OBJECT
public:
    explicit TDkCustomItemActionLink(TDkCustomItem* client);
    ~TDkCustomItemActionLink() override;

    QAction* Action() const { return action_; }
    void SetAction(QAction* action);

    // The action's values as the link last saw them.
    struct Values {
        bool AutoCheck = false;
        QString Caption;
        bool Checked = false;
        bool Enabled = true;
        int HelpContext = 0;
        QString Hint;
        int ImageIndex = -1;
        plat::TShortCut ShortCut = 0;
        bool Visible = true;
    };
    static Values Read(const QAction& action);
    const Values& Seen() const { return seen_; }

    // Whether the item's property still follows the action: equal to the
    // action's value.
    bool IsAutoCheckLinked() const;
    bool IsCaptionLinked() const;
    bool IsCheckedLinked() const;
    bool IsEnabledLinked() const;
    bool IsHelpContextLinked() const;
    bool IsHintLinked() const;
    bool IsImageIndexLinked() const;
    bool IsShortCutLinked() const;
    bool IsVisibleLinked() const;
    bool IsOnExecuteLinked() const;

    // Runs the action (its trigger).
    void Execute();
    // Asks the application to bring the action up to date.
    void Update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ActionChanged();

    TDkCustomItem* client_;
    QPointer<QAction> action_;
    Values seen_;
};
