#pragma once

// The main window: owns the chat engine, the console, the input line, the
// friends and groups panel, the bars and timers, the settings, and the state
// other parts share: away mode, reconnection, the trees and the target of the
// input line. It starts the login on its first activation, writes every chat
// line into the console, and saves the settings when it is destroyed.

#include "app/away/AwayMode.h"
#include "app/common/Actions.h"
#include "app/format/MessageFormat.h"
#include "app/log/ChatLog.h"
#include "app/mainform/ChatTarget.h"
#include "app/mainform/FriendsGroupsTrees.h"
#include "app/mainform/Reconnector.h"
#include "app/settings/Settings.h"
#include "controls/QvPanel/QvPanel.h"
#include "controls/QvSplitter/QvSplitter.h"
#include "engine/BlobList.h"
#include "engine/BufferList.h"
#include "engine/VLChat.h"
#include "platform/core/Guarded.h"
#include "platform/gui/ActionList.h"
#include "platform/gui/BusyCursor.h"
#include "platform/gui/Colors.h"

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QAction;
class QKeyEvent;
class QLabel;
class QListWidget;
class QPainter;
class QRect;
class QTimer;
class TAwayList;
class TQvConsole;
class TQvCustomConsole;
class TRichEdit;
class TStateSaver;
class TTextBlob;
class TTreeNode;
class TTreeView;
class TDkCustomDockableWindow;
class TDkDock;
class TDkItemViewer;
class TDkxColorItem;
class TDkxColorPalette;
class TDkxColorSet;
class TDkxCustomColorSet;
class TDkxCustomItem;
class TDkxCustomToolPalette;
class TDkxDock;
class TDkxDockablePanel;
class TDkxPopupMenu;
class TDkxStatusBar;
class TDkxSubmenuItem;
class TDkxSwitcher;
class TDkxToolPalette;
class TDkxToolbar;
struct TOptionsContext;

namespace plat {
class ImageList;
class Registry;
struct TRect;
} // namespace plat

class TMainForm : public QMainWindow, public TFormEditActions {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The one main window while it exists.
    static TMainForm* Instance() { return instance_; }

    // --- components --------------------------------------------------------
    TVLChat* VLChat = nullptr;
    plat::ImageList* EmoticonList = nullptr;
    TQvConsole* OutputMemo = nullptr;
    // The console's frame above MainSplitter's bar; the input line with the
    // target label and the attached reference below it.
    TQvPanel* QvPanel1 = nullptr;
    TQvPanel* InputPanel = nullptr;
    TQvOpaquePanel* TargetPanel = nullptr;
    QLabel* TargetLabel = nullptr;
    QListWidget* RefListView = nullptr;
    TRichEdit* InputEdit = nullptr;
    // The trees' frames above and below GroupSplitter's bar.
    TQvPanel* QvPanel2 = nullptr;
    TQvPanel* QvPanel3 = nullptr;
    TTreeView* FriendsTreeView = nullptr;
    TTreeView* GroupsTreeView = nullptr;
    // Both vertical, the lower pane keeping its height when the window is
    // resized. The settings store each bar as its distance from the bottom.
    TQvSplitter* MainSplitter = nullptr;
    TQvSplitter* GroupSplitter = nullptr;
    // Three panels: 150 wide (the character, " - Away" while away), 75 wide
    // (the dimension) and the rest.
    TDkxStatusBar* StatusBar = nullptr;
    // Round the console; the menu bar and the tool bars start in TopDock,
    // the friends and groups panel in RightDock.
    TDkxDock* TopDock = nullptr;
    TDkxDock* BottomDock = nullptr;
    TDkxDock* LeftDock = nullptr;
    TDkxDock* RightDock = nullptr;
    TDkxToolbar* MenuBar = nullptr;
    TDkxToolbar* StandardBar = nullptr;
    TDkxToolbar* EditBar = nullptr;
    // "VL Friends and Groups": the trees.
    TDkxDockablePanel* GroupDockablePanel = nullptr;
    // Shows the tool bar toggles on a right click on the docks.
    TDkxPopupMenu* ToolbarsPopupMenu = nullptr;
    // Puts the "Default" theme in force.
    TDkxSwitcher* DkxSwitcher1 = nullptr;
    QTimer* AwayTimer = nullptr;
    QTimer* ReconnectTimer = nullptr;
    // The window's placement under "Software\ZELVO\MainForm", section
    // "Position": restored when the window is created, stored when it closes;
    // maximized while nothing is stored.
    TStateSaver* StateSaver = nullptr;
    // Every action of the window: their shortcuts work while the window (or
    // one of its floating bars and panels) is the form keys go to, and from
    // another form whose own actions do not have the key.
    plat::TActionList* ActionList1 = nullptr;
    QAction* ConnectAction = nullptr;
    QAction* DisconnectAction = nullptr;
    QAction* ExitAction = nullptr;

