#include "platform/qt/EndSignalNotifier.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int g_fdPipe[2] = {-1, -1};

void OnSignal(int nSignal) {
    const int nSavedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(nSignal);
    // write() is async-signal-safe; a full pipe already holds a pending request.
    [[maybe_unused]] const ssize_t n = write(g_fdPipe[1], &byte, 1);
    errno = nSavedErrno;
}
} // namespace

CEndSignalNotifier::CEndSignalNotifier(std::initializer_list<int> endSignals) {
    if (g_fdPipe[0] < 0 && pipe2(g_fdPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_pNotifier = new QSocketNotifier(g_fdPipe[0], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &CEndSignalNotifier::OnReadable);

    m_bInstalled = true;
    for (int nSignal : endSignals) {
        struct sigaction sa = {};
        sa.sa_handler = OnSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        if (sigaction(nSignal, &sa, nullptr) != 0)
            m_bInstalled = false;
        m_signals.push_back(nSignal);
    }
}

CEndSignalNotifier::~CEndSignalNotifier() {
    for (int nSignal : m_signals)
        signal(nSignal, SIG_DFL);
}

int CEndSignalNotifier::PendingEndFd() const {
    return g_fdPipe[0];
}

void CEndSignalNotifier::OnReadable() {
    unsigned char byte = 0;
    while (read(g_fdPipe[0], &byte, 1) == 1)
        emit EndRequested(byte);
}
