#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

namespace plat {

// Formats a date and time with the classic format pictures: d dd ddd dddd
// ddddd dddddd, m mm mmm mmmm (minutes right after an hour), yy yyyy, h hh,
// n nn, s ss, z zzz, t tt, c, am/pm, a/p, ampm, "/" and ":" separators and
// quoted literals. English names; fixed date and time settings, so that the
// output does not depend on the machine. An empty format means "c".
QString FormatDateTime(QStringView format, const QDateTime& value);

} // namespace plat
