// Checksums of what the program computes from floating-point sums: where and
// how the throws of the golden sweep end, and the pixels their samples take
// in the Diagrams chart and in the flight field. tests/cross/run.sh builds
// this with the physics sources for amd64, arm64 and i386 and compares the
// lines it prints; they must be the same on every architecture.
//
//   cross_checksums [INPUT_SETS]     default 30000, the golden test's sweep
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "chart_pixels.h"
#include "field_pixels.h"
#include "flight_model.h"
#include "golden_sweep.h"

using namespace physics;

namespace {

// A pixel coordinate as the windows truncate it; anything too far off to be
// converted to int counts as one mark.
std::uint64_t Pixel(double v) {
    if (!(std::fabs(v) < 1.0e9)) return 0x80000000u;
    return static_cast<std::uint32_t>(static_cast<int>(v));
}

}  // namespace

int main(int argc, char** argv) {
    const long inputSets = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 30000;
    // Spin and drag on, spin only, drag only, neither.
    constexpr bool kSwitches[4][2] = {{true, true}, {true, false}, {false, true}, {false, false}};
    golden::Checksum flights, chart, field;
    long long steps = 0;
    long throws = 0, ground = 0, side = 0;
    golden::Sweep sweep;
    for (long i = 0; i < inputSets; ++i) {
        const Inputs in = sweep.Next();
        for (const auto& sw : kSwitches) {
            Flight flight(in, EndTests{.broken = true, .side = true, .ground = true});
            End end = End::None;
            while (end == End::None) {
                end = flight.Advance(sw[0], sw[1]);
                const State& s = flight.Ball();
                // The Diagrams window's two samples of the step, and the
                // ball's place in the flight field.
                chart.Add(Pixel(ChartX(flight.Time())), 4);
                chart.Add(Pixel(ChartY(Speed(s))), 4);
                chart.Add(Pixel(ChartY(s.y)), 4);
                field.Add(Pixel(FieldX(kFieldWidth, s.x)), 4);
                field.Add(Pixel(FieldY(kFieldHeight, s.y)), 4);
            }
            const int code = end == End::Ground ? 1 : end == End::Side ? 2 : end == End::Broken ? 3 : 4;
            flights.Add(static_cast<std::uint64_t>(flight.Steps()), 8);
            flights.Add(static_cast<std::uint64_t>(code), 1);
            const State& s = flight.Ball();
            for (float v : {s.x, s.y, s.vx, s.vy}) flights.Add(v);
            ++throws;
            steps += flight.Steps();
            ground += end == End::Ground;
            side += end == End::Side;
        }
    }
    // Whole metres and metres per second, on which the decimal scales land
    // on a pixel boundary: 20 m/s is 471 pixels up, 40 m is 518 across.
    // A wider register than double (x87) puts such a sample one pixel off.
    for (int v = -100; v <= 100; ++v) {
        chart.Add(Pixel(ChartX(static_cast<float>(v))), 4);
        chart.Add(Pixel(ChartY(static_cast<float>(v))), 4);
        field.Add(Pixel(FieldX(kFieldWidth, static_cast<float>(v))), 4);
        field.Add(Pixel(FieldY(kFieldHeight, static_cast<float>(v))), 4);
    }
    std::printf("throws %ld ground %ld side %ld steps %lld flights %016llx\n", throws, ground, side, steps,
                static_cast<unsigned long long>(flights.Value()));
    std::printf("chart %016llx\n", static_cast<unsigned long long>(chart.Value()));
    std::printf("field %016llx\n", static_cast<unsigned long long>(field.Value()));
    return 0;
}
