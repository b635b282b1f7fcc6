#include "field_pixels.h"

#include "stored_double.h"

namespace physics {

double FieldX(float width, float x) { return Stored(static_cast<double>(width) * 0.5 + 12 + Stored(12.95 * x)); }

double FieldY(float height, float y) {
    return Stored(static_cast<double>(height) * 0.5 + 475 - Stored(23 * static_cast<double>(y)));
}

}  // namespace physics
