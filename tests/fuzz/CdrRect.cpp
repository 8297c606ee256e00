// The call history window's saved rectangle over whatever the profile holds: the input is a profile
// (see ProfileFromInput), section "cdr" unless it names others; "Width" and "Height" of a section "Screen"
// give the screen (1920 x 1080 by default). A rectangle comes back on the screen, at its size, or not
// at all.
#include "FuzzInput.h"

#include "ui/CdrWindowRect.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CMemoryProfile profile = ProfileFromInput(AsBytes(pData, nSize), kSectionCdrRect);
    // A screen has a size: 1 to 65536 pixels each way.
    const int nWidth =
        static_cast<int>(static_cast<unsigned>(profile.GetProfileInt(u"Screen", u"Width", 1920)) % 65536u) +
        1;
    const int nHeight =
        static_cast<int>(static_cast<unsigned>(profile.GetProfileInt(u"Screen", u"Height", 1080)) % 65536u) +
        1;
    const long long nStoredWidth =
        static_cast<long long>(profile.GetProfileInt(kSectionCdrRect, u"right", 0)) -
        profile.GetProfileInt(kSectionCdrRect, u"left", 0);
    const long long nStoredHeight =
        static_cast<long long>(profile.GetProfileInt(kSectionCdrRect, u"bottom", 0)) -
        profile.GetProfileInt(kSectionCdrRect, u"top", 0);

    const std::optional<CScreenRect> rc = ReadCdrRect(profile, nWidth, nHeight);
    if (!rc)
        return 0;
    FUZZ_CHECK(rc->left > 0 && rc->left < rc->right && rc->right <= nWidth);
    FUZZ_CHECK(rc->top > 0 && rc->top < rc->bottom && rc->bottom <= nHeight);
    FUZZ_CHECK(rc->right - rc->left == nStoredWidth && rc->bottom - rc->top == nStoredHeight);

    // Saved at the close and read at the next open: the same place.
    WriteCdrRect(profile, *rc);
    FUZZ_CHECK(ReadCdrRect(profile, nWidth, nHeight) == rc);
    return 0;
}
