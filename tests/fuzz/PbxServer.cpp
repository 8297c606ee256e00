// The "PBX" setting as the web API reaches it: whatever the profile holds must give either no server or
// a host and port that address the request and nothing else.
#include "FuzzInput.h"

#include "app/TextUtil.h"
#include "pbxweb/PbxServer.h"

namespace {

void CheckServer(std::u16string_view strServer) {
    const std::optional<CPbxServer> oServer = ParsePbxServer(strServer);
    if (!oServer)
        return;
    FUZZ_CHECK(!oServer->strHost.empty());
    FUZZ_CHECK(oServer->nPort != 0);
    for (char ch : oServer->strHost) {
        const auto b = static_cast<unsigned char>(ch);
        // Nothing that ends the host in a URL or starts another part of it.
        FUZZ_CHECK(b >= 0x80 || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
                   b == '-' || b == '.' || b == '_' || b == ':');
    }
    // The host and port written back read as the same server.
    const std::u16string strHost = Utf8ToU16(oServer->strHost);
    const bool bV6 = strHost.find(u':') != std::u16string::npos;
    const std::u16string strAgain =
        (bV6 ? u"[" + strHost + u"]" : strHost) + u":" + ToU16Decimal(oServer->nPort);
    const std::optional<CPbxServer> oAgain = ParsePbxServer(strAgain);
    FUZZ_CHECK(oAgain && oAgain->strHost == oServer->strHost && oAgain->nPort == oServer->nPort);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const std::string_view bytes = AsBytes(pData, nSize);
    CheckServer(Utf8ToU16(bytes));
    CheckServer(BytesAsU16(bytes));
    return 0;
}
