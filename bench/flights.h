// Flights as the windows compute them, with the shared integrator alone:
// the animated flight's frames, the Diagrams window's step count, and a
// search of the input ranges for the longest flight.
#pragma once

#include <string>

#include "flight_model.h"

namespace bench {

// The flight inputs as a user types them, so the windows and the bench
// read the same numbers.
struct TypedInputs {
    std::string speed = "20", angle = "45", mass = "1", radius = "0.1", spin = "10", density = "1.165";
    bool spinOn = true, dragOn = true;

    // The values the dialog's data exchange reads from these texts.
    physics::Inputs Parse() const;
    std::string Describe() const;
};

// The animated flight: the steps it takes and the frames it shows (a ball
// at the start, every 40 steps and at the end), following the flight
// thread's loop.
struct AnimatedFlight {
    long steps = 0;
    int frames = 0;
};
AnimatedFlight CountAnimatedFlight(const physics::Inputs& in, bool spinOn, bool dragOn);

// Steps of the Diagrams window's calculation: until the height is below the
// ground or no number, at most physics::kMaxSteps.
long DiagramSteps(const physics::Inputs& in, bool spinOn, bool dragOn);

// Rows of the Diagrams listing for a calculation of `steps` steps.
long DiagramRows(long steps);

// Runs the Diagrams calculation's integration alone; returns the steps.
long BareIntegration(const physics::Inputs& in, bool spinOn, bool dragOn);

// Walks a grid over every input range (speed 1..30 by 1, angle 0..180 by 5,
// mass 1..5, radius 0..0.5 by 0.05, spin -30..30 by 3, density 0.1..5.1 by
// 0.5), the switch settings in the order spin and drag on, spin only, drag
// only, neither, keeping the flight with the most Diagrams steps. Stops at
// the first flight that reaches physics::kMaxSteps (no flight is longer) or
// when `budgetSeconds` have passed.
struct SearchResult {
    TypedInputs longest;
    long steps = 0;
    long flightsTried = 0;
    double seconds = 0;
    bool reachedBound = false;
};
SearchResult FindLongestFlight(double budgetSeconds);

}  // namespace bench
