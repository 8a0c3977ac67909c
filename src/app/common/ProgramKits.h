#pragma once
// What the program sets up around its kits before its main window exists,
// and takes down after it: the toolbar kit's themes ("Default" current,
// "Flat" selectable); the desktop settings the kits read (the menu show
// delay, the menu sounds), kept in the user's registry store; the effects
// kit's application object with its instance lock, timer pool and theme
// manager; the program's version for the effects kit's information queries;
// and the program's sound service behind the effects kit's sound stop.

#include <QString>
#include <QStringView>

#include <functional>
#include <memory>

class TDkxNexus;

namespace plat {
class Registry;
class ScopedDesktopStore;
} // namespace plat

// The program's version record, as the version queries ask it by name:
// "ProductVersion" is the version of the program file's version note
// ("major.minor.release.build"; empty without a note), read once here;
// "ProductName" the application's name, "CompanyName" the name its settings
// are kept under; any other name is empty (the record holds nothing more).
std::function<QString(QStringView name)> ProgramVersionLookup(const QString& programFile);

class TProgramKits {
public:
    // desktopStore: the registry store file the desktop settings are read
    // from (the user's store by default).
    explicit TProgramKits(const QString& desktopStore = QString());
    ~TProgramKits();
    TProgramKits(const TProgramKits&) = delete;
    TProgramKits& operator=(const TProgramKits&) = delete;

private:
    std::unique_ptr<TDkxNexus> themes_;
    std::unique_ptr<plat::Registry> desktop_;
    std::unique_ptr<plat::ScopedDesktopStore> desktopInForce_;
};
