// Drawing of the shaped button: the three draw modes with and without the
// mask, the choice of image by item state with its fallbacks, the edge, the
// focus rectangle and the caption. Pictures are written as text, one
// character per pixel (see ColorOf).
#include "shaped_button_support.h"

using sbtest::ArrowDialog;
using sbtest::ColorOf;
using sbtest::MakeBitmap;
using sbtest::Paper;
using sbtest::Probe;

using Rows = std::vector<std::string>;

// ---------------------------------------------------------------- modes

TEST(DrawBitmap, NaturalSizeCopiesPixelForPixelAndLeavesTheRestOfTheRectangle) {
    Probe btn;
    CBitmap img;
    MakeBitmap(img, {"rb", "yc"});
    Paper p(5, 4, ColorOf('g'));
    btn.DrawBitmap(&p.dc, &img, CRect(1, 1, 4, 4), 0);
    EXPECT_EQ(p.Rows(), (Rows{"ggggg", "grbgg", "gycgg", "ggggg"}));
}

TEST(DrawBitmap, NaturalSizeThroughTheMaskKeepsTheOldPixelsWhereTheMaskIsWhite) {
    Probe btn;
    MakeBitmap(btn.m_bmpMask, {"#.", ".#"});
    CBitmap img;
    MakeBitmap(img, {"rb", "yc"});
    Paper p(3, 2, ColorOf('g'));
    btn.DrawBitmap(&p.dc, &img, CRect(1, 0, 3, 2), 0);
    EXPECT_EQ(p.Rows(), (Rows{"grg", "ggc"}));
}

TEST(DrawBitmap, StretchFillsTheRectangle) {
    Probe btn;
    CBitmap img;
    MakeBitmap(img, {"rb"});
    Paper p(4, 2, ColorOf('g'));
    btn.DrawBitmap(&p.dc, &img, CRect(0, 0, 4, 2), 1);
    EXPECT_EQ(p.Rows(), (Rows{"rrbb", "rrbb"}));
}

TEST(DrawBitmap, StretchThroughTheMaskUsesTheImageSizeOfTheMask) {
    // The mask is larger than the image; only its top-left part of the
    // image's size is stretched (its third column and row would cover the
    // white pixel's place otherwise).
    Probe btn;
    MakeBitmap(btn.m_bmpMask, {"#.#", "###", "..."});
    CBitmap img;
    MakeBitmap(img, {"rb", "yc"});
    Paper p(4, 4, ColorOf('g'));
    btn.DrawBitmap(&p.dc, &img, CRect(0, 0, 4, 4), 1);
    EXPECT_EQ(p.Rows(), (Rows{"rrgg", "rrgg", "yycc", "yycc"}));
}

TEST(DrawBitmap, TileRepeatsFromTheTopLeftCutsTheLastTilesAndIgnoresTheMask) {
    Probe btn;
    MakeBitmap(btn.m_bmpMask, {"...", "..."});
    CBitmap img;
    MakeBitmap(img, {"rby", "cm#"});
    Paper p(8, 6, ColorOf('g'));
    btn.DrawBitmap(&p.dc, &img, CRect(0, 0, 7, 5), 2);
    EXPECT_EQ(p.Rows(), (Rows{"rbyrbyrg", "cm#cm#cg", "rbyrbyrg", "cm#cm#cg", "rbyrbyrg", "gggggggg"}));
}

TEST(DrawBitmap, DrawModeOutOfRangeIsClampedBySetBitmaps) {
    Probe btn;
    btn.SetBitmaps(0, 0, 0, 0, 0, 3, 0, 0);
    MakeBitmap(btn.m_bmpNormal, {"rb"});
    Paper tiled(5, 1, ColorOf('g'));
    btn.Draw(tiled, 0);
    EXPECT_EQ(tiled.Rows(), (Rows{"rbrbr"})) << "3 tiles";

    btn.SetBitmaps(0, 0, 0, 0, 0, -4, 0, 0);
    MakeBitmap(btn.m_bmpNormal, {"rb"});
    Paper natural(5, 1, ColorOf('g'));
    btn.Draw(natural, 0);
    EXPECT_EQ(natural.Rows(), (Rows{"rbggg"})) << "a negative mode copies at natural size";
}

// ---------------------------------------------------------------- states

namespace {

// A button with one-pixel images of distinct colours, stretched.
void FourImages(Probe& btn) {
    btn.SetBitmaps(0, 0, 0, 0, 0, 1, 0, 0);
    MakeBitmap(btn.m_bmpNormal, {"r"});
    MakeBitmap(btn.m_bmpPressed, {"b"});
    MakeBitmap(btn.m_bmpHover, {"y"});
    MakeBitmap(btn.m_bmpDisabled, {"c"});
}

COLORREF Drawn(Probe& btn, UINT state) {
    Paper p(3, 3, ColorOf('g'));
    btn.Draw(p, state);
    return p.At(1, 1);
}

const COLORREF kFace = GetSysColor(COLOR_BTNFACE);

}  // namespace

