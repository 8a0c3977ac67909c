#include "app/whois/VLWhoisThread.h"

#include "app/xml/XmlDoc.h"
#include "platform/core/Exception.h"
#include "platform/core/Format.h"
#include "platform/core/Guarded.h"

#include <QBuffer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

namespace {

// Every lookup object alive; only the GUI thread creates and deletes them.
std::mutex& LiveLookupsMutex() {
    static std::mutex m;
    return m;
}
std::set<TVLWhoisThread*>& LiveLookups() {
    static std::set<TVLWhoisThread*> all;
    return all;
}

// A name or id as one path segment: everything but letters, digits and
// "-._~" is percent-encoded. "." and ".." cannot be segments of their own
// (they would move up the path even when encoded); they give nothing.
std::optional<QString> PathSegment(const QString& text) {
    if (text == u"." || text == u"..") {
        return std::nullopt;
    }
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString TextOf(const IXMLNodePtr& node) {
    return node->Value().toString();
}

// The level as a decimal number; anything else counts as 0.
int LevelOf(const QString& text) {
    bool ok = false;
    const int level = text.trimmed().toInt(&ok, 10);
    return ok ? level : 0;
}

} // namespace

TVLWhoisThread::TVLWhoisThread(QObject* parent) : QThread(parent), site_(DefaultSite()) {
    connect(
        this, &QThread::finished, this, [this] { HandleFinished(); }, Qt::QueuedConnection);
    const std::lock_guard lock(LiveLookupsMutex());
    LiveLookups().insert(this);
}

TVLWhoisThread::~TVLWhoisThread() {
    {
        const std::lock_guard lock(LiveLookupsMutex());
        LiveLookups().erase(this);
    }
    if (isRunning()) {
        Cancel();
        wait();
    }
}

QString TVLWhoisThread::DefaultSite() {
    const QString site = qEnvironmentVariable(SiteVariable);
    QString out = site.isEmpty() ? QString::fromLatin1(kDefaultSite) : site;
    while (out.endsWith(u'/')) {
        out.chop(1);
    }
    return out;
}

void TVLWhoisThread::SetSite(const QString& site) {
    site_ = site;
    while (site_.endsWith(u'/')) {
        site_.chop(1);
    }
}

void TVLWhoisThread::Resume() {
    start();
}

void TVLWhoisThread::Cancel() {
    requestInterruption();
    const std::lock_guard lock(loopMutex_);
    if (loop_) {
        // The loop lives in the lookup's thread; the call is dropped if the
        // loop is gone before it arrives.
        QMetaObject::invokeMethod(loop_, &QEventLoop::quit, Qt::QueuedConnection);
    }
}

void TVLWhoisThread::CancelAll() {
    std::vector<TVLWhoisThread*> all;
    {
        const std::lock_guard lock(LiveLookupsMutex());
        all.assign(LiveLookups().begin(), LiveLookups().end());
    }
    for (TVLWhoisThread* thread : all) {
        thread->silenced_ = true;
        thread->Cancel();
    }
    for (TVLWhoisThread* thread : all) {
        thread->wait();
    }
    for (TVLWhoisThread* thread : all) {
        if (thread->freeOnTerminate_) {
            delete thread; // its queued end notification goes with it
        }
    }
}

void TVLWhoisThread::HandleFinished() {
    const QPointer<TVLWhoisThread> self(this); // the handler may delete the lookup
    if (!silenced_ && OnTerminate) {
        plat::Guarded([this] { OnTerminate(this); });
    }
    if (self && freeOnTerminate_) {
        deleteLater();
    }
}

void TVLWhoisThread::run() {
    Execute();
}

void TVLWhoisThread::Execute() {
    success_ = false;
    try {
        if (!isInterruptionRequested()) {
            DoWhois();
        }
    } catch (...) {
        // Any failure ends the lookup quietly; Success tells the outcome.
    }
}

void TVLWhoisThread::DoWhois() {
    if (isInterruptionRequested()) {
        return;
    }
    const std::optional<QString> name = PathSegment(charName_);
    if (!name) {
        throw plat::Exception(plat::Format("'%s' is not a character name", charName_));
    }
    bioURL_ = site_ + QStringLiteral("/character/bio/d/") + QString::number(dimensionID_) +
              QStringLiteral("/name/") + *name;
    if (isInterruptionRequested()) {
        return;
    }
    const QByteArray document = Fetch(QUrl(bioURL_ + QStringLiteral("/bio.xml")));
    ParseBio(document);
}

QByteArray TVLWhoisThread::Fetch(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https")) {
        throw plat::Exception(plat::Format("Not a web address: %s", url.toString()));
    }
    QNetworkAccessManager manager; // lives in this thread
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs_);
    QNetworkReply* reply = manager.get(request);

    QByteArray body;
    bool tooLarge = false;
    bool timedOut = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        body += reply->read(maxBytes_ + 1 - body.size());
        if (body.size() > maxBytes_ && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    {
        const std::lock_guard lock(loopMutex_);
        if (isInterruptionRequested()) {
            reply->abort();
            throw plat::Exception(QStringLiteral("Lookup cancelled"));
        }
        loop_ = &loop;
    }
    deadline.start(timeoutMs_);
    if (!reply->isFinished()) {
        loop.exec();
    }
    {
        const std::lock_guard lock(loopMutex_);
        loop_ = nullptr;
    }
    if (!reply->isFinished()) {
        reply->abort(); // cancelled
        throw plat::Exception(QStringLiteral("Lookup cancelled"));
    }
    if (!tooLarge && reply->isOpen()) {
        body += reply->read(maxBytes_ + 1 - body.size());
        tooLarge = body.size() > maxBytes_;
    }
    if (tooLarge) {
        throw plat::Exception(plat::Format("The answer exceeds %d bytes", maxBytes_));
    }
    if (timedOut) {
        throw plat::Exception(QStringLiteral("The transfer timed out"));
    }
    if (reply->error() != QNetworkReply::NoError) {
        throw plat::Exception(reply->errorString());
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status > 299) {
        throw plat::Exception(plat::Format("HTTP status %d", status));
    }
    return body;
}

