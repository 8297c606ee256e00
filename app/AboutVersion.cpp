#include "app/AboutVersion.h"

std::u16string CutBeforeLastStop(std::u16string_view strVersion) {
    const size_t nStop = strVersion.rfind(u'.');
    return nStop == std::u16string_view::npos ? std::u16string()
                                              : std::u16string(strVersion.substr(0, nStop));
}

std::u16string AboutVersionLine(std::u16string_view strProductVersion) {
    return u"Version " + CutBeforeLastStop(strProductVersion);
}
