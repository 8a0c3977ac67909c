#include "platform/core/Exception.h"

#include "platform/core/Format.h"

namespace plat {

Exception::Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

void ThrowListIndexError(qsizetype index) {
    throw EListError(Format("List index out of bounds (%d)", static_cast<qint64>(index)));
}

} // namespace plat
