// The viewer's skin bitmaps as shipped: valid palettised DIB files of the sizes the panels are laid
// out for, each named once in the resource script.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Size {
    int32_t width, height;
};

// Name (exact case) and size of every bitmap the viewer loads.
const std::map<std::string, Size> kBitmaps = {
    // main window
    {"LOGO", {56, 15}}, {"LOGO2", {56, 15}}, {"CLTUNER", {13, 43}}, {"CLDECK", {43, 13}}, {"GROW", {15, 15}},
    // tuner panel
    {"TUNERRU", {13, 43}}, {"CHANNEL", {30, 14}}, {"CHANUP", {30, 19}}, {"CHANDOWN", {30, 19}},
    {"AUTOSTAR", {46, 15}}, {"PIN", {46, 15}}, {"MULTI", {46, 15}}, {"FREEZE", {46, 15}}, {"SETUP", {46, 15}},
    {"MAINSUB", {61, 21}}, {"POCIS", {6, 9}}, {"HATCH", {8, 8}}, {"POWER", {17, 16}},
    // video deck
    {"VIDEO", {354, 119}}, {"LOAD", {46, 15}}, {"SAVE", {46, 15}}, {"EDIT", {46, 15}}, {"WALL", {46, 15}},
    {"BMP", {46, 15}}, {"AVI", {46, 15}}, {"REWIND", {22, 23}}, {"PLAY", {22, 23}}, {"PLAYP", {22, 23}},
    {"REWINDD", {23, 23}}, {"STOP", {23, 23}}, {"PAUSE", {23, 23}}, {"PAUSEP", {23, 23}}, {"RECORD", {23, 23}},
    {"RECORDP", {23, 23}}, {"PAUSED", {25, 23}}, {"FRAMEM", {14, 20}}, {"FRAMEP", {14, 20}},
    {"INTERVAL", {61, 20}}, {"VIDEOBMP", {123, 53}}, {"VIDEOAVI", {123, 53}}, {"GAGE", {227, 24}},
    {"VTHUMB", {14, 9}}, {"POCI", {9, 9}},
    // remote-control help
    {"TVREMO", {577, 378}},
};

const fs::path kRes = KIVO_RES_DIR;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U16(const std::string& d, size_t at) {
    return uint8_t(d[at]) | uint8_t(d[at + 1]) << 8;
}
uint32_t U32(const std::string& d, size_t at) {
    return U16(d, at) | U16(d, at + 2) << 16;
}

struct Dib {
    int32_t width = 0, height = 0;
    uint32_t bits = 0;
};

// Checks one file field by field; returns what it read.
Dib CheckDib(const std::string& name, const std::string& d) {
    SCOPED_TRACE(name);
    Dib dib;
    EXPECT_GE(d.size(), 54u);
    if (d.size() < 54) return dib;
    EXPECT_EQ("BM", d.substr(0, 2));
    EXPECT_EQ(d.size(), U32(d, 2));
    EXPECT_EQ(40u, U32(d, 14));               // BITMAPINFOHEADER
    dib.width = int32_t(U32(d, 18));
    dib.height = int32_t(U32(d, 22));         // positive: bottom-up rows
    EXPECT_EQ(1u, U16(d, 26));
    dib.bits = U16(d, 28);
    EXPECT_TRUE(dib.bits == 4 || dib.bits == 8) << dib.bits;
    EXPECT_EQ(0u, U32(d, 30));                // BI_RGB
    const uint32_t used = U32(d, 46);
    EXPECT_LE(used, 1u << dib.bits);
    const uint32_t colours = used ? used : 1u << dib.bits;
    const uint32_t offset = 14 + 40 + 4 * colours;
    EXPECT_EQ(offset, U32(d, 10));
    if (dib.bits == 8 && used == 0) {
        EXPECT_EQ(14u + 40 + 1024, U32(d, 10));
    }
    EXPECT_GT(dib.width, 0);
    EXPECT_GT(dib.height, 0);
    const size_t stride = (size_t(dib.width) * dib.bits + 31) / 32 * 4;
    EXPECT_EQ(offset + stride * size_t(dib.height), d.size());
    if (dib.width <= 0 || dib.height <= 0 || offset + stride * size_t(dib.height) > d.size()) return dib;
    // No pixel may name a colour beyond the table.
    uint32_t worst = 0;
    for (int32_t y = 0; y < dib.height; ++y)
        for (int32_t x = 0; x < dib.width; ++x) {
            const uint8_t byte = uint8_t(d[offset + y * stride + (dib.bits == 8 ? x : x / 2)]);
            const uint32_t index = dib.bits == 8 ? byte : (x % 2 ? byte & 15 : byte >> 4);
            worst = std::max(worst, index);
        }
    EXPECT_LT(worst, colours);
    return dib;
}

TEST(SkinBitmaps, EveryFileIsAPalettisedDibOfItsPanelSize) {
    std::set<std::string> found;
    std::set<uint32_t> depths;
    for (const auto& entry : fs::directory_iterator(kRes / "bitmaps")) {
        const std::string name = entry.path().stem().string();
        ASSERT_EQ(".bmp", entry.path().extension().string()) << entry.path();
        found.insert(name);
        const Dib dib = CheckDib(name, ReadFile(entry.path()));
        depths.insert(dib.bits);
        auto want = kBitmaps.find(name);
        if (want == kBitmaps.end()) {
            ADD_FAILURE() << "bitmap nobody loads: " << name;
            continue;
        }
        EXPECT_EQ(want->second.width, dib.width) << name;
        EXPECT_EQ(want->second.height, dib.height) << name;
        if (name == "TVREMO") {
            EXPECT_EQ(8u, dib.bits);
        }
    }
    for (const auto& [name, size] : kBitmaps) EXPECT_TRUE(found.count(name)) << "missing: " << name;
    EXPECT_EQ((std::set<uint32_t>{4, 8}), depths);
}

TEST(SkinBitmaps, ResourceScriptNamesEachFileOnceUnderItsOwnName) {
    std::istringstream rc(ReadFile(kRes / "bitmaps.rc"));
    std::string line;
    ASSERT_TRUE(std::getline(rc, line));
    EXPECT_EQ("#pragma code_page(65001)", line);
    std::multiset<std::string> named;
    while (std::getline(rc, line)) {
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        std::istringstream words(line);
        std::string name, type, file;
        words >> name >> type >> file;
        EXPECT_EQ("BITMAP", type) << line;
        EXPECT_EQ("\"bitmaps/" + name + ".bmp\"", file) << line;
        EXPECT_TRUE(fs::exists(kRes / "bitmaps" / (name + ".bmp"))) << line;
        named.insert(name);
    }
    std::multiset<std::string> want;
    for (const auto& [name, size] : kBitmaps) want.insert(name);
    EXPECT_EQ(want, named);
}

}  // namespace
