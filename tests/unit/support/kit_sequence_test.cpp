#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "kit_sequence.h"

namespace {

using namespace spkit;
using namespace std::string_literals;
using Events = std::vector<std::string>;

const char* Name(Message m) {
    switch (m) {
    case Message::kNoMachineInfo: return "no-machine-info";
    case Message::kOsNotReady: return "os-not-ready";
    case Message::kNoKitFile: return "no-kit-file";
    case Message::kForOlderSeries: return "for-qx7000";
    case Message::kForNewerSeries: return "for-qvmx";
    case Message::kWrongMachine: return "wrong-machine";
    case Message::kNoRegistryKey: return "no-registry-key";
    case Message::kModulesMissing: return "modules-missing?";
    case Message::kAlreadyReplaced: return "already-replaced?";
    case Message::kInstallFailed: return "install-failed";
    case Message::kRestart: return "restart";
    case Message::kFinished: return "finished";
    }
    return "?";
}

// A machine and its kit, and everything the run did to them.
class FakeHost : public Host {
public:
    // WIN.INI
    std::vector<int32_t> quietReads{0};  // one value per read; the last repeats
    int32_t idcheck = 0;
    // Machine
    std::vector<int> subtypes{0x0C00};  // GetKeyboardType(1) answers; the last repeats
    bool driver = true;
    MachineInfo info{1, 0, 0};
    std::string windows = "C:\\WINDOWS";
    std::map<std::string, uint32_t> files;
    // Kit file
    bool kitFile = true;
    std::map<std::string, std::string> information{
        {"infname", "setup.exe /q"}, {"regkey", "KIT1"}, {"machine", "1"}};
    std::string machineIds;
    std::string searchFiles;
    // Registry: the kit's key and its value.
    bool keyExists = false;
    bool createFails = false;
    std::optional<std::string> installed;
    // Process and user.
    bool commandStarts = true;
    std::vector<bool> answers;  // Yes/No, in order

    Events events;
    int keyboardCalls = 0;
    int profileReads = 0;
    uint32_t paused = 0;

    int32_t ProfileInt(const char* key) override {
        if (std::string(key) == "idcheck") return idcheck;
        EXPECT_EQ("message"s, key);
        size_t i = std::min<size_t>(profileReads++, quietReads.size() - 1);
        return quietReads[i];
    }
    void Pause(uint32_t ms) override { paused += ms; }
    int KeyboardSubtype() override {
        size_t i = std::min<size_t>(keyboardCalls++, subtypes.size() - 1);
        return subtypes[i];
    }
    bool QueryMachine(uint32_t newer, MachineInfo& out) override {
        events.push_back("driver " + std::to_string(newer));
        if (!driver) return false;
        out = info;
        return true;
    }
    bool KitFileReadable() override { return kitFile; }
    std::string KitString(const char* section, const char* key, const char* fallback) override {
        EXPECT_EQ("information"s, section);
        auto it = information.find(key);
        return it == information.end() ? fallback : it->second;
    }
    int32_t KitInt(const char* section, const char* key, int32_t fallback) override {
        EXPECT_EQ("information"s, section);
        auto it = information.find(key);
        return it == information.end() ? fallback : std::stoi(it->second);
    }
    std::string KitSection(const char* section) override {
        if (section == "machineid"s) return machineIds;
        EXPECT_EQ("searchfile"s, section);
        return searchFiles;
    }
    std::string WindowsDirectory() override { return windows; }
    bool FileSize(const std::string& path, uint32_t& size) override {
        events.push_back("file " + path);
        auto it = files.find(path);
        if (it == files.end()) return false;
        size = it->second;
        return true;
    }
    KeyOpen OpenKey(const std::string& path) override {
        events.push_back("key " + path);
        if (keyExists) return KeyOpen::kOpened;
        if (createFails) return KeyOpen::kFailed;
        keyExists = true;
        return KeyOpen::kCreated;
    }
    bool QueryInstalled(std::string& text) override {
        if (!installed) return false;
        text = *installed;
        return true;
    }
    void SetInstalled(const char* text) override {
        events.push_back("set "s + text);
        if (keyExists) installed = text;
    }
    bool RunCommand(const std::string& command) override {
        events.push_back("run " + command);
        return commandStarts;
    }
    void Inform(Message m) override {
        EXPECT_FALSE(IsQuestion(m));
        events.push_back(Name(m));
    }
    bool AskYes(Message m) override {
        EXPECT_TRUE(IsQuestion(m));
        events.push_back(Name(m));
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question " << Name(m);
            return false;
        }
        bool yes = answers.front();
        answers.erase(answers.begin());
        return yes;
    }
};

