#include "platform/posix/PosixHttpTransport.h"

#include "pbxweb/HttpProxy.h"
#include "pbxweb/HttpReplyParser.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

CHttpReply Failed(CHttpReply::EFailPoint eFail) {
    CHttpReply reply;
    reply.eFail = eFail;
    reply.bException = true;
    return reply;
}

// Control characters and spaces cannot go into a request line or header: such a request is not made.
bool HasControlOrSpace(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char ch) {
        const auto by = static_cast<unsigned char>(ch);
        return by <= 0x20 || by == 0x7f;
    });
}

// The host as a URL carries it: an IPv6 address (a zone dropped) in brackets, a name as it is; nullopt
// for a text that is no host (empty, spaces, URL delimiters, a colon outside an IPv6 address).
std::optional<std::string> UrlHost(const std::string& host) {
    if (host.empty() || HasControlOrSpace(host))
        return std::nullopt;
    if (host.find(':') != std::string::npos) {
        const std::string address = host.substr(0, host.find('%'));
        in6_addr parsed;
        if (inet_pton(AF_INET6, address.c_str(), &parsed) != 1)
            return std::nullopt;
        return "[" + address + "]";
    }
    if (!IsUrlHostName(host))
        return std::nullopt;
    return host;
}

// The target as it goes out: as given (no dot segments resolved), the fragment dropped, "/" before a
// bare query; nullopt for one that cannot be sent or would not stay a path.
std::optional<std::string> RequestPath(const std::string& target) {
    if (HasControlOrSpace(target))
        return std::nullopt;
    std::string path = target.substr(0, target.find('#'));
    if (path.empty() || path.front() == '?')
        path.insert(0, "/");
    if (path.front() != '/')
        return std::nullopt;
    return path;
}

// The descriptor whose readability abandons the request in flight (-1: none), and the deadline.
struct CWaitLimit {
    Clock::time_point deadline;
    int fdAbandon = -1;
};

bool IsReadable(int fd) {
    pollfd pfd{fd, POLLIN, 0};
    return fd >= 0 && poll(&pfd, 1, 0) > 0;
}

// Waits until fd is ready for events; false on the deadline or once the abandon descriptor is readable.
bool WaitFor(int fd, short events, const CWaitLimit& limit) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(limit.deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd pfds[2] = {{fd, events, 0}, {limit.fdAbandon, POLLIN, 0}};
        const int n = poll(pfds, limit.fdAbandon >= 0 ? 2 : 1,
                           static_cast<int>(std::min<long long>(left.count(), 60000)));
        if (n > 0)
            return pfds[1].revents == 0 && pfds[0].revents != 0;
        if (n < 0 && errno != EINTR)
            return false;
    }
}

// The addresses of a name, as getaddrinfo gives them; freed with the object.
struct CAddresses {
    ~CAddresses() {
        if (pList)
            freeaddrinfo(pList);
    }
    addrinfo* pList = nullptr;
};

// Looks host up. An address needs no resolver; a name is looked up on a thread of its own, so that a
// resolver that does not answer is given up on at the deadline like a server that does not (the thread
// ends by itself later and frees what it got). Null when the name is unknown or the deadline came first.
std::shared_ptr<CAddresses> Resolve(const std::string& host, unsigned short nPort, const CWaitLimit& limit) {
    const std::string service = std::to_string(nPort);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST;
    auto pNumeric = std::make_shared<CAddresses>();
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &pNumeric->pList) == 0)
        return pNumeric;
    hints.ai_flags = 0;

    struct CLookup {
        std::mutex mutex;
        std::condition_variable done;
        bool bDone = false;
        std::shared_ptr<CAddresses> pAddresses;
    };
    auto pLookup = std::make_shared<CLookup>();
    const auto LookUp = [pLookup, host, service, hints] {
        auto pAddresses = std::make_shared<CAddresses>();
        if (getaddrinfo(host.c_str(), service.c_str(), &hints, &pAddresses->pList) != 0)
            pAddresses.reset();
        const std::lock_guard lock(pLookup->mutex);
        pLookup->pAddresses = std::move(pAddresses);
        pLookup->bDone = true;
        pLookup->done.notify_all();
    };
    try {
        std::thread(LookUp).detach();
    } catch (const std::system_error&) {
        LookUp(); // no thread to be had: look up here, unbounded
    }
    // Looked at in short steps, so that an abandoned request does not wait for the resolver either.
    std::unique_lock lock(pLookup->mutex);
    while (!pLookup->bDone) {
        if (Clock::now() >= limit.deadline || IsReadable(limit.fdAbandon))
            return nullptr;
        pLookup->done.wait_until(lock,
                                 std::min(limit.deadline, Clock::now() + std::chrono::milliseconds(50)));
    }
    return pLookup->pAddresses;
}

