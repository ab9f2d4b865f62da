#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "kit_rules.h"

namespace {

using namespace spkit;
using namespace std::string_literals;

TEST(MachineId, ProbeGivesDigitsInPairs) {
    EXPECT_EQ(",05,", MachineIdProbe(0x5));
    EXPECT_EQ(",00,", MachineIdProbe(0x0));
    EXPECT_EQ(",10,", MachineIdProbe(0x10));
    EXPECT_EQ(",ff,", MachineIdProbe(0xFF));
    EXPECT_EQ(",0100,", MachineIdProbe(0x100));
    EXPECT_EQ(",0abc,", MachineIdProbe(0xABC));
    EXPECT_EQ(",1234,", MachineIdProbe(0x1234));
    EXPECT_EQ(",ffff,", MachineIdProbe(0xFFFF));
}

TEST(MachineId, FlatteningLowersCapitalsAndBlanksComments) {
    EXPECT_EQ("1234,0abc,,,,,,,,05,", FlattenMachineIds("1234\0" "0ABC;Old PC\0" "05\0"s));
    EXPECT_EQ(",,,,,,12ab,", FlattenMachineIds(";QX 7\0" "12AB\0"s));
    EXPECT_EQ("", FlattenMachineIds(""));
}

TEST(MachineId, ListedWholeEntriesOnly) {
    const std::string kit = "1234\0" "0ABC ;old\0" "05;QX-7005\0" "; 0777\0" "00ff\0" "FF\0"s;
    EXPECT_TRUE(MachineIdListed(kit, 0x1234));   // the first entry counts too
    EXPECT_FALSE(MachineIdListed(kit, 0x0ABC));  // the blank before the comment stays
    EXPECT_TRUE(MachineIdListed(kit, 0x05));     // the comment ends the entry
    EXPECT_FALSE(MachineIdListed(kit, 0x777));   // commented out
    EXPECT_FALSE(MachineIdListed(kit, 0x0777));
    EXPECT_TRUE(MachineIdListed(kit, 0xFF));
    EXPECT_FALSE(MachineIdListed("00ff\0"s, 0xFF));  // probed as ",ff,"
    EXPECT_FALSE(MachineIdListed(kit, 0x12));    // part of 1234
    EXPECT_FALSE(MachineIdListed(kit, 0x34));
    EXPECT_FALSE(MachineIdListed(kit, 0x5555));

    EXPECT_TRUE(MachineIdListed("0ABC\0"s, 0xABC));
    EXPECT_FALSE(MachineIdListed("ABC\0"s, 0xABC));  // digits must come in pairs
    EXPECT_TRUE(MachineIdListed("", 0x4321));        // no list: every machine
    EXPECT_TRUE(MachineIdListed("\0"s, 0x4321));
    EXPECT_FALSE(MachineIdListed(";only a comment\0"s, 0x4321));
}

TEST(Series, OlderSeriesHasDInBits8To11) {
    EXPECT_FALSE(IsNewerSeries(0x0D00));
    EXPECT_FALSE(IsNewerSeries(0x0D07));
    EXPECT_FALSE(IsNewerSeries(0x1D00));
    EXPECT_TRUE(IsNewerSeries(0x0C00));
    EXPECT_TRUE(IsNewerSeries(0x000D));
    EXPECT_TRUE(IsNewerSeries(0));  // the keyboard never answered
}

TEST(Installed, DecimalWithBlanksAndSign) {
    EXPECT_EQ(0, ParseInstalled("0"));
    EXPECT_EQ(1, ParseInstalled("1"));
    EXPECT_EQ(2, ParseInstalled("2"));
    EXPECT_EQ(2, ParseInstalled("  +2"));
    EXPECT_EQ(-1, ParseInstalled("\t-1"));
    EXPECT_EQ(12, ParseInstalled("12x"));
    EXPECT_EQ(0, ParseInstalled(""));
    EXPECT_EQ(0, ParseInstalled("yes"));
    EXPECT_EQ(0, ParseInstalled("-"));
    EXPECT_EQ(2147483647, ParseInstalled("99999999999999999999"));
    EXPECT_EQ(-2147483647 - 1, ParseInstalled("-99999999999999999999"));
}

// Files of the machine by path; the probe records what was asked.
class Files {
public:
    std::map<std::string, uint32_t> sizes;
    std::vector<std::string> asked;

