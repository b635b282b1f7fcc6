#include "field_pixels.h"

namespace physics {

double FieldX(float width, float x) { return static_cast<double>(width) * 0.5 + 12 + 12.95 * x; }

double FieldY(float height, float y) { return static_cast<double>(height) * 0.5 + 475 - 23 * static_cast<double>(y); }

}  // namespace physics
