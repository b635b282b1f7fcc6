// Every right-hand side is a double expression (products of floats formed
// in double, left to right as the rules write them); every assignment to a
// float rounds. Nothing here is shared with the integrator.
#include "reference_flight.h"

#include <cmath>

namespace reference {

namespace {
const float kDt = 0.005f;
const float kG = 9.81f;
}  // namespace

Throw::Throw(const ThrowInputs& in) : m_spinOn(in.spinOn), m_dragOn(in.dragOn) {
    const double r = in.radius;
    const double rho = in.density;
    m_ks = 6.0 * in.spin * rho * r * r / in.mass;
    m_kd = rho * r * 0.1 / in.mass;
    const float angle = in.angle * 0.017453294222222224;  // 3.14159296 / 180
    const double speed = in.speed;
    vx = speed * std::cos(double(angle));
    vy = speed * std::sin(double(angle));
}

Ending Throw::Step() {
    const double dt = kDt;
    const double g = kG;
    t = t + dt;

    y = y + double(vy) * dt;
    x = x + double(vx) * dt;

    // The lift, from the velocities at the start of the step; the
    // velocities take it at the end.
    float dVy = 0, dVx = 0;
    if (m_spinOn) {
        dVy = double(m_ks) * vx * dt;
        y = y + double(dVy) * dt;
        dVx = -(double(m_ks) * vy * dt);
        x = x + double(dVx) * dt;
    }

    // Drag on each axis against its own motion, both from the velocities
    // before either changes.
    if (m_dragOn) {
        const float dragX = double(m_kd) * vx * vx * dt;
        const float dragY = double(m_kd) * vy * vy * dt;
        if (vx >= 0) {
            x = x - double(dragX) * dt;
            vx = double(vx) - dragX;
        } else {
            x = x + double(dragX) * dt;
            vx = double(vx) + dragX;
        }
        if (vy >= 0) {
            y = y - double(dragY) * dt;
            vy = double(vy) - dragY;
        } else {
            y = y + double(dragY) * dt;
            vy = double(vy) + dragY;
        }
    }

    vy = vy - g * dt;
    if (m_spinOn) {
        vy = double(vy) + dVy;
        vx = double(vx) + dVx;
    }
    ++steps;

    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(vx) || !std::isfinite(vy)) return Ending::Broken;
    if (x > 75 || x < -75) return Ending::Side;
    if (!(y >= 0)) return Ending::Ground;
    if (steps >= 200000) return Ending::StepBound;
    return Ending::None;
}

float Throw::Speed() const { return std::sqrt(double(vy) * vy + double(vx) * vx); }

}  // namespace reference
