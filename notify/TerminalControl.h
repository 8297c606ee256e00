// Starting and stopping the notification channel, for the tray controller. The tray controller adds
// only its drain timer (id 6): started after a successful StartTerminal that made a new terminal,
// killed when StopTerminal is called with a terminal present.
#pragma once

#include "notify/TermUdp.h"

#include <memory>

class CMsgQueue;
class IProfile;

class CTerminalControl {
public:
    CTerminalControl() = default;
    // Destroying a running terminal stops and joins its worker; the settings are not saved then.
    ~CTerminalControl() = default;

    CTerminalControl(const CTerminalControl&) = delete;
    CTerminalControl& operator=(const CTerminalControl&) = delete;

    // True if a terminal runs afterwards. An existing terminal is kept as it is; otherwise a new one
    // is made on queue and nPortNum, its settings loaded from profile, its worker created, and its
    // socket opened. On failure everything made is released (StopTerminal) and false returned;
    // on success the stopping flag is cleared.
    bool StartTerminal(CMsgQueue& queue, int nPortNum, IProfile& profile);
    // If a terminal exists: sets the stopping flag, saves the settings, closes the terminal, waits
    // without a time limit for its worker, deletes it and (unless bClearQueue is false, for a caller
    // that takes what waits first) clears the queue. True if there was one.
    bool StopTerminal(bool bClearQueue = true);

    bool HasTerminal() const { return m_pTerm != nullptr; }
    CTermUdp* GetTerminal() const { return m_pTerm.get(); }
    // The drain timer's tick stops when this is set; the tray controller clears it at window creation.
    bool IsStopping() const { return m_bStopping; }
    void SetStopping(bool bStopping) { m_bStopping = bStopping; }

private:
    std::unique_ptr<CTermUdp> m_pTerm;
    CMsgQueue* m_pQueue = nullptr;
    bool m_bStopping = false;
};
