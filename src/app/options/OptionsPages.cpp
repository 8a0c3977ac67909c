// The pages of the options dialog: connection, logging, away, audio, fonts
// and colours, chat window.
#include "app/dialogs/DialogSupport.h"
#include "app/dialogs/ServerForm.h"
#include "app/dialogs/ServersForm.h"
#include "app/options/OptionsForm.h"
#include "engine/DimensionList.h"
#include "platform/core/Guarded.h"
#include "platform/gui/BusyCursor.h"
#include "platform/gui/Drawing.h"
#include "platform/gui/Screens.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QSpinBox* NewSpin(QWidget* parent, int minimum, int maximum, int value) {
    auto* spin = new QSpinBox(parent);
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    return spin;
}

QLabel* NewLabel(QWidget* parent, const QString& text, QWidget* buddy = nullptr) {
    auto* label = new QLabel(text, parent);
    if (buddy != nullptr) {
        label->setBuddy(buddy);
    }
    return label;
}

// The controls follow the switch's check state whenever it is clicked.
void FollowSwitch(QAbstractButton* button, const std::function<void()>& update) {
    plat::ConnectGuarded(button, &QAbstractButton::toggled, button, [update] { update(); });
}

// Without a screen, past this many average characters an edit box scrolls
// its text.
constexpr int kFitLimitColumns = 60;

// The width an edit box needs to show its whole text with the caret after
// it: the text, the edit's own margins, and its frame as the style draws it.
int WidthForText(const QLineEdit& edit) {
    constexpr int kInnerMargin = 2; // each side, inside the frame
    constexpr int kCaret = 1;
    const QMargins text = edit.textMargins();
    const QMargins contents = edit.contentsMargins();
    const int width = edit.fontMetrics().horizontalAdvance(edit.displayText()) + 2 * kInnerMargin +
                      kCaret + text.left() + text.right() + contents.left() + contents.right();
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.rect = edit.rect();
    option.lineWidth = edit.hasFrame()
                           ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit)
                           : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    return edit.style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, edit.height()), &edit)
        .width();
}

void SetEnabled(const QList<QWidget*>& controls, bool enabled) {
    for (QWidget* control : controls) {
        control->setEnabled(enabled);
    }
}

} // namespace

// --- base --------------------------------------------------------------------

TOptionBaseFrame::TOptionBaseFrame(TOptionsContext& context, QWidget* owner)
    : QFrame(owner), Context(context), Settings(context.Settings), column_(new QVBoxLayout(this)) {
    setFont(PageFont());
    dlg::SetEnabledTextColor(*this, plat::clWindowText);
}

void TOptionBaseFrame::LoadSettings() {
    for (const TOptionBinding& binding : bindings_) {
        binding.Load(Settings);
    }
    UpdateEnabled();
}

void TOptionBaseFrame::SaveSettings() {
    for (const TOptionBinding& binding : bindings_) {
        if (binding.Save) {
            binding.Save(Settings);
        }
    }
}

QFont TOptionBaseFrame::PageFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    return font;
}

void TOptionBaseFrame::FitEdits() {
    // Up to half the width of the screen's work area, so that the dialog
    // always fits on it.
    const int work = plat::CurrentScreens().PrimaryRect(true).Width();
    const int limit =
        work > 0 ? work / 2 : kFitLimitColumns * QFontMetrics(PageFont()).averageCharWidth();
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        // The edit fields of spin and combo boxes follow their box.
        if (qobject_cast<QAbstractSpinBox*>(edit->parentWidget()) == nullptr &&
            qobject_cast<QComboBox*>(edit->parentWidget()) == nullptr) {
            edit->setMinimumWidth(qMin(WidthForText(*edit), limit));
        }
    }
}

QLabel* TOptionBaseFrame::AddHeading(const QString& text) {
    auto* heading = new QLabel(text, this);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    layout()->addWidget(heading);
    return heading;
}

// --- Connection --------------------------------------------------------------

