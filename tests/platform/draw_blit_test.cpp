// Blits (BitBlt, StretchBlt and their raster operations) and bitmaps.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "draw_test_support.h"
#include "resources.h"

namespace {

using drawtest::Canvas;
using Groups = std::vector<std::vector<int>>;

constexpr COLORREF kPaper = RGB(0, 160, 0);

// A distinct colour for every pixel, so misplaced copies show.
COLORREF Pattern(int x, int y) { return RGB(17 * x + 3, 29 * y + 5, (x * 7 + y * 13) & 0xFF); }

void Paint(Canvas& c, COLORREF (*colour)(int, int)) {
    for (int y = 0; y < c.Px().Height(); ++y)
        for (int x = 0; x < c.Px().Width(); ++x) c.dc.SetPixel(x, y, colour(x, y));
    c.dc.ResetTouched();
}

TEST(BitBlt, RopsCombineEveryChannelBitwiseAndKeepTheSurfaceOpaque) {
    const COLORREF s = RGB(0xF0, 0x0F, 0x55), d = RGB(0x3C, 0xFF, 0xAA);
    const std::pair<DWORD, COLORREF> cases[] = {
        {SRCCOPY, s}, {SRCAND, RGB(0x30, 0x0F, 0x00)}, {SRCINVERT, RGB(0xCC, 0xF0, 0xFF)}};
    for (const auto& [rop, expected] : cases) {
        Canvas src(3, 3, s), dst(3, 3, d);
        EXPECT_TRUE(dst.dc.BitBlt(0, 0, 3, 3, &src.dc, 0, 0, rop));
        EXPECT_EQ(dst.dc.GetPixel(1, 1), expected) << std::hex << rop;
        EXPECT_EQ(dst.Px().At(1, 1) >> 24, 0xFFu) << std::hex << rop;
    }
}

// D ^= image; D &= mask; D ^= image shows the image where the mask is black
// and keeps the old pixels where it is white.
TEST(BitBlt, MaskedImageTrickShowsTheImageWhereTheMaskIsBlack) {
    Canvas image(6, 6), mask(6, 6), d(6, 6);
    Paint(d, Pattern);
    Paint(image, [](int x, int y) { return RGB(200 - 9 * x, 40 + 11 * y, 90 + x * y); });
    Paint(mask, [](int x, int y) { return (x + y) % 3 == 0 || x == 4 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
    d.dc.BitBlt(0, 0, 6, 6, &image.dc, 0, 0, SRCINVERT);
    d.dc.BitBlt(0, 0, 6, 6, &mask.dc, 0, 0, SRCAND);
    d.dc.BitBlt(0, 0, 6, 6, &image.dc, 0, 0, SRCINVERT);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(d.dc.GetPixel(x, y), mask.dc.GetPixel(x, y) == 0 ? image.dc.GetPixel(x, y) : Pattern(x, y));
}

// Only pixels whose source and destination both lie inside their surfaces
// are written; the rest of the destination keeps its pixels.
TEST(BitBlt, ClipsAgainstBothTheDestinationAndTheSource) {
    const int cases[][4] = {{4, 5, 1, 2}, {-2, -1, 0, 0}, {1, 1, -2, 1}, {3, 6, 2, 2}};  // x, y, sx, sy
    for (const auto& [x0, y0, sx, sy] : cases) {
        SCOPED_TRACE(std::to_string(x0) + "," + std::to_string(y0) + " from " + std::to_string(sx) + "," +
                     std::to_string(sy));
        Canvas src(5, 4), dst(8, 8, kPaper);
        Paint(src, Pattern);
        dst.dc.BitBlt(x0, y0, 4, 3, &src.dc, sx, sy, SRCCOPY);
        drawtest::PixelSet written;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const int u = x - x0 + sx, v = y - y0 + sy;
                const bool copied = x >= x0 && x < x0 + 4 && y >= y0 && y < y0 + 3 && u >= 0 && u < 5 && v >= 0 && v < 4;
                if (copied) written.insert({x, y});
                EXPECT_EQ(dst.dc.GetPixel(x, y), copied ? Pattern(u, v) : kPaper) << x << "," << y;
            }
        }
        EXPECT_EQ(dst.dc.TouchedRect(), drawtest::BoundsOf(written));
    }
}

TEST(BitBlt, WithinOneSurfaceCopiesOverlappingAreasAsIfThroughABuffer) {
    for (const auto& [x0, y0, sx, sy] : {std::tuple{2, 3, 0, 0}, {0, 0, 2, 3}, {3, 1, 1, 4}}) {
        Canvas c(10, 10);
        Paint(c, Pattern);
        c.dc.BitBlt(x0, y0, 6, 6, &c.dc, sx, sy, SRCCOPY);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                const bool inside = x >= x0 && x < x0 + 6 && y >= y0 && y < y0 + 6;
                EXPECT_EQ(c.dc.GetPixel(x, y), inside ? Pattern(x - x0 + sx, y - y0 + sy) : Pattern(x, y));
            }
        }
    }
}

