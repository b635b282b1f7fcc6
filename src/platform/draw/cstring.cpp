// CString: printf-style formatting and the string table.
#include "cstring.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdarg>
#include <cstdio>

#include <locale.h>

#include "resources.h"

namespace {

// The program writes every number in one convention, "." as the decimal
// point and no grouping, whatever the user's locale. printf follows the
// locale's numeric category, which the toolkit sets from the environment
// when it starts (and anything may set again later), so formatting runs
// under a "C" locale of its own, switched in for the calling thread only.
#if defined(_WIN32)
int FormatC(char* buf, std::size_t size, const char* fmt, va_list args) {
    static _locale_t c = _create_locale(LC_ALL, "C");
    return _vsnprintf_l(buf, size, fmt, c, args);
}
#else
int FormatC(char* buf, std::size_t size, const char* fmt, va_list args) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(c);
    const int n = std::vsnprintf(buf, size, fmt, args);
    uselocale(previous);
    return n;
}
#endif

}  // namespace

void CString::Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    // First pass measures, second pass writes into a buffer of that size.
    const int n = FormatC(nullptr, 0, fmt, args);
    va_end(args);
    if (n < 0) {
        // A conversion failed (an encoding error): the result is empty,
        // never a half-written string.
        m_s.clear();
        va_end(again);
        return;
    }
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    FormatC(out.data(), out.size(), fmt, again);
    va_end(again);
    out.resize(static_cast<std::size_t>(n));
    m_s = std::move(out);
}

bool CString::LoadString(unsigned id) {
    const char* s = res::String(id);
    if (s == nullptr) {
        m_s.clear();
        return false;
    }
    m_s = s;
    return true;
}

void AppendFixed(std::string& out, double value, int decimals) {
    // A value that a float holds has at most 24 significant bits; times
    // 10^decimals (at most 27 bits for 8 decimals) it is exact in a double,
    // and rounding that product to the nearest integer, ties to even, is
    // exactly printf's rounding. The listing's numbers are all floats.
    static constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    if (decimals >= 0 && decimals <= 8 && std::fabs(value) < 1e9 &&
        value == static_cast<double>(static_cast<float>(value))) {
        const double scaled = std::nearbyint(value * kPowers[decimals]);
        if (std::fabs(scaled) < 1e15) {
            char digits[24];
            std::uint64_t n = static_cast<std::uint64_t>(std::fabs(scaled));
            int len = 0;
            do {
                digits[len++] = static_cast<char>('0' + n % 10);
                n /= 10;
            } while (n != 0 || len <= decimals);
            if (std::signbit(value)) out += '-';
            for (int i = len - 1; i >= 0; --i) {
                out += digits[i];
                if (i == decimals && decimals > 0) out += '.';
            }
            return;
        }
    }
    // std::to_chars gives exactly printf's digits in the "C" convention: the
    // decimal expansion of the binary value, rounded to nearest with ties to
    // even, and never reads the locale. The largest double takes 309 digits
    // before the point.
    char buf[320 + 64];
    const std::to_chars_result r =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals < 0 ? 0 : std::min(decimals, 64));
    out.append(buf, r.ptr);
}
