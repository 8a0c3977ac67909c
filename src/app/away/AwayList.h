#pragma once
// The away log: the tells received while away, one entry per sender with
// that sender's messages. It lives in memory as long as the main window and
// is read by the away-messages window.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

// One logged tell: its text as received (colour codes included) and the
// local time it was logged.
class TAwayMessage {
public:
    TAwayMessage() : time_(QDateTime::currentDateTime()) {}

    const QString& Text() const { return text_; }
    void SetText(const QString& value) { text_ = value; }
    const QDateTime& Time() const { return time_; }
    void SetTime(const QDateTime& value) { time_ = value; }

private:
    QString text_;
    QDateTime time_;
};

// The messages of one sender, oldest first. The list owns them.
class TAwayMessageList {
public:
    // Creates a message (time: now), appends it and returns it.
    TAwayMessage* Add();
    qsizetype Count() const { return static_cast<qsizetype>(items_.size()); }
    // Raises "List index out of bounds (%d)" outside 0..Count-1.
    TAwayMessage* Items(qsizetype index) const;

private:
    std::vector<std::unique_ptr<TAwayMessage>> items_;
};

// A sender and the messages logged for them. Tag is the viewed flag: 0
// unread, 1 read.
class TAwayCharacter {
public:
    const QString& Name() const { return name_; }
    void SetName(const QString& value) { name_ = value; }
    TAwayMessageList& Messages() { return messages_; }
    const TAwayMessageList& Messages() const { return messages_; }
    int Tag() const { return tag_; }
    void SetTag(int value) { tag_ = value; }

private:
    QString name_;
    TAwayMessageList messages_;
    int tag_ = 0;
};

// The senders in the order their first tell arrived. The list owns them.
class TAwayList : public QObject {
    Q_OBJECT
public:
    explicit TAwayList(QObject* owner = nullptr) : QObject(owner) {}

    // Creates a character, appends it and returns it.
    TAwayCharacter* Add();
    // Frees every character with its messages.
    void Clear() { items_.clear(); }
    qsizetype Count() const { return static_cast<qsizetype>(items_.size()); }
    // Raises "List index out of bounds (%d)" outside 0..Count-1.
    TAwayCharacter* Items(qsizetype index) const;
    // The first character whose name equals `name` ignoring ASCII case; -1
    // when none does.
    qsizetype IndexOf(QStringView name) const;

private:
    std::vector<std::unique_ptr<TAwayCharacter>> items_;
};
