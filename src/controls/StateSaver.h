#pragma once
// Keeps a form's position, size and maximized state between runs, in the
// user's registry store or in an INI file.

#include "platform/gui/StoredValues.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class QWidget;

namespace plat {
class Registry;
}

enum TStorageLocation { slIni, slRegistry };

// The registry roots a saver can name. Only the current user's part exists
// here (plat::Registry); a key under any other root never opens.
enum class TRootKey : uint32_t {
    ClassesRoot = 0x80000000,
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
    Users = 0x80000003
};

// A non-visual component owned by the form it serves. With Automatic, Loaded
// restores the placement and closing the window (hiding it, or destroying it
// while shown) stores it.
//
// Stored values: "Top", "Left", "Height", "Width" (integers, only while the
// form is not maximized) and "Maximized" (always). Top and Left are the
// frame's position, Height and Width the form's size without the frame. A
// bound that is missing or is not an integer counts as not stored and the
// form keeps its own; so does one no screen could show
// (plat::FitStoredBounds: a size below the least a window may be, any value
// beyond the screen coordinate range). A "Maximized" that is missing or not a Boolean
// gives DefaulMaximized. Whatever is stored, the form opens on a monitor and
// no larger than its work area: wholly inside it with KeepOnScreen.
//
// Restore before the form's window is created (Loaded in the form's
// constructor): only then does the window system put the frame, which it
// adds when the window is first shown, where Top and Left say.
//
// Without a window manager nobody maximizes, restores or moves a window but
// the program: the form opens maximized only when "Maximized" says it was,
// covering its monitor's work area itself, and it is stored as maximized
// only while it covers that area; otherwise its bounds are stored.
class TStateSaver : public QObject {
    Q_OBJECT
public:
    struct TStoredState {
        plat::StoredBounds Bounds; // nothing where not stored
        bool Maximized = false;
        // Maximized was read from the store, not taken from DefaulMaximized.
        bool MaximizedStored = false;
    };

    explicit TStateSaver(QWidget* form);
    ~TStateSaver() override;

    bool Automatic() const { return automatic_; }
    TStorageLocation Location() const { return location_; }
    TRootKey RootKey() const { return rootKey_; }
    const QString& Path() const { return path_; }
    const QString& Section() const { return section_; }
    bool KeepOnScreen() const { return keepOnScreen_; }
    bool DefaulMaximized() const { return defaulMaximized_; }

    void SetAutomatic(bool value) { automatic_ = value; }
    void SetLocation(TStorageLocation value) { location_ = value; }
    void SetRootKey(TRootKey value) { rootKey_ = value; }
    void SetPath(const QString& value) { path_ = value; }
    void SetSection(const QString& value) { section_ = value; }
    void SetKeepOnScreen(bool value) { keepOnScreen_ = value; }
    void SetDefaulMaximized(bool value) { defaulMaximized_ = value; }

    // The store behind the current user's root. Shared so that a save while
    // the form is torn down still has it. Without one, each read and write
    // goes to the user's own store file.
    void SetRegistry(std::shared_ptr<plat::Registry> registry) { registry_ = std::move(registry); }

    // Call once the form is set up: restores when Automatic.
    void Loaded();
    // Reads the stored values and applies them to the form.
    void RestoreState();
    // Takes the form's placement and writes it.
    void SaveState();

    // Reading on its own.
    TStoredState ReadState() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Form() const;
    QStringList RegistryKey() const;
    QString IniSection() const;
    // The INI file's folder when it exists; else shows the error box with
    // `what` and gives nothing.
    bool IniFolderExists(const QString& what) const;
    void ApplyState(const TStoredState& state);
    void WriteState(const TStoredState& state);

    bool automatic_ = true;
    TStorageLocation location_ = slRegistry;
    TRootKey rootKey_ = TRootKey::CurrentUser;
    QString path_;
    QString section_ = QStringLiteral("Position");
    bool keepOnScreen_ = true;
    bool defaulMaximized_ = true;
    std::shared_ptr<plat::Registry> registry_;
};
