// The flight of a spinning ball: one integrator for the animated flight and
// for the diagrams, with no toolkit.
//
// Equations (per step of dt seconds, g the free-fall acceleration):
//   1. y += vy*dt; x += vx*dt
//   2. spin on:  dVy = Ks*vx*dt; y += dVy*dt; dVx = -(Ks*vy*dt); x += dVx*dt
//      (velocities of the start of the step; Ks = 6*spin*density*r*r/mass)
//   3. drag on:  Dx = Kd*vx*vx*dt, Dy = Kd*vy*vy*dt (Kd = density*r*0.1/mass);
//      each axis separately against its own motion:
//      vx >= 0: x -= Dx*dt, vx -= Dx;  else x += Dx*dt, vx += Dx  (same for y)
//   4. vy -= g*dt; spin on: vy += dVy, vx += dVx
//
// Precision: the state, the coefficients and the launch angle are single
// precision; every right-hand side is formed in double and stored back into
// float after each update. This rounding is part of the result (the step at
// which a worked throw lands depends on it) and holds at every optimisation
// level.
//
// A step is a pure function of the state, the coefficients and the two
// switches. Flight steps a whole throw for the windows, which draw.
#pragma once

namespace physics {

// Degrees to radians for the launch angle: 3.14159296 / 180, the program's
// own value of pi, on which the worked throws' results depend.
constexpr double kDegToRad = 0.017453294222222224;

// The step and the free-fall acceleration of every flight.
constexpr float kTimeStep = 0.005f;  // s
constexpr float kGravity = 9.81f;    // m/s^2

// The animated flight shows the ball once every this many steps.
constexpr int kStepsPerFrame = 40;

struct Inputs {
    float speed = 20.0f;    // m/s
    int angle = 45;         // degrees from the horizontal
    int mass = 1;           // kg
    float radius = 0.1f;    // m
    int spin = 10;          // rad/s, negative is counter-clockwise
    float density = 1.165f; // kg/m^3
};

struct Coefficients {
    float ks = 0;  // spin lift
    float kd = 0;  // drag
};

struct State {
    float x = 0, y = 0;    // m, from the launch point, y upwards
    float vx = 0, vy = 0;  // m/s
};

// Launch angle in radians, rounded to float.
float AngleRadians(int degrees);

Coefficients ComputeCoefficients(const Inputs& in);

// State at launch: position 0, velocity from the speed and the angle.
State Launch(float speed, float angleRad);

// Advances `s` by one step of `dt` seconds.
void Step(State& s, const Coefficients& k, bool spinOn, bool dragOn, float dt, float g);

// The ball's speed, rounded to float.
float Speed(const State& s);

// The flight has left the horizontal range of plus or minus 75 m.
inline bool BeyondSideLimit(const State& s) { return s.x > 75.0f || s.x < -75.0f; }

// The ball is below the ground, or its height is no longer a number (an
// overflowed state must end a flight, not run it forever).
inline bool BelowGround(const State& s) { return !(s.y >= 0.0f); }

// A state whose position or velocity stopped being finite.
bool IsBroken(const State& s);

// Upper bound of steps of any flight: at dt 0.005 s, 1000 s of flight time.
constexpr long kMaxSteps = 200000;

// Why a flight ended; None while it goes on.
enum class End { None, Broken, Side, Ground, StepBound };

// The end tests a flight applies after each step, in this order: a broken
// state (IsBroken), the side limit (BeyondSideLimit), the ground
// (BelowGround). The step bound kMaxSteps ends every flight.
struct EndTests {
    bool broken = false;
    bool side = false;
    bool ground = false;
};

// One throw, stepped by its window. The switches are taken at every step,
// since the user may flip them during a flight.
class Flight {
public:
    // A throw of `in` at its angle in degrees.
    Flight(const Inputs& in, EndTests ends, float dt = kTimeStep, float g = kGravity);
    // A throw of `in` at `angleRad`, an angle from AngleRadians; in.angle is
    // not used.
    Flight(const Inputs& in, float angleRad, EndTests ends, float dt = kTimeStep, float g = kGravity);

    // Takes the next step and says whether it ended the flight, and why.
    // Once the flight has ended, takes no step and says the same again.
    End Advance(bool spinOn, bool dragOn);

    const State& Ball() const { return m_state; }
    long Steps() const { return m_steps; }
    // Flight time, summed step by step in single precision.
    float Time() const { return m_time; }

    // Whether the step just taken completes `period` steps since the last
    // time this held, counted from the first step: steps period + 1,
    // 2 * period + 1, ... (the first step only starts the count).
    bool Every(int period) const { return m_steps > 1 && (m_steps - 1) % period == 0; }
    // Whether the animated flight shows the ball after the step just taken.
    bool FrameDue() const { return Every(kStepsPerFrame); }

private:
    Coefficients m_k;
    State m_state;
    EndTests m_ends;
    float m_dt;
    float m_g;
    long m_steps = 0;
    float m_time = 0;
    End m_end = End::None;
};

}  // namespace physics
