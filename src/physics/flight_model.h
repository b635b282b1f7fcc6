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
// float after each update. This rounding is part of the result: the step at
// which a worked throw lands depends on it.
//
// A step is a pure function of the state, the coefficients and the two
// switches; the loops that draw live in the windows.
#pragma once

namespace physics {

// Launch angle factor: degrees to radians as the program has always done it
// (3.14159296 / 180).
constexpr double kDegToRad = 0.017453294222222224;

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

// The flight has left the horizontal range of plus or minus 75 m.
inline bool BeyondSideLimit(const State& s) { return s.x > 75.0f || s.x < -75.0f; }

// The ball is below the ground, or its height is no longer a number (an
// overflowed state must end a flight, not run it forever).
inline bool BelowGround(const State& s) { return !(s.y >= 0.0f); }

// A state whose position or velocity stopped being finite.
bool IsBroken(const State& s);

// Upper bound of steps of any flight: at dt 0.005 s, 1000 s of flight time.
// A flight that has not ended by then is ended by its loop.
constexpr long kMaxSteps = 200000;

}  // namespace physics
