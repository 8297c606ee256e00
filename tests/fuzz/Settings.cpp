// Section "Settings" over whatever the profile holds, read at start-up and used at once by a second
// instance to dial: the input is a profile (see ProfileFromInput), section "Settings" unless it names
// others; the command line is "Line" of a section "CmdLine" (a telephone link by default). Whatever the
// settings, the request goes to the profile's exchange and nowhere else, as one clean request target.
#include "FuzzInput.h"
#include "FuzzPlatform.h"

#include "app/KIVODialerApp.h"
#include "app/TelUri.h"
#include "app/TextUtil.h"
#include "pbxweb/PbxServer.h"
#include "pbxweb/RequestForms.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CMemoryProfile profile = ProfileFromInput(AsBytes(pData, nSize), kSectionSettings);
    const std::u16string strCmdLine = profile.GetProfileString(u"CmdLine", u"Line", u"tel:03-1234-5678");
    CFuzzPlatform platform;
    CKIVODialerApp app(platform.Platform(profile));

    FUZZ_CHECK(!app.InitInstance(strCmdLine));
    FUZZ_CHECK(app.m_nDblClk >= 0 && app.m_nDblClk <= 4);
    FUZZ_CHECK(app.m_strPBX == profile.GetProfileString(kSectionSettings, u"PBX", u""));

    const std::optional<CPbxServer> oServer = ParsePbxServer(app.m_strPBX);
    const bool bComplete =
        !strCmdLine.empty() && !app.m_strUser.empty() && !app.m_strPass.empty() && !app.m_strPBX.empty();
    FUZZ_CHECK(platform.m_requests.size() == (bComplete && oServer ? 1u : 0u));
    if (platform.m_requests.empty())
        return 0;
    const CFuzzPlatform::CRequest& request = platform.m_requests.front();
    FUZZ_CHECK(request.strHost == oServer->strHost && request.nPort == oServer->nPort);
    const std::u16string strDialNo = FilterDialDigits(NumberFromCommandLine(strCmdLine));
    FUZZ_CHECK(U16ToUtf8(FormatCallRequest(app.m_strUser, app.m_strPass, strDialNo, app.m_nCbtime)) ==
               request.strTarget);
    for (char ch : request.strTarget)
        FUZZ_CHECK(ch > 0x20 && ch < 0x7F && ch != '#');
    FUZZ_CHECK(platform.m_nBoxes == 0); // the call was accepted: no message
    return 0;
}
