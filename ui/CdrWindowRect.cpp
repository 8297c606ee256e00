#include "ui/CdrWindowRect.h"

#include "app/IProfile.h"

namespace {

void ClampSpan(int& nLow, int& nHigh, int nLimit) {
    if (nHigh > nLimit) {
        nLow -= nHigh - nLimit;
        nHigh = nLimit;
    }
    if (nLow < 0) {
        nHigh -= nLow;
        nLow = 0;
    }
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
