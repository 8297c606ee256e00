// The profile file as any editor or program may have left it: the input is the whole INI file that
// QSettings reads. Every loader reads it through the real profile; what the program writes back at its
// stop must read back the same at the next start.
#include "FuzzInput.h"
#include "FuzzPlatform.h"

#include "notify/MsgQueue.h"
#include "notify/TermUdp.h"
#include "platform/IClock.h"
#include "platform/qt/QtProfile.h"
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

struct CRunResult {
    std::list<CdrRecord> cdr;
    std::u16string strHost;
    uint16_t nPortRecv = 0;
    uint16_t nPortSend = 0;
};

// One run of the program over the profile: what its start reads, and its stop's writes.
CRunResult RunProgram(const std::string& strName) {
    CQtProfile profile(QString::fromStdString(strName));
    CFuzzPlatform platform;
    CKIVODialerApp app(platform.Platform(profile));
    app.LoadSettings();
    FUZZ_CHECK(app.m_nDblClk >= 0 && app.m_nDblClk <= 4);

    CFixedClock clock;
    CCallHistoryStore store(profile, clock);
    store.LoadHistory();
    FUZZ_CHECK(store.GetCdrList().size() <= kCdrMax);
    for (const CdrRecord& rec : store.GetCdrList())
        FUZZ_CHECK(!rec.strNumber.empty());

    CMsgQueue queue;
    CTermUdp term(&queue, app.m_nPortNum, profile);
    term.LoadSettings();

    term.SaveSettings();
    store.SaveHistory();
    return {store.GetCdrList(), term.m_strHost, term.m_nPortRecv, term.m_nPortSend};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    // QSettings caches what it has read and written by file name: every run reads a file of a new name,
    // a copy of what the run before left, so that each one parses the text on the disk.
    static unsigned s_nFile = 0;
    const auto NextFile = [&](std::string& strName) {
        strName = "KIVODialer" + std::to_string(++s_nFile);
        return ConfigHome() / "Selvane-Works" / (strName + ".conf");
    };
    std::string strName;
    fs::path file = NextFile(strName);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(pData), std::streamsize(nSize));

    // QSettings rewrites the whole file at the first save, in its own form, and a damaged file may read
    // differently in that form (a section it could not make out before, say). From then on, what the
    // program saved at its stop is what it reads at its next start.
    CRunResult runs[3];
    for (CRunResult& run : runs) {
        run = RunProgram(strName);
        const fs::path previous = file;
        file = NextFile(strName);
        fs::copy_file(previous, file);
        fs::remove(previous);
    }
    FUZZ_CHECK(SameRecords(runs[1].cdr, runs[2].cdr));
    FUZZ_CHECK(runs[1].strHost == runs[2].strHost && runs[1].nPortRecv == runs[2].nPortRecv &&
               runs[1].nPortSend == runs[2].nPortSend);
    fs::remove(file);
    return 0;
}
