// A worker-thread terminal: a thread created suspended, resumed by Open, stopped by a flag it polls.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class CMsgQueue;

class CTerm {
public:
    explicit CTerm(CMsgQueue* pQueue);
    virtual ~CTerm();

    CTerm(const CTerm&) = delete;
    CTerm& operator=(const CTerm&) = delete;

    virtual bool IsStopRequested() const { return m_bStop.load(); }
    virtual void RequestStop() { m_bStop.store(true); }
    // Creates the worker thread, held at its start gate until Open resumes it.
    virtual bool CreateWorker();
    virtual bool Initialize() { return true; }
    // Resumes a thread that never ran (so it can reach its end), then requests the stop.
    virtual void Close();
    virtual void LoadSettings() {}
    virtual void SaveSettings() {}
    // Resumes the worker thread.
    virtual bool Open();
    // Waits without a time limit for the worker thread to end.
    void Join();

protected:
    // The worker thread's body; the base ends at once.
    virtual void Run() {}
    void PostData(const void* pData, int32_t nLen);

    CMsgQueue* m_pQueue;
    bool m_bRunning = false;
    std::atomic<bool> m_bStop{false};

private:
    void ThreadMain();

    std::thread m_thread;
    std::mutex m_gateMutex;
    std::condition_variable m_gate;
    bool m_bResumed = false;
};
