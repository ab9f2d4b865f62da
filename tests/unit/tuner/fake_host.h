// A recording stand-in for the machine: every driver request with its bytes and the lock
// depth it was sent at, a driver whose registers and control port answer like the board's,
// a clock that advances with each read, a mixer list and a settings file in memory.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tuner_host.h"

namespace kvtun::test {

struct Sent {
    uint32_t code;
    std::vector<uint8_t> in;
    uint32_t outLength;
    int lockDepth;  // 0 when sent without the lock
    int holdId;     // which outermost hold it was sent in (0 without the lock)
};

struct MixerDevice {
    uint16_t productId;
    uint32_t capsResult = 0;
    uint32_t openResult = 0;
};

class FakeHost : public TunerHost {
public:
    // Driver side.
    std::vector<Sent> sent;
    uint8_t port = 0x0F;          // control port as written
    uint8_t status = 7;           // bits 4-6 when read
    uint8_t vp[256] = {};
    uint32_t probeWord = 0x300;
    uint8_t identify = 0x21;
    uint8_t boardStatus = 1;
    uint8_t inputStatus = 0x55;

    // Lock and clock.
    int depth = 0;
    int maxDepth = 0;
    int holds = 0;
    uint32_t now = 1000;
    uint32_t tickStep = 1;
    uint32_t ticksRead = 0;

    // Mixer.
    std::vector<MixerDevice> mixers;
    uint32_t setResult = 0;
    std::vector<std::string> mixerCalls;

    // Settings: "section/key" -> text; writes in order.
    std::map<std::string, std::string> settings;
    std::vector<std::string> writes;

    bool marked = false;
    // Called after each request has been answered.
    std::function<void(uint32_t code)> onRequest;

    void Request(uint32_t code, const void* in, uint32_t inLength, void* out,
                 uint32_t outLength) override {
        const uint8_t* bytes = static_cast<const uint8_t*>(in);
        sent.push_back({code, std::vector<uint8_t>(bytes, bytes + (in ? inLength : 0)), outLength,
                        depth, depth ? holds : 0});
        uint8_t answer[4] = {};
        uint32_t n = 0;
        switch (code) {
        case 10: std::memcpy(answer, &probeWord, 4); n = 4; break;
        case 18: port = bytes[0]; break;
        case 19: answer[0] = static_cast<uint8_t>((port & 0x8F) | status << 4); n = outLength; break;
        case 24: answer[0] = vp[bytes[0]]; n = 1; break;
        case 25: answer[0] = vp[bytes[0]]; answer[1] = vp[(bytes[0] + 1) & 0xFF]; n = 2; break;
        case 26: vp[bytes[2]] = bytes[0]; break;
        case 27: vp[bytes[2]] = bytes[0]; vp[(bytes[2] + 1) & 0xFF] = bytes[1]; break;
        case 29: answer[0] = bytes[0] == 9 ? identify : 0; n = 1; break;
        case 33: answer[0] = boardStatus; n = 1; break;
        case 34: answer[0] = inputStatus; n = 1; break;
        }
        if (out) std::memcpy(out, answer, std::min(n, outLength));
        if (onRequest) onRequest(code);
    }

    void Enter() override {
        if (depth++ == 0) ++holds;
        maxDepth = std::max(maxDepth, depth);
    }
    void Leave() override {
        ASSERT_GT(depth, 0) << "lock left more often than entered";
        --depth;
    }
    uint32_t Ticks() override {
        ++ticksRead;
        now += tickStep;
        return now;
    }

    uint32_t MixerCount() override {
        mixerCalls.push_back("count");
        return static_cast<uint32_t>(mixers.size());
    }
    uint32_t MixerProductId(uint32_t device, uint16_t& productId) override {
        mixerCalls.push_back("caps " + std::to_string(device));
        productId = mixers[device].productId;
        return mixers[device].capsResult;
    }
    uint32_t MixerOpen(uint32_t device, uintptr_t& mixer) override {
        mixerCalls.push_back("open " + std::to_string(device));
        mixer = 0x100 + device;
        return mixers[device].openResult;
    }
    uint32_t MixerSetValue(uintptr_t mixer, uint32_t controlId, int32_t value) override {
        mixerCalls.push_back("set " + std::to_string(mixer - 0x100) + " " +
                             std::to_string(controlId) + "=" + std::to_string(value));
        return setResult;
    }
    void MixerClose(uintptr_t mixer) override {
        mixerCalls.push_back("close " + std::to_string(mixer - 0x100));
    }

    bool ReadSetting(const char* section, const char* key, std::string& value) override {
        auto it = settings.find(std::string(section) + "/" + key);
        if (it == settings.end()) return false;
        value = it->second;
        return true;
    }
    void WriteSetting(const char* section, const char* key, const std::string& value) override {
        settings[std::string(section) + "/" + key] = value;
        writes.push_back(std::string(section) + "/" + key + "=" + value);
    }

    bool MarkBoardInitialised() override {
        if (marked) return false;
        marked = true;
        return true;
    }

    // Requests other than the clock's: the codes in order.
    std::vector<uint32_t> Codes() const {
        std::vector<uint32_t> c;
        for (const auto& s : sent) c.push_back(s.code);
        return c;
    }
    // Writes of decoder registers as (sub-address, value).
    std::vector<std::pair<int, int>> DecoderWrites() const {
        std::vector<std::pair<int, int>> w;
        for (const auto& s : sent)
            if (s.code == 21) w.emplace_back(s.in[1], s.in[0]);
        return w;
    }
    void Clear() {
        sent.clear();
        mixerCalls.clear();
        writes.clear();
    }
};

}  // namespace kvtun::test
