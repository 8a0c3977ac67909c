#include "platform/core/FormatDateTime.h"

namespace plat {

namespace {

// Fixed settings of the platform's date and time formatting.
constexpr QStringView kShortDate = u"yyyy/mm/dd";
constexpr QStringView kLongDate = u"dddd, d mmmm yyyy";
constexpr QStringView kShortTime = u"hh:nn";
constexpr QStringView kLongTime = u"hh:nn:ss";
constexpr QChar kDateSeparator = u'-';
constexpr QChar kTimeSeparator = u':';

constexpr QStringView kShortDays[] = {u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat", u"Sun"};
constexpr QStringView kLongDays[] = {u"Monday", u"Tuesday",  u"Wednesday", u"Thursday",
                                     u"Friday", u"Saturday", u"Sunday"};
constexpr QStringView kShortMonths[] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                        u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
constexpr QStringView kLongMonths[] = {u"January",   u"February", u"March",    u"April",
                                       u"May",       u"June",     u"July",     u"August",
                                       u"September", u"October",  u"November", u"December"};

QString pad(int value, int width) {
    return QString::number(value).rightJustified(width, u'0');
}

bool startsWithNoCase(QStringView s, QStringView prefix) {
    return s.startsWith(prefix, Qt::CaseInsensitive);
}

class Formatter {
public:
    explicit Formatter(const QDateTime& value) : date_(value.date()), time_(value.time()) {}

    void Run(QStringView f, int depth) {
        // Does the picture hold an am/pm marker? Then hours count 1..12.
        const bool twelve = f.contains(u"am/pm", Qt::CaseInsensitive) ||
                            f.contains(u"a/p", Qt::CaseInsensitive) ||
                            f.contains(u"ampm", Qt::CaseInsensitive);
        bool afterHour = false;
        qsizetype i = 0;
        while (i < f.size()) {
            const QChar c = f[i];
            const QChar lc = c.toLower();
            const qsizetype run = runLength(f, i);
            if (c == u'"' || c == u'\'') {
                const qsizetype end = f.indexOf(c, i + 1);
                const qsizetype stop = end < 0 ? f.size() : end;
                out_ += f.mid(i + 1, stop - i - 1);
                i = end < 0 ? f.size() : end + 1;
            } else if (startsWithNoCase(f.mid(i), u"am/pm")) {
                out_ += time_.hour() < 12 ? QStringView(f.mid(i, 2)) : QStringView(f.mid(i + 3, 2));
                i += 5;
            } else if (startsWithNoCase(f.mid(i), u"a/p")) {
                out_ += time_.hour() < 12 ? f[i] : f[i + 2];
                i += 3;
            } else if (startsWithNoCase(f.mid(i), u"ampm")) {
                out_ += time_.hour() < 12 ? u"AM" : u"PM";
                i += 4;
            } else if (lc == u'd') {
                day(static_cast<int>(run), depth);
                i += run;
            } else if (lc == u'm') {
                if (afterHour && run <= 2) {
                    out_ += run == 1 ? QString::number(time_.minute()) : pad(time_.minute(), 2);
                } else if (run <= 2) {
                    out_ += run == 1 ? QString::number(date_.month()) : pad(date_.month(), 2);
                } else if (date_.isValid()) {
                    out_ +=
                        run == 3 ? kShortMonths[date_.month() - 1] : kLongMonths[date_.month() - 1];
                }
                afterHour = false;
                i += run;
            } else if (lc == u'y') {
                out_ += run <= 2 ? pad(date_.year() % 100, 2) : pad(date_.year(), 4);
                i += run;
            } else if (lc == u'h') {
                int hour = time_.hour();
                if (twelve) {
                    hour = hour % 12 == 0 ? 12 : hour % 12;
                }
                out_ += run == 1 ? QString::number(hour) : pad(hour, 2);
                afterHour = true;
                i += run;
                continue;
            } else if (lc == u'n') {
                out_ += run == 1 ? QString::number(time_.minute()) : pad(time_.minute(), 2);
                i += run;
            } else if (lc == u's') {
                out_ += run == 1 ? QString::number(time_.second()) : pad(time_.second(), 2);
                i += run;
            } else if (lc == u'z') {
                out_ += run < 3 ? QString::number(time_.msec()) : pad(time_.msec(), 3);
                i += run;
            } else if (lc == u't') {
                nested(run == 1 ? kShortTime : kLongTime, depth);
                i += run;
            } else if (lc == u'c') {
                nested(kShortDate, depth);
                if (time_ != QTime(0, 0)) {
                    out_ += u' ';
                    nested(kLongTime, depth);
                }
                i += run;
            } else if (c == u'/') {
                out_ += kDateSeparator;
                ++i;
            } else if (c == u':') {
                out_ += kTimeSeparator;
                ++i;
            } else {
                out_ += c;
                ++i;
            }
            if (c.isLetter()) {
                afterHour = false;
            }
        }
    }

    QString Result() const { return out_; }

private:
    static qsizetype runLength(QStringView f, qsizetype i) {
        const QChar lc = f[i].toLower();
        qsizetype j = i + 1;
        while (j < f.size() && f[j].toLower() == lc) {
            ++j;
        }
        return j - i;
    }

    void day(int run, int depth) {
        const int weekday = date_.isValid() ? date_.dayOfWeek() - 1 : 0;
        switch (run) {
        case 1:
            out_ += QString::number(date_.day());
            break;
        case 2:
            out_ += pad(date_.day(), 2);
            break;
        case 3:
            out_ += kShortDays[weekday];
            break;
        case 4:
            out_ += kLongDays[weekday];
            break;
        case 5:
            nested(kShortDate, depth);
            break;
        default:
            nested(kLongDate, depth);
            break;
        }
    }

    void nested(QStringView picture, int depth) {
        if (depth < 2) {
            Run(picture, depth + 1);
        }
    }

    QDate date_;
    QTime time_;
    QString out_;
};

} // namespace

QString FormatDateTime(QStringView format, const QDateTime& value) {
    Formatter f(value);
    f.Run(format.isEmpty() ? QStringView(u"c") : format, 0);
    return f.Result();
}

} // namespace plat
