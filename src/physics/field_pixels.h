// Where a point of the flight lies in the flight field's back buffer.
#pragma once

namespace physics {

// The flight field's back buffer, in pixels.
constexpr float kFieldWidth = 1600.0f;
constexpr float kFieldHeight = 980.0f;

// Position in a field of `width` x `height` pixels, before truncation toward
// zero, of a point x, y metres from the launch point: the launch point at
// (width / 2 + 12, height / 2 + 475), 12.95 pixels a metre across and 23 a
// metre up. Formed in double; the trajectory's points and the ball's centre
// both come from here.
double FieldX(float width, float x);
double FieldY(float height, float y);

}  // namespace physics
