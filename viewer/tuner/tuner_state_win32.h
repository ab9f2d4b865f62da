// The tuner state's Win32 side: the settings store over "ZORTV.INI" and the tuner library
// over kvtun32's exports.
#pragma once
#include "tuner_state.h"

// Section "ZORTV" of the viewer's settings file, through the viewer's setting routines.
class ProfileSettings : public SettingsStore {
public:
    void ReadText(const char* key, const char* defaultText, char* buffer, uint32_t size) override;
    int32_t ReadInt(const char* key, int32_t defaultValue) override;
    void WriteInt(const char* key, int32_t value) override;
};

// kvtun32.dll, bound by ordinal.
class Kvtun32Library : public TunerLibrary {
public:
    void SelChannel(uint32_t word) override;
    void SelInputSrc(uint32_t source) override;
    void SelVoiceMode(uint32_t mode) override;
    void SetBright(int32_t level) override;
    void SetContrast(uint32_t level) override;
    void SetColor(uint32_t level) override;
    void SetHue(int32_t level) override;
    void SetVoice(int32_t on) override;
    int32_t GetStatusTV() override;
};

// The viewer's one instance of each.
ProfileSettings& ViewerSettings();
Kvtun32Library& ViewerTuner();
