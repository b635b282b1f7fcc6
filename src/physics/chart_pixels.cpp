#include "chart_pixels.h"

#include <cmath>

#include "stored_double.h"

namespace physics {

double ChartX(float t) { return Stored(Stored(t * kChartPixelsPerSecond) + kChartOriginX); }

double ChartY(float value) {
    return Stored(kChartOriginY - Stored(std::fabs(static_cast<double>(value)) * kChartPixelsPerUnit));
}

}  // namespace physics
