// Regions built from region-data records.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "region.h"

namespace {

// A region-data record as bytes: header (size, type, count, region size,
// bounds) followed by the rectangles.
std::vector<unsigned char> Record(const std::vector<RECT>& rects, DWORD headerSize = sizeof(RGNDATAHEADER),
                                  DWORD type = RDH_RECTANGLES, DWORD count = ~0u) {
    RGNDATAHEADER h;
    h.dwSize = headerSize;
    h.iType = type;
    h.nCount = count == ~0u ? static_cast<DWORD>(rects.size()) : count;
    h.nRgnSize = 0;
    h.rcBound = RECT{};
    std::vector<unsigned char> bytes(sizeof h + rects.size() * sizeof(RECT));
    std::memcpy(bytes.data(), &h, sizeof h);
    if (!rects.empty()) std::memcpy(bytes.data() + sizeof h, rects.data(), rects.size() * sizeof(RECT));
    return bytes;
}

HRGN Make(const std::vector<unsigned char>& bytes) {
    return ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()), reinterpret_cast<const RGNDATA*>(bytes.data()));
}

std::vector<RECT> RectsOf(HRGN rgn) {
    const DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<unsigned char> bytes(size);
    EXPECT_EQ(GetRegionData(rgn, size, reinterpret_cast<RGNDATA*>(bytes.data())), size);
    RGNDATAHEADER h;
    std::memcpy(&h, bytes.data(), sizeof h);
    std::vector<RECT> rects(h.nCount);
    if (h.nCount) std::memcpy(rects.data(), bytes.data() + sizeof h, h.nCount * sizeof(RECT));
    return rects;
}

bool Same(const RECT& a, const RECT& b) { return CRect(a) == CRect(b); }

}  // namespace

TEST(Region, RectanglesWithZeroBoundsAndSizeMakeTheRegionInTheirOrder) {
    const std::vector<RECT> in = {{0, 4, 3, 5}, {5, 4, 6, 5}, {1, 0, 2, 1}};
    HRGN rgn = Make(Record(in));
    ASSERT_NE(rgn, nullptr);
    const std::vector<RECT> out = RectsOf(rgn);
    ASSERT_EQ(out.size(), 3u);
    for (std::size_t i = 0; i < in.size(); ++i) EXPECT_TRUE(Same(out[i], in[i])) << "rectangle " << i;
    RECT box;
    EXPECT_EQ(GetRgnBox(rgn, &box), COMPLEXREGION);
    EXPECT_TRUE(Same(box, RECT{0, 0, 6, 5}));
    DeleteObject(rgn);
}

TEST(Region, PointsAreHalfOpenEmptyRectanglesAreSkippedAndNoneGiveAnEmptyRegion) {
    HRGN rgn = Make(Record({{2, 3, 5, 4}, {3, 3, 3, 9}, {5, 6, 7, 6}}));
    ASSERT_NE(rgn, nullptr);
    EXPECT_EQ(GetRgnBox(rgn, nullptr), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(rgn, 2, 3));
    EXPECT_TRUE(PtInRegion(rgn, 4, 3));
    EXPECT_FALSE(PtInRegion(rgn, 5, 3));  // right edge outside
    EXPECT_FALSE(PtInRegion(rgn, 2, 4));  // bottom edge outside
    DeleteObject(rgn);

    HRGN none = Make(Record({}));
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(GetRgnBox(none, nullptr), NULLREGION);
    EXPECT_FALSE(PtInRegion(none, 0, 0));
    DeleteObject(none);
}

TEST(Region, MalformedRecordsAreRefused) {
    EXPECT_EQ(Make(Record({{0, 0, 1, 1}}, 40)), nullptr) << "header size other than 32";
    EXPECT_EQ(Make(Record({{0, 0, 1, 1}}, sizeof(RGNDATAHEADER), 2)), nullptr) << "type other than rectangles";
    EXPECT_EQ(Make(Record({{0, 0, 1, 1}}, sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2)), nullptr)
        << "more rectangles counted than given";
    EXPECT_EQ(ExtCreateRegion(nullptr, 8, nullptr), nullptr);
}
