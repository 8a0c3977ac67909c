#include "platform/core/Guid.h"

#include <QUuid>

namespace plat {

QString NewGuidString() {
    // QUuid writes lower-case digits; the standard form is upper case.
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

} // namespace plat
