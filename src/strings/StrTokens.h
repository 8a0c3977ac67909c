#pragma once
// Tokens separated by one delimiter character, ',' until changed.
//
// Positions are 1-based; 0 means "none". Two delimiters in a row enclose an
// empty token. The delimiter is one setting for the whole program; the byte
// routines take its Windows-1252 byte (a delimiter the code page lacks
// matches no byte).

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringView>

// Makes `delimiter` the delimiter. NUL is refused: false, delimiter unchanged.
bool SetDelimiter(QChar delimiter);

// Position of the first character of the n-th token (n from 1): for n = 1,
// 1 when the text is not empty; for n > 1, the position after the (n-1)-th
// delimiter. 0 when the text has no such token start, and for n below 1.
qsizetype TokenStart(QStringView text, qsizetype n);
qsizetype TokenStart(QByteArrayView text, qsizetype n);

// The run of non-delimiter characters around `position`; empty when the
// position lies outside the text or holds the delimiter.
QString GetTokenAt(QStringView text, qsizetype position);
QByteArray GetTokenAt(QByteArrayView text, qsizetype position);
