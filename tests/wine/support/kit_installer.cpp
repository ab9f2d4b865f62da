// A kit's installer command for the tests: waits a moment (so the kit has to wait for it),
// then appends to "installer.txt" in its current folder the "Installed" value of the kit key
// named on its command line, as the kit left it while the installer ran.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    Sleep(300);
    char path[512] = "SOFTWARE\\ZOR\\SUPPORTKIT\\WIN95UPG\\";
    strncat(path, commandLine, sizeof path - strlen(path) - 1);
    char value[64] = "none";
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD size = sizeof value - 1;
        if (RegQueryValueExA(key, "Installed", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                             &size) != ERROR_SUCCESS)
            strcpy(value, "unset");
        RegCloseKey(key);
    }
    HANDLE file = CreateFileA("installer.txt", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD put = 0;
    WriteFile(file, value, static_cast<DWORD>(strlen(value)), &put, nullptr);
    WriteFile(file, ";", 1, &put, nullptr);
    CloseHandle(file);
    return 7;  // the kit does not look at it
}
