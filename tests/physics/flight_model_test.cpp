// The integrator against worked throws: the step at which each flight ends
// and where it lands are exact consequences of the step order and of the
// single-precision rounding, so they are checked to the step.
#include "flight_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace physics;

namespace {

struct Outcome {
    long steps = 0;
    End end = End::None;
    State state;
};

// Steps `flight` with fixed switches until it ends; returns why.
End FlyOut(Flight& flight, bool spin, bool drag) {
    End end = End::None;
    while (end == End::None) end = flight.Advance(spin, drag);
    return end;
}

// The animated flight's end tests but for the broken state: the side limit
// is tested before the ground.
Outcome Fly(const Inputs& in, bool spin, bool drag) {
    Flight flight(in, EndTests{.side = true, .ground = true});
    Outcome o;
    o.end = FlyOut(flight, spin, drag);
    o.steps = flight.Steps();
    o.state = flight.Ball();
    return o;
}

Inputs With(int angle, int spin, float speed = 20.0f) {
    Inputs in;
    in.angle = angle;
    in.spin = spin;
    in.speed = speed;
    return in;
}

struct Throw {
    const char* name;
    Inputs in;
    bool spin, drag;
    long steps;
    End end;
    float x;      // where it ends, m
    float xTol;
};

class WorkedThrow : public ::testing::TestWithParam<Throw> {};

TEST_P(WorkedThrow, EndsAtTheGivenStepAndPlace) {
    const Throw& t = GetParam();
    const Outcome o = Fly(t.in, t.spin, t.drag);
    EXPECT_EQ(o.steps, t.steps);
    EXPECT_EQ(o.end, t.end);
    EXPECT_NEAR(o.state.x, t.x, t.xTol);
}

INSTANTIATE_TEST_SUITE_P(
    Throws, WorkedThrow,
    ::testing::Values(
        Throw{"default_throw_ends_at_step_856", Inputs{}, true, true, 856, End::Ground, 23.5f, 0.05f},
        Throw{"no_spin_no_drag_ends_at_step_578", Inputs{}, false, false, 578, End::Ground, 40.87f, 0.01f},
        Throw{"spin_without_drag_ends_at_step_905", Inputs{}, true, false, 905, End::Ground, 22.9f, 0.05f},
        Throw{"drag_without_spin_ends_at_step_548", Inputs{}, false, true, 548, End::Ground, 32.0f, 0.05f},
        Throw{"flat_throw_without_spin_ends_at_step_2", With(0, 10), false, true, 2, End::Ground, 0.2f, 0.01f},
        Throw{"flat_throw_with_spin_ends_at_step_930", With(0, 10), true, true, 930, End::Ground, 58.0f, 0.05f},
        Throw{"backward_throw_with_reverse_spin_mirrors_it", With(180, -10), true, true, 930, End::Ground, -58.0f, 0.05f},
        Throw{"backward_throw_without_spin_lands_at_once", With(180, 10), false, true, 1, End::Ground, -0.1f, 0.01f},
        Throw{"backward_throw_with_forward_spin_lands_at_once", With(180, 10), true, true, 1, End::Ground, -0.1f, 0.01f},
        Throw{"fast_throw_leaves_the_side_at_step_708", With(45, 10, 30.0f), false, false, 708, End::Side, 75.0f, 0.2f}),
    [](const auto& info) { return std::string(info.param.name); });

// Each window chooses the end tests of its flights; the step bound ends
// every flight, and an ended flight takes no further step.
struct Ending {
    const char* name;
    Inputs in;
    bool spin, drag;
    EndTests tests;
    End end;
    long steps;
};

class FlightEnding : public ::testing::TestWithParam<Ending> {};

TEST_P(FlightEnding, EndsForTheReasonItsWindowTests) {
    const Ending& e = GetParam();
    Flight flight(e.in, e.tests);
    EXPECT_EQ(FlyOut(flight, e.spin, e.drag), e.end);
    EXPECT_EQ(flight.Steps(), e.steps);
    EXPECT_EQ(flight.Advance(e.spin, e.drag), e.end);
    EXPECT_EQ(flight.Steps(), e.steps);
}

Inputs Massless() {
    Inputs in;
    in.mass = 0;
    return in;
}

constexpr EndTests kAnimated{.broken = true, .side = true, .ground = true};
constexpr EndTests kDiagrams{.ground = true};

INSTANTIATE_TEST_SUITE_P(
    Endings, FlightEnding,
    ::testing::Values(
        Ending{"diagrams_fly_past_the_side_limit_and_land_at_step_866", With(45, 10, 30.0f), false, false, kDiagrams,
               End::Ground, 866},
        Ending{"broken_state_ends_the_animated_flight_before_side_or_ground", Massless(), true, true, kAnimated,
               End::Broken, 1},
        Ending{"throw_too_fast_to_fall_ends_at_the_step_bound", With(90, 10, 1e30f), false, false, kDiagrams,
               End::StepBound, kMaxSteps}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FlightModel, BallIsShownAfterStep41AndEvery40StepsAfter) {
    Flight flight(Inputs{}, kAnimated);
    std::vector<long> shown;
    for (End end = End::None; end == End::None;) {
        end = flight.Advance(true, true);
        if (flight.FrameDue()) shown.push_back(flight.Steps());
    }
    ASSERT_EQ(flight.Steps(), 856);
    ASSERT_EQ(shown.size(), 21u);
    EXPECT_EQ(shown[0], 41);
    EXPECT_EQ(shown[1], 81);
    EXPECT_EQ(shown.back(), 841);
}

TEST(FlightModel, DefaultThrowLandsJustBelowTheGround) {
    const Outcome o = Fly(Inputs{}, true, true);
    EXPECT_LT(o.state.y, 0.0f);
    EXPECT_GT(o.state.y, -0.1f);
}

TEST(FlightModel, SideLimitWinsOverGroundAndReportsHeight) {
    const Outcome o = Fly(With(45, 10, 30.0f), false, false);
    EXPECT_NEAR(o.state.y, 13.7f, 0.05f);
}

TEST(FlightModel, FlatThrowWithoutSpinStaysExactlyOnTheGroundAfterOneStep) {
    const Inputs in = With(0, 10);
    State s = Launch(in.speed, AngleRadians(in.angle));
    const Coefficients k = ComputeCoefficients(in);
    Step(s, k, false, true, 0.005f, 9.81f);
    EXPECT_EQ(s.y, 0.0f);
    EXPECT_LT(s.vy, 0.0f);
    EXPECT_FALSE(BelowGround(s));
}

TEST(FlightModel, SpinSignDecidesTheDirectionOfTheLift) {
    // A ball moving right: positive spin lifts it, negative pushes it down,
    // zero spin gives no lift even with the lift switched on.
    const Inputs base = With(0, 0);
    auto heightAfterStep = [&](int spin) {
        Inputs in = base;
        in.spin = spin;
        State s = Launch(in.speed, AngleRadians(in.angle));
        Step(s, ComputeCoefficients(in), true, false, 0.005f, 9.81f);
        return s;
    };
    const State up = heightAfterStep(10);
    const State down = heightAfterStep(-10);
    const State none = heightAfterStep(0);
    EXPECT_GT(up.y, 0.0f);
    EXPECT_LT(down.y, 0.0f);
    EXPECT_EQ(none.y, 0.0f);
    EXPECT_GT(up.vy, none.vy);
    EXPECT_LT(down.vy, none.vy);
}

TEST(FlightModel, VerticalThrowDriftsButNeverExactlyZero) {
    const State s = Launch(20.0f, AngleRadians(90));
    EXPECT_NE(s.vx, 0.0f);
    EXPECT_LT(std::fabs(s.vx), 1e-5f);
}

TEST(FlightModel, DragActsAgainstEachAxisMotion) {
    const Coefficients k = ComputeCoefficients(Inputs{});
    State left;
    left.vx = -10.0f;
    left.vy = -10.0f;
    State right;
    right.vx = 10.0f;
    right.vy = 10.0f;
    Step(left, k, false, true, 0.005f, 0.0f);
    Step(right, k, false, true, 0.005f, 0.0f);
    EXPECT_GT(left.vx, -10.0f);
    EXPECT_LT(right.vx, 10.0f);
    EXPECT_FLOAT_EQ(left.vx, -right.vx);
    EXPECT_FLOAT_EQ(left.x, -right.x);
}

TEST(FlightModel, CoefficientsAreRoundedToSinglePrecision) {
    const Coefficients k = ComputeCoefficients(Inputs{});
    EXPECT_EQ(k.ks, static_cast<float>(6.0 * 10 * static_cast<double>(1.165f) * 0.1f * 0.1f));
    EXPECT_EQ(k.kd, static_cast<float>(static_cast<double>(1.165f) * 0.1f * 0.1));
}

TEST(FlightModel, ZeroMassGivesABrokenStateThatEndsTheFlight) {
    // Validation normally keeps the mass at 1 or more; an unchecked zero
    // makes the coefficients infinite. The state turns into NaN and the
    // ground test, written to fail on NaN, ends the flight.
    Inputs in;
    in.mass = 0;
    const Outcome o = Fly(in, true, true);
    EXPECT_NE(o.end, End::StepBound);
    EXPECT_LT(o.steps, 10);
}

TEST(FlightModel, NotANumberHeightCountsAsBelowGround) {
    State s;
    s.y = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(BelowGround(s));
    EXPECT_TRUE(IsBroken(s));
    s.y = 1.0f;
    s.vx = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(IsBroken(s));
}

TEST(FlightModel, ExtremeCornersAllEndWithinTheStepBound) {
    for (int mass : {1, 5})
        for (int angle : {0, 90, 180})
            for (int spin : {-30, 30})
                for (float radius : {0.0f, 0.5f})
                    for (float density : {0.1f, 5.1f})
                        for (float speed : {1.0f, 30.0f})
                            for (int sw = 0; sw < 4; ++sw) {
                                const Inputs in{speed, angle, mass, radius, spin, density};
                                const Outcome o = Fly(in, sw & 1, sw & 2);
                                EXPECT_NE(o.end, End::StepBound)
                                    << "mass " << mass << " angle " << angle << " spin " << spin
                                    << " radius " << radius << " density " << density << " speed " << speed;
                            }
}

}  // namespace
