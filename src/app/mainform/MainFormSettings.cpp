// The settings and what they set: loaded once when the window is created and
// put into effect in the stored order, applied again whenever the options
// change them, and saved once when the window is destroyed.
#include "app/mainform/MainForm.h"

#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainFormControls.h"
#include "app/options/OptionsForm.h"
#include "console/QvConsole/QvConsole.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkPositions.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "dockkit/palettes/DkxColorPalette.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "platform/core/Guarded.h"
#include "platform/core/Registry.h"
#include "platform/gui/StoredValues.h"

#include <QLabel>
#include <QListWidget>
#include <QTextStream>
#include <QTimer>

namespace {

const QStringList kToolbarsKey{QStringLiteral("MainForm"), QStringLiteral("Toolbars")};

// A panel paints its colour; what it holds takes that colour as its window
// background too.
template <typename Panel>
void SetPanelColor(Panel& panel, plat::TColor color) {
    panel.SetColor(color);
    QPalette palette = panel.palette();
    const QColor c = plat::ToQColor(color);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, c);
    }
    panel.setPalette(palette);
}

// The bar at that distance from the splitter's bottom; a distance no screen
// could show counts as not stored.
void PlaceBar(TQvSplitter& splitter, int distance, int defaultDistance) {
    splitter.SetPosition(plat::BarPositionFromEnd(splitter.height(), distance, defaultDistance));
}

int BarDistance(const TQvSplitter& splitter) {
    return splitter.height() - splitter.Position();
}

} // namespace

void TMainForm::LoadSettings() {
    LoadLogins(*registry_, Logins);
    LoadDimensions(*registry_, VLChat->DimensionList());
    // A bar the kit cannot place (one without a name) costs its own place,
    // never the settings that follow.
    plat::Guarded([this] { dk::RegistryLoadPositions(this, *registry_, kToolbarsKey); });
    Settings = ::LoadSettings(*registry_);
    settingsLoaded_ = true;
    // The bars and splitters, then everything else; logging starts from off.
    GroupDockablePanel->setVisible(Settings.GroupPanelVisible);
    const TMainSettings defaults;
    PlaceBar(*GroupSplitter, Settings.GroupSplitterPosition, defaults.GroupSplitterPosition);
    PlaceBar(*MainSplitter, Settings.MainSplitterPosition, defaults.MainSplitterPosition);
    StatusBar->setVisible(Settings.StatusBarVisible);
    TSettingsChange start;
    start.RestartAutoAway = true;
    ApplySettings(start);
}

void TMainForm::ApplySettings(const TSettingsChange& change) {
    OutputMemo->Scrolling().SetSmoothScrolling(Settings.SmoothScrolling);
    OutputMemo->SetLineSpacing(Settings.LineSpacing);
    FriendsTreeView->SetFont(ToColoredFont(Settings.FriendsTreeView.Font));
    GroupsTreeView->SetFont(ToColoredFont(Settings.GroupsTreeView.Font));
    OutputMemo->SetFont(ToColoredFont(Settings.OutputMemo.Font));
    InputEdit->SetFont(ToColoredFont(Settings.InputEdit.Font));
    FriendsTreeView->SetColor(Settings.FriendsTreeView.Color);
    GroupsTreeView->SetColor(Settings.GroupsTreeView.Color);
    OutputMemo->SetColor(Settings.OutputMemo.Color);
    ApplyLinkFonts();
    InputEdit->SetColor(Settings.InputEdit.Color);
    ApplyInputLook();
    // The "Default" colour is the input font's colour.
    ClrDefault->SetColor(Settings.InputEdit.Font.Color);

    // The stop headers go where the files were logged so far, the start
    // headers where they are logged from now on.
    const TMainSettings& was = change.Previous;
    const bool moved = was.LoggingFolder != Settings.LoggingFolder ||
                       was.LogGroup != Settings.LogGroup || was.LogPrivate != Settings.LogPrivate ||
                       was.LogPrivateGroup != Settings.LogPrivateGroup ||
                       was.LogSystem != Settings.LogSystem || was.LogError != Settings.LogError;
    if (was.Logging && (!Settings.Logging || moved)) {
        WriteLogHeaders(was, false);
    }
    if (Settings.Logging && (!was.Logging || moved)) {
        WriteLogHeaders(Settings, true);
    }

    if (change.RestartAutoAway) {
        if (Settings.AutoAway) {
            Away.Touch();
            AwayTimer->start();
        } else {
            AwayTimer->stop();
        }
    }
}

void TMainForm::ApplyLinkFonts() {
    plat::ColoredFont link = OutputMemo->Font();
    link.color = plat::clBlue;
    OutputMemo->Links().SetFont(link);
    link.font.setUnderline(!OutputMemo->Font().font.underline());
    OutputMemo->Links().SetHoverFont(link);
}

void TMainForm::ApplyInputLook() {
    const plat::TColor color = InputEdit->Color();
    SetPanelColor(*TargetPanel, color);
    plat::SetControlColor(*RefListView, color);
    SetPanelColor(*InputPanel, color);
    TargetLabel->setFont(InputEdit->Font().font);
    dlg::SetTextColor(*TargetLabel, plat::clBlue);
    RefListView->setFont(InputEdit->Font().font);
}

void TMainForm::SaveSettings() {
    if (!settingsLoaded_) {
        return;
    }
    // What the user changes on the controls themselves.
    Settings.GroupPanelVisible = GroupDockablePanel->Visible();
    Settings.GroupSplitterPosition = BarDistance(*GroupSplitter);
    Settings.MainSplitterPosition = BarDistance(*MainSplitter);
    Settings.StatusBarVisible = !StatusBar->isHidden();
    SaveLogins(*registry_, Logins);
    SaveDimensions(*registry_, VLChat->DimensionList());
    // The window is going away: a failure can only be reported on stderr. A
    // bar the kit cannot save costs its own place, never the other settings.
    try {
        dk::RegistrySavePositions(this, *registry_, kToolbarsKey);
    } catch (const std::exception& error) {
        QTextStream(stderr) << "Quorvel: the bar positions were not all saved: " << error.what()
                            << Qt::endl;
    }
    ::SaveSettings(*registry_, Settings);
    if (!registry_->Save()) {
        QTextStream(stderr) << "Quorvel: the settings were not saved: " << registry_->ErrorText()
                            << Qt::endl;
    }
}

// What the options dialog of this window works on: the window's settings,
// its stored logins and dimensions; its OK applies the settings here.
TOptionsContext TMainForm::OptionsContext() {
    return TOptionsContext{Settings, Logins, VLChat->DimensionList(),
                           [this](const TSettingsChange& change) { ApplySettings(change); }};
}
