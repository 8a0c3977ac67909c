#include "platform/gui/Shell.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> seen;
public Q_SLOTS:
    void open(const QUrl& url) { seen << url; }
};

} // namespace

TEST(Shell, OnlyWebAddressesReachTheDesktop) {
    UrlCatcher catcher;
    for (const char* scheme : {"http", "https", "mailto", "news", "file", "ftp"}) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
    }
    EXPECT_TRUE(plat::ShellOpenUrl(u"http://example.com/a?b=1&c=2"_qs));
    EXPECT_TRUE(plat::ShellOpenUrl(u"HTTPS://Example.com"_qs));
    EXPECT_FALSE(plat::ShellOpenUrl(u"mailto:bob@example.com"_qs));
    EXPECT_FALSE(plat::ShellOpenUrl(u"news://news.example.com"_qs));
    EXPECT_FALSE(plat::ShellOpenUrl(u"file:///etc/passwd"_qs));
    EXPECT_FALSE(plat::ShellOpenUrl(u"ftp://example.com"_qs));
    EXPECT_FALSE(plat::ShellOpenUrl(u"example.com"_qs));
    EXPECT_FALSE(plat::ShellOpenUrl(u"http://"_qs));
    EXPECT_FALSE(plat::ShellOpenUrl(QString()));
    EXPECT_FALSE(plat::ShellOpenUrl(u"http://exa mple.com"_qs));
    for (const char* scheme : {"http", "https", "mailto", "news", "file", "ftp"}) {
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    ASSERT_EQ(catcher.seen.size(), 2);
    EXPECT_EQ(catcher.seen[0], QUrl(u"http://example.com/a?b=1&c=2"_qs));
    EXPECT_EQ(catcher.seen[1].host(), u"example.com"_qs);
    EXPECT_TRUE(plat::IsOpenableWebAddress(u"https://x.org"_qs));
    EXPECT_FALSE(plat::IsOpenableWebAddress(u"javascript:alert(1)"_qs));
}

#include "ShellTest.moc"
