// The installer's run from start to end over a host that does the system calls, so that every
// path (both series, every state) runs the same code here and under test.
#pragma once
#include <cstdint>
#include <string>

namespace spkit {

enum class Message {
    kNoMachineInfo,
    kOsNotReady,
    kNoKitFile,
    kForOlderSeries,  // the kit is for the QX-7000 series
    kForNewerSeries,  // the kit is for the QV-MX series
    kWrongMachine,
    kNoRegistryKey,
    kModulesMissing,  // question: replace anyway?
    kAlreadyReplaced, // question: replace again?
    kInstallFailed,
    kRestart,
    kFinished,
};

// Shift-JIS text of a message; every box has kCaption.
const char* MessageText(Message message);
bool IsQuestion(Message message);
extern const char kCaption[];

extern const char kRegistryBase[];  // "SOFTWARE\ZOR\SUPPORTKIT\WIN95UPG\"

enum class KeyOpen { kOpened, kCreated, kFailed };

// The driver's answer to request 1.
struct MachineInfo {
    uint8_t osReady;
    uint8_t idCheckAvailable;
    uint16_t machineId;
};

class Host {
public:
    virtual ~Host() = default;
    // WIN.INI, section "support kit".
    virtual int32_t ProfileInt(const char* key) = 0;
    virtual void Pause(uint32_t milliseconds) = 0;
    virtual int KeyboardSubtype() = 0;
    // Request 1 with the newer-series flag; false when the device or the request fails.
    virtual bool QueryMachine(uint32_t newerSeries, MachineInfo& info) = 0;
    // ".\SpKit.inf".
    virtual bool KitFileReadable() = 0;
    virtual std::string KitString(const char* section, const char* key, const char* fallback) = 0;
    virtual int32_t KitInt(const char* section, const char* key, int32_t fallback) = 0;
    // The whole section with its NULs, as many characters as the profile API reported.
    virtual std::string KitSection(const char* section) = 0;
    virtual std::string WindowsDirectory() = 0;
    virtual bool FileSize(const std::string& path, uint32_t& size) = 0;
    // Opens HKEY_LOCAL_MACHINE\path, or creates it when it cannot be opened.
    virtual KeyOpen OpenKey(const std::string& path) = 0;
    virtual bool QueryInstalled(std::string& text) = 0;
    virtual void SetInstalled(const char* text) = 0;
    virtual bool RunCommand(const std::string& commandLine) = 0;
    virtual void Inform(Message message) = 0;
    virtual bool AskYes(Message message) = 0;
};

// Everything the run decided, for the record.
struct RunResult {
    bool newerSeries = false;
    bool quiet = false;
    int32_t installState = 0;
    bool installerStarted = false;
};

RunResult RunSupportKit(Host& host);

}  // namespace spkit
