// Where a sample lies in the Diagrams chart's back buffer.
#pragma once

namespace physics {

// The chart's axes meet at (20, 965); 65 pixels a second across, 23.55 a
// unit (a metre of height, a metre per second of speed) up.
constexpr int kChartOriginX = 20;
constexpr int kChartOriginY = 965;
constexpr double kChartPixelsPerSecond = 65.0;
constexpr double kChartPixelsPerUnit = 23.55;

// Position, before truncation toward zero, of the sample `value` at time
// `t` seconds: its magnitude is plotted upwards. Formed in double.
double ChartX(float t);
double ChartY(float value);

}  // namespace physics
