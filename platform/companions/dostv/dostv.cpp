// ZORTV2.PIF: the stand-in for the DOS full-screen TV program. It takes the hand-off record
// "TVCTRL.INF" from the current folder, marks it running (state 1), "shows TV" for a moment and
// writes it back with its final state and what the user changed. What it does comes from
// "ZORTV2.INI" beside it, section [dostv]:
//   state=3    final state: 2 or 4 the user switched the TV off, 3 back to Windows, 1 never returns
//   preset=N   the preset the user chose (0..11), unchanged when absent
//   hue=N      the hue the user set, unchanged when absent
//   still=1    saves a still picture in "TVCAPWIN.BMP"
//   delay=300  milliseconds of TV
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD kRecordSize = 187;
constexpr char kRecord[] = "TVCTRL.INF";
constexpr char kSettings[] = ".\\ZORTV2.INI";

bool ReadRecord(uint8_t* record) {
    HANDLE f = CreateFileA(kRecord, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD got = 0;
    ReadFile(f, record, kRecordSize, &got, nullptr);
    CloseHandle(f);
    return got == kRecordSize && record[0] == 'T' && record[1] == 'V';
}

void WriteRecord(const uint8_t* record) {
    HANDLE f = CreateFileA(kRecord, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD put = 0;
    WriteFile(f, record, kRecordSize, &put, nullptr);
    CloseHandle(f);
}

int Setting(const char* key, int fallback) {
    char text[32] = {};
    GetPrivateProfileStringA("dostv", key, "", text, sizeof text, kSettings);
    if (!text[0]) return fallback;
    return atoi(text);
}

// A 2 x 2 grey 24-bit picture.
void SaveStill() {
    uint8_t file[54 + 16] = {};
    BITMAPFILEHEADER* h = reinterpret_cast<BITMAPFILEHEADER*>(file);
    h->bfType = 0x4D42;
    h->bfSize = sizeof file;
    h->bfOffBits = 54;
    BITMAPINFOHEADER* i = reinterpret_cast<BITMAPINFOHEADER*>(file + 14);
    i->biSize = 40;
    i->biWidth = 2;
    i->biHeight = 2;
    i->biPlanes = 1;
    i->biBitCount = 24;
    std::memset(file + 54, 0x80, 16);
    HANDLE f = CreateFileA("TVCAPWIN.BMP", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD put = 0;
    WriteFile(f, file, sizeof file, &put, nullptr);
    CloseHandle(f);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    uint8_t record[kRecordSize];
    if (!ReadRecord(record)) return 1;
    record[3] = 1;
    WriteRecord(record);
    Sleep(static_cast<DWORD>(Setting("delay", 300)));
    int state = Setting("state", 3);
    if (state == 1) return 0;
    int preset = Setting("preset", -1);
    if (preset >= 0 && preset < 12) record[6] = static_cast<uint8_t>(preset + 1);
    int hue = Setting("hue", 1000);
    if (hue != 1000) record[11] = static_cast<uint8_t>(hue);
    if (Setting("still", 0)) {
        SaveStill();
        record[182] = 1;
    }
    record[3] = static_cast<uint8_t>(state);
    WriteRecord(record);
    // Back from full screen, Windows repaints every window.
    InvalidateRect(nullptr, nullptr, TRUE);
    return 0;
}
