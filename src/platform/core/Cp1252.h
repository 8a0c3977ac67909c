#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace plat {

// The Windows-1252 code page: wire texts are 8-bit and are turned into
// Unicode here, at one boundary, in both directions.
//
// Decoding is total: the five bytes the code page leaves undefined (81, 8D,
// 8F, 90, 9D) map to the control characters of the same number, so every byte
// sequence survives a round trip. Encoding writes "?" for characters the code
// page cannot express.
QString FromCp1252(QByteArrayView bytes);
QByteArray ToCp1252(QStringView text);

// The byte for one character, or -1 when the code page has none.
int Cp1252Byte(char32_t codePoint);

} // namespace plat
