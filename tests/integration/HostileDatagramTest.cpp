// Datagrams nobody should send: random bytes, oversized ones, invalid UTF-8, thousands of tabs, fields
// far longer than the balloon, a caller's name that looks like profile lines, and a flood of them from
// several senders at once. The channel drops what it must, the balloon stays within its size, the
// history takes the text as text, memory stays bounded and the program keeps answering.
#include "app/TextUtil.h"
#include "tests/integration/SimProcess.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/TrayFixture.h"

#include <QEventLoop>
#include <QMenu>
#include <QTimer>

#include <functional>
#include <random>

using namespace std::chrono_literals;

namespace {

std::string RandomBytes(std::mt19937& random, size_t nSize) {
    std::string bytes(nSize, '\0');
    for (char& ch : bytes)
        ch = static_cast<char>(random());
    return bytes;
}

std::string Repeat(std::string_view text, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i)
        out += text;
    return out;
}

// A caller's name that, written to an INI file unescaped, would add a section and change the exchange.
const std::string kProfileLines = "x\n[Settings]\nPBX=127.0.0.1:1\nUser=evil\n[CDR]\nCallNum1=1";

std::string Padded(std::string text, size_t nSize) {
    text.resize(nSize, 'x'); // after the last tab: no field
    return text;
}

// One hostile datagram and what the program makes of it.
struct CHostile {
    const char* pszName;
    std::string bytes;
    bool bQueued; // the channel hands it on (below 2048 bytes)
    // Whether a received record is added, and a check of its name.
    std::function<bool(const std::u16string&)> nameOk;
};

std::function<bool(const std::u16string&)> NameIs(const std::u16string& strName) {
    return [strName](const std::u16string& s) { return s == strName; };
}

std::vector<CHostile> HostileDatagrams() {
    std::mt19937 random(1);
    const std::string strInvalid = "\xff\xfe\xc0\x80\xed\xa0\x80\xe7\x9d";
    return {
        {"random bytes", RandomBytes(random, 1500), true, nullptr},
        {"2048 bytes", Padded(CProgramProcess::CallText("0300000001"), 2048), false, nullptr},
        {"8193 bytes", Padded(CProgramProcess::CallText("0300000002"), 8193), false, nullptr},
        {"the largest datagram", std::string(65507, '\t'), false, nullptr},
        {"invalid UTF-8", "request\t2001\t\t0300000003\t" + strInvalid + "\t\t\t" + strInvalid + "\t", true,
         [](const std::u16string& s) {
             return !s.empty() && s.find_first_not_of(u'\ufffd') == std::u16string::npos;
         }},
        {"two thousand tabs", "request\t2001\t" + std::string(2000, '\t'), true, nullptr},
        {"fields longer than the balloon",
         "request\t2001\t\t0300000004\t" + Repeat("名", 300) + "\t" + Repeat("補", 100) + "\t\t" +
             Repeat("着", 150) + "\t",
         true, NameIs(Utf8ToU16(Repeat("名", 300) + "[" + Repeat("補", 100) + "]"))},
        {"a name of profile lines", CProgramProcess::CallText("0300000005", kProfileLines), true,
         NameIs(Utf8ToU16(kProfileLines))},
        // The text ends at the NUL: the name is the last text and no tab follows it, so it is no field.
        {"a NUL inside", "request\t2001\t\t0300000006\tVa" + std::string(1, '\0') + "zi\t\t\t着信\t\t\t\t",
         true, NameIs(u"")},
    };
}

void RunEventLoop(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

using HostileDatagramControllerTest = TrayFixture;

} // namespace

// Each one over real UDP to the real terminal, through the queue, to the tray controller's handling.
TEST_F(HostileDatagramControllerTest, EachIsDroppedOrHandledWithinTheBalloonsSize) {
    Create();
    CUdpSender sender(m_profile.GetProfileInt(u"Config-UDP", u"Port-Recv", 0));
    for (const CHostile& hostile : HostileDatagrams()) {
        SCOPED_TRACE(hostile.pszName);
        const size_t nRecords = m_pWnd->GetCdrList().size();
        m_pWnd->m_balloonShown = {};
        ASSERT_TRUE(sender.Send(hostile.bytes));
        EXPECT_EQ(CProgramProcess::WaitUntil([&] { return m_pWnd->m_queue.GetCount() == 1; }, 300ms),
                  hostile.bQueued);
        m_pWnd->OnTimer(kTimerDrain);
        EXPECT_EQ(m_pWnd->m_queue.GetCount(), 0u);
        EXPECT_LE(m_pWnd->m_balloonShown.strText.size(), 255u);
        EXPECT_LE(m_pWnd->m_balloonShown.strTitle.size(), 63u);
        ASSERT_EQ(m_pWnd->GetCdrList().size(), nRecords + (hostile.nameOk ? 1 : 0));
        if (hostile.nameOk) {
            EXPECT_TRUE(hostile.nameOk(m_pWnd->GetCdrList().back().strName))
                << U16ToUtf8(m_pWnd->GetCdrList().back().strName);
            EXPECT_FALSE(m_pWnd->m_balloonShown.strText.empty());
        }
    }
    // The profile lines stayed a name: the settings are those of before.
    EXPECT_EQ(m_profile.GetProfileString(kSectionSettings, u"PBX", u""), m_pbx.Host());
    EXPECT_EQ(m_profile.GetProfileString(kSectionCdr, u"CallNum1", u""), u"0300000003");

    m_pWnd->OnTrayNotify(kTrayIconId, WM_LBUTTONUP);
    RunEventLoop(350ms);
    EXPECT_TRUE(m_pWnd->LeftClickMenu()->isVisible()) << "the menu still opens";
    m_pWnd->LeftClickMenu()->hide();
}

