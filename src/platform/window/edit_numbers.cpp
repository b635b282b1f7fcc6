// Reading and writing the numbers of edits. No toolkit: the parsers are
// also built alone for fuzzing.
#include "edit_numbers.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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
    // The syntax is plain decimal, so the C library reads it the same way in
    // any locale that uses the point; the program sets no locale.
    const double d = std::strtod(t.c_str(), nullptr);
    if (!std::isfinite(d) || std::fabs(d) > FLT_MAX) {
        *out = d < 0 ? -FLT_MAX : FLT_MAX;
        return Parse::OutOfRange;
    }
    *out = static_cast<float>(d);
    return Parse::Ok;
}

std::string FormatInt(int v) { return std::to_string(v); }

std::string FormatFloat(float v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", FLT_DIG, static_cast<double>(v));
    return buf;
}

}  // namespace korvel::ddx
