// The files that hold the password and the instance objects are the user's alone: the profile (0600 in a
// 0700 folder, even when it was found open to others and the program runs with umask 0) and the
// runtime files (0600 in a private folder; a runtime folder that others can write, or that is not the
// user's own, is not used).
#include "platform/posix/PosixInstanceObjects.h"
#include "tests/integration/SimProcess.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/ScopedEnv.h"

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

std::string FallbackDir(const std::string& strHome) {
    char szHost[256] = {};
    gethostname(szHost, sizeof szHost - 1);
    return strHome + "/.cache/kivodialer-" + szHost;
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
// the user's own under the home, made closed to others; the files in it are the user's alone whatever
// the umask.
TEST(PrivateFilesTest, ARuntimeFolderOpenToOthersIsPassedOverForAPrivateOne) {
    QTemporaryDir dir, home;
    ASSERT_TRUE(dir.isValid() && home.isValid());
    const std::string strOpen = dir.path().toStdString();
    chmod(strOpen.c_str(), 01777);
    CScopedEnv env;
    env.Set("XDG_RUNTIME_DIR", strOpen);
    env.Set("HOME", home.path().toStdString());
    const mode_t nOldMask = umask(0);
    {
        // A name of its own, so that a program running on this machine is not disturbed.
        CPosixInstanceObjects objects("KIVODialerPrivacyTest");
        const std::string strDir = objects.RuntimeDir();
        EXPECT_EQ(strDir, FallbackDir(home.path().toStdString()));
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
}

// Without XDG_RUNTIME_DIR, a fallback folder someone else got to first is never used: a link planted in
// its place (to a folder of the user's that would pass every check), or, where the test may hand a folder
// to another user, one owned by someone else. The objects are then unavailable; nothing is put anywhere.
TEST(PrivateFilesTest, AFallbackFolderThatIsNotTheUsersOwnIsNotUsed) {
    QTemporaryDir home, target;
    ASSERT_TRUE(home.isValid() && target.isValid());
    chmod(target.path().toStdString().c_str(), 0700);
    CScopedEnv env;
    env.Set("XDG_RUNTIME_DIR", std::nullopt);
    env.Set("HOME", home.path().toStdString());
    const std::string strFallback = FallbackDir(home.path().toStdString());
    std::filesystem::create_directories(home.path().toStdString() + "/.cache");

    std::filesystem::create_directory_symlink(target.path().toStdString(), strFallback);
    {
        CPosixInstanceObjects objects("KIVODialerPrivacyTest");
        EXPECT_EQ(objects.RuntimeDir(), "");
        uint32_t value = 0;
        EXPECT_FALSE(objects.Read(value));
        EXPECT_TRUE(std::filesystem::is_empty(target.path().toStdString()));
    }
    std::filesystem::remove(strFallback);

    if (getuid() == 0) {
        ASSERT_EQ(mkdir(strFallback.c_str(), 0700), 0);
        ASSERT_EQ(chown(strFallback.c_str(), 65534, 65534), 0);
        CPosixInstanceObjects objects("KIVODialerPrivacyTest");
        EXPECT_EQ(objects.RuntimeDir(), "");
        EXPECT_TRUE(std::filesystem::is_empty(strFallback));
        EXPECT_EQ(ModeOf(strFallback), 0700u) << "someone else's folder keeps its mode";
    }
}
