// The viewer's settings: section "ZORTV" of "ZORTV.INI" in the program directory. Every call
// opens the file by its full path; none keeps it open.
#pragma once
#include <windows.h>

// The file's full path (program directory + "ZORTV.INI").
const char* SettingsPath();

DWORD ReadSettingText(const char* key, const char* defaultText, char* buffer, DWORD size);
UINT ReadSettingInt(const char* key, int defaultValue);
BOOL WriteSettingText(const char* key, const char* text);
BOOL WriteSettingInt(const char* key, int value);
