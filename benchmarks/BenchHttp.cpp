#include "BenchHttp.h"

#include "platform/posix/PosixHttpTransport.h"

#include <cstdlib>

bool HttpGet(const std::string& strHostPort, const std::string& target) {
    const size_t nColon = strHostPort.rfind(':');
    if (nColon == std::string::npos)
        return false;
    CPosixHttpTransport transport;
    const CHttpReply reply = transport.Get(
        strHostPort.substr(0, nColon),
        static_cast<unsigned short>(std::atoi(strHostPort.c_str() + nColon + 1)), target, "kivo-bench-x");
    return reply.eFail == CHttpReply::EFailPoint::None && reply.nStatus == 200 && !reply.bReadFailed;
}
