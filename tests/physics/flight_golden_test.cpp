// The integrator over a sweep of the input ranges, step by step against a
// second, plain implementation of the same rules built without optimisation
// (reference/): a compiler, an optimisation level or a build type that
// changes one rounding in one throw fails here, naming the throw and the
// step. The suite runs this in its own build and on the integrator built at
// -O2. Where and how every throw ends is also reduced to one checksum, which
// both implementations agreed on when it was recorded: it pins the results
// on every machine and compiler the test is built for.
#include "flight_model.h"
#include "reference_flight.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>

#include "golden_sweep.h"

using namespace physics;
using golden::Checksum;
using golden::Sweep;

namespace {

// The state after a step as both implementations give it: position,
// velocity, time and speed, compared bit for bit, and the end.
struct Observed {
    float x, y, vx, vy, t, v;
    int end;  // 0 none, 1 broken, 2 side, 3 ground, 4 step bound

    bool operator==(const Observed& o) const {
        const float a[] = {x, y, vx, vy, t, v}, b[] = {o.x, o.y, o.vx, o.vy, o.t, o.v};
        for (int i = 0; i < 6; ++i)
            if (Checksum::Bits(a[i]) != Checksum::Bits(b[i])) return false;
        return end == o.end;
    }
};

std::ostream& operator<<(std::ostream& os, const Observed& o) {
    return os << "x " << o.x << ", y " << o.y << ", vx " << o.vx << ", vy " << o.vy << ", t " << o.t << ", v "
              << o.v << ", end " << o.end;
}

int Code(End end) {
    switch (end) {
    case End::None: return 0;
    case End::Broken: return 1;
    case End::Side: return 2;
    case End::Ground: return 3;
    case End::StepBound: return 4;
    }
    return -1;
}

int Code(reference::Ending end) {
    switch (end) {
    case reference::Ending::None: return 0;
    case reference::Ending::Broken: return 1;
    case reference::Ending::Side: return 2;
    case reference::Ending::Ground: return 3;
    case reference::Ending::StepBound: return 4;
    }
    return -1;
}

Observed Of(const Flight& f, End end) {
    const State& s = f.Ball();
    return Observed{s.x, s.y, s.vx, s.vy, f.Time(), Speed(s), Code(end)};
}

Observed Of(const reference::Throw& r, reference::Ending end) {
    return Observed{r.x, r.y, r.vx, r.vy, r.t, r.Speed(), Code(end)};
}

std::string Describe(int index, const reference::ThrowInputs& in) {
    std::ostringstream os;
    os.precision(9);
    os << "throw " << index << " (speed " << in.speed << ", angle " << in.angle << ", mass " << in.mass
       << ", radius " << in.radius << ", spin " << in.spin << ", density " << in.density << ", spin "
       << (in.spinOn ? "on" : "off") << ", drag " << (in.dragOn ? "on" : "off") << ")";
    return os.str();
}

TEST(FlightGolden, SweepOfTheInputRangesStepsAsThePlainReference) {
    constexpr int kInputSets = 30000;
    // Spin and drag on, spin only, drag only, neither.
    constexpr bool kSwitches[4][2] = {{true, true}, {true, false}, {false, true}, {false, false}};
    Checksum sum;
    long long steps = 0;
    long ground = 0, side = 0;
    Sweep sweep;
    int index = 0;
    for (int i = 0; i < kInputSets; ++i) {
        const Inputs in = sweep.Next();
        for (const auto& sw : kSwitches) {
            const reference::ThrowInputs plain{in.speed, in.angle,   in.mass, in.radius,
                                               in.spin,  in.density, sw[0],   sw[1]};
            Flight flight(in, EndTests{.broken = true, .side = true, .ground = true});
            reference::Throw ref(plain);
            End end = End::None;
            Observed got = Of(flight, end), want = Of(ref, reference::Ending::None);
            while (got == want && end == End::None) {
                end = flight.Advance(sw[0], sw[1]);
                got = Of(flight, end);
                want = Of(ref, ref.Step());
            }
            if (!(got == want)) {
                std::ostringstream os;
                os.precision(9);
                os << Describe(index, plain) << " differs at step " << ref.steps << ":\n  integrator " << got
                   << "\n  reference  " << want;
                FAIL() << os.str();
            }
            const int code = end == End::Ground ? 1 : end == End::Side ? 2 : end == End::Broken ? 3 : 4;
            sum.Add(static_cast<std::uint64_t>(flight.Steps()), 8);
            sum.Add(static_cast<std::uint64_t>(code), 1);
            const State& s = flight.Ball();
            for (float v : {s.x, s.y, s.vx, s.vy}) sum.Add(v);
            steps += flight.Steps();
            ground += end == End::Ground;
            side += end == End::Side;
            ++index;
        }
    }
    // Counts first: they tell a throw that ended at another step or for
    // another reason from one that only ended in another state.
    EXPECT_EQ(ground, 116840);
    EXPECT_EQ(side, 3160);
    EXPECT_EQ(steps, 51751162);
    EXPECT_EQ(sum.Value(), 0xd51678d1f33f6f19ull);
}

}  // namespace
