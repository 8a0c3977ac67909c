#pragma once
// Packets as one line of text, so that tests compare whole packets and lists
// of them at once: the row's name, then the arguments separated by blanks.
// Numbers are decimal, texts stand as they are with bytes outside printable
// ASCII as \xHH, data is "[hex]", a group "g" and hex, lists are joined by ",".

#include "engine/VLChatPacket.h"

#include <QStringList>

inline QString ShowText(const QByteArray& text) {
    QString out;
    for (const char c : text) {
        const auto u = static_cast<uint8_t>(c);
        out +=
            u >= 0x20 && u < 0x7F ? QString(QChar(u)) : "\\x" + QByteArray(1, c).toHex().toUpper();
    }
    return out;
}

inline QString ShowArg(const TPacketArg& arg) {
    QStringList items;
    switch (arg.Kind()) {
    case TArgKind::Int:
        return QString::number(arg.AsInt());
    case TArgKind::Text:
        return ShowText(arg.AsText());
    case TArgKind::Group:
        return "g" + QByteArray(reinterpret_cast<const char*>(arg.AsGroup().data()), 5).toHex();
    case TArgKind::Data:
        return "[" + arg.AsData().toHex() + "]";
    case TArgKind::IntList:
        for (const int32_t n : arg.AsIntList()) {
            items << QString::number(n);
        }
        break;
    case TArgKind::TextList:
        for (const QByteArray& t : arg.AsTextList()) {
            items << ShowText(t);
        }
        break;
    }
    return items.join(u',');
}

inline QString Show(const TVLChatIncomingPacket& packet) {
    QStringList parts{QString::fromLatin1(packet.Info().Name)};
    for (qsizetype i = 0; i < packet.ArgCount(); ++i) {
        parts << ShowArg(packet.Args(i));
    }
    return parts.join(u' ');
}
