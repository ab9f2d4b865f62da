#include "kit_sequence.h"

#include "kit_rules.h"

namespace spkit {

const char kCaption[] = "ZOR PCサポートキット for Windows(R) 98";
const char kRegistryBase[] = "SOFTWARE\\ZOR\\SUPPORTKIT\\WIN95UPG\\";

const char* MessageText(Message message) {
    switch (message) {
    case Message::kNoMachineInfo:
        return "機種情報の取得に失敗しました。\nモジュールの置換を終了します。";
    case Message::kOsNotReady:
        return "Windows(R) 98にアップグレード後、\n再度モジュール置換を行ってください。";
    case Message::kNoKitFile:
        return "置換に必要な Infファイルが存在しません。\nモジュールの置換を終了します。";
    case Message::kForOlderSeries:
        return "この置換モジュールは QX-7000シリーズ用です。\n"
               "正しいモジュールを選択後、再度モジュール置換を行ってください。";
    case Message::kForNewerSeries:
        return "この置換モジュールは QV-MXシリーズ用です。\n"
               "正しいモジュールを選択後、再度モジュール置換を行ってください。";
    case Message::kWrongMachine:
        return "モジュールを置換する機種が違います。\n"
               "正しいモジュールを選択後、再度モジュール置換を行ってください。";
    case Message::kNoRegistryKey:
        return "レジストリキーの設定が有りません。\nモジュールの置換を終了します。";
    case Message::kModulesMissing:
        return "置換するモジュールが存在しません。\n強制的にモジュールを置換しますか？";
    case Message::kAlreadyReplaced:
        return "モジュールはすでに置換されています。\n再度、モジュールを置換しますか？";
    case Message::kInstallFailed:
        return "インストールに失敗しました\nモジュールの置換を終了します。";
    case Message::kRestart:
        return "新しい設定を有効にするにはコンピュータを再起動してください。";
    case Message::kFinished:
        return "モジュールの置換が終了しました。";
    }
    return "";
}

bool IsQuestion(Message message) {
    return message == Message::kModulesMissing || message == Message::kAlreadyReplaced;
}

namespace {

bool SameIgnoringCase(const std::string& a, const char* b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return i == a.size() && !b[i];
}

class Run {
public:
    explicit Run(Host& host) : host_(host) {}

    RunResult Go() {
        Steps();
        return result_;
    }

private:
    void Tell(Message message) {
        if (!result_.quiet) host_.Inform(message);
    }

    // Quiet mode answers every question "No".
    bool Ask(Message message) { return !result_.quiet && host_.AskYes(message); }

    void Steps() {
        // The setting may be being written as the kit starts: the last of ten reads counts.
        int32_t quiet = 0;
        for (int i = 0; i < 10; ++i) {
            if (i) host_.Pause(10);
            quiet = host_.ProfileInt("message");
        }
        result_.quiet = quiet != 0;
        int32_t skipIdCheck = host_.ProfileInt("idcheck");

        // The keyboard driver may not be up yet right after the upgrade's first start.
        int subtype = 0;
        for (int i = 0; i < 1000; ++i) {
            subtype = host_.KeyboardSubtype();
            host_.Pause(10);
            if (subtype != 0) break;
        }
        result_.newerSeries = IsNewerSeries(subtype);
        uint32_t newer = result_.newerSeries ? 1 : 0;

        MachineInfo info{};
        if (!host_.QueryMachine(newer, info)) return Tell(Message::kNoMachineInfo);
        if (info.osReady != 1) return Tell(Message::kOsNotReady);
        if (!host_.KitFileReadable()) return Tell(Message::kNoKitFile);

        std::string command = host_.KitString("information", "infname", "NULL");
        int32_t reboot = host_.KitInt("information", "reboot", 0);
        std::string regkey = host_.KitString("information", "regkey", "NULL");
        if (regkey.empty()) regkey = "NULL";
        int32_t machine = host_.KitInt("information", "machine", 0);

        if (machine != 2 && static_cast<uint32_t>(machine) != newer)
            return Tell(newer ? Message::kForOlderSeries : Message::kForNewerSeries);

        if (skipIdCheck != 1 && !newer && info.idCheckAvailable == 1 &&
            !MachineIdListed(host_.KitSection("machineid"), info.machineId))
            return Tell(Message::kWrongMachine);

        if (SameIgnoringCase(regkey, "NULL")) return Tell(Message::kNoRegistryKey);

        std::string drive = "a:";
        std::string windows = host_.WindowsDirectory();
        if (!windows.empty()) drive[0] = windows[0];

        int32_t state = 0;
        switch (host_.OpenKey(kRegistryBase + regkey)) {
        case KeyOpen::kCreated:
            host_.SetInstalled("0");
            break;
        case KeyOpen::kOpened: {
            std::string text;
            if (host_.QueryInstalled(text)) state = ParseInstalled(text);
            break;
        }
        case KeyOpen::kFailed:
            break;
        }
        result_.installState = state;

        if (state == 0) {
            auto probe = [this](const std::string& path, uint32_t& size) {
                return host_.FileSize(path, size);
            };
            if (!FileConditionsMet(host_.KitSection("searchfile"), drive, probe) &&
                !Ask(Message::kModulesMissing))
                return;
            host_.SetInstalled("1");
        }
        if (state == 2 && !Ask(Message::kAlreadyReplaced)) return;

        if (!host_.RunCommand(command)) return Tell(Message::kInstallFailed);
        result_.installerStarted = true;

        host_.SetInstalled("2");
        if (reboot == 1) Tell(Message::kRestart);
        else if (reboot != 2) Tell(Message::kFinished);
    }

    Host& host_;
    RunResult result_;
};

}  // namespace

RunResult RunSupportKit(Host& host) { return Run(host).Go(); }

}  // namespace spkit
