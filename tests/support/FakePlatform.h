// The platform services of a core test, in memory: an exchange that answers every request with one
// reply, the message boxes recorded and answered from a list (OK once it is empty), a login flag and an
// instance lock, and UTF-8 standing in for the exchange's code page.
#pragma once

#include "app/KIVODialerApp.h"
#include "app/TextUtil.h"

#include <deque>
#include <string>
#include <vector>

struct CFakePlatform : IHttpTransport,
                       IEventLog,
                       IMessageBox,
                       ISharedLoginFlag,
                       ISingleInstance,
                       ICodePage932 {
    CHttpReply Get(const std::string& host, unsigned short nPort, const std::string& target,
                   const std::string& userAgent) override {
        requests.push_back({host, nPort, target, userAgent});
        CHttpReply reply;
        reply.nStatus = 200;
        reply.body = replyBody;
        return reply;
    }
    void ReportError(std::u16string_view) override {}
    int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned nType) override {
        boxes.push_back({std::u16string(text), std::u16string(caption), nType});
        if (answers.empty())
            return IDOK;
        const int nAnswer = answers.front();
        answers.pop_front();
        return nAnswer;
    }
    bool Read(uint32_t& value) override {
        value = nFlag;
        return bFlagAvailable;
    }
    bool Write(uint32_t value) override {
        nFlag = value;
        return bFlagAvailable;
    }
    bool IsSecondInstance() override { return bSecond; }
    std::string FromUtf16(std::u16string_view text) override { return U16ToUtf8(text); }
    std::u16string ToUtf16(std::string_view bytes) override { return Utf8ToU16(bytes); }

    // The services on this object, with the given profile and clock.
    CPlatform Platform(IProfile& profile, IClock& clock) {
        return {profile, *this, *this, *this, *this, *this, *this, clock};
    }

    struct Request {
        std::string host;
        unsigned short port;
        std::string target;
        std::string userAgent;
    };
    struct Box {
        std::u16string text, caption;
        unsigned type;
    };
    std::vector<Request> requests;
    std::vector<Box> boxes;
    std::deque<int> answers;
    std::string replyBody = "OK";
    uint32_t nFlag = 0;
    bool bFlagAvailable = true;
    bool bSecond = false;
};
