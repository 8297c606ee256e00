#include "resources/DialogCaptions.h"

bool HasFixedCaption(const CDialogControl& ctl) {
    switch (ctl.eKind) {
    case EControlKind::Static:
    case EControlKind::GroupBox:
    case EControlKind::PushButton:
    case EControlKind::DefPushButton:
        return !ctl.strCaption.empty() && ctl.cx > 0;
    default:
        return false;
    }
}

int CaptionPadding(EControlKind eKind) {
    switch (eKind) {
    case EControlKind::GroupBox:
        return 16;
    case EControlKind::PushButton:
    case EControlKind::DefPushButton:
        return 12;
    default:
        return 0;
    }
}

std::u16string StripMnemonic(std::u16string_view strCaption) {
    std::u16string out;
    out.reserve(strCaption.size());
    for (size_t i = 0; i < strCaption.size(); ++i) {
        if (strCaption[i] == u'&') {
            if (i + 1 < strCaption.size() && strCaption[i + 1] == u'&')
                out += u'&', ++i;
            continue;
        }
        out += strCaption[i];
    }
    return out;
}

std::u16string DrawnCaption(const CDialogControl& ctl) {
    return (ctl.nStyle & kCtlNoPrefix) ? std::u16string(ctl.strCaption) : StripMnemonic(ctl.strCaption);
}

int DialogBaseUnitX(int nLettersWidth) {
    return (nLettersWidth / 26 + 1) / 2;
}