TAutoConnectFrame::TAutoConnectFrame(TOptionsContext& context, QWidget* owner)
    : TOptionBaseFrame(context, owner) {
    AddHeading(QStringLiteral("On Startup"));
    NothingRadioButton = new QRadioButton(QStringLiteral("Do Nothing"), this);
    DialogRadioButton = new QRadioButton(QStringLiteral("Display Login Dialog"), this);
    LoginRadioButton =
        new QRadioButton(QStringLiteral("Login on With the Following Account"), this);
    DialogRadioButton->setChecked(true);
    UserCombobox = new QComboBox(this);
    UserCombobox->setEditable(true);
    UserCombobox->setInsertPolicy(QComboBox::NoInsert);
    PasswordEdit = dlg::NewPasswordEdit(this);
    DimensionCombobox = new QComboBox(this);
    ServersButton = new QToolButton(this);
    ServersButton->setText(QStringLiteral("..."));
    ServersButton->setToolTip(QStringLiteral("Manage Dimensions"));

    QVBoxLayout* box = Column();
    box->addWidget(NothingRadioButton);
    box->addWidget(DialogRadioButton);
    box->addWidget(LoginRadioButton);
    auto* grid = new QGridLayout;
    QLabel* userLabel = NewLabel(this, QStringLiteral("&Username:"), UserCombobox);
    QLabel* passwordLabel = NewLabel(this, QStringLiteral("&Password:"), PasswordEdit);
    QLabel* dimensionLabel = NewLabel(this, QStringLiteral("&Dimension:"), DimensionCombobox);
    grid->addWidget(userLabel, 0, 0);
    grid->addWidget(UserCombobox, 0, 1);
    grid->addWidget(passwordLabel, 1, 0);
    grid->addWidget(PasswordEdit, 1, 1);
    grid->addWidget(dimensionLabel, 2, 0);
    grid->addWidget(DimensionCombobox, 2, 1);
    grid->addWidget(ServersButton, 2, 2);
    box->addLayout(grid);
    loginControls_ = {userLabel,      UserCombobox,      passwordLabel, PasswordEdit,
                      dimensionLabel, DimensionCombobox, ServersButton};

    AddHeading(QStringLiteral("On Disconnect"));
    ReconnectCheckBox = new QCheckBox(QStringLiteral("Attempt to Reconnect:"), this);
    TimesEdit = NewSpin(this, 10, 999, 10);
    DelayEdit = NewSpin(this, 1, 120, 10);
    QLabel* timesLabel = NewLabel(this, QStringLiteral("Times"), TimesEdit);
    QLabel* delayLabel = NewLabel(this, QStringLiteral("Delay:"), DelayEdit);
    QLabel* secondsLabel = NewLabel(this, QStringLiteral("Seconds"), DelayEdit);
    auto* reconnect = new QGridLayout;
    reconnect->addWidget(ReconnectCheckBox, 0, 0);
    reconnect->addWidget(TimesEdit, 0, 1);
    reconnect->addWidget(timesLabel, 0, 2);
    reconnect->addWidget(delayLabel, 1, 0);
    reconnect->addWidget(DelayEdit, 1, 1);
    reconnect->addWidget(secondsLabel, 1, 2);
    reconnect->setColumnStretch(3, 1); // the spins keep their own width
    box->addLayout(reconnect);
    box->addStretch(1);
    reconnectControls_ = {TimesEdit, timesLabel, delayLabel, DelayEdit, secondsLabel};

    FollowSwitch(LoginRadioButton, [this] { UpdateEnabled(); });
    FollowSwitch(ReconnectCheckBox, [this] { UpdateEnabled(); });
    plat::ConnectGuarded(ServersButton, &QToolButton::clicked, this,
                         [this] { ServersButtonClick(); });
    std::vector<TOptionBinding> bindings = StartupBindings();
    bindings.push_back(Bind(ReconnectCheckBox, &TMainSettings::AutoReconnect));
    bindings.push_back(Bind(TimesEdit, &TMainSettings::ReconnectTimes));
    bindings.push_back(Bind(DelayEdit, &TMainSettings::ReconnectDelay));
    SetBindings(std::move(bindings));
    UpdateEnabled();
}

