// System colours and the standard decorations of controls: 3-D edges and
// the dotted focus rectangle, drawn into a device context.
#pragma once

#include "gdi.h"

// System colour indices.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;

// The colour of system element `index`; black for an unknown index. The
// face colour is the background of this platform's dialogs, so owner-drawn
// faces blend with them. Needs no display: usable before the toolkit starts.
COLORREF GetSysColor(int index);

// Edge kinds: an outer and an inner border, each raised or sunken.
constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

// Sides to draw.
constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;

// Draws the outer border one pixel wide along the inside of `rect`, then
// the inner border one pixel further in. Each border paints its left column
// and top row (without their last pixel) in its top-left colour, then its
// bottom row and right column in full in its bottom-right colour, so the
// top-right and bottom-left corners take the bottom-right colour.
//   raised outer: 3-D light / 3-D dark shadow; raised inner: highlight / shadow
//   sunken outer: shadow / highlight;          sunken inner: dark shadow / light
// Returns FALSE for a null context or rectangle.
BOOL DrawEdge(CDC* dc, const RECT* rect, UINT edge, UINT flags);

// Inverts every other pixel along the inside border of `rect`: those whose
// x + y is even. Drawing the same rectangle twice restores the pixels.
void DrawFocusRect(CDC* dc, const RECT* rect);
