#include "ui/CdrWindowRect.h"

#include "platform/IProfile.h"

#include <algorithm>
#include <climits>

namespace {

// In 64 bits: a hand-edited profile may hold any two ints, and their distance may not fit in one.
// Only a span wider than any int can hold ends past INT_MAX; it is kept there, its low end at 0.
void ClampSpan(int& nLow, int& nHigh, int nLimit) {
    long long nLow64 = nLow, nHigh64 = nHigh;
    if (nHigh64 > nLimit) {
        nLow64 -= nHigh64 - nLimit;
        nHigh64 = nLimit;
    }
    if (nLow64 < 0) {
        nHigh64 -= nLow64;
        nLow64 = 0;
    }
    nLow = static_cast<int>(nLow64);
    nHigh = static_cast<int>(std::min<long long>(nHigh64, INT_MAX));
}

} // namespace

void ClampRectToScreen(CScreenRect& rc, int nWidth, int nHeight) {
    ClampSpan(rc.left, rc.right, nWidth);
    ClampSpan(rc.top, rc.bottom, nHeight);
}

std::optional<CScreenRect> ReadCdrRect(IProfile& profile, int nScreenWidth, int nScreenHeight) {
    CScreenRect rc;
    rc.left = profile.GetProfileInt(kSectionCdrRect, u"left", 0);
    rc.top = profile.GetProfileInt(kSectionCdrRect, u"top", 0);
    rc.right = profile.GetProfileInt(kSectionCdrRect, u"right", 0);
    rc.bottom = profile.GetProfileInt(kSectionCdrRect, u"bottom", 0);
    ClampRectToScreen(rc, nScreenWidth, nScreenHeight);
    if (rc.left == 0 || rc.top == 0 || rc.right == 0 || rc.bottom == 0)
        return std::nullopt;
    // A hand-edited or damaged profile must not give a window of no size that the user cannot see.
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return std::nullopt;
    return rc;
}

void WriteCdrRect(IProfile& profile, const CScreenRect& rc) {
    profile.WriteProfileInt(kSectionCdrRect, u"left", rc.left);
    profile.WriteProfileInt(kSectionCdrRect, u"right", rc.right);
    profile.WriteProfileInt(kSectionCdrRect, u"top", rc.top);
    profile.WriteProfileInt(kSectionCdrRect, u"bottom", rc.bottom);
    profile.Flush();
}
