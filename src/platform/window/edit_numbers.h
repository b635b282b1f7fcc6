// Reading and writing the numbers of edits.
#pragma once

#include <string>

namespace korvel::ddx {

enum class Parse { Ok, Malformed, OutOfRange };

// Blanks around, optional sign, decimal digits. A number too large for int
// is OutOfRange.
Parse ParseInt(const std::string& text, int* out);
// Blanks around, optional sign, digits with optional fraction and exponent
// (".5", "1e1"); no hex, infinity or NaN. Values beyond float are OutOfRange.
Parse ParseFloat(const std::string& text, float* out);
std::string FormatInt(int v);
// Six significant digits in the shortest form ("0.1", "1.165", "20").
std::string FormatFloat(float v);

}  // namespace korvel::ddx