    // --- settings and stored logins ------------------------------------------
    TMainSettings Settings;
    TLogins Logins;

    // --- application state ---------------------------------------------------
    bool SavePassword = false;
    bool FirstActivation = true;
    QString CurrentCharacter;
    // What the pop-up menus act on.
    QString PopupName;
    QString PopupGroup;
    QString PopupCharGroup;
    QString LastTellSender;
    // The rich text of the reference attached to the next message.
    std::optional<QByteArray> AttachedReference;
    TBlobList ReceivedAttachments;
    TBufferList InputHistory;

    // --- actions, menus, tool bars, palettes and view toggles --------------------
    // (MainFormActions.cpp, MainFormPalettes.cpp)
    plat::ImageList* MenuImages = nullptr;
    // Opens the options dialog ("OptionsForm").
    QAction* OptionsAction = nullptr;
    // Invisible; does nothing.
    QAction* HelpAction = nullptr;
    // The edit actions (TFormEditActions): Cut, Delete, Select All and Paste
    // act on the input line while it has the focus; Copy on it, else on the
    // focused tree's selected node; Undo on it whatever has the focus.
    // InputPopupMenu is the input line's menu.
    QAction* AttachAction = nullptr;
    QAction* ViewStatusBarAction = nullptr;
    QAction* ViewGroupsAction = nullptr;
    QAction* ViewStandardAction = nullptr;
    QAction* ViewEditAction = nullptr;
    QAction* AboutAction = nullptr;
    QAction* WebsiteAction = nullptr;
    // The "Font Color" and "Emoticons" submenus of the edit bar.
    TDkxSubmenuItem* ColorItem = nullptr;
    TDkxSubmenuItem* EmotItem = nullptr;
    TDkxColorSet* VLColorSet = nullptr;
    TDkxColorPalette* ColorPalette = nullptr;
    TDkxColorItem* ClrDefault = nullptr;
    TDkxToolPalette* EmotPalette = nullptr;
    // The images of ColorItem and EmotItem in MenuImages.
    int FontColorImageIndex = -1;
    int EmoticonsImageIndex = -1;

    // Enabling of the edit actions as the focus moves.
    void UpdateEditActions();
    // Before a shortcut runs one of the window's actions: the edit actions
    // and Insert Reference act only on the input line or a tree of this
    // window with the focus (Undo on the input line while the focus is
    // anywhere in this window); elsewhere they are off and the key goes to
    // the control that has the focus.
    void ActionList1Update(plat::TActionList* Sender, QAction* Action);
    void InputEditEnter();
    void InputEditExit();
    void FriendsTreeViewEnter();
    void GroupsTreeViewEnter();
    void OutputMemoSelect(TQvCustomConsole* Sender, const QString& SelectedText);
    // The view actions have flipped their check marks; their objects follow.
    void ViewStatusBarActionExecute();
    void ViewGroupsActionExecute();
    void ViewStandardActionExecute();
    void ViewEditActionExecute();
    // Sets each view action's check mark from its object's visibility.
    void UpdateViewActions();
    void WebsiteActionExecute();
    void OptionsActionExecute();
    // The about box, modal, freed when it closes.
    void AboutActionExecute();
    // The console's link fonts follow its font: blue, the hover font with
    // the underline flipped.
    void ApplyLinkFonts();
    // The panels, target label and reference list around the input line take
    // its colour and font (the label in blue).
    void ApplyInputLook();
    // Opens the reference editor with the attached reference, if any.
    void AttachActionExecute();
    // The editor's OK: the first time, the title goes into the input line in
    // the reference colour; every time, the rich text becomes the reference.
    void AttachReference(const QByteArray& richText, const QString& firstLine);