void TAutoConnectFrame::UpdateEnabled() {
    SetEnabled(loginControls_, LoginRadioButton->isChecked());
    SetEnabled(reconnectControls_, ReconnectCheckBox->isChecked());
}

// As the login dialog fills its list.
void TAutoConnectFrame::LoadDimensions() {
    const plat::BusyScope busy;
    const QString chosen = DimensionCombobox->currentText();
    DimensionCombobox->clear();
    const TDimensionList& dimensions = Context.Dimensions;
    for (qsizetype i = 0; i < dimensions.Count(); ++i) {
        const std::shared_ptr<TDimensionInfo> dimension = dimensions.Items(i);
        DimensionCombobox->addItem(dimension->Name(), QVariant::fromValue(dimension));
    }
    SelectDimension(chosen);
}

void TAutoConnectFrame::SelectDimension(const QString& name) {
    const int index = DimensionCombobox->findText(name, Qt::MatchFixedString);
    DimensionCombobox->setCurrentIndex(index >= 0                       ? index
                                       : DimensionCombobox->count() > 0 ? 0
                                                                        : -1);
}

bool TAutoConnectFrame::LoginChosen() const {
    return !NothingRadioButton->isChecked() && !DialogRadioButton->isChecked();
}

// The last login shows until the automatic login, when there is one, takes
// its place; the automatic login's account is saved only when it is chosen.
std::vector<TOptionBinding> TAutoConnectFrame::StartupBindings() {
    const QString user = CaptionOf(UserCombobox);
    const QString dimension = CaptionOf(DimensionCombobox);
    const QString password = CaptionOf(PasswordEdit);
    const auto login = [this](auto save) {
        return [this, save](TMainSettings& s) {
            if (LoginChosen()) {
                save(s);
            }
        };
    };
    return {
        {SettingName(&TMainSettings::LastUser), user,
         [this](const TMainSettings& s) {
             UserCombobox->clear();
             for (const TLogin& stored : Context.Logins.Items()) {
                 UserCombobox->addItem(stored.User);
             }
             UserCombobox->setEditText(s.LastUser);
             if (!s.LastUser.isEmpty()) {
                 PasswordEdit->setText(Context.Logins.GetLoginPassword(s.LastUser));
             }
         },
         nullptr},
        {SettingName(&TMainSettings::LastDimension), dimension,
         [this](const TMainSettings& s) {
             LoadDimensions();
             SelectDimension(s.LastDimension);
         },
         nullptr},
        {SettingName(&TMainSettings::OnStartup), QStringLiteral("On Startup"),
         [this](const TMainSettings& s) {
             NothingRadioButton->setChecked(s.OnStartup == 0);
             LoginRadioButton->setChecked(s.OnStartup == 2);
             DialogRadioButton->setChecked(s.OnStartup != 0 && s.OnStartup != 2);
         },
         [this](TMainSettings& s) {
             s.OnStartup = NothingRadioButton->isChecked() ? 0 : LoginChosen() ? 2 : 1;
         }},
        {SettingName(&TMainSettings::AutoLoginDimension), dimension,
         [this](const TMainSettings& s) { SelectDimension(s.AutoLoginDimension); },
         login([this](TMainSettings& s) {
             s.AutoLoginDimension = DimensionCombobox->currentIndex() >= 0
                                        ? DimensionCombobox->currentText()
                                        : QString();
         })},
        {SettingName(&TMainSettings::AutoLoginUser), user,
         [this](const TMainSettings& s) {
             if (!s.AutoLoginUser.isEmpty()) {
                 UserCombobox->setEditText(s.AutoLoginUser);
             }
         },
         login([this](TMainSettings& s) { s.AutoLoginUser = UserCombobox->currentText(); })},
        {SettingName(&TMainSettings::AutoLoginPassword), password,
         [this](const TMainSettings& s) {
             if (!s.AutoLoginPassword.isEmpty()) {
                 PasswordEdit->setText(s.AutoLoginPassword);
             }
         },
         login([this](TMainSettings& s) { s.AutoLoginPassword = PasswordEdit->text(); })},
    };
}

