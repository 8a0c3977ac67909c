#pragma once

#include "effects/core/VfxObject.h"
#include "effects/core/VfxUtils.h"
#include "platform/core/Registry.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

namespace fx {

class TVfxSystemInfoProvider;

enum TVfxRegRootKey {
    rpClassesRoot,
    rpCurrentUser,
    rpLocalMachine,
    rpUsers,
    rpCurrentConfig,
    rpDynData
};
enum TVfxIniTarget { itIniFile, itRegistry, itAuto };

// Where and how settings are stored: an INI file or a registry key. Both
// kinds are plat::Registry stores: an INI file is a store of its own in the
// file IniFile names (relative names below the IniPrefix folder); the
// registry is the program's store, with every root standing for the user's
// part (no machine-wide store exists here) and RegPath naming the key.
// itAuto works as itRegistry. Every property change notifies.
class TVfxIniCtrl : public TVfxCustomComponent {
    Q_OBJECT
public:
    static constexpr uint8_t kMaxAlphaEntries = 26; // the letters a to z

    explicit TVfxIniCtrl(QObject* owner = nullptr);

    bool AlphaCounter() const { return alphaCounter_; }
    // Any change lowers MaxEntries to 26 when it is above.
    void SetAlphaCounter(bool value);
    bool Common() const { return common_; }
    void SetCommon(bool value) { SetValue(common_, value); }
    const QString& IniFile() const { return iniFile_; }
    // A name whose last part has no "." gets ".INI"; others stay as given.
    void SetIniFile(const QString& value);
    TVfxPathPrefix IniPrefix() const { return iniPrefix_; }
    void SetIniPrefix(TVfxPathPrefix value) { SetValue(iniPrefix_, value); }
    uint8_t MaxEntries() const { return maxEntries_; }
    // A value above 26 is refused (ignored) while AlphaCounter is on.
    void SetMaxEntries(uint8_t value);
    bool NetUser() const { return netUser_; }
    // Switching it on sets User to the logged-on user's name.
    void SetNetUser(bool value);
    const QString& User() const { return user_; }
    void SetUser(const QString& value) { SetValue(user_, value); }
    const QString& RegPath() const { return regPath_; }
    void SetRegPath(const QString& value) { SetValue(regPath_, value); }
    TVfxRegRootKey RegRoot() const { return regRoot_; }
    void SetRegRoot(TVfxRegRootKey value) { SetValue(regRoot_, value); }
    TVfxIniTarget Target() const { return target_; }
    void SetTarget(TVfxIniTarget value) { SetValue(target_, value); }
    // The target in effect: the registry for itAuto.
    TVfxIniTarget EffectiveTarget() const { return target_ == itIniFile ? itIniFile : itRegistry; }
    // The value encoding is not used by the program; kept as properties.
    uint16_t EncKey() const { return encKey_; }
    void SetEncKey(uint16_t value) { SetValue(encKey_, value); }
    bool Encoded() const { return encoded_; }
    void SetEncoded(bool value) { SetValue(encoded_, value); }

    // Where the user's name comes from (default: the system's provider).
    void SetSystemInfo(TVfxSystemInfoProvider* provider) { systemInfo_ = provider; }

    // The file the values live in: for an INI file IniFile, below the
    // IniPrefix folder unless absolute; for the registry the program's store.
    // Empty for an INI target without a file name.
    QString StoreFilePath() const;
    // The key the values live under: the INI file's root, or RegPath's key.
    QStringList RootKeyPath() const;

    // Opens the store. Nothing when there is no file name.
    std::unique_ptr<plat::Registry> OpenStore() const;
    // The key below the root key (section names the subkeys) in store.
    std::optional<plat::Registry::Key> OpenKey(plat::Registry& store, const QStringList& section,
                                               bool canCreate) const;

private:
    bool alphaCounter_ = false;
    bool common_ = true;
    QString iniFile_;
    TVfxPathPrefix iniPrefix_ = ppWindows;
    uint8_t maxEntries_ = 16;
    bool netUser_ = false;
    QString user_;
    QString regPath_;
    TVfxRegRootKey regRoot_ = rpCurrentUser;
    TVfxIniTarget target_ = itAuto;
    uint16_t encKey_ = 23571;
    bool encoded_ = false;
    TVfxSystemInfoProvider* systemInfo_ = nullptr;
};

} // namespace fx