    // Palettes.
    void VLColorSetGetColorInfo(TDkxCustomColorSet* Sender, int Col, int Row, plat::TColor& Color,
                                QString& Name);
    void ColorPaletteCellClick(TDkxCustomToolPalette* Sender, int Col, int Row, bool& AllowChange);
    void ClrDefaultClick(QObject* Sender);
    // Draws the colour strip over the image of the "Font Color" item, unless
    // the item is drawn disabled (bit 0 of the state flags).
    void ColorItemDrawImage(TDkxCustomItem* Item, TDkItemViewer* Viewer, QPainter& Canvas,
                            const plat::TRect& ImageRect, QPoint ImageOffset, unsigned StateFlags);
    // The colour palette follows the typing colour at the caret.
    void ColorPaletteFollowCaret();
    void EmotPaletteCalcImageSize(TDkxCustomToolPalette* Sender, QPainter& Canvas, int& Width,
                                  int& Height);
    void EmotPaletteDrawCellImage(TDkxCustomToolPalette* Sender, QPainter& Canvas,
                                  const plat::TRect& Rect, int Col, int Row, bool Selected,
                                  bool Hot, bool Enabled);
    void EmotPaletteCellClick(TDkxCustomToolPalette* Sender, int Col, int Row, bool& AllowChange);

private:
    void CreateActionItems();
    void CreateToolActions();
    void CreateInputEditActions();
    void CreateViewAndHelpActions();
    void FollowActionEvents();
    void CreateMenusAndBars();
    void CreatePalettes();
    void RepaintColorItem();
    // Watches the focus and the visibility of the controls the actions follow.
    std::unique_ptr<QObject> actionEvents_;

public:
    // --- end of actions, menus, tool bars, palettes and view toggles -------------

    // --- busy cursor and paint lock (program-wide counters) --------------------
    // The program's busy cursor (plat::BeginBusy); ending is harmless when
    // nothing is busy.
    static void BeginBusy() { plat::BeginBusy(); }
    static void EndBusy() { plat::EndBusy(); }
    static int BusyCount() { return plat::BusyCount(); }
    void LockUpdate();
    void UnlockUpdate();
    static int UpdateLockCount() { return updateLockCount_; }
    // Locks painting of the main window for its lifetime.
    class TUpdateLock {
    public:
        explicit TUpdateLock(TMainForm& form) : form_(form) { form_.LockUpdate(); }
        ~TUpdateLock() { form_.UnlockUpdate(); }
        TUpdateLock(const TUpdateLock&) = delete;
        TUpdateLock& operator=(const TUpdateLock&) = delete;

    private:
        TMainForm& form_;
    };

    // --- window --------------------------------------------------------------
    void FormActivate();
    // Returns whether the user confirmed the dialog (and the connection started).
    bool ShowLoginDialog();
    void DisableChatControls();
    void EnableChatControls();
    void SetTargetLabel(const QString& text) { target_->SetLabel(text); }
    // The console scrolls by this many pixels per wheel turn.
    int WheelScrollAmount() const;
    void FormMouseWheelDown(Qt::KeyboardModifiers Shift, QPoint MousePos, bool& Handled);
    void FormMouseWheelUp(Qt::KeyboardModifiers Shift, QPoint MousePos, bool& Handled);
    // About to float: five sixths of the dock's height, the height it floats
    // with.
    void GroupDockablePanelDockChanging(TDkCustomDockableWindow* Sender, bool Floating,
                                        TDkDock* Dock);
    void ExitActionExecute();
    void ConnectActionExecute();
    void DisconnectActionExecute();
    // Ends the connection without reconnecting.
    void Disconnect();
    void ReconnectTimerTimer() { reconnector_->TimerFired(); }
    TReconnector& Reconnection() { return *reconnector_; }

    // Puts the settings into effect after they changed: the look of the
    // controls (fonts and colours, the console's smooth scrolling, line
    // spacing and link fonts, the input line's surroundings, the default
    // colour), logging moved from the previous files to the new ones, and
    // with RestartAutoAway the automatic away counted from now.
    void ApplySettings(const TSettingsChange& change);
    // What the options dialog works on.
    TOptionsContext OptionsContext();

