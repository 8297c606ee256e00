// kivo-bench-web: round trips of SendPbxRequest (the web API client over its POSIX HTTP transport) to
// an exchange on loopback, the request a registration sends.
//
//   kivo-bench-web --pbx 127.0.0.1:PORT [--count N]
//
// First line "target /manager/...", the request target (for curl to send the same); then the
// microseconds of each of N requests, after one request that is not counted (the first look-up and
// connection).
#include "BenchUtil.h"

#include "app/TextUtil.h"
#include "pbxweb/PbxWebClient.h"
#include "pbxweb/RequestForms.h"
#include "platform/IEventLog.h"
#include "platform/posix/IconvCodePage932.h"
#include "platform/posix/PosixHttpTransport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
class CNullEventLog : public IEventLog {
public:
    void ReportError(std::u16string_view) override {}
};
} // namespace

int main(int argc, char* argv[]) {
    std::string strPbx;
    int nCount = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--pbx") == 0)
            strPbx = argv[i + 1];
        else if (std::strcmp(argv[i], "--count") == 0)
            nCount = std::atoi(argv[i + 1]);
    }
    if (strPbx.empty())
        return 2;

    CPosixHttpTransport transport;
    CNullEventLog eventLog;
    CIconvCodePage932 codePage;
    CPbxWebClient client(transport, eventLog, codePage);
    const std::u16string strServer = Utf8ToU16(strPbx);
    const std::u16string strPath = FormatRegistRequest(u"2001", u"2001", 10640, 0);
    std::printf("target %s\n", U16ToUtf8(strPath).c_str());

    std::u16string strMessage;
    if (!client.SendPbxRequest(strServer, strPath, strMessage)) {
        std::fprintf(stderr, "kivo-bench-web: %s\n", U16ToUtf8(strMessage).c_str());
        return 1;
    }
    for (int n = 0; n < nCount; ++n) {
        const bench::Clock::time_point t0 = bench::Clock::now();
        const bool bOk = client.SendPbxRequest(strServer, strPath, strMessage);
        const double ms = bench::MsSince(t0);
        if (!bOk)
            return 1;
        std::printf("%.0f\n", ms * 1000.0);
    }
    return 0;
}
