#include "app/format/MessageFormat.h"

#include "engine/BlobList.h"
#include "engine/VLBlob.h"
#include "platform/core/FormatDateTime.h"

#include <array>
#include <utility>

namespace {

// What a special piece of chat text becomes, and how long the piece is.
struct TEscape {
    QStringView Markup;
    qsizetype Length = 0;
};

// Whether text at position at starts with prefix (lower case), ignoring the
// case of the ASCII letters only, as the chat's 8-bit text does.
bool StartsWithNoCase(QStringView text, qsizetype at, QStringView prefix) {
    if (text.size() - at < prefix.size()) {
        return false;
    }
    for (qsizetype k = 0; k < prefix.size(); ++k) {
        const char16_t want = prefix[k].unicode();
        const char16_t have = text[at + k].unicode();
        const bool letter = want >= u'a' && want <= u'z';
        if (have != want && !(letter && have == want - (u'a' - u'A'))) {
            return false;
        }
    }
    return true;
}

// The entity of "&", "<" or ">"; empty for any other character.
QStringView EntityOf(char16_t c) {
    switch (c) {
    case u'&':
        return u"&amp;";
    case u'<':
        return u"&lt;";
    case u'>':
        return u"&gt;";
    default:
        return {};
    }
}

// The special piece at position at: "&", "<" and ">" become entities; web
// address prefixes in any case come back in lower case and are kept out of
// reach of the emoticon texts (":/" inside "http://"). The character 0x17
// followed by 0x18, 0x19, 0x1A, 0x1C or 0x1D reads as "&amp;", "&lt;",
// "&gt;", "http://" or "https://" (it once stood in for them while emoticons
// were replaced). Length 0: an ordinary character.
TEscape EscapeAt(QStringView text, qsizetype at) {
    const char16_t c = text[at].unicode();
    if (const QStringView entity = EntityOf(c); !entity.isEmpty()) {
        return {entity, 1};
    }
    switch (c) {
    case u'h':
    case u'H':
        if (StartsWithNoCase(text, at, u"http://")) {
            return {u"http://", 7};
        }
        if (StartsWithNoCase(text, at, u"https://")) {
            return {u"https://", 8};
        }
        return {};
    case 0x17: {
        static constexpr std::array<std::pair<char16_t, QStringView>, 5> kHeld{{
            {0x18, u"&amp;"},
            {0x19, u"&lt;"},
            {0x1A, u"&gt;"},
            {0x1C, u"http://"},
            {0x1D, u"https://"},
        }};
        for (const auto& [second, markup] : kHeld) {
            if (at + 1 < text.size() && text[at + 1] == second) {
                return {markup, 2};
            }
        }
        return {};
    }
    default:
        return {};
    }
}

// Joins strings and string views, allocating once.
template <typename... Parts>
QString Cat(const Parts&... parts) {
    QString result;
    result.reserve((QStringView(parts).size() + ...));
    (result.append(parts), ...);
    return result;
}

// Appends text with "&", "<" and ">" as entities.
void AppendEscaped(QString& out, QStringView text) {
    qsizetype copied = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (const QStringView entity = EntityOf(text[i].unicode()); !entity.isEmpty()) {
            out.append(text.sliced(copied, i - copied));
            out.append(entity);
            copied = i + 1;
        }
    }
    out.append(text.sliced(copied));
}

// Appends text without the characters that would end an attribute value.
void AppendAttribute(QString& out, QStringView text) {
    qsizetype copied = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'"' || text[i] == u'>') {
            out.append(text.sliced(copied, i - copied));
            copied = i + 1;
        }
    }
    out.append(text.sliced(copied));
}

QString Link(QStringView name, QStringView params, QStringView label) {
    QString result;
    result.reserve(48 + name.size() + params.size() + 2 * label.size());
    result.append(u"<a name=\"").append(name).append(u"\" params=\"");
    AppendAttribute(result, params);
    result.append(u"\" hint=\"Query ");
    AppendAttribute(result, label);
    result.append(u"\">");
    AppendEscaped(result, label);
    return result.append(u"</a>");
}

const TMainSettings& DefaultSettings() {
    static const TMainSettings defaults;
    return defaults;
}

} // namespace

QString ChatLogFileName(TChatLog log) {
    switch (log) {
    case TChatLog::Groups:
        return QStringLiteral("groups.log");
    case TChatLog::Private:
        return QStringLiteral("private.log");
    case TChatLog::PrivateGroups:
        return QStringLiteral("privgrps.log");
    case TChatLog::System:
        return QStringLiteral("system.log");
    case TChatLog::Errors:
        return QStringLiteral("errors.log");
    case TChatLog::None:
        break;
    }
    return QString();
}

