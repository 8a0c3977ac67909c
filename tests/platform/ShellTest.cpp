#include "platform/gui/Shell.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList seen;
public Q_SLOTS:
    void open(const QUrl& url) { seen << url.toString(); }
};

} // namespace

TEST(Shell, OnlyWebAddressesReachTheDesktop) {
    UrlCatcher catcher;
    const char* schemes[] = {"http", "https", "mailto", "news", "file", "ftp"};
    for (const char* scheme : schemes) {
        QDesktopServices::setUrlHandler(scheme, &catcher, "open");
    }
    const std::pair<const char*, bool> urls[] = {{"http://example.com/a?b=1&c=2", true},
                                                 {"HTTPS://Example.com", true},
                                                 {"mailto:bob@example.com", false},
                                                 {"news://news.example.com", false},
                                                 {"file:///etc/passwd", false},
                                                 {"ftp://example.com", false},
                                                 {"example.com", false},
                                                 {"http://", false},
                                                 {"", false},
                                                 {"http://exa mple.com", false},
                                                 {"javascript:alert(1)", false}};
    for (const auto& [url, web] : urls) {
        EXPECT_EQ(plat::ShellOpenUrl(url), web) << url;
        EXPECT_EQ(plat::IsOpenableWebAddress(url), web) << url;
    }
    for (const char* scheme : schemes) {
        QDesktopServices::unsetUrlHandler(scheme);
    }
    EXPECT_EQ(catcher.seen, QStringList({"http://example.com/a?b=1&c=2", "https://example.com"}));
}

#include "ShellTest.moc"
