// CString: printf-style formatting and the string table.
#include "cstring.h"

#include <cstdarg>
#include <cstdio>

#include "resources.h"

void CString::Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    // First pass measures, second pass writes into a buffer of that size.
    const int n = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    if (n < 0) {
        // A conversion failed (an encoding error): the result is empty,
        // never a half-written string.
        m_s.clear();
        va_end(again);
        return;
    }
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), fmt, again);
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
