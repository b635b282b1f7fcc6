// The integrator over a sweep of the input ranges, reduced to one checksum
// of where and how every throw ends. The expected numbers come from a
// separate, plain implementation of the equations in flight_model.h, built
// without optimisation. A compiler, an optimisation level or a build type
// that changes one rounding in one throw changes the checksum; the suite
// runs this test in its own build and again on the library built at -O2.
#include "flight_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

using namespace physics;

namespace {

// 64-bit FNV-1a over little-endian bytes.
class Checksum {
public:
    void Add(std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            m_h ^= (v >> (8 * i)) & 0xff;
            m_h *= 1099511628211ull;
        }
    }
    void Add(float f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        Add(bits, 4);
    }
    std::uint64_t Value() const { return m_h; }

private:
    std::uint64_t m_h = 14695981039346656037ull;
};

// Inputs drawn from a 32-bit linear congruential sequence, each from its
// range as the dialog's fields allow it (radius and density in hundredths
// and tenths, speed in tenths).
class Sweep {
public:
    Inputs Next() {
        Inputs in;
        in.mass = 1 + Draw(5);
        in.angle = Draw(181);
        in.spin = -30 + Draw(61);
        in.radius = static_cast<float>(Draw(51)) / 100.0f;
        in.density = static_cast<float>(1 + Draw(51)) / 10.0f;
        in.speed = static_cast<float>(10 + Draw(291)) / 10.0f;
        return in;
    }

private:
    int Draw(std::uint32_t n) {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<int>((m_state >> 8) % n);
    }
    std::uint32_t m_state = 12345u;
};

TEST(FlightGolden, SweepOfTheInputRangesEndsAsComputedWithoutOptimisation) {
    constexpr int kInputSets = 30000;
    // Spin and drag on, spin only, drag only, neither.
    constexpr bool kSwitches[4][2] = {{true, true}, {true, false}, {false, true}, {false, false}};
    Checksum sum;
    long long steps = 0;
    long ground = 0, side = 0;
    Sweep sweep;
    for (int i = 0; i < kInputSets; ++i) {
        const Inputs in = sweep.Next();
        for (const auto& sw : kSwitches) {
            Flight flight(in, EndTests{.broken = true, .side = true, .ground = true});
            End end = End::None;
            while (end == End::None) end = flight.Advance(sw[0], sw[1]);
            const int code = end == End::Ground ? 1 : end == End::Side ? 2 : end == End::Broken ? 3 : 4;
            sum.Add(static_cast<std::uint64_t>(flight.Steps()), 8);
            sum.Add(static_cast<std::uint64_t>(code), 1);
            const State& s = flight.Ball();
            for (float v : {s.x, s.y, s.vx, s.vy}) sum.Add(v);
            steps += flight.Steps();
            ground += end == End::Ground;
            side += end == End::Side;
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
