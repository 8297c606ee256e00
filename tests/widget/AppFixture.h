// A real application object for the window tests: the POSIX HTTP transport talking to a small exchange
// on loopback, a profile in memory, message boxes answered from a list and recorded.
#pragma once

#include "app/KIVODialerApp.h"
#include "app/MemoryProfile.h"
#include "app/TextUtil.h"
#include "platform/posix/PosixHttpTransport.h"
#include "tests/support/LoopbackPbx.h"
#include "tests/support/RecordingEventLog.h"

#include <gtest/gtest.h>

#include <deque>
#include <list>
#include <string>
#include <vector>

class CRecordingMessageBox : public IMessageBox {
public:
    struct CBox {
        std::u16string strText;
        std::u16string strCaption;
        unsigned nType;
    };
    int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned nType) override {
        m_boxes.push_back({std::u16string(text), std::u16string(caption), nType});
        if (m_answers.empty())
            return (nType & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
        const int nAnswer = m_answers.front();
        m_answers.pop_front();
        return nAnswer;
    }
    std::vector<CBox> m_boxes;
    std::deque<int> m_answers;
};

// The call history as the tray controller keeps it, oldest first.
class CTestMainWnd : public IMainWnd {
public:
    bool AddRecord(const std::u16string& strNumber, const std::u16string& strName, uint16_t nMode) override {
        if (strNumber.empty())
            return false;
        m_records.push_back({strNumber, strName, u"2024/01/31 09:05:07", nMode});
        for (ICallHistoryListener* pListener : m_listeners)
            pListener->OnCallHistoryChanged(m_records);
        return true;
    }
    const std::list<CdrRecord>& GetCdrList() const override { return m_records; }
    void AddHistoryListener(ICallHistoryListener& listener) override { m_listeners.push_back(&listener); }
    void RemoveHistoryListener(ICallHistoryListener& listener) override {
        std::erase(m_listeners, &listener);
    }
    std::list<CdrRecord> m_records;
    std::vector<ICallHistoryListener*> m_listeners;
};

class CNoLoginFlag : public ISharedLoginFlag {
public:
    bool Read(uint32_t& value) override { return value = 1, true; }
    bool Write(uint32_t) override { return true; }
};

class CFirstInstance : public ISingleInstance {
public:
    bool IsSecondInstance() override { return false; }
};

class CAsciiCodePage : public ICodePage932 {
public:
    std::string FromUtf16(std::u16string_view text) override { return U16ToUtf8(text); }
    std::u16string ToUtf16(std::string_view bytes) override { return Utf8ToU16(bytes); }
};

class AppFixture : public ::testing::Test {
protected:
    AppFixture()
        : m_app(CPlatform{m_profile, m_http, m_eventLog, m_messageBox, m_loginFlag, m_instance, m_codePage,
                          m_clock}) {
        m_server.SetReply("Call_OK");
        m_app.m_strUser = u"201";
        m_app.m_strPass = u"secret";
        m_app.m_strPBX = u"127.0.0.1:" + ToU16Decimal(m_server.Port());
        m_app.m_nCbtime = 15;
        m_app.m_bLogin = true;
        m_app.m_pMainWnd = &m_mainWnd;
    }

    // The dialno values the exchange received, in order.
    std::vector<std::string> DialedNumbers() {
        std::vector<std::string> numbers;
        for (const std::string& strTarget : m_server.Requests()) {
            const size_t nBegin = strTarget.find("&dialno=");
            const size_t nEnd = strTarget.find("&cbtime=");
            if (nBegin != std::string::npos && nEnd != std::string::npos)
                numbers.push_back(strTarget.substr(nBegin + 8, nEnd - nBegin - 8));
        }
        return numbers;
    }

    CLoopbackPbx m_server;
    CMemoryProfile m_profile;
    CPosixHttpTransport m_http;
    CRecordingEventLog m_eventLog;
    CRecordingMessageBox m_messageBox;
    CNoLoginFlag m_loginFlag;
    CFirstInstance m_instance;
    CAsciiCodePage m_codePage;
    CSystemClock m_clock;
    CTestMainWnd m_mainWnd;
    CKIVODialerApp m_app;
};
