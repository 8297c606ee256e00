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
    // Stops and joins a worker that is still there: a std::thread must never be destroyed joinable.
    virtual ~CTerm();

    CTerm(const CTerm&) = delete;
    CTerm& operator=(const CTerm&) = delete;

    virtual bool IsStopRequested() const { return m_bStop.load(); }
    virtual void RequestStop() { m_bStop.store(true); }
    // Creates the worker thread, held at its start gate until Open resumes it. False if it could
    // not be created or already exists.
    virtual bool CreateWorker();
    virtual bool Initialize() { return true; }
    // Requests the stop, then resumes a thread that never ran so it can reach its end.
    virtual void Close();
    virtual void LoadSettings() {}
    virtual void SaveSettings() {}
    // Resumes the worker thread; false when there is no thread to resume.
    virtual bool Open();
    // Waits without a time limit for the worker thread to end (call Close first).
    void Join();

protected:
    // The worker thread's body; the base ends at once.
    virtual void Run() {}
    void PostData(const void* pData, int32_t nLen);
    // Requests the stop, opens the start gate and joins. A derived class whose Run uses its own
    // members calls it in its destructor: the worker must not run on a half-destroyed object.
    void StopWorker();

    CMsgQueue* m_pQueue;
    bool m_bRunning = false; // interface thread only
    std::atomic<bool> m_bStop{false};

private:
    void ThreadMain();
    void Resume();

    std::thread m_thread;
    std::mutex m_gateMutex;
    std::condition_variable m_gate;
    bool m_bResumed = false;
};
