#pragma once
// Readable GoogleTest output for Qt values. Included into every test source
// by the build (see tests/CMakeLists.txt).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << "bytes[" << b.size() << "]:";
    for (const char c : b) {
        static const char* digits = "0123456789ABCDEF";
        const auto u = static_cast<unsigned char>(c);
        *os << ' ' << digits[u >> 4] << digits[u & 15];
    }
}

inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < l.size(); ++i) {
        *os << (i ? ", " : "") << '"' << l[i].toStdString() << '"';
    }
    *os << '}';
}
