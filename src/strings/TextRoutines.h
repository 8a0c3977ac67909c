#pragma once
// Plain text routines: trimming, words split at blanks, ASCII case. Words
// are taken from the text as typed, so that spacing inside a message
// survives where a command's arguments are split off.

#include <QString>
#include <QStringView>

namespace txt {

// Every two blanks become one, repeated until no two blanks in a row are left.
QString CollapseSpaces(QStringView text);

// The n-th token (n from 1) with the blank as the only delimiter: tokens are
// separated by single blanks, so a text that begins with a blank has an empty
// first token. Empty when there is no such token. Taken with the token
// routines (StrTokens.h), whose delimiter it leaves a blank.
QString ExtractWord(QStringView text, qsizetype n);

// Every character of code 32 or below (blanks, control characters, the
// colour-code characters) removed from both ends, or from the start only.
QString Trim(QStringView text);
QString TrimLeft(QStringView text);

// Takes the first word off the text and returns it. When the trimmed text
// holds no blank the word is the trimmed text and the text becomes empty.
// Otherwise the word is the first token of the collapsed text, and the text
// becomes the left-trimmed text from the character after its first blank to
// the end: further leading blanks, inner and trailing spacing stay.
QString SplitFirstWord(QString& text);

// Only the letters a-z and A-Z change case; names compare the same way.
QString AsciiUpper(QStringView text);
QString AsciiLower(QStringView text);
bool SameTextAscii(QStringView a, QStringView b);

} // namespace txt
