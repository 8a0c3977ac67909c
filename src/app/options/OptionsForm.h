#pragma once

// "ZELVO Options": the main window's settings in six pages beside a tree of
// page names. A page is created the first time it is shown and filled from
// the settings; OK writes every created page back into the settings and has
// the main window put them into effect. The pages touch nothing else.

#include "app/options/OptionBindings.h"
#include "app/options/OptionsTreeView.h"
#include "app/settings/Settings.h"
#include "platform/gui/Colors.h"
#include "platform/gui/Drawing.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;
class QTreeWidgetItem;
class QVBoxLayout;
class TDimensionList;

namespace plat {
class ImageList;
}

namespace options {

// The dialogs the pages open; tests replace them. Each returns nothing when
// cancelled. The folder dialog gets its title and the folder to start in
// (empty for none). The font dialog opens on the initial font and returns it
// with what the user changed.
struct TChoosers {
    std::function<std::optional<QString>(QWidget*, const QString& title, const QString& start)>
        Folder;
    std::function<std::optional<QFont>(QWidget*, const QFont& initial)> Font;
    std::function<std::optional<QColor>(QWidget*, const QColor& initial)> Color;
};
TChoosers& Choosers();
// Restores the ordinary dialogs.
void ResetChoosers();

// Lets pending events run, then asks for a folder starting in `start` when it
// exists. The chosen folder comes back with a trailing "/", else `start`.
QString BrowseForFolder(QWidget* parent, const QString& title, const QString& start);

} // namespace options

// What the pages work on: the settings, the stored logins (offered for the
// automatic login) and the dimensions (which the connection page edits).
// Apply puts the settings into effect after OK.
struct TOptionsContext {
    TMainSettings& Settings;
    const TLogins& Logins;
    TDimensionList& Dimensions;
    std::function<void(const TSettingsChange&)> Apply;
};

// A page: loads its controls from the settings and saves them back, each
// through the page's list of bindings in its order.
class TOptionBaseFrame : public QFrame {
    Q_OBJECT
public:
    TOptionBaseFrame(TOptionsContext& context, QWidget* owner);
    void SaveSettings();
    // Then the controls that a switch enables follow it.
    void LoadSettings();
    const std::vector<TOptionBinding>& Bindings() const { return bindings_; }

    // Tahoma 8, the font of every page.
    static QFont PageFont();
    // Widens each edit box of the page to show its whole text, up to a limit
    // beyond which the box scrolls as usual.
    void FitEdits();

protected:
    // A heading label at the top of the page.
    QLabel* AddHeading(const QString& text);
    // The page's layout: its controls from top to bottom.
    QVBoxLayout* Column() const { return column_; }
    void SetBindings(std::vector<TOptionBinding> bindings) { bindings_ = std::move(bindings); }
    // Enables the controls of each switch by its check state.
    virtual void UpdateEnabled() {}
    TOptionsContext& Context;
    TMainSettings& Settings;

private:
    QVBoxLayout* column_;
    std::vector<TOptionBinding> bindings_;
};

class TAutoConnectFrame : public TOptionBaseFrame {
    Q_OBJECT
public:
    // With no dimension to choose, the automatic login stores an empty
    // dimension name (which makes the program show the login dialog).
    TAutoConnectFrame(TOptionsContext& context, QWidget* owner);
    // A new dimension when there is none, else the list dialog.
    void ServersButtonClick();

    QRadioButton* NothingRadioButton;
    QRadioButton* DialogRadioButton;
    QRadioButton* LoginRadioButton;
    QComboBox* UserCombobox;
    QLineEdit* PasswordEdit;
    QComboBox* DimensionCombobox;
    QToolButton* ServersButton;
    QCheckBox* ReconnectCheckBox;
    QSpinBox* TimesEdit;
    QSpinBox* DelayEdit;

private:
    void LoadDimensions();
    void SelectDimension(const QString& name);
    // The automatic login is chosen: its account is saved.
    bool LoginChosen() const;
    std::vector<TOptionBinding> StartupBindings();
    void UpdateEnabled() override;
    QList<QWidget*> loginControls_;
    QList<QWidget*> reconnectControls_;
};

class TLoggingFrame : public TOptionBaseFrame {
    Q_OBJECT
public:
    TLoggingFrame(TOptionsContext& context, QWidget* owner);
    void BrowseButtonClick();

    QCheckBox* LoggingCheckbox;
    QCheckBox* TimestampCheckbox;
    QLineEdit* FolderEdit;
    QPushButton* BrowseButton;
    QListWidget* LogListBox;

private:
    void UpdateEnabled() override;
    QList<QWidget*> loggingControls_;
};

