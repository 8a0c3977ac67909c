// The main window's life: its components, creation, the start-up login
// choice, the busy and paint-lock counters, the chat controls and destruction.
#include "app/mainform/MainForm.h"

#include "app/away/AwayMessagesForm.h"
#include "app/common/Actions.h"
#include "app/common/FormBars.h"
#include "app/common/MenuImages.h"
#include "app/dialogs/DialogSupport.h"
#include "app/dialogs/LoginForm.h"
#include "app/format/EmoticonImages.h"
#include "app/mainform/MainFormControls.h"
#include "app/mainform/MainFormKitHandlers.h"
#include "app/mainform/MainFormTestSeam.h"
#include "app/whois/VLWhoisThread.h"
#include "console/QvConsole/QvConsole.h"
#include "controls/StateSaver.h"
#include "dockkit/bars/DkKeyRouter.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/palettes/DkxColorPalette.h"
#include "dockkit/themes/DkSwitcher.h"
#include "dockkit/themes/DkThemedItem.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Format.h"
#include "platform/core/Guarded.h"
#include "platform/core/Registry.h"
#include "platform/gui/ActionList.h"
#include "platform/gui/AlignLayout.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/ShowHint.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

TMainForm* TMainForm::instance_ = nullptr;
int TMainForm::updateLockCount_ = 0;

namespace {

const QString kCaptionNotConnected = QStringLiteral("Quorvel - Not Connected");
const QString kWelcomeLine =
    QStringLiteral("<b>Welcome to Vellinor</b></font><font color=\"clBlue\"><hr></font>");
// The window's size before a stored placement or the maximized state applies.
constexpr int kDesignWidth = 760;
constexpr int kDesignHeight = 540;
constexpr int kEmoticonSize = 18;
constexpr int kGroupPanelWidth = 180;

// A panel with a sunken frame of one line round what it holds.
TQvPanel* NewFramedPanel(const QString& name, QWidget* content = nullptr) {
    auto* panel = new TQvPanel;
    panel->setObjectName(name);
    panel->SetBorderOuter(fsStatus);
    if (content != nullptr) {
        auto* layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
    }
    return panel;
}

// The window's splitters: vertical, the lower pane keeping its height when
// the splitter is resized, the panes following the bar while it is dragged,
// a bar 3 pixels high.
TQvSplitter* NewSplitter(QWidget* parent, const QString& name, QWidget* upper, QWidget* lower) {
    auto* splitter = new TQvSplitter(parent);
    splitter->setObjectName(name);
    splitter->SetOrientation(orVertical);
    splitter->SetFixedPane(fpLowerRight);
    splitter->SetRealTimeDrag(true);
    splitter->SetSplitterWidth(3);
    splitter->UpperLeft()->InsertControl(upper);
    splitter->LowerRight()->InsertControl(lower);
    return splitter;
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    instance_ = this;
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kCaptionNotConnected);
    // Its bars' buttons explain themselves.
    plat::SetShowHint(*this, true);
    registry_ = std::make_shared<plat::Registry>();
    formatter_.ReceivedAttachments = &ReceivedAttachments;
    CreateComponents();
    CreateActions();
    CreateInputAndAway();
    CreateTreesAndMenus();
    CreateActionItems();
    BindEngineEvents();
    resize(kDesignWidth, kDesignHeight);
    // The stored placement is the window's frame: it is placed before the
    // window exists, so that the window system puts the frame there.
    StateSaver = new TStateSaver(this);
    StateSaver->setObjectName(QStringLiteral("StateSaver"));
    StateSaver->SetPath(QStringLiteral("Software\\ZELVO\\MainForm"));
    StateSaver->SetRegistry(registry_);
    StateSaver->Loaded();
    // Lay the window out now, so that the splitters have their heights when
    // the settings place their bars.
    layout()->activate();
    ConnectKitHandlers();
    plat::Guarded([this] { FormCreate(); });
}