// Source pixel k has every colour bit set except bit k (bits 0-7 for
// columns, 8-15 for rows), so a destination pixel's cleared bits name the
// source pixels ANDed into it.
std::uint32_t Marker(int col, int row) { return 0xFF000000u | (0x00FFFFFFu & ~((1u << col) | (1u << (8 + row)))); }

std::vector<int> SourcesOf(std::uint32_t px, int firstBit) {
    std::vector<int> out;
    for (int k = 0; k < 8; ++k)
        if ((px & (1u << (firstBit + k))) == 0) out.push_back(k);
    return out;
}

struct StretchCase {
    const char* name;
    int sw, sh, dw, dh;
    Groups cols, rows;  // source columns (rows) of each destination column (row)
};
void PrintTo(const StretchCase& c, std::ostream* os) { *os << c.name; }

class Stretch : public ::testing::TestWithParam<StretchCase> {};

TEST_P(Stretch, EachDestinationPixelAndsTheSourcePixelsOfItsColumnAndRow) {
    const StretchCase& p = GetParam();
    Canvas src(p.sw, p.sh), dst(p.dw + 2, p.dh + 2, kPaper);
    for (int y = 0; y < p.sh; ++y)
        for (int x = 0; x < p.sw; ++x) src.Px().Put(x, y, Marker(x, y));
    EXPECT_TRUE(dst.dc.StretchBlt(1, 1, p.dw, p.dh, &src.dc, 0, 0, p.sw, p.sh, SRCCOPY));
    for (int j = 0; j < p.dh; ++j) {
        for (int i = 0; i < p.dw; ++i) {
            EXPECT_EQ(SourcesOf(dst.Px().At(1 + i, 1 + j), 0), p.cols[i]) << "column " << i << " row " << j;
            EXPECT_EQ(SourcesOf(dst.Px().At(1 + i, 1 + j), 8), p.rows[j]) << "column " << i << " row " << j;
        }
    }
    EXPECT_EQ(dst.dc.TouchedRect(), CRect(1, 1, 1 + p.dw, 1 + p.dh));
    EXPECT_EQ(dst.PixelsOf(kPaper).size(), static_cast<std::size_t>(2 * (p.dw + p.dh) + 4));
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Stretch,
    ::testing::Values(
        StretchCase{"enlarge_1x2_to_2x5", 1, 2, 2, 5, {{0}, {0}}, {{0}, {0}, {0}, {1}, {1}}},
        StretchCase{"enlarge_3x4_to_7x6", 3, 4, 7, 6, {{0}, {0}, {1}, {1}, {1}, {2}, {2}},
                    {{0}, {0}, {1}, {2}, {2}, {3}}},
        StretchCase{"shrink_4x5_to_2x2", 4, 5, 2, 2, {{0, 1}, {2, 3}}, {{0, 1, 2}, {3, 4}}},
        StretchCase{"shrink_5x7_to_3x3", 5, 7, 3, 3, {{0, 1}, {2}, {3, 4}}, {{0, 1}, {2, 3, 4}, {5, 6}}},
        StretchCase{"to_extent_one_from_2x3", 2, 3, 1, 1, {{0}}, {{0, 1}}},
        StretchCase{"enlarge_x_shrink_y_2x4_to_5x2", 2, 4, 5, 2, {{0}, {0}, {0}, {1}, {1}}, {{0, 1}, {2, 3}}}),
    drawtest::CaseName());

