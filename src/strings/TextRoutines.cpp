#include "strings/TextRoutines.h"

#include "strings/StrTokens.h"

namespace txt {

namespace {

bool IsTrimmed(QChar c) {
    return c.unicode() <= 32;
}

char16_t LowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

} // namespace

QString CollapseSpaces(QStringView text) {
    QString result = text.toString();
    while (result.contains(QLatin1String("  "))) {
        result.replace(QLatin1String("  "), QLatin1String(" "));
    }
    return result;
}

QString ExtractWord(QStringView text, qsizetype n) {
    if (n < 1) {
        return {};
    }
    SetDelimiter(QChar(u' '));
    const qsizetype start = TokenStart(text, n);
    return start > 0 ? GetTokenAt(text, start) : QString();
}

QString Trim(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsTrimmed(text[begin])) {
        ++begin;
    }
    while (end > begin && IsTrimmed(text[end - 1])) {
        --end;
    }
    return text.mid(begin, end - begin).toString();
}

QString TrimLeft(QStringView text) {
    qsizetype begin = 0;
    while (begin < text.size() && IsTrimmed(text[begin])) {
        ++begin;
    }
    return text.mid(begin).toString();
}

QString SplitFirstWord(QString& text) {
    QString trimmed = Trim(text);
    if (!trimmed.contains(u' ')) {
        text.clear();
        return trimmed;
    }
    QString word = ExtractWord(CollapseSpaces(text), 1);
    const QString left = TrimLeft(text);
    text = left.mid(left.indexOf(u' ') + 1);
    return word;
}

QString AsciiUpper(QStringView text) {
    QString result = text.toString();
    for (QChar& c : result) {
        if (c >= u'a' && c <= u'z') {
            c = QChar(c.unicode() - (u'a' - u'A'));
        }
    }
    return result;
}

QString AsciiLower(QStringView text) {
    QString result = text.toString();
    for (QChar& c : result) {
        c = QChar(LowerAscii(c.unicode()));
    }
    return result;
}

bool SameTextAscii(QStringView a, QStringView b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i].unicode()) != LowerAscii(b[i].unicode())) {
            return false;
        }
    }
    return true;
}

} // namespace txt