TMainForm::~TMainForm() {
    DisconnectKitHandlers();
    plat::Guarded([this] { FormDestroy(); });
    if (instance_ == this) {
        instance_ = nullptr;
    }
    if (dk::MainForm() == this) {
        dk::SetMainForm(nullptr);
    }
}

void TMainForm::CreateComponents() {
    DkxSwitcher1 = new TDkxSwitcher(this);
    DkxSwitcher1->setObjectName(QStringLiteral("DkxSwitcher1"));
    DkxSwitcher1->SetTheme(QStringLiteral("Default"));
    // The menu bar opens by Alt and its accelerators; the bars' shortcuts
    // work from the window's other forms too.
    dk::SetMainForm(this);

    VLChat = new TVLChat(this);
    VLChat->setObjectName(QStringLiteral("VLChat"));

    CreateConsole();
    CreateInputPanel();
    CreateClientArea();
    CreateGroupPanel();
    CreateBarsAndTimers();
}

// The console and the emoticon images it shows.
void TMainForm::CreateConsole() {
    EmoticonList = new plat::ImageList(kEmoticonSize, kEmoticonSize, this);
    EmoticonList->setObjectName(QStringLiteral("EmoticonList"));
    AddEmoticonImages(*EmoticonList);

    OutputMemo = new TQvConsole;
    OutputMemo->setObjectName(QStringLiteral("OutputMemo"));
    OutputMemo->SetStoreText(TMainFormTestSeam::StoreConsoleText);
    OutputMemo->SetImageList(EmoticonList);
    OutputMemo->SetOptions(coBlinking | coSelection | coAutoCopy | coAutoOpenURLLinks);
    OutputMemo->SetEdge(etNone);
    OutputMemo->SetWhitespace(cwsLeave);
    OutputMemo->SetIndentType(itNone);
    OutputMemo->OnMouseWheelDown = [this](TQvCustomConsole*, Qt::KeyboardModifiers shift,
                                          QPoint pos, bool& handled) {
        FormMouseWheelDown(shift, OutputMemo->viewport()->mapToGlobal(pos), handled);
    };
    OutputMemo->OnMouseWheelUp = [this](TQvCustomConsole*, Qt::KeyboardModifiers shift, QPoint pos,
                                        bool& handled) {
        FormMouseWheelUp(shift, OutputMemo->viewport()->mapToGlobal(pos), handled);
    };
}

// The input panel: the target label left of the input line, the attached
// reference above it.
void TMainForm::CreateInputPanel() {
    InputPanel = NewFramedPanel(QStringLiteral("InputPanel"));
    auto* inputRow = new QHBoxLayout(InputPanel);
    inputRow->setContentsMargins(0, 0, 0, 0);
    inputRow->setSpacing(0);
    TargetPanel = new TQvOpaquePanel(InputPanel);
    TargetPanel->setObjectName(QStringLiteral("TargetPanel"));
    TargetPanel->SetDoubleBuffered(true);
    TargetPanel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* targetRow = new QHBoxLayout(TargetPanel);
    targetRow->setContentsMargins(2, 0, 2, 0);
    TargetLabel = new QLabel(TargetPanel);
    TargetLabel->setObjectName(QStringLiteral("TargetLabel"));
    TargetLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    targetRow->addWidget(TargetLabel);
    inputRow->addWidget(TargetPanel);
    auto* inputColumn = new QVBoxLayout;
    inputColumn->setContentsMargins(0, 0, 0, 0);
    inputColumn->setSpacing(0);
    RefListView = new QListWidget(InputPanel);
    RefListView->setObjectName(QStringLiteral("RefListView"));
    RefListView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    RefListView->setFixedHeight(RefListView->fontMetrics().height() + 6);
    inputColumn->addWidget(RefListView);
    InputEdit = new TRichEdit(InputPanel);
    InputEdit->setObjectName(QStringLiteral("InputEdit"));
    inputColumn->addWidget(InputEdit);
    inputRow->addLayout(inputColumn, 1);
    target_ = std::make_unique<TChatTarget>(*TargetPanel, *TargetLabel);
}