void TAutoConnectFrame::ServersButtonClick() {
    TDimensionList& dimensions = Context.Dimensions;
    if (dimensions.Count() == 0) {
        const std::shared_ptr<TDimensionInfo> dimension = NewDimension(this, &dimensions);
        if (dimension == nullptr) {
            return;
        }
        dimensions.AddInfo(dimension);
        DimensionCombobox->addItem(dimension->Name(), QVariant::fromValue(dimension));
        DimensionCombobox->setCurrentIndex(DimensionCombobox->count() - 1);
    } else if (EditDimensions(this, dimensions)) {
        LoadDimensions();
    }
}

// --- Logging -------------------------------------------------------------------

TLoggingFrame::TLoggingFrame(TOptionsContext& context, QWidget* owner)
    : TOptionBaseFrame(context, owner) {
    AddHeading(QStringLiteral("Logging"));
    LoggingCheckbox = new QCheckBox(QStringLiteral("Enable Logging"), this);
    TimestampCheckbox = new QCheckBox(QStringLiteral("Timestamp Logs"), this);
    FolderEdit = new QLineEdit(this);
    BrowseButton = new QPushButton(QStringLiteral("..."), this);
    LogListBox = new QListWidget(this);
    for (const char* item : {"Group Messages", "Private Messages", "Private Group Messages",
                             "System Messages", "Error Messages"}) {
        auto* row = new QListWidgetItem(QString::fromLatin1(item), LogListBox);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
    }
    QLabel* folderLabel = NewLabel(this, QStringLiteral("Log Folder:"), FolderEdit);
    QLabel* listLabel = NewLabel(this, QStringLiteral("Log the Following:"), LogListBox);

    QVBoxLayout* box = Column();
    box->addWidget(LoggingCheckbox);
    box->addWidget(TimestampCheckbox);
    box->addWidget(folderLabel);
    auto* folder = new QHBoxLayout;
    folder->addWidget(FolderEdit, 1);
    folder->addWidget(BrowseButton);
    box->addLayout(folder);
    box->addWidget(listLabel);
    box->addWidget(LogListBox, 1);
    loggingControls_ = {TimestampCheckbox, folderLabel, FolderEdit,
                        BrowseButton,      listLabel,   LogListBox};

    FollowSwitch(LoggingCheckbox, [this] { UpdateEnabled(); });
    plat::ConnectGuarded(BrowseButton, &QPushButton::clicked, this,
                         [this] { BrowseButtonClick(); });
    SetBindings({
        Bind(LoggingCheckbox, &TMainSettings::Logging),
        Bind(TimestampCheckbox, &TMainSettings::TimestampLogging),
        Bind(FolderEdit, &TMainSettings::LoggingFolder),
        Bind(LogListBox->item(0), &TMainSettings::LogGroup),
        Bind(LogListBox->item(1), &TMainSettings::LogPrivate),
        Bind(LogListBox->item(2), &TMainSettings::LogPrivateGroup),
        Bind(LogListBox->item(3), &TMainSettings::LogSystem),
        Bind(LogListBox->item(4), &TMainSettings::LogError),
    });
    UpdateEnabled();
}

void TLoggingFrame::UpdateEnabled() {
    SetEnabled(loggingControls_, LoggingCheckbox->isChecked());
}

void TLoggingFrame::BrowseButtonClick() {
    FolderEdit->setText(options::BrowseForFolder(
        this, QStringLiteral("Select your ZELVO logging directory below:"), FolderEdit->text()));
    FitEdits();
}

// --- Away Options ----------------------------------------------------------------

