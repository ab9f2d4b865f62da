#include "settings.h"

#include <cstdio>
#include <cstring>

#include "viewer_state.h"

namespace {
constexpr char kSection[] = "ZORTV";
}

const char* SettingsPath() {
    static char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%sZORTV.INI", g_viewer.programDirectory);
    return path;
}

DWORD ReadSettingText(const char* key, const char* defaultText, char* buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    DWORD n = GetPrivateProfileStringA(kSection, key, defaultText, buffer, size, SettingsPath());
    buffer[size - 1] = '\0';
    return n;
}

UINT ReadSettingInt(const char* key, int defaultValue) {
    return GetPrivateProfileIntA(kSection, key, defaultValue, SettingsPath());
}

BOOL WriteSettingText(const char* key, const char* text) {
    return WritePrivateProfileStringA(kSection, key, text, SettingsPath());
}

BOOL WriteSettingInt(const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return WriteSettingText(key, text);
}
