#include "tray/RegisterDecision.h"

#include <cstdlib>

bool HasRegisterSettings(std::u16string_view strUser, std::u16string_view strPass,
                         std::u16string_view strPBX) {
    return !strUser.empty() && !strPass.empty() && !strPBX.empty();
}

int RefreshPeriodMs(int r1, int r2) {
    return 100 * (108000 + r1 + r2);
}

namespace {
// glibc's rand() reaches 2^31 - 1; the period is built from draws in 0..32767, as on the system's home
// platform. 2^31 is a multiple of 32768, so the remainder stays uniform.
int DrawRand15() {
    return std::rand() % 32768;
}
} // namespace

CRegisterDecision DecideRegister(bool bOk, unsigned nRetry, std::time_t now,
                                 std::u16string_view strProductName) {
    std::srand(static_cast<unsigned>(now));
    CRegisterDecision d;
    if (bOk) {
        d.bLogin = true;
        d.nRetry = 0;
        const int r1 = DrawRand15();
        const int r2 = DrawRand15();
        d.nNextPeriodMs = RefreshPeriodMs(r1, r2);
        d.bIconLogin = true;
    } else {
        d.bLogin = false;
        d.bIconLogin = false;
        if (nRetry > kRegisterRetryLimit) {
            d.bGiveUp = true;
            d.nRetry = 0;
        } else {
            d.nRetry = nRetry + 1;
            d.nNextPeriodMs = kRegisterRetryPeriodMs;
        }
    }
    d.strTip = LoginTip(strProductName, d.bLogin);
    return d;
}

std::u16string LoginTip(std::u16string_view strProductName, bool bLogin) {
    std::u16string strTip(strProductName);
    if (!bLogin)
        strTip += kNotConnectedSuffix;
    return strTip;
}
