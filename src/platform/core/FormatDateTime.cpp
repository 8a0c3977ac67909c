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

QString Pad(int value, int width) {
    return QString::number(value).rightJustified(width, u'0');
}

// The value, with at least two digits for a run of two or more letters.
QString Number(int value, qsizetype run) {
    return run == 1 ? QString::number(value) : Pad(value, 2);
}

// Whether the picture holds an am/pm marker: then hours count 1..12.
bool HasAmPmMarker(QStringView f) {
    return f.contains(u"am/pm", Qt::CaseInsensitive) || f.contains(u"a/p", Qt::CaseInsensitive) ||
           f.contains(u"ampm", Qt::CaseInsensitive);
}

// The length of the run of the same letter (in either case) at i.
qsizetype RunLength(QStringView f, qsizetype i) {
    const QChar lc = f[i].toLower();
    qsizetype j = i + 1;
    while (j < f.size() && f[j].toLower() == lc) {
        ++j;
    }
    return j - i;
}

class Formatter {
public:
    explicit Formatter(const QDateTime& value) : date_(value.date()), time_(value.time()) {}

    // Writes the picture, element by element. "m" right after an hour (with
    // only other characters than letters between) means minutes.
    void Run(QStringView f, int depth) {
        const bool twelve = HasAmPmMarker(f);
        bool afterHour = false;
        qsizetype i = 0;
        while (i < f.size()) {
            const QChar c = f[i];
            qsizetype used = Literal(f, i);
            if (used == 0) {
                used = AmPmMarker(f, i);
            }
            if (used == 0) {
                used = RunLength(f, i);
                if (!Field(c.toLower().unicode(), used, {twelve, afterHour, depth})) {
                    Other(c);
                    used = 1;
                }
            }
            i += used;
            if (c.toLower() == u'h') {
                afterHour = true;
            } else if (c.isLetter()) {
                afterHour = false;
            }
        }
    }

    QString Result() const { return out_; }

private:
    struct TContext {
        bool twelve;
        bool afterHour;
        int depth;
    };

    // A quoted literal at i: its text. What it took of the picture, 0 for
    // none; an unterminated quote takes the rest.
    qsizetype Literal(QStringView f, qsizetype i) {
        const QChar quote = f[i];
        if (quote != u'"' && quote != u'\'') {
            return 0;
        }
        const qsizetype end = f.indexOf(quote, i + 1);
        const qsizetype stop = end < 0 ? f.size() : end;
        out_ += f.mid(i + 1, stop - i - 1);
        return (end < 0 ? f.size() : end + 1) - i;
    }

    // An am/pm marker at i, written in the case the picture gives.
    qsizetype AmPmMarker(QStringView f, qsizetype i) {
        const QStringView rest = f.mid(i);
        const bool morning = time_.hour() < 12;
        if (rest.startsWith(u"am/pm", Qt::CaseInsensitive)) {
            out_ += morning ? rest.mid(0, 2) : rest.mid(3, 2);
            return 5;
        }
        if (rest.startsWith(u"a/p", Qt::CaseInsensitive)) {
            out_ += morning ? rest[0] : rest[2];
            return 3;
        }
        if (rest.startsWith(u"ampm", Qt::CaseInsensitive)) {
            out_ += morning ? u"AM" : u"PM";
            return 4;
        }
        return 0;
    }

    // A run of one of the field letters; false for any other letter.
    bool Field(char16_t letter, qsizetype run, const TContext& at) {
        switch (letter) {
        case u'd':
            Day(run, at.depth);
            return true;
        case u'm':
            MonthOrMinute(run, at.afterHour);
            return true;
        case u'y':
            out_ += run <= 2 ? Pad(date_.year() % 100, 2) : Pad(date_.year(), 4);
            return true;
        case u'h':
            Hour(run, at.twelve);
            return true;
        case u'n':
            out_ += Number(time_.minute(), run);
            return true;
        case u's':
            out_ += Number(time_.second(), run);
            return true;
        case u'z':
            out_ += run < 3 ? QString::number(time_.msec()) : Pad(time_.msec(), 3);
            return true;
        case u't':
            Nested(run == 1 ? kShortTime : kLongTime, at.depth);
            return true;
        case u'c':
            DateAndTime(at.depth);
            return true;
        default:
            return false;
        }
    }

    // The separators, and any other character as it is.
    void Other(QChar c) {
        if (c == u'/') {
            out_ += kDateSeparator;
        } else if (c == u':') {
            out_ += kTimeSeparator;
        } else {
            out_ += c;
        }
    }

    void Day(qsizetype run, int depth) {
        const int weekday = date_.isValid() ? date_.dayOfWeek() - 1 : 0;
        switch (run) {
        case 1:
            out_ += QString::number(date_.day());
            break;
        case 2:
            out_ += Pad(date_.day(), 2);
            break;
        case 3:
            out_ += kShortDays[weekday];
            break;
        case 4:
            out_ += kLongDays[weekday];
            break;
        case 5:
            Nested(kShortDate, depth);
            break;
        default:
            Nested(kLongDate, depth);
            break;
        }
    }

    void MonthOrMinute(qsizetype run, bool afterHour) {
        if (afterHour && run <= 2) {
            out_ += Number(time_.minute(), run);
        } else if (run <= 2) {
            out_ += Number(date_.month(), run);
        } else if (date_.isValid()) {
            out_ += run == 3 ? kShortMonths[date_.month() - 1] : kLongMonths[date_.month() - 1];
        }
    }

    void Hour(qsizetype run, bool twelve) {
        int hour = time_.hour();
        if (twelve) {
            hour = hour % 12 == 0 ? 12 : hour % 12;
        }
        out_ += Number(hour, run);
    }

    // The short date, and the long time unless it is midnight.
    void DateAndTime(int depth) {
        Nested(kShortDate, depth);
        if (time_ != QTime(0, 0)) {
            out_ += u' ';
            Nested(kLongTime, depth);
        }
    }

    void Nested(QStringView picture, int depth) {
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