// A connected, non-blocking socket to any address of host, tried in turn: each but the last gets half
// the time left, so that one that never answers leaves time for the next. -1 when none was reached.
int Connect(const std::string& host, unsigned short nPort, const CWaitLimit& limit) {
    const Clock::time_point deadline = limit.deadline;
    const std::shared_ptr<CAddresses> pAddresses = Resolve(host, nPort, limit);
    if (!pAddresses)
        return -1;
    const addrinfo* pList = pAddresses->pList;
    int fd = -1;
    for (const addrinfo* p = pList; p && fd < 0; p = p->ai_next) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline || IsReadable(limit.fdAbandon))
            break;
        const Clock::time_point until = p->ai_next ? now + (deadline - now) / 2 : deadline;
        fd = socket(p->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, p->ai_protocol);
        if (fd < 0)
            continue;
        bool bConnected = connect(fd, p->ai_addr, p->ai_addrlen) == 0;
        // Interrupted, a non-blocking connect goes on by itself, as when it is in progress.
        if (!bConnected && (errno == EINPROGRESS || errno == EINTR) &&
            WaitFor(fd, POLLOUT, CWaitLimit{until, limit.fdAbandon})) {
            int nError = 0;
            socklen_t len = sizeof nError;
            bConnected = getsockopt(fd, SOL_SOCKET, SO_ERROR, &nError, &len) == 0 && nError == 0;
        }
        if (!bConnected) {
            close(fd);
            fd = -1;
        }
    }
    return fd;
}

// Sends all of text; returns how many bytes went out before a failure or the deadline.
size_t SendAll(int fd, std::string_view text, const CWaitLimit& limit) {
    size_t nSent = 0;
    while (nSent < text.size()) {
        const ssize_t n = send(fd, text.data() + nSent, text.size() - nSent, MSG_NOSIGNAL);
        if (n > 0) {
            nSent += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd, POLLOUT, limit))
                break;
        } else {
            break;
        }
    }
    return nSent;
}

// Reads into the parser until the reply is over, the connection fails or the deadline passes.
void Receive(int fd, CHttpReplyParser& parser, const CWaitLimit& limit) {
    char buffer[16 * 1024];
    while (!parser.IsOver()) {
        if (!WaitFor(fd, POLLIN, limit))
            return;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n > 0)
            parser.Feed(std::string_view(buffer, static_cast<size_t>(n)));
        else if (n == 0)
            parser.FeedEnd();
        else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
            return;
    }
}

class CSocket {
public:
    explicit CSocket(int fd) : m_fd(fd) {}
    ~CSocket() {
        if (m_fd >= 0)
            close(m_fd);
    }
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

CPosixHttpTransport::CPosixHttpTransport(std::chrono::milliseconds connectTimeout,
                                         std::chrono::milliseconds totalTimeout)
    : m_connectTimeout(connectTimeout), m_totalTimeout(totalTimeout) {}

CHttpReply CPosixHttpTransport::Get(const std::string& host, unsigned short nPort, const std::string& target,
                                    const std::string& userAgent) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + m_totalTimeout;
    const Clock::time_point connectDeadline = std::min(deadline, start + m_connectTimeout);

    const std::optional<std::string> urlHost = UrlHost(host);
    const std::optional<std::string> path = RequestPath(target);
    if (!urlHost || !path || nPort == 0 ||
        userAgent.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return Failed(CHttpReply::EFailPoint::OpenRequest);
    // The default port is left out, as the URL would leave it out.
    const std::string authority = *urlHost + (nPort == 80 ? "" : ":" + std::to_string(nPort));

    const CHttpProxyRoute route =
        ChooseHttpProxy(host, [](const char* pszName) { return std::getenv(pszName); });
    if (route.eKind == CHttpProxyRoute::EKind::Unusable)
        return Failed(CHttpReply::EFailPoint::Send);
    const bool bProxy = route.eKind == CHttpProxyRoute::EKind::Proxy;

    // No Accept header: WinINet sends none when no accept types are given.
    std::string request = "GET " + (bProxy ? "http://" + authority + *path : *path) + " HTTP/1.1\r\n";
    request += "Host: " + authority + "\r\n";
    if (bProxy && route.bCredentials)
        request += "Proxy-Authorization: " + BasicCredentials(route.strUser, route.strPassword) + "\r\n";
    if (!userAgent.empty())
        request += "User-Agent: " + userAgent + "\r\n";
    request += "\r\n";

    const CWaitLimit connectLimit{connectDeadline, m_fdAbandon};
    const CWaitLimit limit{deadline, m_fdAbandon};
    const CSocket socket(bProxy ? Connect(route.strHost, route.nPort, connectLimit)
                                : Connect(host, nPort, connectLimit));
    if (socket.Fd() < 0)
        return Failed(CHttpReply::EFailPoint::Send);
    const size_t nSent = SendAll(socket.Fd(), request, limit);
    if (nSent == 0)
        return Failed(CHttpReply::EFailPoint::Send);
    if (nSent < request.size())
        return Failed(CHttpReply::EFailPoint::QueryStatus);

    // Only the body of a status 200 is read: any other status ends the exchange at its status line,
    // so a long or slow error page costs nothing. A reply is a keyword and a few fields; a body that
    // goes on past kMaxReplyBytes is cut there as a broken-off read, so that an endless one cannot fill
    // the memory while the time-out runs.
    CHttpReplyParser parser(kMaxReplyBytes);
    Receive(socket.Fd(), parser, limit);
    switch (parser.State()) {
    case CHttpReplyParser::EState::Head:
    case CHttpReplyParser::EState::BadHead:
        return Failed(CHttpReply::EFailPoint::QueryStatus);
    case CHttpReplyParser::EState::Done:
    case CHttpReplyParser::EState::Body:
    case CHttpReplyParser::EState::BadBody:
        break;
    }
    CHttpReply reply;
    reply.nStatus = parser.Status();
    if (reply.nStatus == 200) {
        reply.body = parser.Body();
        reply.bReadFailed = parser.State() != CHttpReplyParser::EState::Done;
    }
    return reply;
}
