// The one board of the machine: its state lives in a named file mapping so that every process
// sees the same board, and a named mutex serialises requests of different processes.
#define KIVO_BOARD_BUILD
#include "board_api.h"

#include <mmsystem.h>
#include <mmddk.h>

#include <cstring>
#include <string>

namespace {

constexpr char kMappingName[] = "KIVO_VIRTUAL_BOARD_STATE";
constexpr char kLockName[] = "KIVO_VIRTUAL_BOARD_LOCK";

HMODULE g_module;
HANDLE g_mapping;
HANDLE g_lock;
board::State* g_state;

// The board's folder, where BOARD.INI lies and relative video paths start; ends with a '\\'.
std::string BoardFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    std::string file(path, n);
    return file.substr(0, file.find_last_of("\\/") + 1);
}

board::Settings WithFolder(board::Settings s) {
    board::ResolveVideoPaths(s, BoardFolder().c_str());
    return s;
}

board::Settings ReadSettingsFile() {
    board::Settings s = board::DefaultSettings();
    const std::string folder = BoardFolder();
    if (folder.empty()) return s;
    const std::string file = folder + "BOARD.INI";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return s;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got) {
        text.append(buffer, got);
        if (text.size() > (1u << 20)) break;  // a settings file is small; ignore the rest
    }
    CloseHandle(h);
    return WithFolder(board::ParseSettings(text.data(), text.size(), s));
}

// Holds the board's mutex for one operation; an abandoned mutex still gives the board.
class Hold {
public:
    Hold() { WaitForSingleObject(g_lock, INFINITE); }
    ~Hold() { ReleaseMutex(g_lock); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
};

// The video file of the channel this process shows, mapped read-only; one at a time. The
// capture service asks for every frame, so it stays open until the channel or the board's
// reset changes.
struct FeedSlot {
    uint32_t serial = 0;
    uint32_t channel = 0;
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE mapping = nullptr;
    const uint8_t* view = nullptr;
    board::Y4mClip clip;

    void Release() {
        clip = board::Y4mClip();
        if (view) UnmapViewOfFile(view);
        if (mapping) CloseHandle(mapping);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        view = nullptr;
        mapping = nullptr;
        file = INVALID_HANDLE_VALUE;
        channel = 0;
    }

    board::FeedError Open(const char* path) {
        file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return board::kFeedCannotOpen;
        DWORD high = 0;
        const DWORD low = GetFileSize(file, &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return board::kFeedCannotOpen;
        if (high != 0 || low > board::kFeedMaxBytes) return board::kFeedTooLarge;
        static const uint8_t kNothing = 0;
        if (low == 0) return clip.Open(&kNothing, 0);  // an empty file cannot be mapped
        mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping) view = static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
        if (!view) return board::kFeedCannotOpen;
        return clip.Open(view, low);
    }
};

CRITICAL_SECTION g_feedLock;
FeedSlot g_feed;

// The one log line of a channel's video file since the reset, whichever process opens it first.
void ReportFeed(uint32_t channel, uint32_t serial, board::FeedError error, const char* path, uint32_t frames) {
    const char* name = path + std::strlen(path);
    while (name > path && name[-1] != '\\' && name[-1] != '/') --name;
    char tail[32] = {};
    const size_t length = std::strlen(name) < sizeof tail - 1 ? std::strlen(name) : sizeof tail - 1;
    std::memcpy(tail, name + std::strlen(name) - length, length);
    Hold hold;
    if (g_state->feedSerial != serial || !board::TakeFeedReport(*g_state, channel)) return;
    board::LogEntry& e = board::AppendLog(*g_state, GetCurrentProcessId(), board::kFeed, channel, tail,
                                          DWORD(length + 1), 0);
    e.result = error;
    e.returned = frames;
}

// Every reset starts the video files anew, in every process.
void ResetBoard(const board::Settings& s) {
    const uint32_t serial = g_state->feedSerial;
    board::Reset(*g_state, s);
    g_state->feedSerial = serial + 1;
}

void ReleaseFeed() {
    EnterCriticalSection(&g_feedLock);
    g_feed.Release();
    LeaveCriticalSection(&g_feedLock);
}

bool Attach() {
    g_lock = CreateMutexA(nullptr, FALSE, kLockName);
    if (!g_lock) return false;
    g_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                   sizeof(board::State), kMappingName);
    if (!g_mapping) return false;
    g_state = static_cast<board::State*>(
        MapViewOfFile(g_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(board::State)));
    if (!g_state) return false;
    Hold hold;
    if (g_state->magic != board::kMagic || g_state->version != board::kVersion ||
        g_state->size != sizeof(board::State))
        ResetBoard(ReadSettingsFile());
    return true;
}