void TVLWhoisThread::ParseBio(const QByteArray& stream) {
    if (isInterruptionRequested()) {
        return;
    }
    QByteArray data = stream;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const IXMLDocumentPtr doc = NewXMLDocument();
    doc->New(QString());
    doc->LoadFromStream(buffer);
    fullName_ = charName_;
    const IXMLNodePtr root = doc->DocumentNode();
    if (const IXMLNodePtr name = root->GetNodeByName(QStringLiteral("name"))) {
        if (const IXMLNodePtr n = name->GetNodeByName(QStringLiteral("firstname"))) {
            fullName_ = TextOf(n);
        }
        if (const IXMLNodePtr n = name->GetNodeByName(QStringLiteral("nick"))) {
            fullName_ += QStringLiteral(" \"") + TextOf(n) + u'"';
        }
        if (const IXMLNodePtr n = name->GetNodeByName(QStringLiteral("lastname"))) {
            fullName_ += u' ' + TextOf(n);
        }
    }
    if (const IXMLNodePtr stats = root->GetNodeByName(QStringLiteral("basic_stats"))) {
        const auto read = [&](const char* element, QString& field) {
            if (const IXMLNodePtr n = stats->GetNodeByName(QLatin1String(element))) {
                field = TextOf(n);
            }
        };
        if (const IXMLNodePtr n = stats->GetNodeByName(QStringLiteral("level"))) {
            level_ = LevelOf(TextOf(n));
        }
        read("breed", breed_);
        read("gender", gender_);
        read("faction", faction_);
        read("profession", profession_);
        if (const IXMLNodePtr n = stats->GetNodeByName(QStringLiteral("profession_title"))) {
            profession_ += QStringLiteral(" (") + TextOf(n) + u')';
        }
    }
    if (const IXMLNodePtr n = root->GetNodeByName(QStringLiteral("pictureurl"))) {
        pictureURL_ = TextOf(n);
    }
    if (const IXMLNodePtr org = root->GetNodeByName(QStringLiteral("organization_membership"))) {
        const IXMLNodePtr id = org->GetNodeByName(QStringLiteral("organization_id"));
        if (const std::optional<QString> segment = id ? PathSegment(TextOf(id)) : std::nullopt) {
            orgURL_ = site_ + QStringLiteral("/org/stats/d/") + QString::number(dimensionID_) +
                      QStringLiteral("/name/") + *segment;
        }
        if (const IXMLNodePtr n = org->GetNodeByName(QStringLiteral("organization_name"))) {
            orgName_ = TextOf(n);
        }
        if (const IXMLNodePtr n = org->GetNodeByName(QStringLiteral("rank"))) {
            rank_ = TextOf(n);
        }
    }
    success_ = true;
}
