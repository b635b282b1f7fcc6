// The window region cut from a mask bitmap: one rectangle per run of
// shape pixels per row, rows from the bottom up.
#include <cstring>

#include "shaped_button_support.h"

using sbtest::MakeBitmap;
using sbtest::Probe;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

std::vector<CRect> RectsOf(HRGN rgn) {
    std::vector<CRect> out;
    const DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<unsigned char> bytes(size);
    GetRegionData(rgn, size, reinterpret_cast<RGNDATA*>(bytes.data()));
    RGNDATAHEADER h;
    std::memcpy(&h, bytes.data(), sizeof h);
    for (DWORD i = 0; i < h.nCount; ++i) {
        RECT r;
        std::memcpy(&r, bytes.data() + sizeof h + i * sizeof(RECT), sizeof r);
        out.push_back(CRect(r));
    }
    return out;
}

std::vector<CRect> RegionOf(const std::vector<std::string>& mask, COLORREF transparent = kWhite) {
    Probe btn;
    CBitmap bmp;
    MakeBitmap(bmp, mask);
    HRGN rgn = btn.CreateRegionFromBitmap(&bmp, transparent);
    EXPECT_NE(rgn, nullptr);
    std::vector<CRect> rects = rgn ? RectsOf(rgn) : std::vector<CRect>{};
    DeleteObject(rgn);
    return rects;
}

}  // namespace

TEST(RegionFromBitmap, AnAllBlackMaskGivesOneFullRowPerRowFromTheBottomUp) {
    Probe btn;
    CBitmap mask;
    ASSERT_TRUE(mask.LoadBitmap(IDB_MASK));
    HRGN rgn = btn.CreateRegionFromBitmap(&mask, kWhite);
    ASSERT_NE(rgn, nullptr);
    const std::vector<CRect> rects = RectsOf(rgn);
    ASSERT_EQ(rects.size(), 25u);
    for (int i = 0; i < 25; ++i) EXPECT_EQ(rects[i], CRect(0, 24 - i, 27, 25 - i)) << "rectangle " << i;
    RECT box;
    EXPECT_EQ(GetRgnBox(rgn, &box), COMPLEXREGION);
    EXPECT_EQ(CRect(box), CRect(0, 0, 27, 25));
    DeleteObject(rgn);
}

TEST(RegionFromBitmap, ARunReachingTheRowEndEndsAtTheWidth) {
    EXPECT_EQ(RegionOf({"..##"}), (std::vector<CRect>{{2, 0, 4, 1}}));
}

TEST(RegionFromBitmap, ARunEndsAtTheFirstTransparentPixelAndNeverRunsIntoTheNextRow) {
    // The top row ends in shape and the next row starts with it: still two
    // rectangles, one per row, bottom row first.
    const std::vector<CRect> rects = RegionOf({
        ".##",
        "#..",
        "#.#",
    });
    EXPECT_EQ(rects, (std::vector<CRect>{{0, 2, 1, 3}, {2, 2, 3, 3}, {0, 1, 1, 2}, {1, 0, 3, 1}}));
}

TEST(RegionFromBitmap, OnlyTheExactTransparentColourIsOutside) {
    // Near-white and coloured pixels are shape; with another transparent
    // colour, white is shape too.
    EXPECT_EQ(RegionOf({"w.r."}), (std::vector<CRect>{{0, 0, 1, 1}, {2, 0, 3, 1}}));
    EXPECT_EQ(RegionOf({".mm."}, RGB(255, 0, 255)), (std::vector<CRect>{{0, 0, 1, 1}, {3, 0, 4, 1}}));
}

TEST(RegionFromBitmap, AnAllWhiteMaskGivesAnEmptyRegion) {
    Probe btn;
    CBitmap bmp;
    MakeBitmap(bmp, {"...", "..."});
    HRGN rgn = btn.CreateRegionFromBitmap(&bmp, kWhite);
    ASSERT_NE(rgn, nullptr);
    EXPECT_EQ(GetRgnBox(rgn, nullptr), NULLREGION);
    DeleteObject(rgn);
}

TEST(RegionFromBitmap, ManyRunsKeepEveryRectangleInScanOrder) {
    // Five runs per row over twenty rows: a hundred rectangles, well past
    // the forty the buffer starts with.
    std::vector<std::string> mask(20, "#.#.#.#.#");
    std::vector<CRect> expected;
    for (int y = 19; y >= 0; --y)
        for (int x = 0; x < 9; x += 2) expected.push_back(CRect(x, y, x + 1, y + 1));
    EXPECT_EQ(RegionOf(mask), expected);
}

TEST(RegionFromBitmap, NoBitmapGivesNoRegion) {
    Probe btn;
    CBitmap empty;
    EXPECT_EQ(btn.CreateRegionFromBitmap(nullptr, kWhite), nullptr);
    EXPECT_EQ(btn.CreateRegionFromBitmap(&empty, kWhite), nullptr);
}