void LogMixer(UINT message, const void* in, DWORD inLength, DWORD outLength, MMRESULT result,
              const void* out, DWORD outBytes) {
    board::LogEntry& e = board::AppendLog(*g_state, GetCurrentProcessId(), board::kBoardMix,
                                          message, in, inLength, outLength);
    e.result = static_cast<int32_t>(result);
    e.returned = outBytes;
    if (out && outBytes) std::memcpy(e.out, out, outBytes < sizeof e.out ? outBytes : sizeof e.out);
}

MMRESULT ControlDetails(UINT message, LPMIXERCONTROLDETAILS d, DWORD flags) {
    // The log's input: control id, channels, items, then the values written.
    int32_t in[8] = {};
    if (!d || d->cbStruct < sizeof(MIXERCONTROLDETAILS)) {
        LogMixer(message, nullptr, 0, 0, MMSYSERR_INVALPARAM, nullptr, 0);
        return MMSYSERR_INVALPARAM;
    }
    in[0] = static_cast<int32_t>(d->dwControlID);
    in[1] = static_cast<int32_t>(d->cChannels);
    in[2] = static_cast<int32_t>(d->cMultipleItems);
    DWORD query = flags & MIXER_GETCONTROLDETAILSF_QUERYMASK;
    DWORD count = (d->cChannels ? d->cChannels : 1) * (d->cMultipleItems ? d->cMultipleItems : 1);
    MMRESULT r = MMSYSERR_NOERROR;
    if (query != MIXER_GETCONTROLDETAILSF_VALUE) r = MMSYSERR_NOTSUPPORTED;
    else if (d->cbDetails != sizeof(int32_t) || !d->paDetails || count > 64) r = MMSYSERR_INVALPARAM;
    else if (!board::FindMixerControl(*g_state, d->dwControlID)) r = MIXERR_INVALCONTROL;
    auto* values = static_cast<int32_t*>(d->paDetails);
    if (message == MXDM_SETCONTROLDETAILS) {
        if (r == MMSYSERR_NOERROR) {
            for (DWORD i = 0; i < count && i < 5; ++i) in[3 + i] = values[i];
            board::MixerWrite(*g_state, d->dwControlID, values, count);
        }
        LogMixer(message, in, sizeof in, 0, r, nullptr, 0);
    } else {
        if (r == MMSYSERR_NOERROR) board::MixerRead(*g_state, d->dwControlID, values, count);
        LogMixer(message, in, 3 * sizeof(int32_t), count * 4, r, r ? nullptr : values,
                 r ? 0 : count * 4);
    }
    return r;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
        InitializeCriticalSection(&g_feedLock);
        return Attach() ? TRUE : FALSE;
    }
    if (reason == DLL_PROCESS_DETACH) g_feed.Release();
    return TRUE;
}

BOARD_API BOOL WINAPI BoardDevicePresent(DWORD device) {
    Hold hold;
    const board::Settings& s = g_state->settings;
    switch (device) {
    case board::kZtuner: return s.present != 0;
    case board::kBoardMix: return s.mixerPresent != 0;
    case board::kSpkd: return s.spkdPresent != 0;
    case board::kDazidav: return s.dazidavPresent != 0;
    }
    return FALSE;
}

BOARD_API BOOL WINAPI BoardDeviceControl(DWORD device, DWORD code, LPVOID in, DWORD inLength,
                                         LPVOID out, DWORD outLength, LPDWORD returned) {
    Hold hold;
    uint32_t written = 0;
    bool ok = board::Request(*g_state, GetCurrentProcessId(), device, code, in, inLength, out,
                             outLength, &written);
    if (returned) *returned = written;
    if (!ok) SetLastError(ERROR_INVALID_FUNCTION);
    return ok ? TRUE : FALSE;
}

