#include "flights.h"

#include <charconv>
#include <chrono>
#include <vector>

#include "edit_numbers.h"

namespace bench {

namespace {

float ReadFloat(const std::string& text) {
    float v = 0;
    korvel::ddx::ParseFloat(text, &v);
    return v;
}

int ReadInt(const std::string& text) {
    int v = 0;
    korvel::ddx::ParseInt(text, &v);
    return v;
}

}  // namespace

physics::Inputs TypedInputs::Parse() const {
    return physics::Inputs{ReadFloat(speed), ReadInt(angle), ReadInt(mass), ReadFloat(radius), ReadInt(spin),
                           ReadFloat(density)};
}

std::string TypedInputs::Describe() const {
    return "speed " + speed + ", angle " + angle + ", mass " + mass + ", radius " + radius + ", spin " + spin +
           ", density " + density + (spinOn ? ", spin on" : ", spin off") + (dragOn ? ", drag on" : ", drag off");
}

AnimatedFlight CountAnimatedFlight(const physics::Inputs& in, bool spinOn, bool dragOn) {
    AnimatedFlight f;
    f.frames = 1;  // the ball at the launch point
    physics::Flight flight(in, physics::EndTests{.broken = true, .side = true, .ground = true});
    for (;;) {
        const physics::End end = flight.Advance(spinOn, dragOn);
        if (end == physics::End::Broken) break;
        if (flight.FrameDue()) ++f.frames;
        if (end == physics::End::Ground) ++f.frames;  // the ball on the ground
        if (end != physics::End::None) break;
    }
    f.steps = flight.Steps();
    return f;
}

long BareIntegration(const physics::Inputs& in, bool spinOn, bool dragOn) {
    physics::Flight flight(in, physics::EndTests{.ground = true});
    while (flight.Advance(spinOn, dragOn) == physics::End::None) {
    }
    return flight.Steps();
}

long DiagramSteps(const physics::Inputs& in, bool spinOn, bool dragOn) { return BareIntegration(in, spinOn, dragOn); }

long DiagramRows(long steps) {
    // The first row is the launch; then one every 10 steps, on the step
    // after the tenth (the window's counter restarts after each row).
    long rows = 1;
    int n = 0;
    for (long step = 0; step < steps; ++step) {
        if (n == 10) {
            ++rows;
            n = 0;
        }
        ++n;
    }
    return rows;
}

SearchResult FindLongestFlight(double budgetSeconds) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    SearchResult r;
    // Typed as a user types them: "." and no grouping, whatever the locale.
    const auto text = [](int decimals, double v) {
        char buf[32];
        return std::string(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals).ptr);
    };
    std::vector<std::string> speeds, angles, masses, radii, spins, densities;
    for (int v = 1; v <= 30; ++v) speeds.push_back(text(0, v));
    for (int a = 0; a <= 180; a += 5) angles.push_back(text(0, a));
    for (int m = 1; m <= 5; ++m) masses.push_back(text(0, m));
    for (int i = 0; i <= 10; ++i) radii.push_back(text(2, i * 0.05));
    for (int w = -30; w <= 30; w += 3) spins.push_back(text(0, w));
    for (int i = 0; i <= 10; ++i) densities.push_back(text(1, 0.1 + i * 0.5));
    const std::vector<std::string>* axes[] = {&speeds, &angles, &masses, &radii, &spins, &densities};
    const bool switches[4][2] = {{true, true}, {true, false}, {false, true}, {false, false}};

    for (const auto& sw : switches) {
        TypedInputs t;
        t.spinOn = sw[0];
        t.dragOn = sw[1];
        std::string* fields[] = {&t.speed, &t.angle, &t.mass, &t.radius, &t.spin, &t.density};
        // An odometer over the six axes, the last one turning fastest.
        std::size_t index[6] = {};
        for (;;) {
            for (int i = 0; i < 6; ++i) *fields[i] = (*axes[i])[index[i]];
            const long steps = DiagramSteps(t.Parse(), t.spinOn, t.dragOn);
            ++r.flightsTried;
            if (steps > r.steps) {
                r.steps = steps;
                r.longest = t;
            }
            if (steps >= physics::kMaxSteps) {
                r.reachedBound = true;
                break;
            }
            if ((r.flightsTried & 1023) == 0 &&
                std::chrono::duration<double>(Clock::now() - start).count() > budgetSeconds)
                break;
            int i = 5;
            while (i >= 0 && ++index[i] == axes[i]->size()) index[i--] = 0;
            if (i < 0) break;
        }
        if (r.reachedBound || std::chrono::duration<double>(Clock::now() - start).count() > budgetSeconds) break;
    }
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return r;
}

}  // namespace bench
