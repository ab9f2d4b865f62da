#include "tuner_state_win32.h"

#include <windows.h>

#include "kvtun32.h"
#include "settings.h"

void ProfileSettings::ReadText(const char* key, const char* defaultText, char* buffer,
                               uint32_t size) {
    ReadSettingText(key, defaultText, buffer, size);
}

// The profile API answers with the value's bits unsigned; negative settings come back intact
// once taken as signed.
int32_t ProfileSettings::ReadInt(const char* key, int32_t defaultValue) {
    return static_cast<int32_t>(ReadSettingInt(key, defaultValue));
}

void ProfileSettings::WriteInt(const char* key, int32_t value) { WriteSettingInt(key, value); }

void Kvtun32Library::SelChannel(uint32_t word) { ::SelChannel(word); }
void Kvtun32Library::SelInputSrc(uint32_t source) { ::SelInputSrc(source); }
void Kvtun32Library::SelVoiceMode(uint32_t mode) { ::SelVoiceMode(mode); }
void Kvtun32Library::SetBright(int32_t level) { ::SetBright(level); }
void Kvtun32Library::SetContrast(uint32_t level) { ::SetContrast(level); }
void Kvtun32Library::SetColor(uint32_t level) { ::SetColor(level); }
void Kvtun32Library::SetHue(int32_t level) { ::SetHue(level); }
void Kvtun32Library::SetVoice(int32_t on) { ::SetVoice(on); }
int32_t Kvtun32Library::GetStatusTV() { return static_cast<int32_t>(::GetStatusTV()); }

ProfileSettings& ViewerSettings() {
    static ProfileSettings settings;
    return settings;
}

Kvtun32Library& ViewerTuner() {
    static Kvtun32Library tuner;
    return tuner;
}