// The real program under a flood from four senders at once, twenty thousand datagrams of every kind
// above: it keeps running with its memory bounded by the queue's limit, handles the calls one a second,
// writes the hostile name into the profile as a name, and ends at once and cleanly when asked.
TEST(HostileDatagramProgramTest, AFloodFromSeveralSendersKeepsMemoryBoundedAndTheProgramAnswering) {
    CSimProcess sim({"--account", "2001:pw"});
    ASSERT_TRUE(sim.IsRunning());
    const int nUdpPort = CProgramProcess::FreeUdpPort();
    CProgramProcess program;
    program.WriteProfile(CProgramProcess::Profile(sim.HostPort(), nUdpPort));
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(CProgramProcess::WaitUntil(
        [&] { return sim.Get("/_sim/registrations").m_strBody.find("2001\t") != std::string::npos; }, 6s))
        << program.Log();
    ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return program.LoginFlag() == 1; }, 2s));

    // The name of profile lines first, so that it is among the calls handled during the flood.
    CUdpSender(nUdpPort).Send(CProgramProcess::CallText("0300000005", kProfileLines));
    std::this_thread::sleep_for(1200ms);
    {
        ASSERT_EQ(program.StoredNumbers(), std::vector<std::string>{"0300000005"});
        QSettings profile(QString::fromStdString(program.ProfilePath()), QSettings::IniFormat);
        EXPECT_EQ(profile.value("CDR/CallName1").toString().toStdString(), kProfileLines);
    }
    const long nKbBefore = program.ResidentKb();

    const std::vector<CHostile> hostiles = HostileDatagrams();
    std::vector<std::thread> senders;
    for (unsigned nSender = 0; nSender < 4; ++nSender) {
        senders.emplace_back([&, nSender] {
            CUdpSender sender(nUdpPort);
            std::mt19937 random(nSender);
            for (int i = 0; i < 5000; ++i) {
                if (i % 2 == 0)
                    sender.Send(hostiles[random() % hostiles.size()].bytes);
                else
                    sender.Send(RandomBytes(random, 1 + random() % 2047));
                if (i % 50 == 0)
                    std::this_thread::sleep_for(1ms);
            }
        });
    }
    for (std::thread& sender : senders)
        sender.join();
    std::this_thread::sleep_for(1500ms);
    const long nKbAfter = program.ResidentKb();
    ::testing::Test::RecordProperty("ResidentKbBefore", static_cast<int>(nKbBefore));
    ::testing::Test::RecordProperty("ResidentKbAfter", static_cast<int>(nKbAfter));
    ASSERT_TRUE(program.IsRunning()) << program.Log();
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine; its leak check at the end covers the records.
    (void)nKbBefore;
    (void)nKbAfter;
#else
    // 451 queued texts of at most 4 KB each, and what the allocator keeps of the refused ones.
    EXPECT_LT(nKbAfter - nKbBefore, 16 * 1024) << nKbBefore << " KB before, " << nKbAfter << " KB after";
#endif

    const auto start = std::chrono::steady_clock::now();
    program.Signal(SIGTERM);
    ASSERT_TRUE(program.WaitForExit(3000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    EXPECT_TRUE(program.EndedCleanly()) << program.Log();

    QSettings profile(QString::fromStdString(program.ProfilePath()), QSettings::IniFormat);
    EXPECT_EQ(profile.status(), QSettings::NoError);
    EXPECT_EQ(profile.value("Settings/PBX").toString().toStdString(), sim.HostPort());
    EXPECT_EQ(profile.value("Settings/User").toString(), "2001");
    const std::vector<std::string> numbers = program.StoredNumbers();
    // Calls handled during the flood, and at the end the calls it left in the queue (the newest 20 stay).
    ASSERT_GE(numbers.size(), 2u) << "calls were handled during the flood";
    for (size_t i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(profile.value(QStringLiteral("CDR/Mode%1").arg(i + 1)).toString(), "1") << i + 1;
}
