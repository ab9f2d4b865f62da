#include "mixer_win32.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>

#include "hwmixer.h"
#include "mixer_control.h"
#include "viewer_state.h"

namespace {

class HwPort : public MixerPort {
public:
    explicit HwPort(HMIXER mixer) : mixer_(mixer) {}
    HMIXER Handle() const { return mixer_; }

    bool Read(uint32_t control, uint32_t items, int32_t* values) override {
        MIXERCONTROLDETAILS d = Details(control, items, values);
        return HwMixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(mixer_), &d,
                                         MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) ==
               MMSYSERR_NOERROR;
    }
    bool Write(uint32_t control, uint32_t items, const int32_t* values) override {
        MIXERCONTROLDETAILS d = Details(control, items, const_cast<int32_t*>(values));
        return HwMixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer_), &d,
                                        MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
               MMSYSERR_NOERROR;
    }

private:
    static MIXERCONTROLDETAILS Details(uint32_t control, uint32_t items, int32_t* values) {
        MIXERCONTROLDETAILS d = {};
        d.cbStruct = sizeof d;
        d.dwControlID = control;
        d.cChannels = 1;
        d.cMultipleItems = items;
        d.cbDetails = sizeof(int32_t);
        d.paDetails = values;
        return d;
    }
    HMIXER mixer_;
};

class HwDevices : public MixerDevices {
public:
    uint32_t Count() override { return HwMixerGetNumDevs(); }
    bool ProductId(uint32_t index, uint16_t* productId) override {
        MIXERCAPSA caps = {};
        if (HwMixerGetDevCapsA(index, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
        *productId = caps.wPid;
        return true;
    }
    MixerPort* Open(uint32_t index) override {
        HMIXER mixer = nullptr;
        if (HwMixerOpen(&mixer, index, 0, 0, 0) != MMSYSERR_NOERROR) return nullptr;
        return new HwPort(mixer);
    }
    void Close(MixerPort* port) override {
        auto* p = static_cast<HwPort*>(port);
        HwMixerClose(p->Handle());
        delete p;
    }
};

MixerMemory Load() {
    MixerMemory m;
    m.mixerIndex = g_viewer.mixerIndex;
    std::memcpy(m.saved, g_viewer.mixerSaved, sizeof m.saved);
    return m;
}

void Store(const MixerMemory& m) {
    g_viewer.mixerIndex = m.mixerIndex;
    std::memcpy(g_viewer.mixerSaved, m.saved, sizeof m.saved);
}

}  // namespace

int PrepareViewerMixer() {
    HwDevices devices;
    MixerMemory m = Load();
    int result = PrepareMixer(devices, m);
    Store(m);
    return result;
}

void RestoreViewerMixer() {
    HwDevices devices;
    MixerMemory m = Load();
    RestoreMixer(devices, m);
    Store(m);
}
