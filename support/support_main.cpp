// support.exe: no window; talks to the user only through message boxes.
#include <windows.h>

#include <string>
#include <vector>

#include "kit_sequence.h"
#include "vxd.h"

namespace {

constexpr char kKitFile[] = ".\\SpKit.inf";
constexpr char kProfileSection[] = "support kit";
constexpr DWORD kSectionBytes = 2048;

class Win32Host final : public spkit::Host {
public:
    ~Win32Host() override {
        if (key_) RegCloseKey(key_);
    }

    int32_t ProfileInt(const char* key) override {
        return static_cast<int32_t>(GetProfileIntA(kProfileSection, key, 0));
    }

    void Pause(uint32_t milliseconds) override { Sleep(milliseconds); }

    int KeyboardSubtype() override { return GetKeyboardType(1); }

    bool QueryMachine(uint32_t newerSeries, spkit::MachineInfo& info) override {
        HANDLE device = VxdOpen("VZORSPKD.VXD");
        if (device == INVALID_HANDLE_VALUE) return false;
        BYTE in[4] = {static_cast<BYTE>(newerSeries), static_cast<BYTE>(newerSeries >> 8),
                      static_cast<BYTE>(newerSeries >> 16), static_cast<BYTE>(newerSeries >> 24)};
        BYTE out[4] = {};
        DWORD returned = 0;
        BOOL ok = VxdControl(device, 1, in, sizeof in, out, sizeof out, &returned, nullptr);
        VxdClose(device);
        if (ok != 1) return false;
        info.osReady = out[0];
        info.idCheckAvailable = out[1];
        info.machineId = static_cast<uint16_t>(out[2] | out[3] << 8);
        return true;
    }

    bool KitFileReadable() override {
        HANDLE file = CreateFileA(kKitFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        return true;
    }

    std::string KitString(const char* section, const char* key, const char* fallback) override {
        char text[256] = {};
        DWORD n = GetPrivateProfileStringA(section, key, fallback, text, sizeof text, kKitFile);
        return std::string(text, n < sizeof text ? n : sizeof text - 1);
    }

    int32_t KitInt(const char* section, const char* key, int32_t fallback) override {
        return static_cast<int32_t>(GetPrivateProfileIntA(section, key, fallback, kKitFile));
    }

    std::string KitSection(const char* section) override {
        std::vector<char> text(kSectionBytes, '\0');
        DWORD n = GetPrivateProfileSectionA(section, text.data(), kSectionBytes, kKitFile);
        if (n >= kSectionBytes) n = kSectionBytes - 1;
        return std::string(text.data(), n);
    }

    std::string WindowsDirectory() override {
        char path[MAX_PATH + 1] = {};
        UINT n = GetWindowsDirectoryA(path, sizeof path);
        return n && n < sizeof path ? std::string(path, n) : std::string();
    }

    bool FileSize(const std::string& path, uint32_t& size) override {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        size = GetFileSize(file, nullptr);
        CloseHandle(file);
        return true;
    }

    spkit::KeyOpen OpenKey(const std::string& path) override {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key_) ==
            ERROR_SUCCESS)
            return spkit::KeyOpen::kOpened;
        key_ = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key_, &disposition) == ERROR_SUCCESS)
            return spkit::KeyOpen::kCreated;
        key_ = nullptr;
        return spkit::KeyOpen::kFailed;
    }

    bool QueryInstalled(std::string& text) override {
        if (!key_) return false;
        char value[257] = {};  // one more than asked for: the value need not end in a NUL
        DWORD type = 0;
        DWORD size = 256;
        if (RegQueryValueExA(key_, "Installed", nullptr, &type, reinterpret_cast<BYTE*>(value),
                             &size) != ERROR_SUCCESS)
            return false;
        text = value;
        return true;
    }

    void SetInstalled(const char* text) override {
        // A write that fails changes nothing the run depends on.
        if (key_)
            RegSetValueExA(key_, "Installed", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                           static_cast<DWORD>(lstrlenA(text) + 1));
    }

    bool RunCommand(const std::string& commandLine) override {
        // CreateProcessA may write into the command line.
        std::vector<char> command(commandLine.size() * 2 + 2, '\0');
        commandLine.copy(command.data(), commandLine.size());
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process) != TRUE)
            return false;
        CloseHandle(process.hThread);
        // Keep the thread's queue moving while the installer runs, without spinning: an
        // installer that broadcasts to every top-level thread must not hang on us.
        for (;;) {
            DWORD code = 0;
            if (GetExitCodeProcess(process.hProcess, &code) && code != STILL_ACTIVE) break;
            // An installer whose own exit code is 259 has still ended.
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
            MSG msg;
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            } else {
                MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT);
            }
        }
        CloseHandle(process.hProcess);
        return true;
    }

    void Inform(spkit::Message message) override {
        MessageBoxA(nullptr, spkit::MessageText(message), spkit::kCaption, MB_ICONINFORMATION);
    }

    bool AskYes(spkit::Message message) override {
        return MessageBoxA(nullptr, spkit::MessageText(message), spkit::kCaption,
                           MB_ICONINFORMATION | MB_YESNO) == IDYES;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32Host host;
    spkit::RunSupportKit(host);
    return 0;
}
