// The call history window's rectangle: kept in profile section "cdr" and moved back onto the screen.
#pragma once

#include <optional>
#include <string_view>

class IProfile;

inline constexpr std::u16string_view kSectionCdrRect = u"cdr";

struct CScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const CScreenRect&) const = default;
};

// Moves the rectangle onto a screen of nWidth x nHeight without resizing it: first back from the right
// (bottom) edge, then from the left (top) edge, so one larger than the screen keeps its left (top) at 0.
void ClampRectToScreen(CScreenRect& rc, int nWidth, int nHeight);

// The saved rectangle moved onto the screen, or nothing when any of its four values is then 0 or it
// has no width or height.
std::optional<CScreenRect> ReadCdrRect(IProfile& profile, int nScreenWidth, int nScreenHeight);

// Saves the rectangle as "left", "right", "top", "bottom", in this order.
void WriteCdrRect(IProfile& profile, const CScreenRect& rc);