TEST(StretchBlt, AppliesTheRopAfterAndingAndSkipsGroupsReachingOutsideTheSource) {
    Canvas src(4, 1), dst(2, 1, RGB(0xF0, 0xF0, 0xF0));
    src.dc.SetPixel(1, 0, RGB(0xFF, 0x0F, 0xFF));
    src.dc.SetPixel(2, 0, RGB(0x3F, 0xFF, 0xFF));
    // 4 -> 2 from x = -1: pixel 0 would take {-1, 0}, pixel 1 takes {1, 2}.
    dst.dc.StretchBlt(0, 0, 2, 1, &src.dc, -1, 0, 4, 1, SRCAND);
    EXPECT_EQ(dst.dc.GetPixel(0, 0), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(dst.dc.GetPixel(1, 0), RGB(0x30, 0x00, 0xF0));
    EXPECT_EQ(dst.dc.TouchedRect(), CRect(1, 0, 2, 1));
    EXPECT_FALSE(dst.dc.StretchBlt(0, 0, 0, 1, &src.dc, 0, 0, 2, 1, SRCCOPY));
}

TEST(StretchBlt, WithinOneSurfaceReadsTheSourceAsItWasBefore) {
    Canvas c(6, 1);
    for (int k = 0; k < 6; ++k) c.Px().Put(k, 0, Marker(k, 0));
    c.dc.StretchBlt(1, 0, 5, 1, &c.dc, 0, 0, 2, 1, SRCCOPY);
    Groups got;
    for (int x = 0; x < 6; ++x) got.push_back(SourcesOf(c.Px().At(x, 0), 0));
    EXPECT_EQ(got, (Groups{{0}, {0}, {0}, {0}, {1}, {1}}));
}

// ---------------------------------------------------------------- bitmaps

TEST(Bitmap, CompatibleBitmapIsAllBlackAndReportsItsSize) {
    CBitmap bmp;
    EXPECT_FALSE(bmp.CreateCompatibleBitmap(nullptr, 0, 5));
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(nullptr, 7, 3));
    BITMAP info;
    EXPECT_EQ(bmp.GetBitmap(&info), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(std::tuple(info.bmWidth, info.bmHeight, info.bmWidthBytes, info.bmBitsPixel), std::tuple(7, 3, 28, 32));
    EXPECT_EQ(std::vector<std::uint32_t>(bmp.GetSurface()->Bits(), bmp.GetSurface()->Bits() + 21),
              std::vector<std::uint32_t>(21, 0xFF000000u));
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

const COLORREF kImage[2][3] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
                               {RGB(1, 2, 3), RGB(250, 251, 252), RGB(128, 64, 32)}};

// BMP file bytes of kImage with a 40-byte info header; row padding is 0xEE
// so that reading it as pixels shows.
std::vector<std::uint8_t> MakeBmp(int bits, bool topDown) {
    const int bpp = bits / 8, stride = (3 * bpp + 3) / 4 * 4;
    std::vector<std::uint8_t> b(54 + 2 * stride, 0xEE);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 6, 0);
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, 3);
    Put32(b, 22, topDown ? static_cast<std::uint32_t>(-2) : 2u);
    Put32(b, 26, 1, 2);
    Put32(b, 28, static_cast<std::uint32_t>(bits), 2);
    for (std::size_t i = 30; i < 54; ++i) b[i] = 0;
    for (int r = 0; r < 2; ++r) {
        for (int x = 0; x < 3; ++x) {
            std::uint8_t* p = b.data() + 54 + (topDown ? r : 1 - r) * stride + x * bpp;
            const COLORREF c = kImage[r][x];
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
        }
    }
    return b;
}