TEST(ItemState, ChoosesTheImageWithDisabledBeforeSelectedAndHoverOnlyWhenNormal) {
    Probe btn;
    FourImages(btn);
    EXPECT_EQ(Drawn(btn, 0), ColorOf('r'));
    EXPECT_EQ(Drawn(btn, ODS_SELECTED), ColorOf('b'));
    EXPECT_EQ(Drawn(btn, ODS_DISABLED), ColorOf('c'));
    EXPECT_EQ(Drawn(btn, ODS_DISABLED | ODS_SELECTED), ColorOf('c'));
    btn.m_bHover = true;
    EXPECT_EQ(Drawn(btn, 0), ColorOf('y'));
    EXPECT_EQ(Drawn(btn, ODS_SELECTED), ColorOf('b'));
    EXPECT_EQ(Drawn(btn, ODS_DISABLED), ColorOf('c'));
}

TEST(ItemState, MissingImagesFallBackToTheFaceColourOrTheNormalImage) {
    Probe btn;
    FourImages(btn);
    btn.m_bmpPressed.DeleteObject();
    btn.m_bmpDisabled.DeleteObject();
    btn.m_bmpHover.DeleteObject();
    btn.m_bHover = true;
    EXPECT_EQ(Drawn(btn, 0), ColorOf('r')) << "no hover image: the normal one";
    EXPECT_EQ(Drawn(btn, ODS_SELECTED), kFace);
    EXPECT_EQ(Drawn(btn, ODS_DISABLED), kFace);

    FourImages(btn);
    btn.m_bmpNormal.DeleteObject();
    btn.m_bHover = true;
    EXPECT_EQ(Drawn(btn, 0), kFace) << "no normal image: the face, even with a hover image";
}