const std::string kKey = "key SOFTWARE\\ZOR\\SUPPORTKIT\\WIN95UPG\\KIT1";

TEST(SupportRun, FirstRunOnANewerMachine) {
    FakeHost h;
    RunResult r = RunSupportKit(h);
    EXPECT_EQ((Events{"driver 1", kKey, "set 0", "set 1", "run setup.exe /q", "set 2", "finished"}),
              h.events);
    EXPECT_TRUE(r.newerSeries);
    EXPECT_FALSE(r.quiet);
    EXPECT_TRUE(r.installerStarted);
    EXPECT_EQ("2", h.installed);
    EXPECT_EQ(10, h.profileReads);
    EXPECT_EQ(1, h.keyboardCalls);
    EXPECT_EQ(9u * 10 + 10, h.paused);
}

TEST(SupportRun, RebootModeChoosesTheLastWord) {
    for (auto [reboot, last] : {std::pair{"1", "restart"}, {"2", "set 2"}, {"0", "finished"},
                                {"3", "finished"}, {"-1", "finished"}}) {
        FakeHost h;
        h.information["reboot"] = reboot;
        RunSupportKit(h);
        EXPECT_EQ(last, h.events.back()) << reboot;
        EXPECT_EQ("2", h.installed);
    }
    FakeHost quiet;
    quiet.quietReads = {1};
    quiet.information["reboot"] = "1";
    RunSupportKit(quiet);
    EXPECT_EQ("set 2", quiet.events.back());
}

TEST(SupportRun, KeyboardAskedUntilItAnswersAtMostAThousandTimes) {
    FakeHost late;
    late.subtypes = {0, 0, 0, 0x0D01};
    late.information["machine"] = "0";
    EXPECT_FALSE(RunSupportKit(late).newerSeries);
    EXPECT_EQ(4, late.keyboardCalls);
    EXPECT_EQ("driver 0", late.events.front());

    FakeHost never;
    never.subtypes = {0};
    EXPECT_TRUE(RunSupportKit(never).newerSeries);
    EXPECT_EQ(1000, never.keyboardCalls);
    EXPECT_EQ(90u + 10000u, never.paused);
    EXPECT_EQ("driver 1", never.events.front());
}

TEST(SupportRun, LastOfTheQuietReadsCounts) {
    FakeHost h;
    h.quietReads = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0};
    EXPECT_FALSE(RunSupportKit(h).quiet);
    EXPECT_EQ("finished", h.events.back());
    FakeHost q;
    q.quietReads = {0, 0, 0, 0, 0, 0, 0, 0, 0, 7};
    EXPECT_TRUE(RunSupportKit(q).quiet);
    EXPECT_EQ("set 2", q.events.back());
}