TAwayOptionsFrame::TAwayOptionsFrame(TOptionsContext& context, QWidget* owner)
    : TOptionBaseFrame(context, owner) {
    AddHeading(QStringLiteral("Away Settings"));
    AutoAwayCheckbox = new QCheckBox(QStringLiteral("Auto-away Enabled"), this);
    IdleEdit = NewSpin(this, 1, 999, 10);
    MessageEdit = new QLineEdit(QStringLiteral("Auto-away after 10 minutes"), this);
    KeypressCheckbox = new QCheckBox(QStringLiteral("Cancel Away on Activity"), this);
    LogCheckbox = new QCheckBox(QStringLiteral("Log Private Messages"), this);
    LogCheckbox->setChecked(true);
    QLabel* idleLabel = NewLabel(this, QStringLiteral("Set Away after idle:"), IdleEdit);
    QLabel* minutesLabel = NewLabel(this, QStringLiteral("Minutes"), IdleEdit);
    QLabel* messageLabel = NewLabel(this, QStringLiteral("Message:"), MessageEdit);

    QVBoxLayout* box = Column();
    box->addWidget(AutoAwayCheckbox);
    auto* grid = new QGridLayout;
    grid->addWidget(idleLabel, 0, 0);
    grid->addWidget(IdleEdit, 0, 1);
    grid->addWidget(minutesLabel, 0, 2);
    grid->addWidget(messageLabel, 1, 0);
    grid->addWidget(MessageEdit, 1, 1, 1, 2);
    grid->setColumnStretch(2, 1); // the spin keeps its own width
    box->addLayout(grid);
    box->addWidget(KeypressCheckbox);
    box->addWidget(LogCheckbox);
    box->addStretch(1);
    awayControls_ = {idleLabel, IdleEdit, minutesLabel, messageLabel, MessageEdit};

    FollowSwitch(AutoAwayCheckbox, [this] { UpdateEnabled(); });
    SetBindings({
        Bind(AutoAwayCheckbox, &TMainSettings::AutoAway),
        Bind(IdleEdit, &TMainSettings::AutoAwayIdle),
        Bind(MessageEdit, &TMainSettings::AutoAwayMessage),
        Bind(KeypressCheckbox, &TMainSettings::AwayAutoCancel),
        Bind(LogCheckbox, &TMainSettings::AwayLogging),
    });
    UpdateEnabled();
}

void TAwayOptionsFrame::UpdateEnabled() {
    SetEnabled(awayControls_, AutoAwayCheckbox->isChecked());
}

// --- Audio Options ---------------------------------------------------------------

TSoundsFrame::TSoundsFrame(TOptionsContext& context, QWidget* owner)
    : TOptionBaseFrame(context, owner) {
    AddHeading(QStringLiteral("Audio Options"));
    SoundsCheckbox =
        new QCheckBox(QStringLiteral("Play Voice Commands (Requires Cindervault)"), this);
    FolderEdit = new QLineEdit(this);
    BrowseButton = new QPushButton(QStringLiteral("..."), this);
    QLabel* folderLabel = NewLabel(this, QStringLiteral("VL Folder:"), FolderEdit);
    QVBoxLayout* box = Column();
    box->addWidget(SoundsCheckbox);
    box->addWidget(folderLabel);
    auto* folder = new QHBoxLayout;
    folder->addWidget(FolderEdit, 1);
    folder->addWidget(BrowseButton);
    box->addLayout(folder);
    box->addStretch(1);
    soundControls_ = {folderLabel, FolderEdit, BrowseButton};

    FollowSwitch(SoundsCheckbox, [this] { UpdateEnabled(); });
    plat::ConnectGuarded(BrowseButton, &QPushButton::clicked, this,
                         [this] { BrowseButtonClick(); });
    SetBindings({
        Bind(SoundsCheckbox, &TMainSettings::PlaySounds),
        Bind(FolderEdit, &TMainSettings::VLDirectory),
    });
    UpdateEnabled();
}

void TSoundsFrame::UpdateEnabled() {
    SetEnabled(soundControls_, SoundsCheckbox->isChecked());
}

void TSoundsFrame::BrowseButtonClick() {
    FolderEdit->setText(options::BrowseForFolder(
        this, QStringLiteral("Select your Vellinor directory below:"), FolderEdit->text()));
    FitEdits();
}

// --- Fonts & Colors ----------------------------------------------------------------

