// Any bytes as "SpKit.inf", with the machine identifier, the series and the registry's
// "Installed" text taken from the first bytes: the kit's whole run over them, and the
// identifier and file rules on the raw sections.
#include <cstddef>
#include <cstdint>
#include <string>

#include "../common/fuzz_ini.h"
#include "kit_rules.h"
#include "kit_sequence.h"

namespace {

class Host : public spkit::Host {
public:
    Host(const fuzzini::File& kit, uint8_t bits, uint16_t id, std::string installed)
        : kit_(kit), bits_(bits), id_(id), installed_(std::move(installed)) {}
    int32_t ProfileInt(const char* key) override { return key[0] == 'm' ? (bits_ & 1) : (bits_ >> 1 & 1); }
    void Pause(uint32_t) override {}
    int KeyboardSubtype() override { return (bits_ & 4) ? 0xD00 : 0x100; }
    bool QueryMachine(uint32_t, spkit::MachineInfo& info) override {
        info.osReady = 1;
        info.idCheckAvailable = (bits_ >> 3) & 1;
        info.machineId = id_;
        return true;
    }
    bool KitFileReadable() override { return true; }
    std::string KitString(const char* section, const char* key, const char* fallback) override {
        char buffer[256];
        kit_.Text(section, key, fallback, buffer, sizeof buffer);
        return buffer;
    }
    int32_t KitInt(const char* section, const char* key, int32_t fallback) override {
        return kit_.Int(section, key, fallback);
    }
    std::string KitSection(const char* section) override { return kit_.SectionText(section); }
    std::string WindowsDirectory() override { return (bits_ & 16) ? "" : "C:\\WINDOWS"; }
    bool FileSize(const std::string& path, uint32_t& size) override {
        size = uint32_t(path.size()) * 1000u;
        return (path.size() & 1) == 0;
    }
    spkit::KeyOpen OpenKey(const std::string&) override {
        return spkit::KeyOpen((bits_ >> 5) % 3);
    }
    bool QueryInstalled(std::string& text) override {
        text = installed_;
        return true;
    }
    void SetInstalled(const char*) override {}
    bool RunCommand(const std::string&) override { return bits_ & 0x80; }
    void Inform(spkit::Message m) override { spkit::MessageText(m); }
    bool AskYes(spkit::Message) override { return true; }

private:
    const fuzzini::File& kit_;
    uint8_t bits_;
    uint16_t id_;
    std::string installed_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 12) return 0;
    const uint8_t bits = data[0];
    const uint16_t id = uint16_t(data[1] | data[2] << 8);
    const std::string installed(reinterpret_cast<const char*>(data + 3), 9);
    const fuzzini::File kit(data + 12, size - 12);
    Host host(kit, bits, id, installed);
    spkit::RunSupportKit(host);

    // The raw text as a section, NULs and all.
    const std::string_view raw(reinterpret_cast<const char*>(data + 12), size - 12);
    spkit::MachineIdListed(raw, id);
    const std::string probe = spkit::MachineIdProbe(id);
    if (probe.size() < 4 || probe.front() != ',' || probe.back() != ',') __builtin_trap();
    spkit::FileConditionsMet(raw, "C:", [](const std::string& path, uint32_t& s) {
        s = uint32_t(path.size());
        return true;
    });
    spkit::ParseInstalled(raw);
    return 0;
}
