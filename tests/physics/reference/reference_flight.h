// A second implementation of one throw, written apart from the integrator
// from the step rules alone, for the golden test to compare against. It is
// compiled at -O0 whatever the build type (its own CMake target), so every
// float variable is stored, and so rounded, after each update.
#pragma once

namespace reference {

struct ThrowInputs {
    float speed;    // m/s
    int angle;      // degrees
    int mass;       // kg
    float radius;   // m
    int spin;       // rad/s
    float density;  // kg/m^3
    bool spinOn;
    bool dragOn;
};

// How a throw ended after a step; None while it goes on.
enum class Ending { None, Broken, Side, Ground, StepBound };

class Throw {
public:
    explicit Throw(const ThrowInputs& in);

    // One step of 0.005 s under 9.81 m/s^2, then the end tests in their
    // order: a state that is no longer finite, |x| > 75 m, y < 0 (or not a
    // number), the 200 000th step.
    Ending Step();

    float x = 0, y = 0, vx = 0, vy = 0;
    float t = 0;  // flight time, summed step by step
    long steps = 0;
    // The speed after the last step.
    float Speed() const;

private:
    float m_ks, m_kd;
    bool m_spinOn, m_dragOn;
};

}  // namespace reference