QString EscapeText(QStringView text, bool parseEmoticons) {
    QString result;
    result.reserve(text.size() + text.size() / 8);
    // Emoticons are looked for in the ordinary text between special pieces.
    auto appendPlain = [&](QStringView plain) {
        if (parseEmoticons) {
            AppendEmoticonsReplaced(result, plain);
        } else {
            result.append(plain);
        }
    };
    qsizetype plainStart = 0;
    for (qsizetype i = 0; i < text.size();) {
        const TEscape escape = EscapeAt(text, i);
        if (escape.Length == 0) {
            ++i;
            continue;
        }
        appendPlain(text.sliced(plainStart, i - plainStart));
        result.append(escape.Markup);
        i += escape.Length;
        plainStart = i;
    }
    appendPlain(text.sliced(plainStart));
    return result;
}

QString EscapeMarkup(QStringView text) {
    QString result;
    result.reserve(text.size());
    AppendEscaped(result, text);
    return result;
}

QString AttributeText(QStringView text) {
    QString result;
    result.reserve(text.size());
    AppendAttribute(result, text);
    return result;
}

TMessageFormatter::TMessageFormatter() : TMessageFormatter(DefaultSettings()) {}

TMessageFormatter::TMessageFormatter(const TMainSettings& settings) : settings_(settings) {}

QString TMessageFormatter::ConsoleLine(QStringView text, plat::TColor color,
                                       bool withTimestamp) const {
    QString line;
    line.reserve(text.size() + 128);
    if (withTimestamp && settings_.TimestampChat) {
        // The time and the space after it cannot be selected, so copied text
        // leaves them out; "&nbsp;" never collapses and never starts a row.
        line.append(u"<noselect><font color=\"#")
            .append(ColorToHex(settings_.TimestampColor))
            .append(u"\">")
            .append(StampText(Now()))
            .append(u"</font>&nbsp;</noselect>");
        if (settings_.TimestampIndent) {
            line.append(u"<indent>");
        }
    }
    line.append(u"<font color=\"#").append(ColorToHex(color)).append(u"\">");
    return line.append(text).append(u"</font>");
}

const QString& TMessageFormatter::StampText(const QDateTime& time) const {
    // Without milliseconds in the format ("z"), the text changes at most
    // once a second: lines of the same second share it.
    const QString& format = settings_.TimestampFormat;
    const bool perSecond = !format.contains(u'z', Qt::CaseInsensitive);
    const QDateTime second = time.addMSecs(-time.time().msec());
    if (!perSecond || format != stampFormat_ || second != stampSecond_ ||
        second.offsetFromUtc() != stampSecond_.offsetFromUtc()) {
        stampText_ = EscapeMarkup(plat::FormatDateTime(format, time));
        stampFormat_ = format;
        stampSecond_ = second;
    }
    return stampText_;
}

TChatLine TMessageFormatter::ErrorLine(QStringView text) const {
    return {ConsoleLine(text, MessageColor::Error, true), TChatLog::Errors, text.toString(), {}};
}

TChatLine TMessageFormatter::SystemLine(QStringView text) const {
    const QString line = Cat(u"System Message: ", text);
    return {ConsoleLine(line + QStringLiteral("</font>"), MessageColor::System, true),
            TChatLog::System,
            line,
            {}};
}

QString TMessageFormatter::CharLink(QStringView name) const {
    return settings_.LinkNames ? Link(u"charlink", name, name) : EscapeMarkup(name);
}

QString TMessageFormatter::PrivCharLink(QStringView name, QStringView group) const {
    if (!settings_.LinkNames) {
        return EscapeMarkup(name);
    }
    return Link(u"privcharlink", Cat(name, u",", group), name);
}

QString TMessageFormatter::PublicLink(QStringView group) const {
    return settings_.LinkGroups ? Link(u"publiclink", group, group) : EscapeMarkup(group);
}

QString TMessageFormatter::PrivateLink(QStringView group) const {
    return settings_.LinkGroups ? Link(u"privatelink", group, group) : EscapeMarkup(group);
}

QString TMessageFormatter::LinkReference(QStringView text, const TBlob& blob) {
    // The title is marked by the first reference code and the first end code
    // after it. A code's second character may be one of those characters
    // (0x10 0x11, 0x10 0x12), so codes are read as units. One link, from the
    // first reference code to the first end code after it: further reference
    // codes inside the title are dropped, or they would open links that
    // nothing closes. End codes before the title stay: they end colour spans
    // there, as anywhere else in the text.
    auto standalone = [&](qsizetype limit, auto&& visit) {
        for (qsizetype i = 0; i < limit; ++i) {
            if (text[i] == ColorCodeStart) {
                ++i;
            } else if (text[i] == ReferenceCode || text[i] == EndCode) {
                if (!visit(i)) {
                    return;
                }
            }
        }
    };
    qsizetype p1 = -1;
    qsizetype p2 = -1;
    standalone(text.size(), [&](qsizetype i) {
        if (text[i] == ReferenceCode && p1 < 0) {
            p1 = i;
        } else if (text[i] == EndCode && p1 >= 0) {
            p2 = i;
        }
        return p2 < 0;
    });
    if (p1 < 0 || p2 <= p1 || ReceivedAttachments == nullptr) {
        return text.toString();
    }
    const QString key = ReceivedAttachments->Add(blob);
    if (key.isEmpty()) {
        return text.toString();
    }
    const QString open =
        Cat(u"<a name=\"reflink\" hint=\"Display reference\" params=\"", key, u"\">");
    QString result;
    qsizetype copied = 0;
    standalone(p2 + 1, [&](qsizetype i) {
        if (i < p1) {
            return true;
        }
        result += text.mid(copied, i - copied);
        if (i == p1) {
            result += open;
        } else if (i == p2) {
            result += QStringLiteral("</a>");
        }
        copied = i + 1;
        return true;
    });
    result += text.mid(copied);
    return result;
}

