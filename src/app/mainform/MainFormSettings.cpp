// The settings and what they set: loaded once when the window is created and
// put into the controls in the stored order; taken back from the controls
// and saved once when the window is destroyed.
#include "app/mainform/MainForm.h"

#include "app/kit/Kit.h"
#include "app/mainform/MainFormControls.h"
#include "console/QvConsole.h"
#include "platform/core/Registry.h"

#include <QLabel>
#include <QListWidget>
#include <QTextStream>

namespace {

const QStringList kToolbarsKey{QStringLiteral("MainForm"), QStringLiteral("Toolbars")};
const QStringList kPlacementKey{QStringLiteral("MainForm"), QStringLiteral("Position")};

// A stored size above 0 is in points; below 0 it is a height in pixels.
plat::ColoredFont ToColoredFont(const TFontSettings& stored) {
    plat::ColoredFont result;
    result.font.setFamily(stored.Name);
    if (stored.Size > 0) {
        result.font.setPointSize(stored.Size);
    } else if (stored.Size < 0) {
        result.font.setPixelSize(-stored.Size);
    }
    result.font.setBold(stored.Bold);
    result.font.setUnderline(stored.Underline);
    result.font.setItalic(stored.Italic);
    result.font.setStrikeOut(stored.StrikeOut);
    result.color = stored.Color;
    return result;
}

// The character set is not a property of Qt fonts: the stored one is kept.
TFontSettings ToFontSettings(const plat::ColoredFont& font, int32_t charSet) {
    TFontSettings result;
    result.CharSet = charSet;
    result.Color = font.color;
    result.Name = font.font.family();
    result.Size = font.font.pointSize() > 0 ? font.font.pointSize() : -font.font.pixelSize();
    result.Bold = font.font.bold();
    result.Underline = font.font.underline();
    result.Italic = font.font.italic();
    result.StrikeOut = font.font.strikeOut();
    return result;
}

// A panel's colour is its background.
void SetPanelColor(QWidget& panel, plat::TColor color) {
    QPalette palette = panel.palette();
    const QColor c = plat::ToQColor(color);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, c);
    }
    panel.setPalette(palette);
}

} // namespace

void TMainForm::RestorePlacement() {
    kit::LoadPlacement(*this, *registry_, kPlacementKey);
}

void TMainForm::LoadSettings() {
    LoadLogins(*registry_, Logins);
    LoadDimensions(*registry_, VLChat->DimensionList());
    kit::LoadToolbarPositions(*this, *registry_, kToolbarsKey);
    Settings = ::LoadSettings(*registry_);
    settingsLoaded_ = true;
    ApplySettings();
}

void TMainForm::ApplySettings() {
    GroupDockablePanel->SetVisible(Settings.GroupPanelVisible);
    GroupSplitter->SetPosition(GroupSplitter->Height() - Settings.GroupSplitterPosition);
    MainSplitter->SetPosition(MainSplitter->Height() - Settings.MainSplitterPosition);
    StatusBar->SetVisible(Settings.StatusBarVisible);
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
    mainform::SetTextColor(*TargetLabel, plat::clBlue);
    RefListView->setFont(InputEdit->Font().font);
}

void TMainForm::CollectSettings() {
    Settings.GroupPanelVisible = GroupDockablePanel->Visible();
    Settings.GroupSplitterPosition = GroupSplitter->Height() - GroupSplitter->Position();
    Settings.MainSplitterPosition = MainSplitter->Height() - MainSplitter->Position();
    Settings.StatusBarVisible = StatusBar->Visible();
    Settings.SmoothScrolling = OutputMemo->Scrolling().SmoothScrolling();
    Settings.LineSpacing = OutputMemo->LineSpacing();
    Settings.FriendsTreeView.Font =
        ToFontSettings(FriendsTreeView->Font(), Settings.FriendsTreeView.Font.CharSet);
    Settings.GroupsTreeView.Font =
        ToFontSettings(GroupsTreeView->Font(), Settings.GroupsTreeView.Font.CharSet);
    Settings.OutputMemo.Font = ToFontSettings(OutputMemo->Font(), Settings.OutputMemo.Font.CharSet);
    Settings.InputEdit.Font = ToFontSettings(InputEdit->Font(), Settings.InputEdit.Font.CharSet);
    Settings.FriendsTreeView.Color = FriendsTreeView->Color();
    Settings.GroupsTreeView.Color = GroupsTreeView->Color();
    Settings.OutputMemo.Color = OutputMemo->Color();
    Settings.InputEdit.Color = InputEdit->Color();
}

void TMainForm::SaveSettings() {
    if (!settingsLoaded_) {
        return;
    }
    CollectSettings();
    SaveLogins(*registry_, Logins);
    SaveDimensions(*registry_, VLChat->DimensionList());
    kit::SaveToolbarPositions(*this, *registry_, kToolbarsKey);
    ::SaveSettings(*registry_, Settings);
    kit::SavePlacement(*this, *registry_, kPlacementKey);
    // The window is going away: a failure can only be reported on stderr.
    if (!registry_->Save()) {
        QTextStream(stderr) << "Quorvel: the settings were not saved: " << registry_->ErrorText()
                            << Qt::endl;
    }
}