TEST(ItemState, ADisabledIdOfZeroShowsTheNormalImageAndUnloadableIdsLeaveTheirImageEmpty) {
    Probe btn;
    EXPECT_TRUE(btn.SetBitmaps(IDB_UP, 0, 0, 0, 0, 1, 0, 0));
    Paper p(24, 26, ColorOf('g'));
    btn.Draw(p, ODS_DISABLED);
    const QImage shot(reinterpret_cast<const uchar*>(p.surface.Bits()), 24, 26, p.surface.BytesPerLine(),
                      QImage::Format_RGB32);
    EXPECT_TRUE(sbtest::ShowsBitmap(shot, IDB_UP));

    btn.SetBitmaps(0, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(Drawn(btn, ODS_DISABLED), kFace) << "and with neither, the face";

    EXPECT_FALSE(btn.SetBitmaps(139, IDB_UP, 0, 0, 0, 1, 0, 0)) << "there is no bitmap 139";
    EXPECT_EQ(Drawn(btn, 0), kFace);
    EXPECT_NE(Drawn(btn, ODS_SELECTED), kFace);
}

// ---------------------------------------------------------------- decorations

TEST(Decorations, TheBorderIsRaisedAndSunkenWhenSelected) {
    // Two borders, outer then inner; each paints its top and left in its
    // light colour, then its bottom and right in full in its dark colour.
    Probe btn;
    btn.SetBitmaps(0, 0, 0, 0, 0, 1, 1, 0);
    Paper up(6, 6, ColorOf('g'));
    btn.Draw(up, 0);
    EXPECT_EQ(up.At(0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(up.At(5, 0), GetSysColor(COLOR_3DDKSHADOW)) << "the top-right corner is dark";
    EXPECT_EQ(up.At(0, 5), GetSysColor(COLOR_3DDKSHADOW)) << "the bottom-left corner is dark";
    EXPECT_EQ(up.At(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(up.At(4, 4), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(up.At(2, 2), kFace);
    Paper down(6, 6, ColorOf('g'));
    btn.Draw(down, ODS_SELECTED);
    EXPECT_EQ(down.At(0, 0), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(down.At(5, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(down.At(1, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(down.At(4, 4), GetSysColor(COLOR_3DLIGHT));
    Paper off(6, 6, ColorOf('g'));
    btn.Draw(off, ODS_DISABLED);
    EXPECT_EQ(off.At(0, 0), GetSysColor(COLOR_3DLIGHT)) << "disabled is raised";

    btn.SetBitmaps(0, 0, 0, 0, 0, 1, 0, 0);
    Paper none(6, 6, ColorOf('g'));
    btn.Draw(none, ODS_SELECTED);
    EXPECT_EQ(none.At(0, 0), kFace);
}

TEST(Decorations, TheFocusRectangleIsInsetAndOnlyDrawnWhenEnabledWithAnInset) {
    Probe btn;
    btn.SetBitmaps(0, 0, 0, 0, 0, 1, 0, 2);
    MakeBitmap(btn.m_bmpNormal, {"#"});
    MakeBitmap(btn.m_bmpPressed, {"#"});
    MakeBitmap(btn.m_bmpDisabled, {"#"});
    Paper focused(8, 8, ColorOf('g'));
    btn.Draw(focused, ODS_FOCUS);
    EXPECT_EQ(focused.At(2, 2), ColorOf('.'));
    EXPECT_EQ(focused.At(3, 2), ColorOf('#'));
    EXPECT_EQ(focused.At(5, 5), ColorOf('.'));
    EXPECT_EQ(focused.At(1, 1), ColorOf('#'));
    EXPECT_EQ(focused.At(4, 4), ColorOf('#'));
    Paper pressed(8, 8, ColorOf('g'));
    btn.Draw(pressed, ODS_FOCUS | ODS_SELECTED);
    EXPECT_EQ(pressed.At(2, 2), ColorOf('.'));

    Paper disabled(8, 8, ColorOf('g'));
    btn.Draw(disabled, ODS_FOCUS | ODS_DISABLED);
    EXPECT_EQ(disabled.At(2, 2), ColorOf('#'));

    btn.SetBitmaps(0, 0, 0, 0, 0, 1, 0, -3);
    MakeBitmap(btn.m_bmpNormal, {"#"});
    Paper noInset(8, 8, ColorOf('g'));
    btn.Draw(noInset, ODS_FOCUS);
    EXPECT_EQ(noInset.Rows(), Rows(8, "########")) << "a negative inset draws no focus rectangle";
}

// ---------------------------------------------------------------- caption

namespace {

// The caption drawn the way the button should: GUI font, transparent,
// colour `color`, clipped to the paper, with its cell's top-left at (x, y).
void CaptionAt(Paper& p, const CString& text, int x, int y, COLORREF color) {
    const CRect clip(0, 0, p.surface.Width(), p.surface.Height());
    p.dc.SelectStockObject(DEFAULT_GUI_FONT);
    p.dc.SetBkMode(TRANSPARENT);
    p.dc.SetTextColor(color);
    p.dc.ExtTextOut(x, y, ETO_CLIPPED, &clip, text);
}

bool SamePixels(const Paper& a, const Paper& b) {
    return std::equal(a.surface.Bits(), a.surface.Bits() + a.surface.Width() * a.surface.Height(), b.surface.Bits());
}

}  // namespace

using Caption = ArrowDialog;

TEST_F(Caption, IsCentredByCharacterCountTruncatedTowardZeroAndEmbossedWhenDisabled) {
    // Four characters (eight bytes of UTF-8) of average width 5 in an item
    // 7 wide: (7 - 20) / 2 is -6 truncated toward zero, not -7.
    Paper metrics(1, 1, kFace);
    metrics.dc.SelectStockObject(DEFAULT_GUI_FONT);
    TEXTMETRIC tm;
    metrics.dc.GetTextMetrics(&tm);
    ASSERT_EQ(tm.tmAveCharWidth, 5);
    const int y = (20 - tm.tmHeight) / 2;
    btn.SetBitmaps(0, 0, 0, 0, 0, 1, 0, 0);
    btn.SetWindowText("Шар1");

    Paper drawn(7, 20, ColorOf('g'));
    btn.Draw(drawn, 0);
    Paper truncated(7, 20, kFace);
    CaptionAt(truncated, "Шар1", -6, y, GetSysColor(COLOR_BTNTEXT));
    EXPECT_TRUE(SamePixels(drawn, truncated));
    Paper roundedDown(7, 20, kFace);
    CaptionAt(roundedDown, "Шар1", -7, y, GetSysColor(COLOR_BTNTEXT));
    EXPECT_FALSE(SamePixels(drawn, roundedDown));
    EXPECT_FALSE(SamePixels(drawn, Paper(7, 20, kFace))) << "some ink shows";

    Paper disabled(7, 20, ColorOf('g'));
    btn.Draw(disabled, ODS_DISABLED);
    Paper embossed(7, 20, kFace);
    CaptionAt(embossed, "Шар1", -5, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    CaptionAt(embossed, "Шар1", -6, y, GetSysColor(COLOR_GRAYTEXT));
    EXPECT_TRUE(SamePixels(disabled, embossed));
}