// Each refusal ends the run with its own message, touching neither the registry nor a process.
TEST(SupportRun, RefusalsStopBeforeAnyChange) {
    struct Case {
        const char* name;
        void (*setup)(FakeHost&);
        Events events;
    };
    const Case cases[] = {
        {"no driver", [](FakeHost& h) { h.driver = false; }, {"driver 1", "no-machine-info"}},
        {"os not ready", [](FakeHost& h) { h.info.osReady = 0; }, {"driver 1", "os-not-ready"}},
        {"os answer 2", [](FakeHost& h) { h.info.osReady = 2; }, {"driver 1", "os-not-ready"}},
        {"no kit file", [](FakeHost& h) { h.kitFile = false; }, {"driver 1", "no-kit-file"}},
        {"older kit on newer machine", [](FakeHost& h) { h.information["machine"] = "0"; },
         {"driver 1", "for-qx7000"}},
        {"unknown kind on newer machine", [](FakeHost& h) { h.information["machine"] = "5"; },
         {"driver 1", "for-qx7000"}},
        {"newer kit on older machine",
         [](FakeHost& h) { h.subtypes = {0x0D00}; },
         {"driver 0", "for-qvmx"}},
        {"no registry key", [](FakeHost& h) { h.information.erase("regkey"); },
         {"driver 1", "no-registry-key"}},
        {"empty registry key", [](FakeHost& h) { h.information["regkey"] = ""; },
         {"driver 1", "no-registry-key"}},
        {"registry key null", [](FakeHost& h) { h.information["regkey"] = "Null"; },
         {"driver 1", "no-registry-key"}},
        {"wrong machine",
         [](FakeHost& h) {
             h.subtypes = {0x0D00};
             h.information["machine"] = "0";
             h.info = {1, 1, 0x0777};
             h.machineIds = "0776\0" "0778\0"s;
         },
         {"driver 0", "wrong-machine"}},
    };
    for (const Case& c : cases) {
        for (int32_t quiet : {0, 1}) {
            FakeHost h;
            h.quietReads = {quiet};
            c.setup(h);
            RunSupportKit(h);
            Events expected = c.events;
            if (quiet) expected.pop_back();
            EXPECT_EQ(expected, h.events) << c.name << (quiet ? " (quiet)" : "");
            EXPECT_FALSE(h.installed) << c.name;
        }
    }
}

TEST(SupportRun, IdentifierCheckedOnlyOnOlderMachinesThatSupplyOne) {
    auto run = [](auto setup) {
        FakeHost h;
        h.subtypes = {0x0D00};
        h.information["machine"] = "2";
        h.info = {1, 1, 0x0ABC};
        h.machineIds = "0ABC\0" "1234 ; QX-7100\0"s;
        setup(h);
        RunSupportKit(h);
        return h.events.back();
    };
    EXPECT_EQ("finished", run([](FakeHost&) {}));  // the first identifier of the list
    EXPECT_EQ("wrong-machine", run([](FakeHost& h) { h.info.machineId = 0x1234; }));
    EXPECT_EQ("finished", run([](FakeHost& h) { h.machineIds = ";QX\0" "1234\0"s; h.info.machineId = 0x1234; }));
    EXPECT_EQ("wrong-machine", run([](FakeHost& h) { h.info.machineId = 0xBC; }));
    EXPECT_EQ("finished", run([](FakeHost& h) { h.info.machineId = 0xBC; h.idcheck = 1; }));
    EXPECT_EQ("wrong-machine", run([](FakeHost& h) { h.info.machineId = 0xBC; h.idcheck = 2; }));
    EXPECT_EQ("finished", run([](FakeHost& h) { h.info = {1, 0, 0xBC}; }));
    EXPECT_EQ("wrong-machine", run([](FakeHost& h) { h.info = {1, 1, 0x0ABD}; }));
    EXPECT_EQ("finished", run([](FakeHost& h) { h.info = {1, 1, 0x0ABD}; h.machineIds.clear(); }));
    EXPECT_EQ("finished", run([](FakeHost& h) { h.info.machineId = 0xBC; h.subtypes = {0x0C00}; }));
}

