#include "notify/TermUdp.h"

#include "app/MemoryProfile.h"
#include "notify/MsgQueue.h"
#include "tests/channel/ChannelTestUtil.h"

#include <gtest/gtest.h>

#include <netdb.h>

#include <chrono>
#include <climits>
#include <memory>
#include <string>
#include <vector>

using namespace channeltest;
using namespace std::chrono_literals;

namespace {

class TermUdpTest : public ::testing::Test {
protected:
    ~TermUdpTest() override { Stop(); }

    // The start sequence of the tray controller, without its settings round trip.
    bool Open(int nBasePort) {
        m_pTerm = std::make_unique<CTermUdp>(&m_queue, nBasePort, m_profile);
        m_pTerm->LoadSettings();
        return m_pTerm->CreateWorker() && m_pTerm->Initialize() && m_pTerm->Open();
    }

    // Another process may take the free port before the terminal binds it: try a few.
    void OpenOnFreePort() {
        for (int i = 0; i < 5; ++i) {
            m_nPort = FreeUdpPort();
            if (Open(m_nPort))
                return;
            Stop();
        }
        FAIL() << "no free UDP port could be bound";
    }

    void Stop() {
        if (!m_pTerm)
            return;
        m_pTerm->Close();
        m_pTerm->Join();
        m_pTerm.reset();
    }

    CMsgQueue m_queue;
    CMemoryProfile m_profile;
    std::unique_ptr<CTermUdp> m_pTerm;
    uint16_t m_nPort = 0;
};

std::string Repeat(const std::string& unit, size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += unit;
    return s;
}

} // namespace

TEST_F(TermUdpTest, DatagramsArriveAsTheirTextOldestFirst) {
    OpenOnFreePort();
    struct Case {
        std::string bytes;
        bool bKept;
        std::u16string text;
    } cases[] = {
        {"request\t0312345678\tabc\t", true, u"request\t0312345678\tabc\t"},
        {"request\t201\t\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4\xAA\xE9\x83\x8E\t", true,
         u"request\t201\t山田太郎\t"},
        {"bad \xFF\xC3(\xE7\x9D", true, u"bad \uFFFD\uFFFD(\uFFFD"},
        {std::string("request\t201\0hidden", 18), true, u"request\t201"},
        {std::string(2047, 'x'), true, std::u16string(2047, u'x')},
        // The limit counts bytes, not characters: 682 three-byte characters and one more byte.
        {Repeat("\xE5\xB1\xB1", 682) + "!", true, std::u16string(682, u'山') + u"!"},
        {std::string(2048, 'y'), false, u""},
        {"", false, u""},
        {std::string(8192, 'z'), false, u""},
        {std::string(8193, 'z'), false, u""},
        {std::string(65507, 'z'), false, u""},
    };
    CLoopbackSender sender(m_nPort);
    std::vector<std::u16string> expected;
    for (const Case& c : cases) {
        ASSERT_TRUE(sender.Send(c.bytes)) << c.bytes.size();
        if (c.bKept)
            expected.push_back(c.text);
    }
    // Loopback keeps the order, so everything sent before the last text has been handled when it arrives.
    ASSERT_TRUE(sender.Send("last"));
    expected.push_back(u"last");

    EXPECT_EQ(TakeUntil(m_queue, u"last"), expected);
    EXPECT_EQ(m_queue.GetCount(), 0u);
}

TEST_F(TermUdpTest, StopWithoutTrafficEndsTheWorkerAndClosesTheSocket) {
    OpenOnFreePort();
    const int nThreads = CountThreads();
    std::this_thread::sleep_for(50ms); // the worker is waiting in poll by now

    const auto t0 = std::chrono::steady_clock::now();
    m_pTerm->Close();
    m_pTerm->Join();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 300ms);
    EXPECT_EQ(SettledThreadCount(nThreads - 1), nThreads - 1);
    EXPECT_FALSE(m_pTerm->m_pSocket->IsOpen());

    // The port is free again: the socket is really closed.
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(m_nPort);
    EXPECT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(s);
}