// The status bar at the very bottom, the docks round the console above the
// input panel.
void TMainForm::CreateClientArea() {
    const TDockSite site = AddDockSite(*this, {150, 75, -1});
    StatusBar = site.StatusBar;
    TopDock = site.Top;
    BottomDock = site.Bottom;
    LeftDock = site.Left;
    RightDock = site.Right;
    QvPanel1 = NewFramedPanel(QStringLiteral("QvPanel1"), OutputMemo);
    MainSplitter = NewSplitter(site.Client, QStringLiteral("MainSplitter"), QvPanel1, InputPanel);
    MainSplitter->SetMarginMin(18);
    MainSplitter->SetMarginMax(18);
    site.Layout->AddWidget(MainSplitter, plat::Align::Client);
}

// The friends and groups trees in their dockable panel, docked on the right.
void TMainForm::CreateGroupPanel() {
    FriendsTreeView = new TTreeView;
    FriendsTreeView->setObjectName(QStringLiteral("FriendsTreeView"));
    GroupsTreeView = new TTreeView;
    GroupsTreeView->setObjectName(QStringLiteral("GroupsTreeView"));
    trees_ = std::make_unique<TFriendsGroupsTrees>(*FriendsTreeView, *GroupsTreeView);
    QvPanel2 = NewFramedPanel(QStringLiteral("QvPanel2"), FriendsTreeView);
    QvPanel3 = NewFramedPanel(QStringLiteral("QvPanel3"), GroupsTreeView);
    GroupDockablePanel = new TDkxDockablePanel(this);
    GroupDockablePanel->setObjectName(QStringLiteral("GroupDockablePanel"));
    GroupDockablePanel->SetCaption(QStringLiteral("VL Friends and Groups"));
    GroupSplitter =
        NewSplitter(GroupDockablePanel, QStringLiteral("GroupSplitter"), QvPanel2, QvPanel3);
    GroupDockablePanel->Layout()->AddWidget(GroupSplitter, plat::Align::Client);
    // Wide enough for the trees' root captions until a stored width applies.
    GroupDockablePanel->SetClientAreaWidth(kGroupPanelWidth);
    GroupDockablePanel->OnDockChanging = [this](TDkCustomDockableWindow* sender, bool floating,
                                                TDkDock* dock) {
        GroupDockablePanelDockChanging(sender, floating, dock);
    };
    GroupDockablePanel->SetCurrentDock(RightDock);
}

// The menu bar and tool bars in the top dock; the away and reconnection timers.
void TMainForm::CreateBarsAndTimers() {
    MenuBar = AddToolbar(this, TopDock, QStringLiteral("MenuBar"), QStringLiteral("Menu"), 0);
    MenuBar->SetMenuBar(true);
    StandardBar =
        AddToolbar(this, TopDock, QStringLiteral("StandardBar"), QStringLiteral("Standard"), 1);
    EditBar = AddToolbar(this, TopDock, QStringLiteral("EditBar"), QStringLiteral("Edit"), 2);

    AwayTimer = new QTimer(this);
    AwayTimer->setObjectName(QStringLiteral("AwayTimer"));
    AwayTimer->setInterval(5000);
    ReconnectTimer = new QTimer(this);
    ReconnectTimer->setObjectName(QStringLiteral("ReconnectTimer"));
    plat::ConnectGuarded(ReconnectTimer, &QTimer::timeout, this, [this] { ReconnectTimerTimer(); });
    reconnector_ = std::make_unique<TReconnector>(Settings, *ReconnectTimer);
    reconnector_->OnAttempt = [this](int attempt) {
        AddSystemLine(plat::Format("Reconnect attempt #%d", attempt));
        VLChat->Connect();
        // The connection in progress can be cancelled.
        ConnectAction->setEnabled(false);
        DisconnectAction->setEnabled(true);
    };
}

