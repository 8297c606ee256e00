// The files that hold the password and the instance objects are the user's alone: the profile (0600 in a
// 0700 folder, even when it was found open to others and the program runs with umask 0) and the
// runtime files (0600 in a private folder; a runtime folder that others can write is not used).
#include "platform/posix/PosixInstanceObjects.h"
#include "tests/integration/SimProcess.h"
#include "tests/support/ProgramProcess.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <optional>
#include <sys/stat.h>

using namespace std::chrono_literals;

namespace {

// The permission bits, or 0xFFFF for a path that is missing or no regular file or folder (a link).
unsigned ModeOf(const std::string& strPath) {
    struct stat st {};
    if (lstat(strPath.c_str(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)))
        return 0xFFFF;
    return st.st_mode & 07777;
}

} // namespace

TEST(PrivateFilesTest, TheProfileAndTheRuntimeFilesAreClosedToOthers) {
    CSimProcess sim({"--account", "2001:secret"});
    ASSERT_TRUE(sim.IsRunning());
    const int nUdpPort = CProgramProcess::FreeUdpPort();
    CProgramProcess program;
    // As an editor or a copy from elsewhere may have left it.
    program.WriteProfile(CProgramProcess::Profile(sim.HostPort(), nUdpPort, "secret"));
    chmod(program.ProfileDir().c_str(), 0755);
    chmod(program.ProfilePath().c_str(), 0644);
    program.SetChildModifier([] { umask(0); });
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return program.LoginFlag() == 1; }, 5s)) << program.Log();
    EXPECT_EQ(ModeOf(program.ProfileDir()), 0700u);
    EXPECT_EQ(ModeOf(program.ProfilePath()), 0600u);

    // A save writes a new file and puts it in the old one's place: it must be as private.
    std::this_thread::sleep_for(200ms);
    CUdpSender(nUdpPort).Send(CProgramProcess::CallText("0312345678"));
    ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return program.StoredNumbers().size() == 1; }, 5s));
    for (const auto& entry : std::filesystem::directory_iterator(program.ProfileDir()))
        EXPECT_EQ(ModeOf(entry.path().string()) & 077, 0u) << entry.path();
    EXPECT_EQ(ModeOf(program.ProfilePath()), 0600u);

    for (const char* pszName : {"KIVODialer", "KIVODialerMemmap", "KIVODialerMutex"}) {
        const std::string strPath = program.RuntimeDir() + "/" + pszName;
        EXPECT_EQ(ModeOf(strPath), 0600u) << pszName;
    }

    program.Signal(SIGTERM);
    ASSERT_TRUE(program.WaitForExit(3000));
    EXPECT_TRUE(program.EndedCleanly()) << program.Log();
    EXPECT_EQ(ModeOf(program.ProfilePath()), 0600u) << "after the save at the end";
}

// A runtime folder that others may write to (a shared XDG_RUNTIME_DIR) is passed over for a folder of
// the user's own in /tmp, made closed to others; the files in it are the user's alone whatever the umask.
TEST(PrivateFilesTest, ARuntimeFolderOpenToOthersIsPassedOverForAPrivateOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string strOpen = dir.path().toStdString();
    chmod(strOpen.c_str(), 01777);
    const char* pszOld = std::getenv("XDG_RUNTIME_DIR");
    const std::optional<std::string> strOld = pszOld ? std::optional<std::string>(pszOld) : std::nullopt;
    setenv("XDG_RUNTIME_DIR", strOpen.c_str(), 1);
    const mode_t nOldMask = umask(0);
    {
        // A name of its own, so that a program running on this machine is not disturbed.
        CPosixInstanceObjects objects("KIVODialerPrivacyTest");
        const std::string strDir = objects.RuntimeDir();
        EXPECT_EQ(strDir, "/tmp/kivodialer-" + std::to_string(getuid()));
        struct stat st {};
        ASSERT_EQ(lstat(strDir.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_uid, getuid());
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_FALSE(objects.IsSecondInstance());
        for (const char* pszName :
             {"KIVODialerPrivacyTest", "KIVODialerPrivacyTestMemmap", "KIVODialerPrivacyTestMutex"}) {
            EXPECT_EQ(ModeOf(strDir + "/" + pszName), 0600u) << pszName;
            std::filesystem::remove(strDir + "/" + pszName);
        }
        EXPECT_TRUE(std::filesystem::is_empty(strOpen)) << "nothing was put into the open folder";
    }
    umask(nOldMask);
    strOld ? setenv("XDG_RUNTIME_DIR", strOld->c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
}
