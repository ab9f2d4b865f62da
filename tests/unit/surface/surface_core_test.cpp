// The helper's rules against a scripted DirectDraw: reserve, probe, release, offset, stride,
// buffer size and mode, with the primary surface blocked, lost or restored.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "surface_core.h"

using namespace kivo::surface;

namespace {

constexpr HResult kErrGeneric = static_cast<HResult>(0x80004005u);
constexpr HResult kErrOutOfCaps = static_cast<HResult>(0x88760072u);

struct FakeSurface {
    int id = 0;
    bool primary = false;
    OverlayDescription description;
    int32_t pitch = 0;
    uintptr_t address = 0;
    bool shown = false;
    bool lost = false;
};

// A DirectDraw with one overlay engine that shows at most `maxShown` overlays, some of which
// may be held by other programs.
class FakePort : public DisplayPort {
public:
    HResult primaryResult = kOk, overlayResult = kOk, showResult = kOk, capsResult = kOk;
    HResult restoreResult = kOk, describeResult = kOk, lockResult = kOk;
    int stillDrawing = 0;
    uint32_t fourccCodes = 3;
    uint32_t vidMemFree = 0x180000;
    unsigned maxShown = 1;
    unsigned heldByOthers = 0;
    std::vector<std::string> calls;
    std::map<int, std::unique_ptr<FakeSurface>> live;
    int lastId = 0;
    OverlayRect lastSource, lastDestination;

    static FakeSurface* Of(Surface* s) { return reinterpret_cast<FakeSurface*>(s); }
    static std::string Name(Surface* s) { return Of(s)->primary ? "P" : "O" + std::to_string(Of(s)->id); }

    FakeSurface* Make(bool primary) {
        auto s = std::make_unique<FakeSurface>();
        s->id = ++lastId;
        s->primary = primary;
        s->address = primary ? 0x10000000u : 0x10000000u + 0x96000u * static_cast<unsigned>(s->id);
        FakeSurface* raw = s.get();
        live[s->id] = std::move(s);
        return raw;
    }
    unsigned Overlays() const {
        unsigned n = 0;
        for (const auto& [id, s] : live) n += s->primary ? 0 : 1;
        return n;
    }
    unsigned Shown() const {
        unsigned n = 0;
        for (const auto& [id, s] : live) n += s->shown ? 1 : 0;
        return n;
    }
    FakeSurface* Primary() const {
        for (const auto& [id, s] : live)
            if (s->primary) return s.get();
        return nullptr;
    }
    std::string Log() const {
        std::string all;
        for (const auto& c : calls) all += (all.empty() ? "" : " ") + c;
        return all;
    }