    // --- forms opened on demand ----------------------------------------------
    // A modeless form of which at most one exists: the window's form of that
    // name, else a new one from create(parent). It frees itself when closed.
    template <typename Form, typename Create>
    Form* FindOrCreateForm(const QString& name, Create create) {
        if (auto* form = findChild<Form*>(name, Qt::FindDirectChildrenOnly)) {
            return form;
        }
        Form* form = create(this);
        form->setObjectName(name);
        form->setWindowFlag(Qt::Window);
        form->setAttribute(Qt::WA_DeleteOnClose);
        return form;
    }
    // Shows a form and brings it to the front.
    static void ShowForm(QWidget& form);

    // --- console lines -----------------------------------------------------------
    // The formatter, which reads the settings.
    TMessageFormatter& Formatter() { return formatter_; }
    void AddConsoleLine(const QString& text, plat::TColor color, bool withTimestamp);
    void AddErrorLine(const QString& text);
    void AddSystemLine(const QString& text);
    // Shows a formatted line and plays its sound.
    void ShowLine(const TChatLine& line);

    // Unhandled exceptions of the program end here.
    void ApplicationEvents1Exception(const std::exception& error);

    // --- chat log files (MainFormLog.cpp) ------------------------------------------
    // Appends a line to the file of that name in LoggingFolder while Logging
    // is on: the time prefix (withTimePrefix and TimestampLogging), the text,
    // CR LF. A file removed or replaced since its last line is made again and
    // starts with a "Logging started" header. Never raises: a failure shows
    // one red console line, not logged.
    void WriteLog(const QString& fileName, const QString& text, bool withTimePrefix);
    // Writes a console line's log text, time-prefixed, when its file is logged.
    void LogLine(const TChatLine& line);
    // While Logging is on, true writes "Logging started" and false "Logging
    // stopped" into each logged file, in file order; false also closes them.
    void SetLogging(bool flag);

    // --- engine events -------------------------------------------------------------
    void VLChatConnect(TVLChat* Sender);
    void VLChatDisconnect(TVLChat* Sender);
    void VLChatLogin(TVLChat* Sender);
    void VLChatLoginError(TVLChat* Sender, const QByteArray& Message);
    void VLChatError(TVLChat* Sender, int& ErrorCode);
    void VLChatSystemMessage(TVLChat* Sender, const QByteArray& Message);
    void VLChatPrivateMessage(TVLChat* Sender, const QByteArray& CharName,
                              const QByteArray& Message, const TBlob* Blob);
    void VLChatGroupMessage(TVLChat* Sender, int GroupIdx, const QByteArray& CharName,
                            const QByteArray& Message, const TBlob* Blob);
    void VLChatPrivateGroupMessage(TVLChat* Sender, const QByteArray& GroupName,
                                   const QByteArray& CharName, const QByteArray& Message,
                                   const TBlob* Blob);
    void VLChatPrivateGroupJoin(TVLChat* Sender, const QByteArray& GroupName,
                                const QByteArray& CharName);
    void VLChatPrivateGroupLeave(TVLChat* Sender, const QByteArray& GroupName,
                                 const QByteArray& CharName);
    void VLChatPrivateGroupKick(TVLChat* Sender, const QByteArray& GroupName);
    void VLChatPrivateGroupInvite(TVLChat* Sender, const QByteArray& GroupName);
    void VLChatFriendAdd(TVLChat* Sender, const TFriendInfo& Friend);
    void VLChatFriendRemove(TVLChat* Sender, const TFriendInfo& Friend);
    void VLChatFriendStatusChange(TVLChat* Sender, const TFriendInfo& Friend);
    void VLChatGroupListChange(TVLChat* Sender);

