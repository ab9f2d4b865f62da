#include "window_setting.h"

#include <climits>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal integer as the C library converts one: leading white space, an optional sign,
// digits up to the first non-digit. Saturates instead of overflowing.
int32_t ToInt(const char* p) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t v = 0;
    while (*p >= '0' && *p <= '9') {
        v = v * 10 + (*p++ - '0');
        if (v > static_cast<int64_t>(INT32_MAX) + 1) v = static_cast<int64_t>(INT32_MAX) + 1;
    }
    if (negative) v = -v;
    if (v > INT32_MAX) v = INT32_MAX;
    return static_cast<int32_t>(v);
}

// The start of the next field, or nullptr when the text ends (no comma, or only blanks after it).
const char* NextField(const char* p) {
    while (*p && *p != ',') ++p;
    if (*p != ',') return nullptr;
    ++p;
    while (IsBlank(*p)) ++p;
    return *p ? p : nullptr;
}

}  // namespace

WindowSetting ParseWindowSetting(const char* text) {
    WindowSetting s{0, 16, 240, 180, 0};
    if (!text) return s;
    s.x = ToInt(text);
    int32_t* rest[] = {&s.y, &s.width, &s.height, &s.pinned};
    const char* p = text;
    for (int32_t* field : rest) {
        p = NextField(p);
        if (!p) break;
        *field = ToInt(p);
    }
    return s;
}