TEST(Bitmap, BmpBytesLoadEveryPixelIntoItsPlace) {
    for (const auto& [bits, topDown] : {std::pair{24, false}, {24, true}, {32, false}, {32, true}}) {
        SCOPED_TRACE(std::to_string(bits) + (topDown ? " bits top-down" : " bits bottom-up"));
        const std::vector<std::uint8_t> file = MakeBmp(bits, topDown);
        CBitmap bmp;
        ASSERT_TRUE(bmp.LoadFromBmp(file.data(), file.size()));
        ASSERT_EQ(std::pair(bmp.GetSurface()->Width(), bmp.GetSurface()->Height()), std::pair(3, 2));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) EXPECT_EQ(bmp.GetSurface()->At(x, y), PixelFromColor(kImage[y][x]));
        // The same bytes as the program's bitmap 130, by id from the table it registers.
        const res::BlobResource bitmaps[] = {{130, {file.data(), file.size()}}};
        AfxRegisterResources(res::ResourceTable{bitmaps, {}, {}, {}});
        CBitmap byId;
        ASSERT_TRUE(byId.LoadBitmap(130));
        EXPECT_EQ(byId.GetSurface()->At(2, 1), PixelFromColor(kImage[1][2]));
        EXPECT_FALSE(CBitmap().LoadBitmap(131));
        AfxRegisterResources({});
    }
}

TEST(Bitmap, MalformedBmpBytesAreRefusedAndThePreviousPictureKept) {
    const std::vector<std::pair<const char*, void (*)(std::vector<std::uint8_t>&)>> corruptions = {
        {"truncated pixels", [](auto& b) { b.pop_back(); }},
        {"file header only", [](auto& b) { b.resize(14); }},
        {"wrong magic", [](auto& b) { b[1] = 'A'; }},
        {"compressed", [](auto& b) { Put32(b, 30, 1); }},
        {"8 bits per pixel", [](auto& b) { Put32(b, 28, 8, 2); }},
        {"two planes", [](auto& b) { Put32(b, 26, 2, 2); }},
        {"zero width", [](auto& b) { Put32(b, 18, 0); }},
        {"zero height", [](auto& b) { Put32(b, 22, 0); }},
        {"negative width", [](auto& b) { Put32(b, 18, 0xFFFFFFFDu); }},
        {"short info header", [](auto& b) { Put32(b, 14, 12); }},
        {"pixels past the end", [](auto& b) { Put32(b, 10, 60); }},
        {"pixels inside the header", [](auto& b) { Put32(b, 10, 20); }},
        {"huge height", [](auto& b) { Put32(b, 22, 0x7FFFFFFFu); }},
    };
    for (const auto& [name, corrupt] : corruptions) {
        std::vector<std::uint8_t> file = MakeBmp(24, false);
        CBitmap bmp;
        ASSERT_TRUE(bmp.LoadFromBmp(file.data(), file.size()));
        const Surface* before = bmp.GetSurface();
        corrupt(file);
        EXPECT_FALSE(bmp.LoadFromBmp(file.data(), file.size())) << name;
        EXPECT_EQ(bmp.GetSurface(), before) << name;
    }
    CBitmap bmp;
    EXPECT_FALSE(bmp.LoadFromBmp(nullptr, 100));
    EXPECT_FALSE(bmp.LoadBitmap(59999));
    EXPECT_FALSE(bmp.IsCreated());
}

}  // namespace
