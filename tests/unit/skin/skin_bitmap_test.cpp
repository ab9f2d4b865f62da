#include <gtest/gtest.h>

#include "skin_fakes.h"

namespace {

TEST(SkinBitmapLayout, An8BitBitmapWithoutAColourCountHasItsPixelsAfter1024Bytes) {
    auto dib = MakeDib(10, 4);
    DibLayout d = ReadDibLayout(dib.data(), dib.size());
    ASSERT_TRUE(d.valid);
    EXPECT_EQ(256u, d.colours);
    EXPECT_EQ(40u + 1024u, d.pixelOffset);
    EXPECT_EQ(10, d.width);
    EXPECT_EQ(4, d.height);
}

TEST(SkinBitmapLayout, ColourCountsFromTheHeader) {
    auto four = MakeDib(8, 8, 4);
    EXPECT_EQ(16u, ReadDibLayout(four.data(), four.size()).colours);
    auto few = MakeDib(8, 8, 8, 20);
    DibLayout d = ReadDibLayout(few.data(), few.size());
    EXPECT_EQ(20u, d.colours);
    EXPECT_EQ(40u + 80u, d.pixelOffset);
}

TEST(SkinBitmapLayout, ShortOrLyingResourcesAreRefused) {
    auto dib = MakeDib(10, 4);
    EXPECT_FALSE(ReadDibLayout(dib.data(), 39).valid);
    EXPECT_FALSE(ReadDibLayout(dib.data(), dib.size() - 1).valid);  // rows run past the end
    dib[8] = 200;  // a height the data does not have
    EXPECT_FALSE(ReadDibLayout(dib.data(), dib.size()).valid);
    auto huge = MakeDib(8, 8, 8, 0);
    huge[32] = 0xFF;
    huge[33] = 0xFF;  // 65535 colours
    EXPECT_FALSE(ReadDibLayout(huge.data(), huge.size()).valid);
    EXPECT_FALSE(ReadDibLayout(nullptr, 100).valid);
}

TEST(SkinBitmapCache, OneEntryPerNameNewestFirstMissingOnesIncluded) {
    InstallFakeBitmaps();
    FreeSkinBitmaps();
    SkinBitmap* a = GetSkinBitmap("BTN");
    SkinBitmap* b = GetSkinBitmap("NOSUCH");
    EXPECT_EQ(a, GetSkinBitmap("BTN"));
    EXPECT_NE(a, GetSkinBitmap("btn"));  // case-sensitive: a new (missing) entry
    EXPECT_EQ(nullptr, b->data);
    int32_t w = -1, h = -1;
    b->Size(w, h);
    EXPECT_EQ(0, w);
    a->Size(w, h);
    EXPECT_EQ(20, w);
    EXPECT_EQ(10, h);
    EXPECT_EQ("btn", SkinBitmapCache()->name);
    FreeSkinBitmaps();
    EXPECT_EQ(nullptr, SkinBitmapCache());
}

}  // namespace
