#include "effects/core/VfxIniCtrl.h"

#include "effects/core/VfxSysInfo.h"

#include <QDir>

namespace fx {

TVfxIniCtrl::TVfxIniCtrl(QObject* owner) : TVfxCustomComponent(owner) {}

void TVfxIniCtrl::SetAlphaCounter(bool value) {
    if (alphaCounter_ == value) {
        return;
    }
    BeginUpdate();
    alphaCounter_ = value;
    if (maxEntries_ > kMaxAlphaEntries) {
        maxEntries_ = kMaxAlphaEntries;
    }
    EndUpdate(true);
}

void TVfxIniCtrl::SetIniFile(const QString& value) {
    QString name = value;
    const qsizetype lastSeparator = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    if (!name.isEmpty() && !QStringView(name).sliced(lastSeparator + 1).contains(u'.')) {
        name += QStringLiteral(".INI");
    }
    SetValue(iniFile_, name);
}

void TVfxIniCtrl::SetMaxEntries(uint8_t value) {
    if (alphaCounter_ && value > kMaxAlphaEntries) {
        return;
    }
    SetValue(maxEntries_, value);
}

void TVfxIniCtrl::SetNetUser(bool value) {
    if (netUser_ == value) {
        return;
    }
    BeginUpdate();
    netUser_ = value;
    if (value) {
        TVfxSystemInfoProvider& info = systemInfo_ ? *systemInfo_ : VfxSystemInfo();
        user_ = info.UserName();
    }
    EndUpdate(true);
}

QString TVfxIniCtrl::StoreFilePath() const {
    if (EffectiveTarget() == itRegistry) {
        return plat::Registry::DefaultFilePath();
    }
    if (iniFile_.isEmpty()) {
        return {};
    }
    QString file = iniFile_;
    file.replace(u'\\', u'/');
    if (QDir::isAbsolutePath(file)) {
        return file;
    }
    return VfxPathPrefix(iniPrefix_, true) + file;
}

QStringList TVfxIniCtrl::RootKeyPath() const {
    if (EffectiveTarget() == itRegistry) {
        return plat::Registry::KeyPath(regPath_);
    }
    return {};
}

std::unique_ptr<plat::Registry> TVfxIniCtrl::OpenStore() const {
    const QString path = StoreFilePath();
    if (path.isEmpty()) {
        return nullptr;
    }
    return std::make_unique<plat::Registry>(path);
}

std::optional<plat::Registry::Key>
TVfxIniCtrl::OpenKey(plat::Registry& store, const QStringList& section, bool canCreate) const {
    return store.OpenKey(RootKeyPath() + section, canCreate);
}

} // namespace fx
