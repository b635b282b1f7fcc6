// The program's string type: UTF-8 text with the few operations the program
// uses (printf-style formatting, appending, emptiness, loading from the
// string table).
#pragma once

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* s) : m_s(s ? s : "") {}  // NOLINT: implicit like the original
    CString(std::string s) : m_s(std::move(s)) {}  // NOLINT

    // printf-style formatting; the result replaces the contents.
    void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    // Loads string resource `id`; false (and empty) when there is none.
    bool LoadString(unsigned id);

    void Empty() { m_s.clear(); }
    bool IsEmpty() const { return m_s.empty(); }
    int GetLength() const { return static_cast<int>(m_s.size()); }

    CString& operator+=(const CString& o) { m_s += o.m_s; return *this; }
    CString& operator+=(const char* o) { m_s += o; return *this; }
    bool operator==(const CString& o) const { return m_s == o.m_s; }
    bool operator!=(const CString& o) const { return m_s != o.m_s; }

    operator const char*() const { return m_s.c_str(); }  // NOLINT: LPCTSTR conversion
    const std::string& str() const { return m_s; }

private:
    std::string m_s;
};

// Appends `value` written with `decimals` digits after the point: the text
// printf writes for "%.Nf" in the program's convention ("." as the point, no
// grouping), whatever the locale. A negative value that rounds to zero keeps
// its sign ("-0.000"); not-a-number and infinity are written "nan", "-nan",
// "inf" and "-inf". Much faster than Format, for long listings of numbers.
void AppendFixed(std::string& out, double value, int decimals);
