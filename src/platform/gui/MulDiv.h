#pragma once

namespace plat {

// a * b / c with the product taken in 64 bits and the quotient rounded half
// away from zero. -1 when c is 0 or the result does not fit in 32 bits (so -1
// is also an ordinary answer, as it is on the platform).
int MulDiv(int a, int b, int c);

} // namespace plat