    HResult CreatePrimary(Surface** out) override {
        calls.push_back("CreatePrimary");
        *out = nullptr;
        if (Failed(primaryResult)) return primaryResult;
        *out = reinterpret_cast<Surface*>(Make(true));
        return kOk;
    }
    HResult CreateOverlay(const OverlayDescription& d, Surface** out) override {
        calls.push_back("CreateOverlay " + std::to_string(d.width) + "x" + std::to_string(d.height));
        *out = nullptr;
        if (Failed(overlayResult)) return overlayResult;
        FakeSurface* s = Make(false);
        s->description = d;
        s->pitch = static_cast<int32_t>((d.width * d.pixelFormat.bitCount / 8 + 15) & ~15u);
        *out = reinterpret_cast<Surface*>(s);
        return kOk;
    }
    HResult ShowOverlay(Surface* overlay, const OverlayRect& src, Surface* primary, const OverlayRect& dst) override {
        calls.push_back("Show " + Name(overlay));
        lastSource = src;
        lastDestination = dst;
        if (!Of(primary)->primary) return kErrGeneric;
        if (Of(primary)->lost) return kErrSurfaceLost;
        if (Failed(showResult)) return showResult;
        if (Shown() + heldByOthers >= maxShown) return kErrOutOfCaps;
        Of(overlay)->shown = true;
        return kOk;
    }
    HResult IsLost(Surface* s) override { return Of(s)->lost ? kErrSurfaceLost : kOk; }
    HResult Restore(Surface* s) override {
        calls.push_back("Restore " + Name(s));
        if (Failed(restoreResult)) return restoreResult;
        Of(s)->lost = false;
        return kOk;
    }
    HResult Describe(Surface* s, int32_t* pitch) override {
        calls.push_back("Describe " + Name(s));
        if (Failed(describeResult)) return describeResult;
        *pitch = Of(s)->primary ? 2048 : Of(s)->pitch;
        return kOk;
    }
    HResult Lock(Surface* s, uintptr_t* address) override {
        calls.push_back("Lock " + Name(s));
        if (stillDrawing > 0) {
            --stillDrawing;
            return kErrWasStillDrawing;
        }
        if (Failed(lockResult)) return lockResult;
        *address = Of(s)->address;
        return kOk;
    }
    void Unlock(Surface* s) override { calls.push_back("Unlock " + Name(s)); }
    void Release(Surface* s) override {
        calls.push_back("Release " + Name(s));
        ASSERT_EQ(1u, live.count(Of(s)->id)) << "released twice";
        live.erase(Of(s)->id);
    }
    HResult GetCaps(DisplayCaps* caps) override {
        if (Failed(capsResult)) return capsResult;
        caps->vidMemFree = vidMemFree;
        caps->numFourCCCodes = fourccCodes;
        return kOk;
    }
};

class SurfaceHelperTest : public ::testing::Test {
protected:
    void Attach(uint32_t capacity = 1) {
        helper.Attach(&port, capacity);
        port.calls.clear();
    }
    void TearDown() override {
        helper.Detach();
        EXPECT_TRUE(port.live.empty());
    }
    FakePort port;
    SurfaceHelper helper;
};

TEST(SurfaceHelperWithoutDirectDraw, AnswersUnusableEverywhere) {
    SurfaceHelper helper;
    helper.Attach(nullptr);
    EXPECT_EQ(0u, helper.Capacity());
    EXPECT_EQ(-1, helper.UserCount());
    EXPECT_EQ(-2, helper.Add(320, 240, kFourCCYUY2, 0));
    EXPECT_EQ(0, helper.Release(0));
    EXPECT_EQ(0, helper.Offset(0));
    EXPECT_EQ(-1, helper.Stride(0));
    EXPECT_EQ(-1, helper.BufferSize());
    EXPECT_EQ(0, helper.Mode());
    helper.Detach();
}

TEST_F(SurfaceHelperTest, AttachCreatesThePrimaryAndTheCapacityIsOne) {
    helper.Attach(&port);
    EXPECT_EQ("CreatePrimary", port.Log());
    EXPECT_EQ(1u, helper.Capacity());
    EXPECT_NE(nullptr, helper.Primary());
    EXPECT_FALSE(helper.PrimaryBlocked());
    EXPECT_EQ(1, helper.Mode());
}

TEST_F(SurfaceHelperTest, ReserveProbesThenShowsTheOverlayAtOnePixel) {
    Attach();
    EXPECT_EQ(0, helper.UserCount());
    EXPECT_EQ(0u, port.Overlays());  // the probe leaves nothing behind
    port.calls.clear();
    EXPECT_EQ(0, helper.Add(0x10140, 240, kFourCCYUY2, 0));  // low word of the width
    EXPECT_EQ("CreateOverlay 10x10 Show O3 Release O3 CreateOverlay 320x240 Show O4", port.Log());
    EXPECT_EQ(1u, helper.SlotsInUse());
    EXPECT_EQ(320, helper.SlotAt(0).width);
    EXPECT_EQ(kFourCCYUY2, helper.SlotAt(0).fourcc);
    EXPECT_EQ(1, port.lastSource.right);
    EXPECT_EQ(1, port.lastDestination.bottom);

    port.calls.clear();
    EXPECT_EQ(-1, helper.Add(320, 240, kFourCCYUY2, 0));  // slot 0 is held
    EXPECT_EQ(1, helper.UserCount());
    EXPECT_EQ("", port.Log());
    EXPECT_EQ(1u, port.Overlays());
}

TEST_F(SurfaceHelperTest, FailedShowReleasesTheNewSurface) {
    Attach();
    port.showResult = kErrGeneric;
    EXPECT_EQ(-1, helper.Add(320, 240, kFourCCYUY2, 0));
    EXPECT_EQ(0u, port.Overlays());
    port.showResult = kOk;
    port.overlayResult = kErrGeneric;
    EXPECT_EQ(1, helper.UserCount());
    EXPECT_EQ(-1, helper.Add(320, 240, kFourCCYUY2, 0));
    EXPECT_EQ(nullptr, helper.SlotAt(0).surface);
}

TEST_F(SurfaceHelperTest, LostPrimaryIsRestoredOrCreatedAgainBeforeTheOverlay) {
    Attach();
    port.Primary()->lost = true;
    EXPECT_EQ(0, helper.Add(320, 240, kFourCCYUY2, 0));
    EXPECT_FALSE(port.Primary()->lost);
    helper.Release(0);

    port.Primary()->lost = true;
    port.restoreResult = kErrGeneric;
    port.calls.clear();
    EXPECT_EQ(0, helper.Add(320, 240, kFourCCYUY2, 0));
    EXPECT_EQ(0u, port.Log().find("Restore P Release P CreatePrimary CreateOverlay 10x10 "));
    helper.Release(0);

    // Neither restored nor created again: blocked, and the reserve is refused.
    port.Primary()->lost = true;
    port.primaryResult = kErrNoExclusiveMode;
    EXPECT_EQ(-1, helper.Add(320, 240, kFourCCYUY2, 0));
    EXPECT_EQ(nullptr, helper.Primary());
    EXPECT_TRUE(helper.PrimaryBlocked());
    EXPECT_EQ(0u, port.Overlays());
}

TEST_F(SurfaceHelperTest, ModeGivesALostPrimaryOneRestore) {
    Attach();
    port.Primary()->lost = true;
    port.restoreResult = kErrNoExclusiveMode;
    EXPECT_EQ(2, helper.Mode());
    port.restoreResult = kErrGeneric;
    EXPECT_EQ(1, helper.Mode());
    EXPECT_EQ("Restore P Restore P", port.Log());
    port.restoreResult = kOk;
    EXPECT_EQ(1, helper.Mode());
    EXPECT_FALSE(port.Primary()->lost);
}

TEST_F(SurfaceHelperTest, OffsetAndStrideOfTheReservedSurface) {
    Attach();
    EXPECT_EQ(-1, helper.Stride(0));
    EXPECT_EQ(0, helper.Offset(0));
    ASSERT_EQ(0, helper.Add(320, 240, kFourCCYUY2, 0));
    EXPECT_EQ(640, helper.Stride(0));
    EXPECT_EQ(-1, helper.Stride(1));
    port.calls.clear();
    port.stillDrawing = 2;
    EXPECT_EQ(static_cast<int32_t>(0x96000 * 3), helper.Offset(0x10000));
    EXPECT_EQ("Describe O3 Describe P Lock O3 Lock O3 Lock O3 Unlock O3 Lock P Unlock P", port.Log());

    port.describeResult = kErrGeneric;
    EXPECT_EQ(0, helper.Stride(0));
    port.lockResult = kErrGeneric;
    EXPECT_EQ(0, helper.Offset(0));
}

TEST_F(SurfaceHelperTest, PairFlagWithCapacityOneTouchesOnlySlotZero) {
    Attach();
    ASSERT_EQ(0, helper.Add(320, 240, kFourCCYUY2, 1));
    EXPECT_EQ(1u, helper.SlotAt(0).pair);
    EXPECT_EQ(nullptr, helper.SlotAt(1).surface);
    EXPECT_EQ(1u, port.Overlays());
    EXPECT_EQ(1, helper.Release(0));
    EXPECT_EQ(0u, helper.SlotAt(0).pair);
}

TEST_F(SurfaceHelperTest, PairFlagWithCapacityTwoReservesAndReleasesSlotOne) {
    port.maxShown = 3;
    Attach(2);
    EXPECT_EQ(2u, helper.Capacity());
    EXPECT_EQ(0, helper.UserCount());
    port.calls.clear();
    ASSERT_EQ(0, helper.Add(320, 240, kFourCCYUY2, 1));
    // Probe both slots, release last first, then slot 0 and its partner surface in slot 1.
    EXPECT_EQ(
        "CreateOverlay 10x10 Show O4 CreateOverlay 10x10 Show O5 Release O5 Release O4 "
        "CreateOverlay 320x240 Show O6 CreateOverlay 1x1 Show O7",
        port.Log());
    EXPECT_EQ(2u, helper.SlotsInUse());
    EXPECT_EQ(kFourCCYUY2, helper.SlotAt(1).fourcc);
    EXPECT_EQ(2, helper.UserCount());
    EXPECT_EQ(1, helper.Release(0));
    EXPECT_EQ(nullptr, helper.SlotAt(1).surface);
    EXPECT_EQ(0u, helper.SlotsInUse());
    EXPECT_EQ(0u, port.Overlays());

    // Any other pair value is no pair.
    ASSERT_EQ(0, helper.Add(320, 240, kFourCCYUY2, 2));
    EXPECT_EQ(nullptr, helper.SlotAt(1).surface);
    EXPECT_EQ(1u, helper.SlotsInUse());
}

TEST_F(SurfaceHelperTest, ProbeWithCapacityTwoCountsFromTheFirstFailure) {
    port.maxShown = 2;
    Attach(2);
    port.heldByOthers = 1;
    EXPECT_EQ(1, helper.UserCount());  // slot 1 could not be made
    port.heldByOthers = 2;
    EXPECT_EQ(2, helper.UserCount());
    EXPECT_EQ(0u, port.Overlays());
}

TEST_F(SurfaceHelperTest, BufferSizeIsTheFreeVideoMemoryOrTheFailure) {
    Attach();
    EXPECT_EQ(0x180000, helper.BufferSize());
    port.vidMemFree = 0xFFA00000u;  // more than a 32-bit result can tell as a size
    EXPECT_EQ(0x7FFFFFFF, helper.BufferSize());
    port.capsResult = kErrGeneric;
    EXPECT_EQ(kErrGeneric, helper.BufferSize());
}

TEST_F(SurfaceHelperTest, DetachReleasesEverything) {
    Attach();
    ASSERT_EQ(0, helper.Add(320, 240, kFourCCYUY2, 1));
    helper.Detach();
    EXPECT_TRUE(port.live.empty());
    EXPECT_EQ(0u, helper.Capacity());
    EXPECT_EQ(-1, helper.BufferSize());
}

}  // namespace
