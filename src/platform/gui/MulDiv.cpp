#include "platform/gui/MulDiv.h"

#include <cstdint>
#include <limits>

namespace plat {

int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    const int64_t product = static_cast<int64_t>(a) * b; // at most 2^62 in size
    int64_t quotient = product / c;
    const int64_t remainder = product % c;
    // |remainder| < |c| <= 2^31, so doubling it cannot overflow.
    const int64_t twiceRemainder = 2 * (remainder < 0 ? -remainder : remainder);
    const int64_t divisor = c < 0 ? -static_cast<int64_t>(c) : c;
    if (twiceRemainder >= divisor) {
        quotient += ((product < 0) == (c < 0)) ? 1 : -1;
    }
    if (quotient < std::numeric_limits<int>::min() || quotient > std::numeric_limits<int>::max()) {
        return -1;
    }
    return static_cast<int>(quotient);
}

} // namespace plat