BOARD_API DWORD WINAPI BoardMixerMessage(UINT deviceId, UINT message, DWORD_PTR user,
                                         DWORD_PTR param1, DWORD_PTR param2) {
    Hold hold;
    const bool present = g_state->settings.mixerPresent != 0;
    switch (message) {
    case MXDM_GETNUMDEVS:
        return present ? 1 : 0;
    case MXDM_GETDEVCAPS: {
        MMRESULT r = MMSYSERR_NOERROR;
        auto* caps = reinterpret_cast<LPMIXERCAPSA>(param1);
        if (!present || deviceId != 0) r = MMSYSERR_BADDEVICEID;
        else if (!caps || param2 < sizeof(MIXERCAPSA)) r = MMSYSERR_INVALPARAM;
        else {
            MIXERCAPSA c = {};
            c.wMid = 0x7A;  // the board's maker
            c.wPid = 23;
            c.vDriverVersion = 0x0100;
            std::strcpy(c.szPname, "QX-7700 Mixer");
            c.fdwSupport = 0;
            c.cDestinations = 1;
            *caps = c;
        }
        LogMixer(message, nullptr, 0, static_cast<DWORD>(param2), r, nullptr, 0);
        return r;
    }
    case MXDM_OPEN: {
        MMRESULT r = present && deviceId == 0 ? MMSYSERR_NOERROR : MMSYSERR_BADDEVICEID;
        if (r == MMSYSERR_NOERROR) {
            ++g_state->mixerOpen;
            if (user) *reinterpret_cast<DWORD_PTR*>(user) = 0x4D58;
        }
        LogMixer(message, nullptr, 0, 0, r, nullptr, 0);
        return r;
    }
    case MXDM_CLOSE:
        if (g_state->mixerOpen > 0) --g_state->mixerOpen;
        LogMixer(message, nullptr, 0, 0, MMSYSERR_NOERROR, nullptr, 0);
        return MMSYSERR_NOERROR;
    case MXDM_GETCONTROLDETAILS:
    case MXDM_SETCONTROLDETAILS:
        if (!present || deviceId != 0) return MMSYSERR_BADDEVICEID;
        return ControlDetails(message, reinterpret_cast<LPMIXERCONTROLDETAILS>(param1),
                              static_cast<DWORD>(param2));
    }
    return MMSYSERR_NOTSUPPORTED;
}

BOARD_API void WINAPI BoardReset(void) {
    board::Settings s = ReadSettingsFile();
    ReleaseFeed();
    Hold hold;
    ResetBoard(s);
}

BOARD_API void WINAPI BoardResetWith(const char* settingsText) {
    board::Settings s = WithFolder(board::ParseSettings(settingsText, settingsText ? std::strlen(settingsText) : 0,
                                                        board::DefaultSettings()));
    ReleaseFeed();
    Hold hold;
    ResetBoard(s);
}

BOARD_API DWORD WINAPI BoardPictureState(DWORD milliseconds, board::PictureInput* out, DWORD size) {
    if (!out || size < sizeof(board::PictureInput)) return 0;
    board::PictureInput in;
    char path[board::kVideoPathLength] = {};
    uint32_t serial = 0;
    {
        Hold hold;
        in = board::PictureOf(*g_state);
        serial = g_state->feedSerial;
        if (board::TunedToStation(in)) std::memcpy(path, g_state->settings.video[in.channel], sizeof path - 1);
    }
    if (path[0]) {
        EnterCriticalSection(&g_feedLock);
        if (g_feed.serial != serial || g_feed.channel != in.channel) {
            g_feed.Release();
            g_feed.serial = serial;
            g_feed.channel = in.channel;
            const board::FeedError error = g_feed.Open(path);
            if (error != board::kFeedOk) ReportFeed(in.channel, serial, error, path, g_feed.clip.Frames());
            if (!g_feed.clip.Playable()) {  // nothing held open; no signal until the next reset
                g_feed.Release();
                g_feed.channel = in.channel;
            }
        }
        in.fed = true;
        if (g_feed.clip.Playable()) in.picture = g_feed.clip.Picture(g_feed.clip.FrameAt(milliseconds));
        LeaveCriticalSection(&g_feedLock);
    }
    *out = in;
    return sizeof in;
}

BOARD_API DWORD WINAPI BoardSnapshot(board::State* out, DWORD size) {
    if (!out || size < sizeof(board::State)) return 0;
    Hold hold;
    std::memcpy(out, g_state, sizeof(board::State));
    return sizeof(board::State);
}

BOARD_API DWORD WINAPI BoardLogTotal(void) {
    Hold hold;
    return g_state->logTotal;
}

BOARD_API BOOL WINAPI BoardLogEntry(DWORD sequence, board::LogEntry* out) {
    Hold hold;
    DWORD total = g_state->logTotal;
    if (!out || sequence == 0 || sequence > total || total - sequence >= board::kLogCapacity)
        return FALSE;
    *out = g_state->log[(sequence - 1) % board::kLogCapacity];
    return TRUE;
}

BOARD_API void WINAPI BoardLogClear(void) {
    Hold hold;
    g_state->logTotal = 0;
}

BOARD_API BOOL WINAPI BoardSetSound(DWORD channelCode, DWORD status) {
    if (channelCode == 0 || channelCode >= board::kChannelCodes || status > 7) return FALSE;
    Hold hold;
    g_state->settings.sound[channelCode] = static_cast<uint8_t>(status);
    return TRUE;
}
