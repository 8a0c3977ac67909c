#pragma once
// Emoticon texts and the images that stand for them in the chat console.

#include <QString>
#include <QStringView>

#include <array>

struct TEmoticon {
    QStringView Text;
    int Image; // index into the emoticon image list
};

inline constexpr int EmoticonImageCount = 12;

// In replacement order: a text earlier in the table is replaced first, so an
// earlier, shorter text inside a later one wins (":o" before ":o(").
extern const std::array<TEmoticon, 120> EmoticonTable;

// Replaces every occurrence of each table text, case-sensitively and in table
// order, with "<img index="N">".
QString ReplaceEmoticons(QStringView text);
// The same, appended to out.
void AppendEmoticonsReplaced(QString& out, QStringView text);

// The first text of an image (what the emoticon palette inserts); empty for
// an index outside 0..11.
QString EmoticonText(int image);