TEST_F(TermUdpTest, HostDecidesWhetherTheStartSucceeds) {
    // "localhost" stands for this computer's own name, looked up as such.
    char szOwn[256] = {};
    ::gethostname(szOwn, sizeof szOwn - 1);
    in_addr_t ownAddr = htonl(INADDR_LOOPBACK); // a name that does not resolve is taken as loopback
    if (const hostent* pHost = ::gethostbyname(szOwn); pHost && pHost->h_addrtype == AF_INET)
        ownAddr = *reinterpret_cast<const in_addr_t*>(pHost->h_addr_list[0]);

    struct Case {
        std::u16string host;
        bool bOpens;
        in_addr_t addr;
    } cases[] = {
        {u"localhost", true, ownAddr},
        {u"", true, ownAddr},
        {u"LOCALHOST", true, inet_addr("127.0.0.1")}, // looked up as written
        {u"192.0.2.5", true, inet_addr("192.0.2.5")}, // parsed only; nothing is ever sent to it
        {u"kivo-pbx.invalid", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.host.begin(), c.host.end()));
        m_profile.WriteProfileString(u"Config-UDP", u"Host", c.host);
        const int nFds = CountFds();
        const int nThreads = CountThreads();
        bool bOpened = Open(FreeUdpPort());
        for (int i = 0; i < 4 && c.bOpens && !bOpened; ++i) {
            Stop(); // the port was taken meanwhile: try another
            bOpened = Open(FreeUdpPort());
        }
        EXPECT_EQ(bOpened, c.bOpens);
        if (c.bOpens)
            EXPECT_EQ(m_pTerm->m_addrDest, c.addr);
        else
            EXPECT_FALSE(m_pTerm->m_pSocket->IsOpen());
        Stop();
        EXPECT_EQ(CountFds(), nFds);
        EXPECT_EQ(SettledThreadCount(nThreads), nThreads);
    }
}

namespace {

// Records the order of the profile calls.
class CRecordingProfile : public CMemoryProfile {
public:
    int GetProfileInt(std::u16string_view section, std::u16string_view entry, int nDefault) override {
        m_calls.push_back(u"get " + std::u16string(entry));
        return CMemoryProfile::GetProfileInt(section, entry, nDefault);
    }
    std::u16string GetProfileString(std::u16string_view section, std::u16string_view entry,
                                    std::u16string_view strDefault) override {
        m_calls.push_back(u"get " + std::u16string(entry));
        return CMemoryProfile::GetProfileString(section, entry, strDefault);
    }
    bool WriteProfileInt(std::u16string_view section, std::u16string_view entry, int nValue) override {
        m_calls.push_back(u"write " + std::u16string(entry));
        return CMemoryProfile::WriteProfileInt(section, entry, nValue);
    }
    bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                            std::u16string_view value) override {
        m_calls.push_back(u"write " + std::u16string(entry));
        return CMemoryProfile::WriteProfileString(section, entry, value);
    }
    void Flush() override {
        m_calls.push_back(u"flush");
        CMemoryProfile::Flush();
    }
    std::vector<std::u16string> m_calls;
};

} // namespace

TEST(TermUdpSettings, PortsAreCutTo16BitsAndWrittenBackInOrder) {
    struct Case {
        int nStoredSend, nStoredRecv;
        uint16_t nSend, nRecv;
    } cases[] = {
        {10641, 10640, 10641, 10640},
        {70001, 70000, 4465, 4464},
        {65537, 65536, 1, 0},
        {-1, -2, 65535, 65534},
    };
    for (const Case& c : cases) {
        CRecordingProfile profile;
        profile.WriteProfileString(u"Config-UDP", u"Host", u"pbx.example.invalid");
        profile.WriteProfileInt(u"Config-UDP", u"Port-Send", c.nStoredSend);
        profile.WriteProfileInt(u"Config-UDP", u"Port-Recv", c.nStoredRecv);
        profile.m_calls.clear();

        CTermUdp term(nullptr, 10640, profile);
        term.LoadSettings();
        EXPECT_EQ(term.m_strHost, u"pbx.example.invalid");
        EXPECT_EQ(term.m_nPortSend, c.nSend);
        EXPECT_EQ(term.m_nPortRecv, c.nRecv);
        term.SaveSettings();
        EXPECT_EQ(profile.m_calls,
                  (std::vector<std::u16string>{u"get Host", u"get Port-Send", u"get Port-Recv", u"write Host",
                                               u"write Port-Send", u"write Port-Recv", u"flush"}));
        EXPECT_EQ(profile.GetProfileInt(u"Config-UDP", u"Port-Send", -1), c.nSend);
        EXPECT_EQ(profile.GetProfileInt(u"Config-UDP", u"Port-Recv", -1), c.nRecv);
    }
}

TEST(TermUdpSettings, DefaultsFollowTheBasePort) {
    struct Case {
        int nBasePort;
        uint16_t nSend, nRecv;
    } cases[] = {{10640, 10641, 10640}, {65535, 0, 65535}, {INT_MAX, 0, 65535}};
    for (const Case& c : cases) {
        CMemoryProfile profile;
        CTermUdp term(nullptr, c.nBasePort, profile);
        term.LoadSettings();
        EXPECT_EQ(term.m_strHost, u"localhost");
        EXPECT_EQ(term.m_nPortSend, c.nSend) << c.nBasePort;
        EXPECT_EQ(term.m_nPortRecv, c.nRecv) << c.nBasePort;
    }
}
