// The notification channel's UDP socket: IPv4, bound on every interface, waited on with a time-out
// beside a wake-up that another thread signals, so that a stop request is seen at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class IUdpSocket {
public:
    enum class EWait { TimedOut, Readable, Woken };
    enum class EReceive { Datagram, Truncated, Nothing };

    virtual ~IUdpSocket() = default;

    // Creates the wake-up; false if the system gives none. Called before the first Wait.
    virtual bool CreateWake() = 0;
    // Signals the wake-up, from any thread; it stays signalled.
    virtual void Wake() = 0;
    // Creates the socket and binds it to every local IPv4 address at nPort.
    virtual bool Bind(uint16_t nPort) = 0;
    virtual bool IsOpen() const = 0;
    // Waits at most nTimeoutMs for a datagram or the wake-up. A pending socket error counts as
    // readable: the receive that follows clears it.
    virtual EWait Wait(int nTimeoutMs) = 0;
    // Takes one datagram without blocking. Truncated: it did not fit into nSize bytes and is lost.
    virtual EReceive Receive(char* pBuf, size_t nSize, size_t& nLen) = 0;
    // Closes the socket (the wake-up stays); false if the system reported an error.
    virtual bool Close() = 0;
    // The bound address (network byte order) and port; false when not open.
    virtual bool LocalAddress(uint32_t& addr, uint16_t& nPort) const = 0;
};

// The platform's socket.
std::unique_ptr<IUdpSocket> CreateUdpSocket();
