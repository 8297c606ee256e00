// The application object's platform in a fuzz target: a second instance whose exchange accepts every
// call; the requests are recorded, nothing is sent.
#pragma once

#include "app/KIVODialerApp.h"

#include <string>
#include <vector>

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
    std::u16string ToUtf16(std::string_view bytes) override { return std::u16string(bytes.size(), u'?'); }

    CPlatform Platform(IProfile& profile) {
        return {profile, *this, *this, *this, *this, *this, *this, m_clock};
    }

    struct CRequest {
        std::string strHost;
        unsigned short nPort;
        std::string strTarget;
    };
    std::vector<CRequest> m_requests;
    int m_nBoxes = 0;
    CSystemClock m_clock;
};