void TMainForm::CreateActions() {
    ActionList1 = new plat::TActionList(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    ActionList1->OnUpdate = [this](plat::TActionList* sender, QAction* action) {
        ActionList1Update(sender, action);
    };
    // The menus and bars show the actions' images.
    MenuImages = NewMenuImageList(this);
    FontColorImageIndex = MenuImages->Add(FontColorImage());
    EmoticonsImageIndex = MenuImages->Add(
        EmoticonList->Image(0).scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    for (TDkxToolbar* bar : {MenuBar, StandardBar, EditBar}) {
        bar->SetImages(MenuImages);
    }
    ConnectAction =
        MakeAction(ActionList1, QStringLiteral("ConnectAction"), QStringLiteral("Co&nnect"),
                   QKeySequence(Qt::CTRL | Qt::Key_N), -1, [this] { ConnectActionExecute(); });
    DisconnectAction =
        MakeAction(ActionList1, QStringLiteral("DisconnectAction"), QStringLiteral("&Disconnect"),
                   QKeySequence(Qt::CTRL | Qt::Key_D), -1, [this] { DisconnectActionExecute(); });
    DisconnectAction->setEnabled(false);
    ExitAction = MakeAction(ActionList1, QStringLiteral("ExitAction"), QStringLiteral("E&xit"), {},
                            -1, [this] { ExitActionExecute(); });

    TDkxSubmenuItem* file =
        AddSubmenuItem(MenuBar->Items(), QStringLiteral("FileMenu"), QStringLiteral("&File"));
    AddActionItem(file, ConnectAction);
    AddActionItem(file, DisconnectAction);
    AddSeparatorItem(file);
    AddActionItem(file, ExitAction);
    AddActionItem(StandardBar->Items(), ConnectAction);
    AddActionItem(StandardBar->Items(), DisconnectAction);
}

void TMainForm::BindEngineEvents() {
    using namespace std::placeholders;
    VLChat->OnConnect = std::bind(&TMainForm::VLChatConnect, this, _1);
    VLChat->OnDisconnect = std::bind(&TMainForm::VLChatDisconnect, this, _1);
    VLChat->OnLogin = std::bind(&TMainForm::VLChatLogin, this, _1);
    VLChat->OnSystemMessage = std::bind(&TMainForm::VLChatSystemMessage, this, _1, _2);
    VLChat->OnPrivateMessage = std::bind(&TMainForm::VLChatPrivateMessage, this, _1, _2, _3, _4);
    VLChat->OnGroupMessage = std::bind(&TMainForm::VLChatGroupMessage, this, _1, _2, _3, _4, _5);
    VLChat->OnFriendAdd = std::bind(&TMainForm::VLChatFriendAdd, this, _1, _2);
    VLChat->OnFriendRemove = std::bind(&TMainForm::VLChatFriendRemove, this, _1, _2);
    VLChat->OnFriendStatusChange = std::bind(&TMainForm::VLChatFriendStatusChange, this, _1, _2);
    VLChat->OnGroupListChange = std::bind(&TMainForm::VLChatGroupListChange, this, _1);
    VLChat->OnLoginError = std::bind(&TMainForm::VLChatLoginError, this, _1, _2);
    VLChat->OnPrivateGroupInvite = std::bind(&TMainForm::VLChatPrivateGroupInvite, this, _1, _2);
    VLChat->OnPrivateGroupKick = std::bind(&TMainForm::VLChatPrivateGroupKick, this, _1, _2);
    VLChat->OnPrivateGroupMessage =
        std::bind(&TMainForm::VLChatPrivateGroupMessage, this, _1, _2, _3, _4, _5);
    VLChat->OnPrivateGroupJoin = std::bind(&TMainForm::VLChatPrivateGroupJoin, this, _1, _2, _3);
    VLChat->OnPrivateGroupLeave = std::bind(&TMainForm::VLChatPrivateGroupLeave, this, _1, _2, _3);
    VLChat->OnError = std::bind(&TMainForm::VLChatError, this, _1, _2);
}

void TMainForm::UnbindEngineEvents() {
    VLChat->OnConnect = nullptr;
    VLChat->OnDisconnect = nullptr;
    VLChat->OnLogin = nullptr;
    VLChat->OnSystemMessage = nullptr;
    VLChat->OnPrivateMessage = nullptr;
    VLChat->OnGroupMessage = nullptr;
    VLChat->OnFriendAdd = nullptr;
    VLChat->OnFriendRemove = nullptr;
    VLChat->OnFriendStatusChange = nullptr;
    VLChat->OnGroupListChange = nullptr;
    VLChat->OnLoginError = nullptr;
    VLChat->OnPrivateGroupInvite = nullptr;
    VLChat->OnPrivateGroupKick = nullptr;
    VLChat->OnPrivateGroupMessage = nullptr;
    VLChat->OnPrivateGroupJoin = nullptr;
    VLChat->OnPrivateGroupLeave = nullptr;
    VLChat->OnError = nullptr;
}

// The state objects start as the window's creation wants them: not away,
// no reconnection wanted, no target, the trees' roots empty.
void TMainForm::FormCreate() {
    // The dimensions known now are the built-in ones.
    TDimensionList& dimensions = VLChat->DimensionList();
    for (qsizetype i = 0; i < dimensions.Count(); ++i) {
        dimensions.Items(i)->SetTag(1);
    }

    AttachedReference.reset();
    ReceivedAttachments.SetMaxCount(OutputMemo->Limit());
    FirstActivation = true;
    ColorPalette->SetColor(plat::clWindowText);

    // Also starts logging and the automatic away.
    LoadSettings();
    UpdateViewActions();
    ColorPalette->SetColor(Settings.InputEdit.Font.Color);
    RepaintColorItem();

    DisableChatControls();
    AddConsoleLine(kWelcomeLine, Settings.OutputMemo.Font.Color, false);
}

void TMainForm::FormDestroy() {
    // Nothing may call back into the window while it goes.
    destroying_ = true;
    UnbindEngineEvents();
    // Whois lookups still running end without a report.
    TVLWhoisThread::CancelAll();
    // An open away-messages window stores its placement while it closes.
    if (auto* away = findChild<TAwayMessagesForm*>(QStringLiteral("AwayMessagesForm"),
                                                   Qt::FindDirectChildrenOnly)) {
        away->close();
    }
    AwayTimer->stop();
    reconnector_->Stop();
    SetLogging(false);
    SaveSettings();
    AttachedReference.reset();
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        PostActivate();
    }
    return QMainWindow::event(event);
}

// Some platforms never activate a window (offscreen ones), so the first
// showing counts as an activation too.
void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    PostActivate();
}

