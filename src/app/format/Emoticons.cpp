#include "app/format/Emoticons.h"

#include "strings/FastStrings.h"

// clang-format off
const std::array<TEmoticon, 120> EmoticonTable = {{
    {u":-)", 0}, {u":)", 0}, {u"=)", 0}, {u"=-)", 0}, {u":o)", 0}, {u"=o)", 0}, {u":-]", 0},
    {u":]", 0}, {u"=]", 0}, {u"=-]", 0}, {u":o]", 0}, {u"=o]", 0}, {u":-}", 0}, {u":}", 0},
    {u"=}", 0}, {u"=-}", 0}, {u":o}", 0}, {u"=o}", 0},
    {u":-D", 1}, {u":D", 1}, {u"=D", 1}, {u"=-D", 1}, {u":oD", 1}, {u"=oD", 1},
    {u";-)", 2}, {u";)", 2}, {u";o)", 2}, {u";-]", 2}, {u";]", 2}, {u";o]", 2}, {u";-}", 2},
    {u";}", 2}, {u";o}", 2},
    {u":-P", 3}, {u":P", 3}, {u"=P", 3}, {u"=-P", 3}, {u":oP", 3}, {u"=oP", 3}, {u":-p", 3},
    {u":p", 3}, {u"=p", 3}, {u"=-p", 3}, {u":op", 3}, {u"=op", 3},
    {u"8-)", 4}, {u"8)", 4}, {u"8o)", 4}, {u"8-]", 4}, {u"8]", 4}, {u"8o]", 4}, {u"8-}", 4},
    {u"8}", 4}, {u"8o}", 4},
    {u":-O", 5}, {u":O", 5}, {u"=O", 5}, {u"=-O", 5}, {u":oO", 5}, {u"=oO", 5}, {u":-o", 5},
    {u":o", 5}, {u"=o", 5}, {u"=-o", 5}, {u":Oo", 5}, {u"=Oo", 5},
    {u":-(", 6}, {u":(", 6}, {u"=(", 6}, {u"=-(", 6}, {u":o(", 6}, {u"=o(", 6},
    {u":-S", 7}, {u":S", 7}, {u"=S", 7}, {u"=-S", 7}, {u":oS", 7}, {u"=oS", 7}, {u":-s", 7},
    {u":s", 7}, {u"=s", 7}, {u"=-s", 7}, {u":os", 7}, {u"=os", 7},
    {u":-[", 8}, {u":[", 8}, {u"=[", 8}, {u"=-[", 8}, {u":o[", 8}, {u"=o[", 8},
    {u":'-(", 9}, {u":'(", 9}, {u"='(", 9}, {u"='-(", 9}, {u":'o(", 9}, {u"='o(", 9},
    {u":-|", 10}, {u":|", 10}, {u"=|", 10}, {u"=-|", 10}, {u":o|", 10}, {u"=o|", 10}, {u":-/", 10},
    {u":/", 10}, {u"=/", 10}, {u"=-/", 10}, {u":o/", 10}, {u"=o/", 10}, {u":-\\", 10},
    {u":\\", 10}, {u"=\\", 10}, {u"=-\\", 10}, {u":o\\", 10}, {u"=o\\", 10},
    {u":-@", 11}, {u":@", 11}, {u"=@", 11}, {u"=-@", 11}, {u":o@", 11}, {u"=o@", 11},
}};
// clang-format on

QString ReplaceEmoticons(QStringView text) {
    QString result = text.toString();
    for (const TEmoticon& e : EmoticonTable) {
        if (result.contains(e.Text)) {
            result = FastReplace(result, e.Text, QStringLiteral("<img index=\"%1\">").arg(e.Image),
                                 true);
        }
    }
    return result;
}

QString EmoticonText(int image) {
    for (const TEmoticon& e : EmoticonTable) {
        if (e.Image == image) {
            return e.Text.toString();
        }
    }
    return QString();
}
