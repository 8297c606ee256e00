// The one way to talk to the exchange's web API: one GET, the reply turned into a result and a message.
#pragma once

#include <string>
#include <string_view>

class IHttpTransport;
class IEventLog;
class ICodePage932;

class CPbxWebClient {
public:
    // codePage decodes a reply that is not UTF-8.
    CPbxWebClient(IHttpTransport& transport, IEventLog& eventLog, ICodePage932& codePage);

    // server is the "PBX" setting ("host" or "host:port"); path a request target of RequestForms.h.
    // message is always set and is meant to be shown as it is.
    bool SendPbxRequest(std::u16string_view server, std::u16string_view path, std::u16string& message);

private:
    IHttpTransport& m_transport;
    IEventLog& m_eventLog;
    ICodePage932& m_codePage;
};
