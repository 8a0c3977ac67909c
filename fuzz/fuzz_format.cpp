// Received texts through the message formatter, as the main window hands
// them in: colour codes, reference marks, emoticons, entities and the
// attachment that came with the message.
//
// Input: byte 0 options (bits 0-2 the kind of line: tell received, tell
// sent, group message, group message of an unknown group, private group
// message, system message (5 to 7); bit 3 emoticons; bit 4 name links; bit 5 group
// links; bits 6-7 the console colour), bytes 1 and 2 the lengths of the
// sender and group names (low 5 bits), byte 3 the length of the attachment
// data; then the sender, the group, the attachment data as received, and the
// rest is the message. Names and message are Windows-1252 as on the wire.
//
// Checked on every input:
// - the console reads the line without an error;
// - links never nest and every link is closed; only the formatter's own
//   kinds of link appear, and at most one reference link, whose key names
//   the copy stored for it; an attachment is stored exactly when it is linked;
// - the received text leaves no reference mark, end code, CR or LF in its
//   markup;
// - the log line is one line.
#include "app/format/MessageFormat.h"
#include "app/log/ChatLog.h"
#include "console/MarkupParser.h"
#include "engine/BlobList.h"
#include "engine/VLBlob.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exception.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "FuzzCheck.h" // last: Qt's headers use the name check

namespace {

std::unique_ptr<QTemporaryDir> game; // removed at exit

constexpr plat::TColor kConsoleColors[] = {plat::clWhite, plat::clBlack, plat::clWindow,
                                           plat::clPurple};

bool isFormatterLink(const QString& name) {
    return name == u"charlink" || name == u"privcharlink" || name == u"publiclink" ||
           name == u"privatelink" || name == u"reflink";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    // A game folder with one emote sound, for voice attachments.
    game = std::make_unique<QTemporaryDir>();
    const QString sounds = game->filePath(QStringLiteral("cd_image/sound/sfx/player"));
    QDir().mkpath(sounds);
    QFile(sounds + QStringLiteral("/female_hello_01.wav")).open(QIODevice::WriteOnly);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    const uint8_t options = data[0];
    QByteArrayView rest(reinterpret_cast<const char*>(data + 4), static_cast<qsizetype>(size - 4));
    const auto take = [&rest](qsizetype n) {
        const QByteArrayView part = rest.first(std::min(n, rest.size()));
        rest = rest.sliced(part.size());
        return part;
    };
    const QString sender = plat::FromCp1252(take(data[1] & 0x1F));
    const QString group = plat::FromCp1252(take(data[2] & 0x1F));
    const QByteArray attachment = take(data[3]).toByteArray();
    const QString message = plat::FromCp1252(rest);

    const int kind = options & 7;
    const int blobKind = kind <= 1   ? BlobKind::ServerPrivateMessage
                         : kind == 4 ? BlobKind::ServerPrivateGroupMessage
                                     : BlobKind::ServerGroupMessage;
    const std::unique_ptr<TBlob> blob = TBlob::CreateBlob(blobKind, attachment);

    // A full store, so that storing drops the oldest copy.
    TBlobList store;
    store.SetMaxCount(2);
    TTextBlob old;
    store.Add(old);
    store.Add(old);
    TMainSettings settings;
    settings.OutputMemo.Color = kConsoleColors[options >> 6];
    settings.ParseEmoticons = (options & 0x08) != 0;
    settings.LinkNames = (options & 0x10) != 0;
    settings.LinkGroups = (options & 0x20) != 0;
    settings.VLDirectory = game->path();
    TMessageFormatter f{settings};
    f.ReceivedAttachments = &store;
    f.Now = [] { return QDateTime(QDate(2024, 5, 1), QTime(15, 7, 42)); };

    TChatLine line;
    plat::TColor color = MessageColor::TellReceived;
    switch (kind) {
    case 0:
        line = f.TellReceived(sender, message, blob.get());
        break;
    case 1:
        line = f.TellSent(sender, message, blob.get());
        color = MessageColor::TellSent;
        break;
    case 2:
        line = f.GroupMessage(group, sender, message, blob.get());
        color = MessageColor::PublicGroup;
        break;
    case 3:
        line = f.GroupMessage(std::nullopt, sender, message, blob.get());
        color = MessageColor::PublicGroup;
        break;
    case 4:
        line = f.PrivateGroupMessage(group, sender, message, blob.get());
        color = MessageColor::PrivateGroup;
        break;
    default:
        line = f.ServerSystemMessage(message);
        color = MessageColor::System;
        break;
    }

    TChunkList chunks;
    try {
        chunks = ParseMarkup(line.Markup, TParseOptions{cwsLeave, false});
    } catch (const plat::EConvertError&) {
        std::abort(); // the formatter wrote a colour the console rejects
    }
    bool inLink = false;
    int reflinks = 0;
    for (const TConsoleChunk& chunk : chunks.Chunks) {
        if (chunk.Kind == ckLinkOpen) {
            check(!inLink);
            inLink = true;
            const TLinkChunkData& link = chunks.LinkOf(chunk);
            check(isFormatterLink(link.Name));
            if (link.Name == u"reflink") {
                ++reflinks;
                check(store.IndexOf(link.Params) >= 0);
            }
        } else if (chunk.Kind == ckLinkClose) {
            check(inLink);
            inLink = false;
        }
    }
    check(!inLink && reflinks <= 1);
    DetectURLs(chunks); // what the console does next with ParseUrls

    // The received text alone, into an empty store.
    TBlobList spare;
    f.ReceivedAttachments = &spare;
    const TBlob* attached = kind >= 5 ? nullptr : blob.get(); // system lines have none
    const QString body =
        f.FormatIncoming(EscapeText(message, settings.ParseEmoticons), attached, color).Markup;
    check(spare.Count() == reflinks);
    for (const QChar c : body) {
        check(c != u'\r' && c != u'\n' && c != QChar(0x11) && c != QChar(0x12));
    }

    const QByteArray logged = FormatLogLine(line.LogText, true, f.Now());
    check(logged.endsWith("\r\n") && logged.indexOf('\n') == logged.size() - 1 &&
          logged.indexOf('\r') == logged.size() - 2);
    return 0;
}
