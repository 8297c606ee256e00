#include "platform/win32/ui/DialogCaptionFit.h"

#include <algorithm>
#include <string>

namespace {

int TextWidth(HDC hdc, std::u16string_view text) {
    SIZE size{};
    GetTextExtentPoint32W(hdc, reinterpret_cast<LPCWSTR>(text.data()), static_cast<int>(text.size()), &size);
    return size.cx;
}

} // namespace

HFONT CreateDialogFont(const CDialogTemplate& tpl) {
    LOGFONTW lf{};
    HDC hdc = GetDC(nullptr);
    lf.lfHeight = -MulDiv(tpl.nPointSize, GetDeviceCaps(hdc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, hdc);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    const size_t nFace = std::min<size_t>(tpl.strFontFace.size(), LF_FACESIZE - 1);
    std::copy_n(tpl.strFontFace.data(), nFace, lf.lfFaceName);
    return CreateFontIndirectW(&lf);
}

int DialogBaseUnitX(HDC hdc) {
    return DialogBaseUnitX(TextWidth(hdc, kBaseUnitLetters));
}

int CaptionFitScalePercent(const CDialogTemplate& tpl) {
    HFONT hFont = CreateDialogFont(tpl);
    HDC hdc = GetDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, hFont);
    const int nBaseX = std::max(1, DialogBaseUnitX(hdc));
    int nPercent = 100;
    for (const CDialogControl& ctl : tpl.controls) {
        if (!HasFixedCaption(ctl))
            continue;
        const std::u16string strText = DrawnCaption(ctl);
        const int nNeed = TextWidth(hdc, strText) + CaptionPadding(ctl.eKind);
        // The control's width in pixels is cx * baseX / 4; one unit more than the exact need absorbs
        // the rounding of the scaled positions.
        const int nHave = ctl.cx * nBaseX;
        const int nNeedUnits4 = nNeed * 4 + nBaseX;
        nPercent = std::max(nPercent, (nNeedUnits4 * 100 + nHave - 1) / nHave);
    }
    SelectObject(hdc, hOld);
    ReleaseDC(nullptr, hdc);
    DeleteObject(hFont);
    return nPercent;
}
