#pragma once
// Fast search and replace on single-byte text and on Unicode text.
//
// Positions are 1-based; 0 means "not found". The lengths are those of the
// views: to search a window of a buffer, pass a view of that window.
//
// Byte routines compare bytes; the case-insensitive ones compare through a
// fixed upper-case table of the Windows-1252 code page (a-z, the accented
// letters E0..FE except F7, and 9A, 9C, 9E, FF map to their capitals; DF and
// B5 stay as they are), so the results never depend on the machine's locale.
//
// The QStringView routines give the same positions and results as the byte
// routines would on the Windows-1252 encoding of the same text: a character
// the code page holds folds like its byte, any other character folds to
// itself. Positions count UTF-16 units.

#include "platform/core/Exception.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Raised when a forward search is given an empty pattern: "BufferLen is 0".
class EFastStringsError : public plat::Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EFastStringsError"; }
};

// Case-sensitive forward search (Boyer-Moore-Horspool). Returns the position
// of the first match that starts at or after startPos. startPos below 1 is a
// programming error: std::logic_error naming this unit and its line. An
// empty pattern raises EFastStringsError "BufferLen is 0". A startPos past
// the end finds nothing.
qsizetype FastPos(QByteArrayView source, QByteArrayView pattern, qsizetype startPos);
qsizetype FastPos(QStringView source, QStringView pattern, qsizetype startPos);

// As FastPos, ignoring case.
qsizetype FastPosNoCase(QByteArrayView source, QByteArrayView pattern, qsizetype startPos);
qsizetype FastPosNoCase(QStringView source, QStringView pattern, qsizetype startPos);

// Backward search: the last match that starts at or before startPos. A
// startPos of 0, or one too close to the end for the pattern to fit, starts
// at the last position where the pattern fits. An empty pattern, a pattern
// longer than the source, or a negative startPos finds nothing.
qsizetype FastPosBack(QByteArrayView source, QByteArrayView pattern, qsizetype startPos);
qsizetype FastPosBack(QStringView source, QStringView pattern, qsizetype startPos);

// As FastPosBack, ignoring case.
qsizetype FastPosBackNoCase(QByteArrayView source, QByteArrayView pattern, qsizetype startPos);
qsizetype FastPosBackNoCase(QStringView source, QStringView pattern, qsizetype startPos);

// One of the four searches above, chosen by case sensitivity and direction.
// Note the argument order: the text searched for comes first. A backward
// search with the default startPos of 1 looks at position 1 only; pass 0 to
// search from the end.
qsizetype SmartPos(QByteArrayView search, QByteArrayView source, bool caseSensitive = true,
                   qsizetype startPos = 1, bool forward = true);
qsizetype SmartPos(QStringView search, QStringView source, bool caseSensitive = true,
                   qsizetype startPos = 1, bool forward = true);

// Replaces every non-overlapping occurrence of find, from left to right. An
// empty find leaves the source unchanged.
QByteArray FastReplace(QByteArrayView source, QByteArrayView find, QByteArrayView replace,
                       bool caseSensitive);
QString FastReplace(QStringView source, QStringView find, QStringView replace, bool caseSensitive);