    FileSizeProbe Probe() {
        return [this](const std::string& path, uint32_t& size) {
            asked.push_back(path);
            auto it = sizes.find(path);
            if (it == sizes.end()) return false;
            size = it->second;
            return true;
        };
    }
};

TEST(FileConditions, SingleCondition) {
    Files f;
    f.sizes = {{"c:\\WINDOWS\\SYSTEM\\QX.VXD", 12345}, {"d:\\kit\\empty.dat", 0}};
    auto holds = [&](const std::string& entry) { return FileConditionHolds(entry, "c:", f.Probe()); };
    EXPECT_TRUE(holds("A,\\WINDOWS\\SYSTEM\\QX.VXD,12345,"));
    EXPECT_TRUE(holds("\\WINDOWS\\SYSTEM\\QX.VXD,12345,"));
    EXPECT_TRUE(holds("\\WINDOWS\\SYSTEM\\QX.VXD\t12345\t"));
    EXPECT_TRUE(holds("O,\\WINDOWS\\SYSTEM\\QX.VXD,12345;driver of 1997"));
    EXPECT_TRUE(holds("a,\\WINDOWS\\SYSTEM\\QX.VXD,0,"));
    EXPECT_TRUE(holds("A,\\WINDOWS\\SYSTEM\\QX.VXD,999,0,"));
    EXPECT_TRUE(holds("A,\\WINDOWS\\SYSTEM\\QX.VXD,999,12345,"));
    EXPECT_FALSE(holds("A,\\WINDOWS\\SYSTEM\\QX.VXD,12345"));   // a size needs its comma
    EXPECT_FALSE(holds("A,\\WINDOWS\\SYSTEM\\QX.VXD,1234,"));
    EXPECT_FALSE(holds("A,\\WINDOWS\\SYSTEM\\QX.VXD,"));
    EXPECT_FALSE(holds("A,\\WINDOWS\\SYSTEM\\QX.VXD;,0,"));     // the ",0," is in the comment
    EXPECT_FALSE(holds("A,\\WINDOWS\\SYSTEM\\OTHER.VXD,0,"));
    EXPECT_TRUE(holds("A,d:\\kit\\empty.dat,0,"));               // any size, even none
    EXPECT_FALSE(holds("A,d:\\kit\\empty.dat,0"));
    EXPECT_EQ("c:\\WINDOWS\\SYSTEM\\QX.VXD", f.asked.front());  // on the Windows drive
    EXPECT_EQ("d:\\kit\\empty.dat", f.asked.back());

    // A size of 0 never matches a file's real size by itself.
    f.asked.clear();
    f.sizes = {{"z:\\a", 0}};
    EXPECT_FALSE(FileConditionHolds("z:\\a,5,", "c:", f.Probe()));
    EXPECT_FALSE(FileConditionHolds("z:\\a,", "c:", f.Probe()));
    // A relative path is used as written; the drive only completes a leading backslash.
    f.sizes = {{"qx.dll", 7}, {"e:\\qx.dll", 7}};
    EXPECT_TRUE(FileConditionHolds("qx.dll,7,", "e:", f.Probe()));
    EXPECT_TRUE(FileConditionHolds("O,\\qx.dll,7,", "e:", f.Probe()));
    EXPECT_EQ("e:\\qx.dll", f.asked.back());
}

TEST(FileConditions, Walk) {
    Files f;
    f.sizes = {{"c:\\W\\A.VXD", 100}, {"c:\\W\\B.VXD", 200}};
    auto met = [&](const std::string& section) { return FileConditionsMet(section, "c:", f.Probe()); };

    EXPECT_TRUE(met(""));
    EXPECT_TRUE(met("\0"s));
    EXPECT_TRUE(met(";all modules are new\0;nothing to check\0"s));
    EXPECT_TRUE(f.asked.empty());

    EXPECT_TRUE(met("A,\\W\\A.VXD,100,\0\\W\\B.VXD,0,\0"s));
    // A required condition that fails ends the walk.
    f.asked.clear();
    EXPECT_FALSE(met("A,\\W\\A.VXD,101,\0A,\\W\\B.VXD,200,\0O,\\W\\A.VXD,0,\0"s));
    EXPECT_EQ(std::vector<std::string>{"c:\\W\\A.VXD"}, f.asked);
    EXPECT_FALSE(met("\\W\\MISSING.VXD,0,\0O,\\W\\A.VXD,0,\0"s));
    // Alternatives: one that holds is enough; none that holds fails.
    EXPECT_TRUE(met("O,\\W\\X.VXD,0,\0o,\\W\\B.VXD,200,\0O,\\W\\Y.VXD,0,\0"s));
    EXPECT_FALSE(met("O,\\W\\X.VXD,0,\0O,\\W\\A.VXD,99,\0A,\\W\\A.VXD,100,\0"s));
    EXPECT_TRUE(met("a,\\W\\A.VXD,0,\0;O,\\W\\X.VXD,0,\0"s));  // a commented alternative
    // The walk stops at the double NUL ending the list.
    EXPECT_TRUE(met("A,\\W\\A.VXD,0,\0\0A,\\W\\X.VXD,0,\0"s));
}

}  // namespace
