// The tray controller over real platform objects: the POSIX HTTP transport to a loopback exchange, the Qt
// message box answered in advance, the instance objects in a temporary directory, code page 932 through
// iconv, the system clock, and a profile in memory.
#pragma once

#include "app/KIVODialerApp.h"
#include "app/MemoryProfile.h"
#include "platform/IClock.h"
#include "platform/posix/IconvCodePage932.h"
#include "platform/posix/PosixHttpTransport.h"
#include "platform/posix/PosixInstanceObjects.h"
#include "platform/qt/QtMessageBox.h"
#include "platform/qt/TrayIcon.h"
#include "resources/ResourceIds.h"
#include "tests/support/LoopbackPbx.h"
#include "tests/support/RecordingEventLog.h"
#include "tray/KIVODialerWnd.h"
#include "tray/QtTrayShell.h"
#include "ui/WindowOpeners.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

// The Qt desktop of the controller below, made before it and gone after it.
struct CQtTrayShellHolder {
    explicit CQtTrayShellHolder(CKIVODialerApp& app) : m_qtShell(app) {}
    CQtTrayShell m_qtShell;
};

// The tray controller on the Qt desktop. Records the commands whose windows belong to ui/, and runs the
// settings dialog as the test says.
class CTestWnd : private CQtTrayShellHolder, public CKIVODialerWnd {
public:
    explicit CTestWnd(CKIVODialerApp& app) : CQtTrayShellHolder(app), CKIVODialerWnd(app, m_qtShell) {}

    CQtTrayShell& QtShell() { return m_qtShell; }
    const CQtTrayShell& QtShell() const { return m_qtShell; }
    CTrayIcon* TrayIcon() const { return m_qtShell.TrayIcon(); }
    QMenu* LeftClickMenu() const { return m_qtShell.LeftClickMenu(); }
    QMenu* RightClickMenu() const { return m_qtShell.RightClickMenu(); }

    void OnDial() override {
        m_commands.push_back(ID_DIAL);
        CKIVODialerWnd::OnDial();
    }
    void OnCallHistory() override {
        m_commands.push_back(ID_CALL_HISTORY);
        CKIVODialerWnd::OnCallHistory();
    }
    // The about box runs modally; its own tests drive it.
    void OnAbout() override { m_commands.push_back(ID_APP_ABOUT); }
    void OnSettings() override {
        m_commands.push_back(ID_SETTINGS);
        CKIVODialerWnd::OnSettings();
    }
    bool RunConfigDialog() override { return m_runConfig ? m_runConfig() : false; }

    // The real dialogs, for the tests of the windows the commands open.
    bool RunRealConfigDialog() { return CKIVODialerWnd::RunConfigDialog(); }
    void RunRealAbout() { CKIVODialerWnd::OnAbout(); }

    std::vector<int> m_commands;
    std::function<bool()> m_runConfig;
};

class TrayFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_pInstance = std::make_unique<CPosixInstanceObjects>("KIVODialer", m_dir.path().toStdString());
        m_profile.WriteProfileString(kSectionSettings, u"User", u"2001");
        m_profile.WriteProfileString(kSectionSettings, u"Pass", u"pw");
        m_profile.WriteProfileString(kSectionSettings, u"PBX", m_pbx.Host());
        m_profile.WriteProfileString(u"Config-UDP", u"Host", u"127.0.0.1");
        m_profile.WriteProfileInt(u"Config-UDP", u"Port-Recv", FreeUdpPort());
    }

    void TearDown() override {
        if (m_pApp)
            DestroyCallingWindows(*m_pApp);
        m_pWnd.reset();
        QCoreApplication::processEvents();
    }

    // Starts the program's first instance and creates the tray controller.
    void Create() {
        m_pApp = std::make_unique<CKIVODialerApp>(
            CPlatform{m_profile, m_http, m_log, m_box, *m_pInstance, *m_pInstance, m_codePage, m_clock});
        ASSERT_TRUE(m_pApp->InitInstance(u""));
        m_pWnd = std::make_unique<CTestWnd>(*m_pApp);
        ASSERT_TRUE(m_pWnd->CreateMainWindow());
        m_pApp->m_pMainWnd = m_pWnd.get();
    }

    // The registration timer's expiry.
    void ExpireRegister() { m_pWnd->OnTimer(kTimerRegister); }

    uint32_t LoginFlag() {
        uint32_t value = 99;
        EXPECT_TRUE(m_pInstance->Read(value));
        return value;
    }

    static void DeliverPosted() { QCoreApplication::processEvents(); }

    static int FreeUdpPort() {
        const int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_ANY);
        bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        close(fd);
        return ntohs(addr.sin_port);
    }

    QTemporaryDir m_dir;
    CLoopbackPbx m_pbx;
    CMemoryProfile m_profile;
    CPosixHttpTransport m_http;
    CRecordingEventLog m_log;
    CQtMessageBox m_box;
    std::unique_ptr<CPosixInstanceObjects> m_pInstance;
    CIconvCodePage932 m_codePage;
    CSystemClock m_clock;
    std::unique_ptr<CKIVODialerApp> m_pApp;
    std::unique_ptr<CTestWnd> m_pWnd;
};