TFontsFrame::TFontsFrame(TOptionsContext& context, QWidget* owner)
    : TOptionBaseFrame(context, owner) {
    AddHeading(QStringLiteral("Window Fonts & Colors"));
    auto* grid = new QGridLayout;
    const char* const captions[] = {"Friend List:", "Group List:", "Chat Window:", "Input Window:"};
    const char* const samples[] = {"FriendFontEdit", "GroupFontEdit", "ChatFontEdit",
                                   "InputFontEdit"};
    TControlSettings TMainSettings::*const controls[] = {
        &TMainSettings::FriendsTreeView, &TMainSettings::GroupsTreeView, &TMainSettings::OutputMemo,
        &TMainSettings::InputEdit};
    std::vector<TOptionBinding> bindings;
    for (int row = 0; row < 4; ++row) {
        SampleEdits[row] = new QLineEdit(QStringLiteral("8 pt. Tahoma"), this);
        SampleEdits[row]->setObjectName(QString::fromLatin1(samples[row]));
        SampleEdits[row]->setReadOnly(true);
        FontButtons[row] = new QPushButton(QStringLiteral("Font..."), this);
        ColorButtons[row] = new QPushButton(QStringLiteral("Color..."), this);
        grid->addWidget(NewLabel(this, QString::fromLatin1(captions[row])), row, 0);
        grid->addWidget(SampleEdits[row], row, 1);
        grid->addWidget(FontButtons[row], row, 2);
        grid->addWidget(ColorButtons[row], row, 3);
        const auto which = static_cast<TRow>(row);
        plat::ConnectGuarded(FontButtons[row], &QPushButton::clicked, this,
                             [this, which] { FontButtonClick(which); });
        plat::ConnectGuarded(ColorButtons[row], &QPushButton::clicked, this,
                             [this, which] { ColorButtonClick(which); });
        const QString caption = QString::fromLatin1(captions[row]);
        TSample& sample = samples_[row];
        TControlSettings TMainSettings::*control = controls[row];
        bindings.push_back(
            {FontSettingName(control), caption,
             [this, which, &sample, control](const TMainSettings& s) {
                 sample.font = (s.*control).Font;
                 ShowSample(which);
             },
             [&sample, control](TMainSettings& s) { (s.*control).Font = sample.font; }});
        bindings.push_back(
            {ColorSettingName(control), caption,
             [this, which, &sample, control](const TMainSettings& s) {
                 sample.color = (s.*control).Color;
                 ShowSample(which);
             },
             [&sample, control](TMainSettings& s) { (s.*control).Color = sample.color; }});
    }
    QVBoxLayout* box = Column();
    box->addLayout(grid);
    box->addStretch(1);
    SetBindings(std::move(bindings));
}

void TFontsFrame::ShowSample(TRow row) {
    QLineEdit& edit = *SampleEdits[row];
    const TSample& sample = samples_[row];
    const plat::ColoredFont font = ToColoredFont(sample.font);
    edit.setFont(font.font);
    plat::SetControlColor(edit, sample.color);
    dlg::SetEnabledTextColor(edit, font.color);
    const int points = QFontInfo(font.font).pointSize();
    edit.setText(QStringLiteral("%1 pt. %2").arg(points).arg(font.font.family()));
    FitEdits();
}

// Nothing changed in the dialog, nothing changes in the stored font: a
// family that is not installed keeps its name.
void TFontsFrame::FontButtonClick(TRow row) {
    TFontSettings& stored = samples_[row].font;
    const QFont before = ToColoredFont(stored).font;
    const std::optional<QFont> font = options::Choosers().Font(this, before);
    if (font && *font != before) {
        stored = ToFontSettings({*font, stored.Color}, stored.CharSet);
        ShowSample(row);
    }
}

void TFontsFrame::ColorButtonClick(TRow row) {
    if (const std::optional<QColor> color =
            options::Choosers().Color(this, plat::ToQColor(samples_[row].color))) {
        samples_[row].color = plat::FromQColor(*color);
        ShowSample(row);
    }
}

// --- Chat Window -------------------------------------------------------------------

