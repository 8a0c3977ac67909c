#pragma once

// The window of the away log: the characters who wrote while the user was
// away, each with the number of messages and the time of the last one, and
// the messages of the selected character. Looking at a character's messages
// marks that character as read. Modeless, on top of the other windows.

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;
class TAwayList;
class TDkxDock;
class TDkxStatusBar;
class TDkxToolbar;
class TQvSplitter;
class TStateSaver;

namespace plat {
class ImageList;
class Registry;
class TActionList;
} // namespace plat

class TAwayMessagesForm : public QMainWindow {
    Q_OBJECT
public:
    // A row keeps the index of its image under this role; its icon is that
    // image of the list given at creation.
    static constexpr int ImageIndexRole = Qt::UserRole + 1;
    static constexpr int UnreadImage = 27;
    static constexpr int ReadImage = 28;
    // The images of Clear Messages and Refresh Messages.
    static constexpr int ClearImage = 14;
    static constexpr int RefreshImage = 26;

    // Shows the characters of the log, with row icons and the actions'
    // images from images (the main window's menu images; none when null). The window's placement is
    // read from the registry now and written back when the window closes (nothing when registry is
    // null). The log and images must outlive the window or go with it.
    TAwayMessagesForm(TAwayList* awayList, plat::ImageList* images,
                      std::shared_ptr<plat::Registry> registry, QWidget* parent = nullptr);

    // Columns "Character", "Messages" and "Last Message", sorted by caption.
    QTreeWidget* CharacterListview = nullptr;
    QTextEdit* MessagesEdit = nullptr;
    // "&File" (Close) and "&Actions" (Clear Messages, Refresh Messages).
    TDkxToolbar* MenuBar = nullptr;
    // Between the list (upper pane) and the message pane (lower pane); the
    // panes follow the bar while it is dragged, and the list keeps its height
    // when the window is resized.
    TQvSplitter* Splitter = nullptr;
    // "File Bar": Clear Messages with its caption, Refresh Messages.
    TDkxToolbar* FileBar = nullptr;
    // The bars start in the top dock; the others let them move.
    TDkxDock* TopDock = nullptr;
    TDkxDock* BottomDock = nullptr;
    TDkxDock* LeftDock = nullptr;
    TDkxDock* RightDock = nullptr;
    // Two panels: 150 wide and the rest.
    TDkxStatusBar* StatusBar = nullptr;
    plat::TActionList* ActionList1 = nullptr;
    QAction* ClearAction = nullptr;
    QAction* RefreshAction = nullptr;
    QAction* CloseAction = nullptr;
    // The placement under "Software\ZELVO\MessagesForm", section "Position";
    // null without a registry.
    TStateSaver* StateSaver = nullptr;

    // Rebuilds the rows from the log, keeping the selected character
    // selected (else the first row), and shows the selected character's
    // messages afresh.
    void RefreshMessages();
    // Shows the selected character's messages, oldest first, and marks the
    // character read; nothing when that character is already shown.
    void ShowCharacter();
    // Empties the log, then refreshes.
    void ClearActionExecute();
    void RefreshActionExecute();
    void CloseActionExecute();

    // After the log was emptied.
    std::function<void(TAwayMessagesForm* Sender)> OnClear;

private:
    void CreateActions();
    QTreeWidgetItem* SelectedRow() const;
    void SetRowImage(QTreeWidgetItem* row, int image) const;

    QPointer<TAwayList> awayList_;
    QPointer<plat::ImageList> images_;
    // The upper-cased name of the character shown last.
    QString shownName_;
};
