#pragma once
// Rich text (RTF) for text references: the reference editor's files and the
// reference attached to an outgoing message hold one bare RTF document,
// "{\rtf1 ... }", with nothing before or after it.
//
// What a reference holds: text in paragraphs, line breaks inside a
// paragraph, tabs, a colour per character, bold, italic and underline. A
// character without a colour of its own (no foreground in its format) has
// the default colour and is written with the automatic colour \cf0, so it
// stays "default" wherever the reference is read again.

#include <QByteArray>
#include <QByteArrayView>

class QTextDocument;

namespace rtf {

// The document as RTF: a header with the Windows-1252 code page, a font table
// naming the document's default font, a colour table of the colours used,
// then every paragraph ended by \par. Characters outside Windows-1252 are
// written as \uN with "?" for readers that do not know them.
QByteArray Write(const QTextDocument& document);

// True when the bytes start with "{\rtf" (blanks and a UTF-8 byte order mark
// in front are allowed).
bool IsRtf(QByteArrayView data);

// Replaces the document's content (its default font stays) by what the
// bytes hold. RTF is read tolerantly: groups and control words it does not
// know are skipped, text in destinations that are not body text (font and
// style tables, document information, pictures, objects, headers, footers
// and every "{\*...}" group) is dropped, \'hh bytes are read in the code page
// of the current font or of the document, \uN characters skip their
// fallback, and nothing after the closing brace is looked at. Bytes that are
// not RTF are loaded as plain text (UTF-8 when they are valid UTF-8, else
// Windows-1252), one paragraph per line. Nothing is raised; the undo history
// of the document is empty afterwards.
void Read(QByteArrayView data, QTextDocument& document);

// Groups nested deeper than this keep the formatting of the group at this
// depth; their text is kept.
inline constexpr int kMaxGroupDepth = 256;

} // namespace rtf