    // --- input line, commands, sending (MainFormInput.cpp, MainFormCommands.cpp) ---
    // The target of the input line, shown by the target label.
    TChatTarget& Target() { return *target_; }
    // The colour of typed text unless another is chosen: the input font colour.
    plat::TColor DefaultTypingColor() const { return Settings.InputEdit.Font.Color; }
    // Enter sends (Shift+Enter breaks the line), Shift+Up and Shift+Down walk
    // the history, Esc empties the line, "/" typed first resets the colour.
    void InputEditKeyDown(TRichEdit* Sender, QKeyEvent* Key, bool& Handled);
    // A line starting with "/": the command its first word names
    // (ChatCommands.h), else "Unknown command" and the word.
    void ParseCommand(const QString& text);
    // The target of the input line: a public group of that exact name, else
    // a private group of that name (ignoring case), else a character.
    void QueryTarget(const QString& name);
    void QueryCharacter(const QString& name);
    void QueryPublicGroup(const QString& name);
    void QueryPrivateGroup(const QString& name);
    // Texts carry the colour codes. An attached reference goes with the
    // message (never with the automatic away reply). Each returns whether the
    // message went out: a tell or private group message to a name the server
    // does not know sends nothing and shows an error line instead.
    bool SendTell(const QString& target, const QString& text);
    void SendGroupMessage(const QString& group, const QString& text);
    bool SendPrivateGroupMessage(const QString& group, const QString& text);
    // Forgets the attached reference; its title stays in the input line.
    void DropReference();
    // The attached-reference list: a double click reopens the editor, Delete drops it.
    void RefListViewDblClick();
    void RefListViewKeyUp(QKeyEvent* key);
    // The text of a reference attachment: the reference's rich text (RTF)
    // with its colours as codes.
    QString EncodeReference(const QByteArray& richText);
    // Starts a whois lookup of the character (MainFormWhois.cpp): only on the
    // first two built-in dimensions, which have a number on the game web site.
    void ShowWhois(const QString& name);
    // Writes a finished lookup's result into the console; senders that are
    // not whois lookups are ignored. Lookups still running when the window
    // goes end without a report.
    void OnWhoisTerminate(QObject* Sender);

    // --- away mode (MainFormAway.cpp) ------------------------------------------------
    TAwayMode Away{Settings};
    QAction* AwayAction = nullptr;
    QAction* AwayMessagesAction = nullptr;
    // `text` is the command line: its words after the first are the reason.
    // Without a reason while away it sets the user back.
    void SetAway(const QString& text);
    // Nothing unless away. Asks whether to view the unread away messages.
    void SetBack();
    void AddAwayMessage(const QString& sender, const QString& text);
    void ShowAwayMessages();
    void AwayActionExecute() { SetAway(QStringLiteral("/away")); }
    void AwayActionUpdate();
    void AwayMessagesActionExecute() { ShowAwayMessages(); }
    void AwayMessagesActionUpdate();
    // Every 5 seconds while AutoAway: away after AutoAwayIdle idle minutes.
    void AwayTimerTimer();

    // --- friends and groups trees, pop-up menus and console link clicks ------
    // (MainFormTrees.cpp, MainFormPopups.cpp, MainFormLinks.cpp)
    TFriendsGroupsTrees& Trees() { return *trees_; }

    TDkxPopupMenu* OnPopupMenu = nullptr;
    TDkxPopupMenu* OffPopupMenu = nullptr;
    TDkxPopupMenu* UnPopupMenu = nullptr;
    TDkxPopupMenu* CharPopupMenu = nullptr;
    TDkxPopupMenu* PrivCharPopupMenu = nullptr;
    TDkxPopupMenu* PubPopupMenu = nullptr;
    TDkxPopupMenu* PrivPopupMenu = nullptr;
    // The actions of the pop-up menus' items; they act on PopupName,
    // PopupGroup and PopupCharGroup.
    QAction* WhoisAction = nullptr;
    QAction* AcceptAction = nullptr;
    QAction* RemoveAction = nullptr;
    QAction* QueryGroupAction = nullptr;
    QAction* QueryCharAction = nullptr;
    QAction* MuteAction = nullptr;
    QAction* UnMuteAction = nullptr;
    QAction* AddFriendAction = nullptr;
    QAction* InviteAction = nullptr;
    QAction* LeavePrivAction = nullptr;
    QAction* KickCharAction = nullptr;
    QAction* KickAllAction = nullptr;

    void AddFriend(const QString& name, bool online, bool permanent) {
        trees_->AddFriend(name, online, permanent);
    }
    void RemoveFriendNode(const QString& name) { trees_->RemoveFriend(name); }
    // A private group shown by this window; removed, it is no target either.
    void AddPrivateGroupNode(const QString& group) { trees_->AddPrivateGroup(group); }
    void RemovePrivateGroupNode(const QString& group);
    void InviteCharacter(const QString& name);
    void KickCharacter(const QString& name);
    void KickAll();
    void LeavePrivateGroup(const QString& group);
    // Muting public groups through the server; private groups only here.
    void MuteGroup(const QString& name);
    void UnmuteGroup(const QString& name);
    void MuteActionExecute();
    void UnMuteActionExecute();

