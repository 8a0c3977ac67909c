#include "platform/gui/Shell.h"

#include "GoldenRows.h"

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
    for (const QStringList& row : GoldenTextRows("platform/web-addresses.tsv", 2)) {
        EXPECT_EQ(plat::ShellOpenUrl(row[0]), row[1] == u"yes") << row.join(u" | ").toStdString();
        EXPECT_EQ(plat::IsOpenableWebAddress(row[0]), row[1] == u"yes")
            << row.join(u" | ").toStdString();
    }
    for (const char* scheme : schemes) {
        QDesktopServices::unsetUrlHandler(scheme);
    }
    EXPECT_EQ(catcher.seen, QStringList({"http://example.com/a?b=1&c=2", "https://example.com"}));
}

#include "ShellTest.moc"