// The start-up choice may open modal dialogs: it runs from the event loop,
// not inside the event that activated the window.
void TMainForm::PostActivate() {
    if (!FirstActivation || activatePosted_ || destroying_) {
        return;
    }
    activatePosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            activatePosted_ = false;
            plat::Guarded([this] { FormActivate(); });
        },
        Qt::QueuedConnection);
}

void TMainForm::FormActivate() {
    if (!FirstActivation) {
        return;
    }
    FirstActivation = false;
    switch (Settings.OnStartup) {
    case 1:
        ShowLoginDialog();
        break;
    case 2: {
        if (Settings.AutoLoginDimension.isEmpty() || Settings.AutoLoginUser.isEmpty() ||
            Settings.AutoLoginPassword.isEmpty()) {
            Settings.OnStartup = 1;
            ShowLoginDialog();
            break;
        }
        TDimensionList& dimensions = VLChat->DimensionList();
        const qsizetype index = dimensions.IndexOfName(Settings.AutoLoginDimension);
        if (index < 0) {
            Settings.OnStartup = 1;
            dlg::ErrorBox(this, QStringLiteral("Could not auto login to the '%1' Dimension.  The "
                                               "\r\nspecified Dimension configuration no longer "
                                               "exists in ZELVO.")
                                    .arg(Settings.AutoLoginDimension));
            ShowLoginDialog();
            break;
        }
        SavePassword = true;
        VLChat->SetDimension(dimensions.Items(index));
        VLChat->SetUserName(plat::ToCp1252(Settings.AutoLoginUser));
        VLChat->SetPassword(plat::ToCp1252(Settings.AutoLoginPassword));
        ConnectAction->setEnabled(false);
        DisconnectAction->setEnabled(true);
        VLChat->Connect();
        break;
    }
    default:
        break;
    }
}

