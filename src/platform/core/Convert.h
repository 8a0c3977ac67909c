#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace plat {

// Integer parsing with the classic runtime's rules: leading spaces, an optional
// sign, decimal digits or a hexadecimal number introduced by "$", "0x" or "x";
// nothing may follow the digits. Hexadecimal values use the full unsigned range
// of the type and are taken as two's complement ("$FFFFFFFF" is -1).
std::optional<int32_t> TryStrToInt(QStringView text);
std::optional<int64_t> TryStrToInt64(QStringView text);

// As above, raising EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(QStringView text);
int64_t StrToInt64(QStringView text);

} // namespace plat