TMessageFormatter::TIncoming
TMessageFormatter::FormatIncoming(QStringView escaped, const TBlob* blob, plat::TColor color) {
    TIncoming result;
    QString text;
    if (const auto* voice = dynamic_cast<const TVoiceBlob*>(blob)) {
        text = escaped.toString();
        QString file;
        if (settings_.PlaySounds && voice->GetSoundFile(settings_.VLDirectory, file)) {
            result.SoundFile = file;
        }
    } else if (blob != nullptr) {
        text = LinkReference(escaped, *blob);
    } else {
        text = escaped.toString();
    }
    text = DecodeColorCodes(text, color, settings_.OutputMemo.Color);
    text.replace(u'\n', QStringLiteral("<br>"));
    text.remove(u'\r');
    result.Markup = std::move(text);
    return result;
}

TChatLine TMessageFormatter::MessageLine(QStringView layoutHead, QStringView message,
                                         const TBlob* blob, plat::TColor color, TChatLog log,
                                         QString logText) {
    TIncoming body = FormatIncoming(EscapeText(message, settings_.ParseEmoticons), blob, color);
    // The layout closes a font of its own after the one the line writer
    // closes; the console ignores a close with no font open.
    const QString text = Cat(layoutHead, body.Markup, u"</font>");
    return {ConsoleLine(text, color, true), log, std::move(logText), std::move(body.SoundFile)};
}

TChatLine TMessageFormatter::GroupMessage(const std::optional<QString>& group, QStringView sender,
                                          QStringView message, const TBlob* blob) {
    const QString name = group.value_or(QStringLiteral("?"));
    const QString upper = name.toUpper();
    const plat::TColor color = upper.contains(u"SHOPPING") || upper.contains(u"SEEKING TEAM")
                                   ? MessageColor::PublicGroupWanted
                                   : MessageColor::PublicGroup;
    const QString groupText = group ? PublicLink(*group) : name;
    return MessageLine(Cat(u"[", groupText, u"] ", CharLink(sender), u": "), message, blob, color,
                       TChatLog::Groups,
                       Cat(u"[", name, u"] ", sender, u": ", StripColorCodes(message)));
}

TChatLine TMessageFormatter::TellReceived(QStringView sender, QStringView message,
                                          const TBlob* blob) {
    return MessageLine(Cat(CharLink(sender), u": "), message, blob, MessageColor::TellReceived,
                       TChatLog::Private, Cat(sender, u": ", StripColorCodes(message)));
}

TChatLine TMessageFormatter::TellSent(QStringView target, QStringView message, const TBlob* blob) {
    return MessageLine(Cat(u"To [", CharLink(target), u"]: "), message, blob,
                       MessageColor::TellSent, TChatLog::Private,
                       Cat(u"To [", target, u"]: ", StripColorCodes(message)));
}

TChatLine TMessageFormatter::PrivateGroupMessage(QStringView group, QStringView sender,
                                                 QStringView message, const TBlob* blob) {
    return MessageLine(Cat(u"[", PrivateLink(group), u"] ", PrivCharLink(sender, group), u": "),
                       message, blob, MessageColor::PrivateGroup, TChatLog::PrivateGroups,
                       Cat(u"[", group, u"] ", sender, u": ", StripColorCodes(message)));
}

template <typename... Names>
TChatLine TMessageFormatter::PrivateGroupNotice(const QString& text, const Names&... names) const {
    return {ConsoleLine(text.arg(EscapeMarkup(names)...), MessageColor::PrivateGroupNotice, true),
            TChatLog::PrivateGroups,
            text.arg(names...),
            {}};
}

TChatLine TMessageFormatter::PrivateGroupJoin(QStringView group, QStringView sender) const {
    return PrivateGroupNotice(QStringLiteral("%1 joined the private group %2."), sender, group);
}

TChatLine TMessageFormatter::PrivateGroupKick(QStringView group) const {
    return PrivateGroupNotice(QStringLiteral("You have been kicked from the private group %1."),
                              group);
}

TChatLine TMessageFormatter::PrivateGroupLeave(QStringView group, QStringView sender) const {
    return PrivateGroupNotice(QStringLiteral("%1 left the private group %2."), sender, group);
}

TChatLine TMessageFormatter::ServerSystemMessage(QStringView message) const {
    return SystemLine(EscapeText(message, settings_.ParseEmoticons));
}
