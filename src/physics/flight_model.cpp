#include "flight_model.h"

#include <cmath>

namespace physics {

namespace {

// Stores a double result into single precision so that no optimiser can use
// the unrounded double in its place: a vectoriser may fold "narrow to float,
// widen back" away (GCC 12 at -O2 does, in Step). The empty asm, which for
// all the compiler knows changes the float, emits no instruction; elsewhere
// a volatile store and load does the same job, more slowly.
inline float RoundToFloat(double v) {
    float f = static_cast<float>(v);
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && defined(__SSE_MATH__)
    asm("" : "+x"(f));
#elif defined(__GNUC__) && defined(__aarch64__)
    asm("" : "+w"(f));
#else
    volatile float stored = f;
    f = stored;
#endif
    return f;
}

}  // namespace

float AngleRadians(int degrees) {
    return RoundToFloat(degrees * kDegToRad);
}

Coefficients ComputeCoefficients(const Inputs& in) {
    Coefficients k;
    const double r = in.radius;
    k.ks = RoundToFloat(6.0 * in.spin * static_cast<double>(in.density) * r * r / in.mass);
    k.kd = RoundToFloat(static_cast<double>(in.density) * r * 0.1 / in.mass);
    return k;
}

State Launch(float speed, float angleRad) {
    State s;
    s.vx = RoundToFloat(static_cast<double>(speed) * std::cos(static_cast<double>(angleRad)));
    s.vy = RoundToFloat(static_cast<double>(speed) * std::sin(static_cast<double>(angleRad)));
    return s;
}

void Step(State& s, const Coefficients& k, bool spinOn, bool dragOn, float dtf, float gf) {
    const double dt = dtf;
    const double g = gf;

    s.y = RoundToFloat(s.y + static_cast<double>(s.vy) * dt);
    s.x = RoundToFloat(s.x + static_cast<double>(s.vx) * dt);

    float dVy = 0, dVx = 0;
    if (spinOn) {
        dVy = RoundToFloat(static_cast<double>(k.ks) * s.vx * dt);
        s.y = RoundToFloat(s.y + static_cast<double>(dVy) * dt);
        dVx = RoundToFloat(-(static_cast<double>(k.ks) * s.vy * dt));
        s.x = RoundToFloat(s.x + static_cast<double>(dVx) * dt);
    }

    if (dragOn) {
        const float dx = RoundToFloat(static_cast<double>(k.kd) * s.vx * s.vx * dt);
        const float dy = RoundToFloat(static_cast<double>(k.kd) * s.vy * s.vy * dt);
        if (s.vx >= 0) {
            s.x = RoundToFloat(s.x - static_cast<double>(dx) * dt);
            s.vx = RoundToFloat(static_cast<double>(s.vx) - dx);
        } else {
            s.x = RoundToFloat(s.x + static_cast<double>(dx) * dt);
            s.vx = RoundToFloat(static_cast<double>(s.vx) + dx);
        }
        if (s.vy >= 0) {
            s.y = RoundToFloat(s.y - static_cast<double>(dy) * dt);
            s.vy = RoundToFloat(static_cast<double>(s.vy) - dy);
        } else {
            s.y = RoundToFloat(s.y + static_cast<double>(dy) * dt);
            s.vy = RoundToFloat(static_cast<double>(s.vy) + dy);
        }
    }

    s.vy = RoundToFloat(s.vy - g * dt);
    if (spinOn) {
        s.vy = RoundToFloat(static_cast<double>(s.vy) + dVy);
        s.vx = RoundToFloat(static_cast<double>(s.vx) + dVx);
    }
}

float Speed(const State& s) {
    return RoundToFloat(std::sqrt(static_cast<double>(s.vy) * s.vy + static_cast<double>(s.vx) * s.vx));
}

bool IsBroken(const State& s) {
    return !(std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.vx) && std::isfinite(s.vy));
}

Flight::Flight(const Inputs& in, EndTests ends, float dt, float g)
    : Flight(in, AngleRadians(in.angle), ends, dt, g) {}

Flight::Flight(const Inputs& in, float angleRad, EndTests ends, float dt, float g)
    : m_k(ComputeCoefficients(in)), m_state(Launch(in.speed, angleRad)), m_ends(ends), m_dt(dt), m_g(g) {}

End Flight::Advance(bool spinOn, bool dragOn) {
    if (m_end != End::None) return m_end;
    m_time = RoundToFloat(static_cast<double>(m_time) + m_dt);
    Step(m_state, m_k, spinOn, dragOn, m_dt, m_g);
    ++m_steps;
    if (m_ends.broken && IsBroken(m_state))
        m_end = End::Broken;
    else if (m_ends.side && BeyondSideLimit(m_state))
        m_end = End::Side;
    else if (m_ends.ground && BelowGround(m_state))
        m_end = End::Ground;
    else if (m_steps >= kMaxSteps)
        m_end = End::StepBound;
    return m_end;
}

}  // namespace physics
