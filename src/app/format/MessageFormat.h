#pragma once
// Every line the main window shows in the chat console, built as console
// markup: the line writer with its timestamp block, the layout and colour of
// each message kind, links for names and groups, escaping of chat text, and
// attachments inside received text. Also the texts of the matching log lines.
//
// Texts are held decoded: the main window turns the chat service's 8-bit
// texts into QString with plat::FromCp1252 before handing them in, so colour
// codes arrive as the characters U+0010 to U+0012.

#include "app/format/ColorCodes.h"
#include "app/format/Emoticons.h"
#include "app/settings/Settings.h"
#include "platform/core/Clock.h"

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

class TBlob;
class TBlobList;

// The colour of each kind of line.
namespace MessageColor {
inline constexpr plat::TColor PublicGroup = plat::clGreen;
inline constexpr plat::TColor PublicGroupWanted = plat::clNavy; // "SHOPPING", "SEEKING TEAM"
inline constexpr plat::TColor TellReceived = plat::clPurple;
inline constexpr plat::TColor TellSent = plat::clBlue;
inline constexpr plat::TColor PrivateGroup = plat::clTeal;
inline constexpr plat::TColor PrivateGroupNotice = plat::clOlive; // join, kick, leave
inline constexpr plat::TColor System = plat::clMaroon;
inline constexpr plat::TColor Error = plat::clRed;
inline constexpr plat::TColor Whois = plat::clNavy;
} // namespace MessageColor

// The log file a line belongs in; the caller writes it when logging and the
// file's own flag are on.
enum class TChatLog { None, Groups, Private, PrivateGroups, System, Errors };
// "groups.log", "private.log", "privgrps.log", "system.log", "errors.log"; empty for None.
QString ChatLogFileName(TChatLog log);

// One console line and what goes with it.
struct TChatLine {
    QString Markup;                // the whole line for the console's AddLine
    TChatLog Log = TChatLog::None; // where LogText goes
    QString LogText;               // without time prefix or line end
    QString SoundFile;             // an emote sound to play now; empty for none
};

// Chat text for the console: "&", "<" and ">" become entities (whatever
// their case, "http://" and "https://" are kept out of reach of the emoticon
// texts and come back in lower case) and, with parseEmoticons, emoticon
// texts become images.
QString EscapeText(QStringView text, bool parseEmoticons);
// "&", "<" and ">" as entities, nothing else: for names, group names and
// error messages shown as text.
QString EscapeMarkup(QStringView text);
// A text made safe for a double-quoted attribute value: the console reads
// attribute values literally, so '"' and '>', which would end the value or
// the tag, are left out.
QString AttributeText(QStringView text);

// Reads the settings as they are at each line: the timestamp block
// (TimestampChat, TimestampFormat, TimestampColor, TimestampIndent),
// ParseEmoticons, LinkNames, LinkGroups, PlaySounds with VLDirectory (where
// emote sounds are looked up), and the console's background
// (OutputMemo.Color): a code colour equal to it is shown in the message
// colour instead. ParseUrls is the caller's, for the console's AddLine.
class TMessageFormatter {
public:
    // With the default settings.
    TMessageFormatter();
    explicit TMessageFormatter(const TMainSettings& settings);

    // Where received reference attachments are kept for their links; without
    // it no reference link is made.
    TBlobList* ReceivedAttachments = nullptr;
    // The time of the timestamp block (tests set a fixed one).
    std::function<QDateTime()> Now = [] { return plat::SystemLocalClock().Now(); };

    // "{prefix}<font color="#{hex}">{text}</font>"; the prefix is the
    // timestamp block when withTimestamp and TimestampChat are set.
    QString ConsoleLine(QStringView text, plat::TColor color, bool withTimestamp) const;
    // Red, timestamped; logged to errors.log as given.
    TChatLine ErrorLine(QStringView text) const;
    // "System Message: {text}" in maroon, timestamped; system.log. The text
    // must already be escaped where it comes from the user or the server.
    TChatLine SystemLine(QStringView text) const;

    // Links that query a character or group when clicked; the bare (escaped)
    // name when LinkNames / LinkGroups is off.
    QString CharLink(QStringView name) const;
    QString PrivCharLink(QStringView name, QStringView group) const;
    QString PublicLink(QStringView group) const;
    QString PrivateLink(QStringView group) const;

    // Received text, already escaped, with its attachment (or null): a voice
    // attachment gives the sound to play; another attachment around a title
    // marked by the reference code and the end code is stored and the title
    // linked as "reflink" with the stored copy's key; colour codes become font
    // changes; line feeds become "<br>" and carriage returns go.
    struct TIncoming {
        QString Markup;
        QString SoundFile;
    };
    TIncoming FormatIncoming(QStringView escaped, const TBlob* blob, plat::TColor color);

    // The lines of the message kinds. Texts are the raw (decoded) texts from
    // the chat service or the input line; escaping happens here.
    // A group the client has not been told about (nullopt) shows as "?"
    // without a link.
    TChatLine GroupMessage(const std::optional<QString>& group, QStringView sender,
                           QStringView message, const TBlob* blob);
    TChatLine TellReceived(QStringView sender, QStringView message, const TBlob* blob);
    TChatLine TellSent(QStringView target, QStringView message, const TBlob* blob);
    TChatLine PrivateGroupMessage(QStringView group, QStringView sender, QStringView message,
                                  const TBlob* blob);
    TChatLine PrivateGroupJoin(QStringView group, QStringView sender) const;
    TChatLine PrivateGroupKick(QStringView group) const;
    TChatLine PrivateGroupLeave(QStringView group, QStringView sender) const;
    // A system message from the server.
    TChatLine ServerSystemMessage(QStringView message) const;

private:
    const TMainSettings& settings_;
    // The time stamp's text for the format and second it was made for.
    mutable QString stampFormat_;
    mutable QDateTime stampSecond_;
    mutable QString stampText_;
    const QString& StampText(const QDateTime& time) const;
    QString LinkReference(QStringView text, const TBlob& blob);
    TChatLine MessageLine(QStringView layoutHead, QStringView message, const TBlob* blob,
                          plat::TColor color, TChatLog log, QString logText);
    // A private group notice: the names put into the text, escaped on the
    // console, as they are in the log.
    template <typename... Names>
    TChatLine PrivateGroupNotice(const QString& text, const Names&... names) const;
};
