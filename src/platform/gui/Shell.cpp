#include "platform/gui/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace plat {

namespace {

QUrl WebUrl(const QString& address) {
    QUrl url(address.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return QUrl();
    }
    const QString scheme = url.scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        return QUrl();
    }
    return url;
}

} // namespace

bool IsOpenableWebAddress(const QString& address) {
    return WebUrl(address).isValid();
}

bool ShellOpenUrl(const QString& address) {
    const QUrl url = WebUrl(address);
    if (!url.isValid()) {
        return false;
    }
    QDesktopServices::openUrl(url);
    return true;
}

} // namespace plat
