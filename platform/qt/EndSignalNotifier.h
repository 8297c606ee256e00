// The end signals (SIGTERM, SIGHUP, SIGINT) turned into a Qt signal on the event loop's thread, through
// a self-pipe: the handler only writes one byte, and the program ends the way its exit command does.
#pragma once

#include <QObject>

#include <initializer_list>
#include <vector>

class QSocketNotifier;

class CEndSignalNotifier : public QObject {
    Q_OBJECT
public:
    // Installs the handlers for the given signals; one notifier at a time. The destructor puts the
    // default handlers back.
    explicit CEndSignalNotifier(std::initializer_list<int> endSignals);
    ~CEndSignalNotifier() override;

    CEndSignalNotifier(const CEndSignalNotifier&) = delete;
    CEndSignalNotifier& operator=(const CEndSignalNotifier&) = delete;

    // False when the pipe or a handler could not be set up.
    bool IsInstalled() const { return m_bInstalled; }
    // The pipe's read end: readable from the moment an end signal arrives until the event loop has
    // taken it, so that work blocking the loop can notice the end (-1 when there is no pipe).
    int PendingEndFd() const;

signals:
    void EndRequested(int nSignal);

private:
    void OnReadable();

    std::vector<int> m_signals;
    QSocketNotifier* m_pNotifier = nullptr;
    bool m_bInstalled = false;
};
