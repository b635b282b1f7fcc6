// The golden sweep's inputs and checksum, shared by the golden test and the
// cross-architecture driver (tests/cross), which must walk the same throws.
#pragma once

#include <cstdint>
#include <cstring>

#include "flight_model.h"

namespace golden {

// 64-bit FNV-1a over little-endian bytes.
class Checksum {
public:
    void Add(std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            m_h ^= (v >> (8 * i)) & 0xff;
            m_h *= 1099511628211ull;
        }
    }
    void Add(float f) { Add(Bits(f), 4); }
    std::uint64_t Value() const { return m_h; }

    static std::uint32_t Bits(float f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        return bits;
    }

private:
    std::uint64_t m_h = 14695981039346656037ull;
};

// Inputs drawn from a 32-bit linear congruential sequence, each from its
// range as the dialog's fields allow it (radius and density in hundredths
// and tenths, speed in tenths).
class Sweep {
public:
    physics::Inputs Next() {
        physics::Inputs in;
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

}  // namespace golden
