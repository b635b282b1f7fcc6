// Fuzz target for reading numbers typed into edits: any bytes must parse or
// be refused without a crash, and what parses must survive a round trip
// through the text the program writes back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "edit_numbers.h"

using namespace korvel::ddx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    int i = 0;
    const Parse pi = ParseInt(text, &i);
    if (pi == Parse::Ok) {
        int back = 0;
        if (ParseInt(FormatInt(i), &back) != Parse::Ok || back != i) std::abort();
    }

    float f = 0;
    const Parse pf = ParseFloat(text, &f);
    if (pf == Parse::Ok) {
        if (!std::isfinite(f)) std::abort();
        // The locale-free reader agrees with the C library's in the C locale
        // (the fuzzer runs in it): the same correctly rounded value.
        if (static_cast<float>(std::strtod(text.c_str(), nullptr)) != f && text.find('\0') == std::string::npos)
            std::abort();
        float back = 0;
        if (ParseFloat(FormatFloat(f), &back) != Parse::Ok || !std::isfinite(back)) std::abort();
        // Six significant digits: the written value is within a relative 1e-5.
        if (std::fabs(back - f) > 1e-5f * std::fabs(f) + 1e-37f) std::abort();
    }
    // Every integer is also a number.
    if (pi == Parse::Ok && pf != Parse::Ok) std::abort();
    return 0;
}
