#pragma once
// The folder-choice dialog: a file dialog in folder mode with a title above
// it, a status line with the selected path, placement on the screen and a
// handler that decides whether a folder may be chosen.

#include "platform/core/Exception.h"
#include "platform/core/ScopedOverride.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QDialog;

// Errors of the controls.
class EQvException : public plat::Exception {
public:
    using plat::Exception::Exception;
    const char* ClassName() const noexcept override { return "EQvException"; }
};

// A non-visual component of the controls.
class TQvComponent : public QObject {
    Q_OBJECT
public:
    explicit TQvComponent(QObject* owner = nullptr) : QObject(owner) {}
};

class TQvCommonDialog : public TQvComponent {
    Q_OBJECT
public:
    using TQvComponent::TQvComponent;
    virtual bool Execute() = 0;
};

enum TOptionsDirectory {
    odBrowseForComputer,
    odOnlyDirectory,
    odOnlyPrinters,
    odNoBelowDomain,
    odSystemAncestorsOnly,
    odFileSystemDirectoryOnly,
    odStatusAvailable,
    odIncludeFiles,
    odIncludeUrls,
    odEditBox,
    odNewDialogStyle,
    odShareable
};
// A set of TOptionsDirectory: one bit per member (OptionBit).
using TOptionsDir = uint32_t;
constexpr TOptionsDir OptionBit(TOptionsDirectory option) {
    return TOptionsDir{1} << option;
}

enum TQvFolderPos {
    fpDefault,
    fpScreenCenter,
    fpFormCenter,
    fpTopLeft,
    fpTopRight,
    fpBottomLeft,
    fpBottomRight
};

enum TFromDirectory {
    fdRootFolder,
    fdRecycleBin,
    fdControlPanel,
    fdDesktop,
    fdDesktopDirectory,
    fdMyComputer,
    fdFonts,
    fdNetHood,
    fdNetWork,
    fdPersonal,
    fdPrinters,
    fdPrograms,
    fdRecent,
    fdSendTo,
    fdStartMenu,
    fdStartup,
    fdTemplates
};

namespace ctl {

// The shell's folder-browse flags the options stand for.
constexpr uint32_t BIF_RETURNONLYFSDIRS = 0x0001;
constexpr uint32_t BIF_DONTGOBELOWDOMAIN = 0x0002;
constexpr uint32_t BIF_STATUSTEXT = 0x0004;
constexpr uint32_t BIF_RETURNFSANCESTORS = 0x0008;
constexpr uint32_t BIF_EDITBOX = 0x0010;
constexpr uint32_t BIF_NEWDIALOGSTYLE = 0x0040;
constexpr uint32_t BIF_BROWSEINCLUDEURLS = 0x0080;
constexpr uint32_t BIF_BROWSEFORCOMPUTER = 0x1000;
constexpr uint32_t BIF_BROWSEFORPRINTER = 0x2000;
constexpr uint32_t BIF_BROWSEINCLUDEFILES = 0x4000;
constexpr uint32_t BIF_SHAREABLE = 0x8000;

// A shell version: major in the high word, minor in the low word.
constexpr uint32_t ShellVersion(uint16_t major, uint16_t minor) {
    return uint32_t{major} << 16 | minor;
}
// The shell version the dialog behaves as (6.0), unless a test put another
// in force.
uint32_t CurrentShellVersion();
struct ShellVersionTag;
using ScopedShellVersion = plat::ScopedOverride<uint32_t, ShellVersionTag>;

// The flags of a set of options on a shell of the version: browsing for a
// computer or a printer replaces what came before it; options the shell is
// too old for add nothing.
uint32_t BrowseFlags(TOptionsDir options, uint32_t shellVersion);

// The folder a root stands for here; empty when it has none (the whole file
// system is shown).
QString RootFolderPath(TFromDirectory root);

} // namespace ctl

class TQvBrowseFolder : public TQvCommonDialog {
    Q_OBJECT
public:
    explicit TQvBrowseFolder(QObject* owner = nullptr);
    ~TQvBrowseFolder() override;

    // Shows the dialog; true when a folder was chosen (then in Directory).
    // Raises EQvException "Shell not compatible with BrowseForFolder" on a
    // shell older than 4.0.
    bool Execute() override;

    const QString& Directory() const { return directory_; }
    const QString& DisplayName() const { return displayName_; }
    TOptionsDir Options() const { return options_; }
    TQvFolderPos Position() const { return position_; }
    TFromDirectory RootDirectory() const { return rootDirectory_; }
    const QString& Title() const { return title_; }
    const QString& StatusText() const { return statusText_; }

    void SetDirectory(const QString& value) { directory_ = value; }
    void SetOptions(TOptionsDir value) { options_ = value; }
    void SetPosition(TQvFolderPos value) { position_ = value; }
    void SetRootDirectory(TFromDirectory value) { rootDirectory_ = value; }
    void SetTitle(const QString& value) { title_ = value; }
    void SetStatusText(const QString& value) { statusText_ = value; }

    // The dialog while Execute runs, else null.
    QDialog* Dialog() const;

    std::function<void(TQvBrowseFolder*)> OnInitialized;
    // Sender, folder, accept (true unless the handler refuses).
    std::function<void(TQvBrowseFolder*, const QString&, bool&)> OnAcceptChange;
    std::function<void(TQvBrowseFolder*, const QString&)> OnChange;

private:
    class TDialog;
    friend class TDialog;

    QString directory_;
    QString displayName_;
    TOptionsDir options_ = OptionBit(odStatusAvailable) | OptionBit(odNewDialogStyle);
    TQvFolderPos position_ = fpDefault;
    TFromDirectory rootDirectory_ = fdRootFolder;
    QString title_;
    QString statusText_;
    TDialog* dialog_ = nullptr;
};
