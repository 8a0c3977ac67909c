#pragma once

// A whois lookup: a worker thread that fetches a character's biography
// document from the game web site and leaves what it found in its fields.
//
// Use, on the GUI thread:
//   auto* t = new TVLWhoisThread;
//   t->SetCharName(name);
//   t->SetDimensionID(1);                  // 1 or 2
//   t->SetFreeOnTerminate(true);
//   t->OnTerminate = [](TVLWhoisThread* t) { ... read the fields ... };
//   t->Resume();
// OnTerminate runs on the thread that created the object, through its event
// loop, after the lookup ended (successfully or not); a failure ends quietly
// with Success() false, and fields filled before the failure stay filled.
// With FreeOnTerminate the object deletes itself after OnTerminate.
//
// At program exit, CancelAll() stops every lookup still running: transfers
// are aborted, the threads are joined, OnTerminate is not called any more,
// and the lookups that free themselves are deleted.

#include <QByteArray>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <mutex>

class QEventLoop;
class QUrl;

class TVLWhoisThread : public QThread {
    Q_OBJECT
public:
    static constexpr int kDefaultTimeoutMs = 30000;
    static constexpr qint64 kDefaultMaxBytes = 1024 * 1024;
    // The site address when QUORVEL_SITE is not set.
    static constexpr const char* kDefaultSite = "http://www.vellinor.example";
    static constexpr const char* SiteVariable = "QUORVEL_SITE";

    explicit TVLWhoisThread(QObject* parent = nullptr);
    // Stops a lookup still running and waits for its thread.
    ~TVLWhoisThread() override;

    // The game web site's address without a trailing slash: QUORVEL_SITE
    // when set, else kDefaultSite.
    static QString DefaultSite();

    // Set before Resume.
    int DimensionID() const { return dimensionID_; }
    void SetDimensionID(int id) { dimensionID_ = id; }
    const QString& CharName() const { return charName_; }
    void SetCharName(const QString& name) { charName_ = name; }
    bool FreeOnTerminate() const { return freeOnTerminate_; }
    void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
    // The site address (DefaultSite() unless changed) and the limits of the
    // transfer: the whole exchange must end within the time, and a larger
    // body than MaxBytes is refused. Exceeding either is a failure.
    const QString& Site() const { return site_; }
    void SetSite(const QString& site);
    int TimeoutMs() const { return timeoutMs_; }
    void SetTimeoutMs(int ms) { timeoutMs_ = ms; }
    qint64 MaxBytes() const { return maxBytes_; }
    void SetMaxBytes(qint64 bytes) { maxBytes_ = bytes; }

    // Results, read in OnTerminate.
    bool Success() const { return success_; }
    const QString& FullName() const { return fullName_; }
    int Level() const { return level_; }
    const QString& Breed() const { return breed_; }
    const QString& Gender() const { return gender_; }
    const QString& Faction() const { return faction_; }
    const QString& Profession() const { return profession_; }
    const QString& PictureURL() const { return pictureURL_; }
    const QString& OrgName() const { return orgName_; }
    // Site + "/org/stats/d/{dimension}/name/{organisation id}".
    const QString& OrgURL() const { return orgURL_; }
    const QString& Rank() const { return rank_; }
    // Site + "/character/bio/d/{dimension}/name/{name}"; the document is
    // fetched from this + "/bio.xml".
    const QString& BioURL() const { return bioURL_; }

    // Runs on the creating thread after the lookup ended.
    std::function<void(TVLWhoisThread*)> OnTerminate;

    // Starts the lookup.
    void Resume();
    // Asks the lookup to stop; a transfer in progress is aborted. The lookup
    // then ends as a failure and OnTerminate still runs.
    void Cancel();
    // Cancels every lookup, waits for their threads and deletes those that
    // free themselves. No OnTerminate runs afterwards. Call on the GUI thread.
    static void CancelAll();

    // Reads a biography document into the fields. Raises when the document
    // cannot be read; fields filled before stay filled.
    void ParseBio(const QByteArray& stream);

protected:
    void run() override;

private:
    void Execute();
    void DoWhois();
    QByteArray Fetch(const QUrl& url);
    void HandleFinished();

    int dimensionID_ = 0;
    QString charName_;
    bool freeOnTerminate_ = false;
    QString site_;
    int timeoutMs_ = kDefaultTimeoutMs;
    qint64 maxBytes_ = kDefaultMaxBytes;

    bool success_ = false;
    QString fullName_;
    int level_ = 0;
    QString breed_;
    QString gender_;
    QString faction_;
    QString profession_;
    QString pictureURL_;
    QString orgName_;
    QString orgURL_;
    QString rank_;
    QString bioURL_;

    std::atomic<bool> silenced_{false}; // set by CancelAll: no OnTerminate
    std::mutex loopMutex_;
    QEventLoop* loop_ = nullptr; // the transfer's loop while it runs
};
