#include "app/format/Emoticons.h"

#include "app/format/Substitution.h"

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

namespace {

// The table as substitution rows, each text with the image tag of its image.
const std::array<TSubstitutionRow, EmoticonTable.size()>& EmoticonRows() {
    static const std::array<QString, EmoticonImageCount> kTags = [] {
        std::array<QString, EmoticonImageCount> tags;
        for (int image = 0; image < EmoticonImageCount; ++image) {
            tags[static_cast<size_t>(image)] = QStringLiteral("<img index=\"%1\">").arg(image);
        }
        return tags;
    }();
    static const std::array<TSubstitutionRow, EmoticonTable.size()> kRows = [] {
        std::array<TSubstitutionRow, EmoticonTable.size()> rows;
        for (size_t i = 0; i < EmoticonTable.size(); ++i) {
            rows[i] = {EmoticonTable[i].Text, kTags[static_cast<size_t>(EmoticonTable[i].Image)]};
        }
        return rows;
    }();
    return kRows;
}

} // namespace

void AppendEmoticonsReplaced(QString& out, QStringView text) {
    static const TSubstitution kEmoticons(EmoticonRows());
    kEmoticons.AppendTo(out, text);
}

QString ReplaceEmoticons(QStringView text) {
    QString result;
    result.reserve(text.size());
    AppendEmoticonsReplaced(result, text);
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