bool TMainForm::ShowLoginDialog() {
    TLoginForm dialog(VLChat->DimensionList(), Logins, Settings.LastUser, Settings.LastDimension,
                      this);
    if (dlg::RunModal(dialog) != QDialog::Accepted) {
        return false;
    }
    BeginBusy();
    VLChat->SetDimension(dialog.Dimension());
    VLChat->SetUserName(plat::ToCp1252(dialog.UserName()));
    VLChat->SetPassword(plat::ToCp1252(dialog.Password()));
    SavePassword = dialog.SavePassword();
    VLChat->Connect();
    // The connection in progress can be cancelled.
    ConnectAction->setEnabled(false);
    DisconnectAction->setEnabled(true);
    return true;
}

void TMainForm::ShowForm(QWidget& form) {
    form.show();
    form.raise();
    form.activateWindow();
}

void TMainForm::ConnectActionExecute() {
    ShowLoginDialog();
}

void TMainForm::ExitActionExecute() {
    close();
}

void TMainForm::LockUpdate() {
    if (updateLockCount_ == 0) {
        setUpdatesEnabled(false);
    }
    ++updateLockCount_;
}

void TMainForm::UnlockUpdate() {
    if (updateLockCount_ > 0 && --updateLockCount_ == 0) {
        setUpdatesEnabled(true);
    }
}

void TMainForm::DisableChatControls() {
    target_->HideLabel();
    RefListView->hide();
    InputEdit->hide();
    GroupsTreeView->setEnabled(false);
    FriendsTreeView->setEnabled(false);
    OutputMemo->setEnabled(false);
    AwayActionUpdate();
}

void TMainForm::EnableChatControls() {
    InputEdit->show();
    GroupsTreeView->setEnabled(true);
    FriendsTreeView->setEnabled(true);
    OutputMemo->setEnabled(true);
    // A target and a reference kept over a disconnect are shown again.
    target_->ShowLabel();
    RefListView->setVisible(AttachedReference.has_value());
    InputEdit->setFocus();
    AwayActionUpdate();
}

int TMainForm::WheelScrollAmount() const {
    const QFont& font = OutputMemo->Font().font;
    const int size = font.pointSize() > 0 ? font.pointSize() : -font.pixelSize();
    return (size + 4) * 3 + 2;
}

bool TMainForm::ConsoleClientContains(QPoint globalPos) const {
    const QWidget* client = OutputMemo->viewport();
    return client->rect().contains(client->mapFromGlobal(globalPos));
}

// The wheel event stays unhandled: the platform's own handling follows.
void TMainForm::FormMouseWheelDown(Qt::KeyboardModifiers, QPoint MousePos, bool&) {
    if (ConsoleClientContains(MousePos)) {
        OutputMemo->ScrollBy(-WheelScrollAmount());
    }
}

void TMainForm::FormMouseWheelUp(Qt::KeyboardModifiers, QPoint MousePos, bool&) {
    if (ConsoleClientContains(MousePos)) {
        OutputMemo->ScrollBy(WheelScrollAmount());
    }
}

void TMainForm::GroupDockablePanelDockChanging(TDkCustomDockableWindow* Sender, bool Floating,
                                               TDkDock*) {
    auto* panel = qobject_cast<TDkxDockablePanel*>(Sender);
    // The dock it is leaving is the one it was last docked to.
    const TDkDock* last = Sender->Docked() ? Sender->CurrentDock() : Sender->LastDock();
    // (A window not shown yet has no dock height to take: the panel floats
    // at the size its stored position gives it.)
    if (Floating && panel != nullptr && last != nullptr && last->isVisible()) {
        panel->SetClientAreaHeight(static_cast<int>(std::nearbyint(last->height() * 5.0 / 6.0)));
    }
}