class TAwayOptionsFrame : public TOptionBaseFrame {
    Q_OBJECT
public:
    // Saved, the automatic away counts from now (TOptionsForm::OkButtonClick).
    TAwayOptionsFrame(TOptionsContext& context, QWidget* owner);

    QCheckBox* AutoAwayCheckbox;
    QSpinBox* IdleEdit;
    QLineEdit* MessageEdit;
    QCheckBox* KeypressCheckbox;
    QCheckBox* LogCheckbox;

private:
    void UpdateEnabled() override;
    QList<QWidget*> awayControls_;
};

class TSoundsFrame : public TOptionBaseFrame {
    Q_OBJECT
public:
    TSoundsFrame(TOptionsContext& context, QWidget* owner);
    void BrowseButtonClick();

    QCheckBox* SoundsCheckbox;
    QLineEdit* FolderEdit;
    QPushButton* BrowseButton;

private:
    void UpdateEnabled() override;
    QList<QWidget*> soundControls_;
};

class TFontsFrame : public TOptionBaseFrame {
    Q_OBJECT
public:
    enum TRow { frFriends = 0, frGroups = 1, frChat = 2, frInput = 3 };

    TFontsFrame(TOptionsContext& context, QWidget* owner);
    void FontButtonClick(TRow row);
    void ColorButtonClick(TRow row);

    // A sample's font and background colour.
    plat::ColoredFont SampleFont(TRow row) const { return ToColoredFont(samples_[row].font); }
    plat::TColor SampleColor(TRow row) const { return samples_[row].color; }

    // FriendFontEdit, GroupFontEdit, ChatFontEdit and InputFontEdit, by row.
    std::array<QLineEdit*, 4> SampleEdits{};
    std::array<QPushButton*, 4> FontButtons{};
    std::array<QPushButton*, 4> ColorButtons{};

private:
    // The font as stored, its character set too, which the page does not show.
    struct TSample {
        TFontSettings font;
        plat::TColor color = plat::clWindow;
    };
    void ShowSample(TRow row);
    std::array<TSample, 4> samples_;
};

class TChatWindowFrame : public TOptionBaseFrame {
    Q_OBJECT
public:
    TChatWindowFrame(TOptionsContext& context, QWidget* owner);
    void ColorButtonClick();

    plat::TColor TimestampColor() const { return timestampColor_; }

    QCheckBox* EmoticonsCheckbox;
    QCheckBox* URLsCheckbox;
    QCheckBox* CharLinksCheckbox;
    QCheckBox* GroupLinksCheckbox;
    QCheckBox* SmoothScrollCheckbox;
    QCheckBox* TimestampCheckbox;
    QLineEdit* TimestampEdit;
    QPushButton* ColorButton;
    QCheckBox* IndentCheckbox;
    QSpinBox* SpacingEdit; // 0 to 100 pixels

private:
    void SetTimestampColor(plat::TColor color);
    void UpdateEnabled() override;
    QList<QWidget*> timestampControls_;
    plat::TColor timestampColor_ = 0x808080;
};

class TOptionsForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPageCount = 6;

    TOptionsForm(TOptionsContext context, QWidget* parent);
    ~TOptionsForm() override;

    // The page of a node below a top node whose captions match, ignoring the
    // case of ASCII letters; -1 for none.
    int FindPage(const QTreeWidgetItem* node) const;
    // Shows the node's page, creating and loading it the first time.
    void ShowPage(QTreeWidgetItem* node);
    void SelectFirstPage();
    // Each created page's SaveSettings, in page order.
    void SaveFrames();
    void HideFrames();
    void FreeFrames();
    // Saves the pages, has the settings applied and closes.
    void OkButtonClick();
    void CancelButtonClick();

    // The created page of a row, or null.
    TOptionBaseFrame* Frame(int row) const { return frames_[row]; }
    template <typename Page>
    Page* FindFrame() const {
        for (TOptionBaseFrame* frame : frames_) {
            if (auto* page = qobject_cast<Page*>(frame)) {
                return page;
            }
        }
        return nullptr;
    }
    // The tree node with this caption.
    QTreeWidgetItem* FindNode(const QString& text) const;

    // The tree's images: OptionsImageCount of them (OptionsTreeView.h).
    plat::ImageList* OptionsList;
    TOptionsTreeView* OptionsTreeView;
    QWidget* CaptionPanel;
    QLabel* CaptionLabel;
    QWidget* HolderPanel;
    QPushButton* OkButton;
    QPushButton* CancelButton;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TOptionsContext context_;
    QGridLayout* pages_;
    std::array<TOptionBaseFrame*, kPageCount> frames_{};
    QTreeWidgetItem* lastNode_ = nullptr;
    bool closing_ = false;
};
