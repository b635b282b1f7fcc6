// Reading and writing the numbers of edits. No toolkit: the parsers are
// also built alone for fuzzing.
#include "edit_numbers.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace korvel::ddx {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Roughly the power of ten of a well-formed unsigned decimal ("123e4" is 7,
// "0.001" is -2): enough to tell a value too large for a double from one
// too small. The exponent is held far from int overflow.
long DecimalMagnitude(const std::string& t) {
    long exponent = 0;
    const std::size_t e = t.find_first_of("eE");
    if (e != std::string::npos) {
        std::size_t i = e + 1;
        const bool negative = i < t.size() && t[i] == '-';
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        for (; i < t.size() && exponent < 1000000; ++i) exponent = exponent * 10 + (t[i] - '0');
        if (negative) exponent = -exponent;
    }
    const std::string mantissa = t.substr(0, e);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string::npos) return LONG_MIN;  // zero
    return exponent + (first < point ? static_cast<long>(point - first) : -static_cast<long>(first - point) + 1);
}

}  // namespace

Parse ParseInt(const std::string& text, int* out) {
    const std::string t = Trim(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    if (i == t.size()) return Parse::Malformed;
    long long v = 0;
    bool overflow = false;
    for (; i < t.size(); ++i) {
        if (!IsDigit(t[i])) return Parse::Malformed;
        if (!overflow) {
            v = v * 10 + (t[i] - '0');
            if (v > static_cast<long long>(INT_MAX) + 1) overflow = true;
        }
    }
    if (negative) v = -v;
    if (overflow || v > INT_MAX || v < INT_MIN) {
        *out = negative ? INT_MIN : INT_MAX;
        return Parse::OutOfRange;
    }
    *out = static_cast<int>(v);
    return Parse::Ok;
}

Parse ParseFloat(const std::string& text, float* out) {
    const std::string t = Trim(text);
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return Parse::Malformed;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && IsDigit(t[i])) ++i, ++expDigits;
        if (expDigits == 0) return Parse::Malformed;
    }
    if (i != t.size()) return Parse::Malformed;
    // The conversion itself is locale-free: the C library's strtod would
    // read "0.25" as 0 under a locale whose decimal point is ",", and the
    // toolkit sets the process locale from the environment when it starts.
    const bool negative = t[0] == '-';
    const std::size_t from = (t[0] == '+' || t[0] == '-') ? 1 : 0;
    double d = 0;
    const auto [end, ec] = std::from_chars(t.data() + from, t.data() + t.size(), d, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large for a double is out of range; too small is zero, as
        // the C library reads it.
        if (DecimalMagnitude(t.substr(from)) > 0) {
            *out = negative ? -FLT_MAX : FLT_MAX;
            return Parse::OutOfRange;
        }
        d = 0;
    } else if (ec != std::errc() || end != t.data() + t.size()) {
        return Parse::Malformed;
    }
    if (negative) d = -d;
    if (!std::isfinite(d) || std::fabs(d) > FLT_MAX) {
        *out = d < 0 ? -FLT_MAX : FLT_MAX;
        return Parse::OutOfRange;
    }
    *out = static_cast<float>(d);
    return Parse::Ok;
}

std::string FormatInt(int v) { return std::to_string(v); }

std::string FormatFloat(float v) {
    // As printf's "%.6g" writes it in the C locale, whatever the process
    // locale is.
    char buf[64];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::general, FLT_DIG);
    return ec == std::errc() ? std::string(buf, end) : std::string();
}

}  // namespace korvel::ddx