    // Mouse on the trees (viewport coordinates).
    void FriendsTreeViewMouseDown(Qt::MouseButton Button, int X, int Y);
    void GroupsTreeViewMouseDown(Qt::MouseButton Button, int X, int Y);
    void GroupsTreeViewMouseUp(Qt::MouseButton Button, int X, int Y);
    void FriendsTreeViewDblClick(TTreeNode* node);
    void GroupsTreeViewDblClick(TTreeNode* node);

    // Pop-up menus: captions and visibility for PopupName, PopupGroup and
    // PopupCharGroup, rebuilt on each opening.
    void OnPopupMenuPopup();
    void OffPopupMenuPopup();
    void UnPopupMenuPopup();
    void CharPopupMenuPopup();
    void PrivCharPopupMenuPopup();
    void PubPopupMenuPopup();
    void PrivPopupMenuPopup();
    // What the actions do.
    void WhoisActionExecute();
    void AcceptActionExecute();
    void AddFriendActionExecute();
    void RemoveActionExecute();
    void QueryCharActionExecute();
    void QueryGroupActionExecute();
    void InviteActionExecute();
    void KickCharActionExecute();
    void KickAllActionExecute();
    void LeavePrivActionExecute();

    // Console links.
    void OutputMemoMouseUp(TQvCustomConsole* Sender, Qt::MouseButton Button,
                           Qt::KeyboardModifiers Shift, int X, int Y);
    // Shows a received attachment by the key its link carries.
    void ShowReference(const QString& key);
    // The web page of an item attachment.
    static QString ItemPageAddress(uint32_t id2);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class TMainFormTestSeam;

    // Construction (MainForm.cpp).
    void CreateComponents();
    void CreateConsole();
    void CreateInputPanel();
    void CreateClientArea();
    void CreateGroupPanel();
    void CreateBarsAndTimers();
    void CreateActions();
    void BindEngineEvents();
    void UnbindEngineEvents();
    void FormCreate();
    void FormDestroy();
    // The modal character choice after the character list arrived.
    void ChooseCharacter();
    void PostActivate();
    bool ConsoleClientContains(QPoint globalPos) const;

    // Input and away mode (MainFormInput.cpp, MainFormAway.cpp).
    void CreateInputAndAway();
    void InputEditReturn();
    void ShowHistoryLine(const QString& line);
    // The attached reference as an attachment; null when none is attached.
    std::unique_ptr<TTextBlob> ReferenceAttachment();
    // After a message went out: the reference that went with it is dropped,
    // the user counts as active, and sending may end away mode.
    void MessageSent(bool withReference, bool mayCancelAway);
    // A tell received while away: logged, and answered at most once a minute
    // per sender.
    void AwayTellReceived(const QString& sender, const QString& message);

    // Trees and pop-up menus (MainFormTrees.cpp, MainFormPopups.cpp).
    void CreateTreesAndMenus();
    void CreatePopupMenus();
    bool IsOwnPrivateGroup(const QString& group) const;
    // Opens a menu at a point in screen coordinates; returns once it closed.
    void OpenPopup(TDkxPopupMenu* menu, QPoint globalPos);
    // Mute and Listen items of the group menus.
    void SetMuteItems(TDkxPopupMenu* menu);

    // Settings and logging (MainFormSettings.cpp, MainFormLog.cpp).
    void LoadSettings();
    void SaveSettings();
    void WriteLogHeaders(const TMainSettings& settings, bool started);
    // A line that starts its file (a header) needs no start header of its own
    // in a file made again.
    void WriteLogLine(const TMainSettings& settings, const QString& fileName, const QString& text,
                      bool withTimePrefix, bool startsFile);

    static TMainForm* instance_;
    static int updateLockCount_;

    // Shared with the window-state savers, which may store a placement while
    // a window is torn down.
    std::shared_ptr<plat::Registry> registry_;
    std::unique_ptr<TReconnector> reconnector_;
    std::unique_ptr<TFriendsGroupsTrees> trees_;
    std::unique_ptr<TChatTarget> target_;
    TMessageFormatter formatter_{Settings};
    TChatLogWriter logWriter_;
    bool activatePosted_ = false;
    // Settings that were never loaded are never saved over the stored ones.
    bool settingsLoaded_ = false;
    bool destroying_ = false;
};

// The program's exception handler: hands the exceptions that reach the event
// loop to the main window while it exists.
plat::ExceptionHandler MainFormExceptionHandler();