TChatWindowFrame::TChatWindowFrame(TOptionsContext& context, QWidget* owner)
    : TOptionBaseFrame(context, owner) {
    AddHeading(QStringLiteral("Chat Window Options"));
    EmoticonsCheckbox = new QCheckBox(QStringLiteral("Parse Emoticons"), this);
    URLsCheckbox = new QCheckBox(QStringLiteral("Parse URL's"), this);
    CharLinksCheckbox = new QCheckBox(QStringLiteral("Link Character Names"), this);
    GroupLinksCheckbox = new QCheckBox(QStringLiteral("Link Group Names"), this);
    SmoothScrollCheckbox = new QCheckBox(QStringLiteral("Smooth Scrolling"), this);
    TimestampCheckbox = new QCheckBox(QStringLiteral("Timestamp Chat"), this);
    TimestampEdit = new QLineEdit(this);
    ColorButton = new QPushButton(QStringLiteral("Color..."), this);
    IndentCheckbox = new QCheckBox(QStringLiteral("Indent Subsequent Lines"), this);
    // A wider spacing would overflow the console's sums of line heights.
    SpacingEdit = NewSpin(this, 0, 100, 0);
    QLabel* formatLabel = NewLabel(this, QStringLiteral("Timestamp Format:"), TimestampEdit);
    QLabel* spacingLabel = NewLabel(this, QStringLiteral("Line Spacing:"), SpacingEdit);

    QVBoxLayout* box = Column();
    for (QWidget* w :
         {static_cast<QWidget*>(EmoticonsCheckbox), static_cast<QWidget*>(URLsCheckbox),
          static_cast<QWidget*>(CharLinksCheckbox), static_cast<QWidget*>(GroupLinksCheckbox),
          static_cast<QWidget*>(SmoothScrollCheckbox), static_cast<QWidget*>(TimestampCheckbox)}) {
        box->addWidget(w);
    }
    auto* grid = new QGridLayout;
    grid->addWidget(formatLabel, 0, 0);
    grid->addWidget(TimestampEdit, 0, 1);
    grid->addWidget(ColorButton, 0, 2);
    grid->addWidget(IndentCheckbox, 1, 0, 1, 3);
    grid->addWidget(spacingLabel, 2, 0);
    grid->addWidget(SpacingEdit, 2, 1, Qt::AlignLeft);
    box->addLayout(grid);
    box->addStretch(1);
    timestampControls_ = {formatLabel, TimestampEdit, ColorButton, IndentCheckbox};

    SetTimestampColor(timestampColor_);
    FollowSwitch(TimestampCheckbox, [this] { UpdateEnabled(); });
    plat::ConnectGuarded(ColorButton, &QPushButton::clicked, this, [this] { ColorButtonClick(); });
    SetBindings({
        Bind(EmoticonsCheckbox, &TMainSettings::ParseEmoticons),
        Bind(URLsCheckbox, &TMainSettings::ParseUrls),
        Bind(CharLinksCheckbox, &TMainSettings::LinkNames),
        Bind(GroupLinksCheckbox, &TMainSettings::LinkGroups),
        Bind(SmoothScrollCheckbox, &TMainSettings::SmoothScrolling),
        Bind(TimestampCheckbox, &TMainSettings::TimestampChat),
        Bind(TimestampEdit, &TMainSettings::TimestampFormat),
        {SettingName(&TMainSettings::TimestampColor), ColorButton->text(),
         [this](const TMainSettings& s) { SetTimestampColor(s.TimestampColor); },
         [this](TMainSettings& s) { s.TimestampColor = timestampColor_; }},
        Bind(IndentCheckbox, &TMainSettings::TimestampIndent),
        Bind(SpacingEdit, &TMainSettings::LineSpacing),
    });
    UpdateEnabled();
}

void TChatWindowFrame::UpdateEnabled() {
    SetEnabled(timestampControls_, TimestampCheckbox->isChecked());
}

void TChatWindowFrame::SetTimestampColor(plat::TColor color) {
    timestampColor_ = color;
    dlg::SetEnabledTextColor(*TimestampEdit, color);
}

// The colour dialog does not start from the current colour.
void TChatWindowFrame::ColorButtonClick() {
    if (const std::optional<QColor> color = options::Choosers().Color(this, QColor())) {
        SetTimestampColor(plat::FromQColor(*color));
    }
}
