// Section "Settings" over whatever the profile holds, read at start-up and used at once by a second
// instance to dial: the input is a profile (see ProfileFromInput), section "Settings" unless it names
// others; the command line is "Line" of a section "CmdLine" (a telephone link by default). Whatever the
// settings, the request goes to the profile's exchange and nowhere else, as one clean request target.
#include "FuzzInput.h"

#include "app/KIVODialerApp.h"
#include "app/TelUri.h"
#include "app/TextUtil.h"
#include "pbxweb/PbxServer.h"
#include "pbxweb/RequestForms.h"

#include <vector>

namespace {

struct CFuzzPlatform : IHttpTransport,
                       IEventLog,
                       IMessageBox,
                       ISharedLoginFlag,
                       ISingleInstance,
                       ICodePage932 {
    CHttpReply Get(const std::string& host, unsigned short nPort, const std::string& target,
                   const std::string&) override {
        m_requests.push_back({host, nPort, target});
        CHttpReply reply;
        reply.nStatus = 200;
        reply.body = "Call_OK";
        return reply;
    }
    void ReportError(std::u16string_view) override {}
    int MessageBox(std::u16string_view, std::u16string_view, unsigned) override {
        ++m_nBoxes;
        return IDOK;
    }
    bool Read(uint32_t& value) override {
        value = 1;
        return true;
    }
    bool Write(uint32_t) override { return true; }
    bool IsSecondInstance() override { return true; }
    std::string FromUtf16(std::u16string_view text) override { return std::string(text.size(), '?'); }

    struct CRequest {
        std::string strHost;
        unsigned short nPort;
        std::string strTarget;
    };
    std::vector<CRequest> m_requests;
    int m_nBoxes = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CMemoryProfile profile = ProfileFromInput(AsBytes(pData, nSize), kSectionSettings);
    const std::u16string strCmdLine = profile.GetProfileString(u"CmdLine", u"Line", u"tel:03-1234-5678");
    CFuzzPlatform platform;
    CSystemClock clock;
    CKIVODialerApp app({profile, platform, platform, platform, platform, platform, platform, clock});

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