// The registry's state, the file conditions, quiet mode and the user's answers decide.
TEST(SupportRun, StateTable) {
    struct Row {
        std::optional<std::string> before;  // nullopt: no key yet
        bool filesThere;
        bool quiet;
        std::vector<bool> answers;
        Events events;  // after the driver request and the key
        std::optional<std::string> after;
    };
    const Row rows[] = {
        {{}, true, false, {}, {"set 0", "file C:\\W\\QX.VXD", "set 1", "run setup.exe /q", "set 2", "finished"}, "2"},
        {{}, false, false, {false}, {"set 0", "file C:\\W\\QX.VXD", "modules-missing?"}, "0"},
        {{}, false, false, {true}, {"set 0", "file C:\\W\\QX.VXD", "modules-missing?", "set 1", "run setup.exe /q", "set 2", "finished"}, "2"},
        {{}, false, true, {}, {"set 0", "file C:\\W\\QX.VXD"}, "0"},
        {{}, true, true, {}, {"set 0", "file C:\\W\\QX.VXD", "set 1", "run setup.exe /q", "set 2"}, "2"},
        {"0", true, false, {}, {"file C:\\W\\QX.VXD", "set 1", "run setup.exe /q", "set 2", "finished"}, "2"},
        {"0", false, false, {false}, {"file C:\\W\\QX.VXD", "modules-missing?"}, "0"},
        {"1", false, false, {}, {"run setup.exe /q", "set 2", "finished"}, "2"},
        {"1", false, true, {}, {"run setup.exe /q", "set 2"}, "2"},
        {"2", true, false, {false}, {"already-replaced?"}, "2"},
        {"2", true, false, {true}, {"already-replaced?", "run setup.exe /q", "set 2", "finished"}, "2"},
        {"2", true, true, {}, {}, "2"},
        {" +2", true, true, {}, {}, " +2"},
        {"7", false, false, {}, {"run setup.exe /q", "set 2", "finished"}, "2"},
        {"", true, false, {}, {"file C:\\W\\QX.VXD", "set 1", "run setup.exe /q", "set 2", "finished"}, "2"},
        {"yes", false, false, {false}, {"file C:\\W\\QX.VXD", "modules-missing?"}, "yes"},
    };
    int n = 0;
    for (const Row& row : rows) {
        FakeHost h;
        h.windows = "C:\\WINDOWS";
        h.searchFiles = "A,\\W\\QX.VXD,0,\0"s;
        if (row.filesThere) h.files["C:\\W\\QX.VXD"] = 10;
        h.keyExists = row.before.has_value();
        h.installed = row.before;
        h.quietReads = {row.quiet ? 1 : 0};
        h.answers = row.answers;
        RunSupportKit(h);
        Events expected{"driver 1", kKey};
        expected.insert(expected.end(), row.events.begin(), row.events.end());
        EXPECT_EQ(expected, h.events) << "row " << n;
        EXPECT_EQ(row.after, h.installed) << "row " << n;
        EXPECT_TRUE(h.answers.empty()) << "row " << n;
        ++n;
    }
}

TEST(SupportRun, KeyThatCannotBeMadeCountsAsNeverRun) {
    FakeHost h;
    h.createFails = true;
    RunSupportKit(h);
    EXPECT_EQ((Events{"driver 1", kKey, "set 1", "run setup.exe /q", "set 2", "finished"}), h.events);
    EXPECT_FALSE(h.installed);

    FakeHost unread;  // a key without the value
    unread.keyExists = true;
    RunSupportKit(unread);
    EXPECT_EQ((Events{"driver 1", kKey, "set 1", "run setup.exe /q", "set 2", "finished"}),
              unread.events);
}

TEST(SupportRun, FailedInstallerLeavesStateOne) {
    FakeHost h;
    h.commandStarts = false;
    h.information.erase("infname");
    RunSupportKit(h);
    EXPECT_EQ((Events{"driver 1", kKey, "set 0", "set 1", "run NULL", "install-failed"}), h.events);
    EXPECT_EQ("1", h.installed);
    FakeHost q;
    q.commandStarts = false;
    q.quietReads = {1};
    RunSupportKit(q);
    EXPECT_EQ("run setup.exe /q", q.events.back());
}

TEST(SupportRun, BackslashPathsGoOnTheWindowsDrive) {
    FakeHost h;
    h.windows = "E:\\WIN98";
    h.searchFiles = ";modules of the old driver\0O,\\WIN98\\SYSTEM\\QX.VXD,0,\0O,D:\\QX.DRV,0,\0"s;
    h.files["E:\\WIN98\\SYSTEM\\QX.VXD"] = 4096;
    RunSupportKit(h);
    EXPECT_EQ((Events{"driver 1", kKey, "set 0", "file E:\\WIN98\\SYSTEM\\QX.VXD", "file D:\\QX.DRV",
                      "set 1", "run setup.exe /q", "set 2", "finished"}),
              h.events);

    FakeHost none;  // no Windows directory: the drive stays a:
    none.windows.clear();
    none.searchFiles = "\\QX.VXD,0,\0"s;
    none.answers = {false};
    RunSupportKit(none);
    EXPECT_EQ("file a:\\QX.VXD", none.events[3]);
}

}  // namespace
