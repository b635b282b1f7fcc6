// A double as memory holds it.
#pragma once

namespace physics {

// `v` rounded to double. Where double sums are formed on the x87 unit
// (i386 as Debian builds it: no SSE maths) they keep 64 bits of mantissa
// until stored, so a product or sum that is truncated to a pixel straight
// from the register can land one pixel off: 965 - 20 * 23.55 is 494 in
// double and 493.99999999999998 in the register. Storing each rounding
// step gives every architecture the same result; elsewhere this is no code.
inline double Stored(double v) {
#if defined(__i386__) && !defined(__SSE2_MATH__)
    volatile double stored = v;
    return stored;
#else
    return v;
#endif
}

}  // namespace physics
