// The profile file as any editor or program may have left it: the input is the whole INI file that
// QSettings reads. Every loader reads it through the real profile; what the program writes back at its
// stop must read back the same at the next start.
#include "FuzzInput.h"
#include "FuzzPlatform.h"

#include "app/IClock.h"
#include "notify/MsgQueue.h"
#include "notify/TermUdp.h"
#include "platform/QtProfile.h"
#include "tray/CallHistoryStore.h"

#include <QApplication>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

class CFixedClock : public IClock {
public:
    std::time_t Now() override { return 1706659507; }
};

// The program's surroundings: its own XDG_CONFIG_HOME (a private directory, removed at exit) and, as in
// the program, an application object before the profile is read. Qt's deserializer makes pixmaps and
// other GUI types of "@Variant(...)" values, and those need one.
class CProgramEnvironment {
public:
    CProgramEnvironment() {
        // Memory, where there is a tmpfs: QSettings syncs every save to the disk.
        std::error_code ec;
        const fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string strTemplate = (base / "kivo-fuzz-profile-XXXXXX").string();
        if (!mkdtemp(strTemplate.data()))
            FuzzCheckFailed("mkdtemp", __FILE__, __LINE__);
        m_dir = strTemplate;
        setenv("XDG_CONFIG_HOME", strTemplate.c_str(), 1);
        fs::create_directories(m_dir / "Selvane-Works");

        // Qt's warnings about values it cannot read would drown the fuzzer's own output; a fatal one
        // is still told.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& strMessage) {
            if (type == QtFatalMsg)
                std::fprintf(stderr, "Qt fatal: %s\n", strMessage.toLocal8Bit().constData());
        });
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        m_pApp = std::make_unique<QApplication>(m_argc, m_argv);
    }
    ~CProgramEnvironment() {
        m_pApp.reset();
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    fs::path m_dir;

private:
    int m_argc = 1;
    char m_szName[16] = "kivo-fuzz";
    char* m_argv[2] = {m_szName, nullptr};
    std::unique_ptr<QApplication> m_pApp;
};

const fs::path& ConfigHome() {
    static const CProgramEnvironment s_env;
    return s_env.m_dir;
}

bool SameRecords(const std::list<CdrRecord>& a, const std::list<CdrRecord>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const CdrRecord& x, const CdrRecord& y) {
        return x.strNumber == y.strNumber && x.strName == y.strName && x.strTime == y.strTime &&
               x.nMode == y.nMode;
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    // A file of its own for every input: QSettings caches what it has read by file name.
    static unsigned s_nInput = 0;
    const std::string strName = "KIVODialer" + std::to_string(++s_nInput);
    const fs::path file = ConfigHome() / "Selvane-Works" / (strName + ".conf");
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(pData), std::streamsize(nSize));

    CFixedClock clock;
    CMsgQueue queue;
    std::list<CdrRecord> loaded;
    std::u16string strHost;
    uint16_t nPortRecv = 0, nPortSend = 0;
    {
        CQtProfile profile(QString::fromStdString(strName));
        CFuzzPlatform platform;
        CKIVODialerApp app(platform.Platform(profile));
        app.LoadSettings();
        FUZZ_CHECK(app.m_nDblClk >= 0 && app.m_nDblClk <= 4);

        CCallHistoryStore store(profile, clock);
        store.LoadHistory();
        loaded = store.GetCdrList();
        FUZZ_CHECK(loaded.size() <= kCdrMax);
        for (const CdrRecord& rec : loaded)
            FUZZ_CHECK(!rec.strNumber.empty());

        CTermUdp term(&queue, app.m_nPortNum, profile);
        term.LoadSettings();
        strHost = term.m_strHost;
        nPortRecv = term.m_nPortRecv;
        nPortSend = term.m_nPortSend;

        // The stop of the program: the channel's settings and the history written back.
        term.SaveSettings();
        store.SaveHistory();
    }
    {
        CQtProfile profile(QString::fromStdString(strName));
        CCallHistoryStore store(profile, clock);
        store.LoadHistory();
        FUZZ_CHECK(SameRecords(loaded, store.GetCdrList()));
        CTermUdp term(&queue, 1, profile);
        term.LoadSettings();
        FUZZ_CHECK(term.m_strHost == strHost && term.m_nPortRecv == nPortRecv &&
                   term.m_nPortSend == nPortSend);
    }
    std::error_code ec;
    fs::remove(file, ec);
    return 0;
}
