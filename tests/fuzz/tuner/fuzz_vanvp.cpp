// Any bytes as "VANVP.INI": the tuner library reads it at attach, applies the values to the
// decoder and overlay, and writes them back; what it writes reads back to the same values.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "../common/fuzz_ini.h"
#include "tuner_core.h"
#include "vanvp_ini.h"

using namespace kvtun;

namespace {

class Host : public TunerHost {
public:
    explicit Host(const fuzzini::File& file) : file_(file) {}
    void Request(uint32_t, const void*, uint32_t, void* out, uint32_t outLength) override {
        auto* bytes = static_cast<uint8_t*>(out);
        for (uint32_t i = 0; i < outLength; ++i) bytes[i] = uint8_t(0x21 + i);
    }
    void Enter() override {}
    void Leave() override {}
    uint32_t Ticks() override { return now += 50; }
    uint32_t MixerCount() override { return 0; }
    uint32_t MixerProductId(uint32_t, uint16_t&) override { return 1; }
    uint32_t MixerOpen(uint32_t, uintptr_t&) override { return 1; }
    uint32_t MixerSetValue(uintptr_t, uint32_t, int32_t) override { return 1; }
    void MixerClose(uintptr_t) override {}
    bool ReadSetting(const char* section, const char* key, std::string& value) override {
        const auto written = writes.find(std::string(section) + "/" + key);
        if (written != writes.end()) {
            value = written->second;
            return true;
        }
        return file_.Get(section, key, value);
    }
    void WriteSetting(const char* section, const char* key, const std::string& value) override {
        writes[std::string(section) + "/" + key] = value;
    }
    bool MarkBoardInitialised() override { return true; }
    std::map<std::string, std::string> writes;

private:
    const fuzzini::File& file_;
    uint32_t now = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzzini::File file(data, size);
    Host host(file);
    TunerLibState state;
    Tuner tuner(state, host);
    tuner.LoadSettings();
    tuner.SetColorMode(0);
    tuner.SetDefOverLayPos(640, 480, 16);
    for (uint32_t d = 0; d < 4; ++d) tuner.MoveOverLayPos(d);
    tuner.GetOverLayPos(0);
    tuner.GetOverLayPos(1);
    tuner.SelInputSrc(state.inputSource);
    tuner.SetBright(int32_t(state.decoderBrightness));
    tuner.SetHue(state.decoderHue);
    tuner.SaveConfig();

    // Written values read back unchanged.
    const TunerLibState saved = state;
    TunerLibState again;
    ReadVanvp(host, again);
    if (again.decoderBrightness != saved.decoderBrightness || again.decoderContrast != saved.decoderContrast ||
        again.decoderSaturation != saved.decoderSaturation || again.decoderHue != saved.decoderHue ||
        again.offsetX != saved.offsetX || again.offsetY != saved.offsetY)
        __builtin_trap();
    for (const auto& [key, text] : host.writes)
        if (!ParseSettingInt(text)) __builtin_trap();
    return 0;
}
