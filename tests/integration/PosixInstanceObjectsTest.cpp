#include "platform/posix/PosixInstanceObjects.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class PosixInstanceObjectsTest : public ::testing::Test {
protected:
    std::string Dir() const { return m_dir.path().toStdString(); }
    QTemporaryDir m_dir;
};

TEST_F(PosixInstanceObjectsTest, OneFirstInstanceAndTheFlagReachesTheSecond) {
    CPosixInstanceObjects first("KIVODialer", Dir());
    ASSERT_FALSE(first.IsSecondInstance());
    CPosixInstanceObjects second("KIVODialer", Dir());
    EXPECT_TRUE(second.IsSecondInstance());

    uint32_t value = 99;
    ASSERT_TRUE(second.Read(value));
    EXPECT_EQ(value, 0u) << "a new flag starts at 0";
    first.Write(1);
    ASSERT_TRUE(second.Read(value));
    EXPECT_EQ(value, 1u);

    struct stat st {};
    for (const char* name : {"/KIVODialer", "/KIVODialerMemmap", "/KIVODialerMutex"}) {
        ASSERT_EQ(stat((Dir() + name).c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
    // Another application name is another program.
    CPosixInstanceObjects other("OtherDialer", Dir());
    EXPECT_FALSE(other.IsSecondInstance());
}

TEST_F(PosixInstanceObjectsTest, AKilledFirstInstanceLeavesNoStaleLockOrFlag) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        CPosixInstanceObjects first("KIVODialer", Dir());
        const bool bSecond = first.IsSecondInstance();
        first.Write(1);
        const char c = bSecond ? 'n' : 'y';
        (void)!write(ready[1], &c, 1);
        pause();
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    {
        CPosixInstanceObjects probe("KIVODialer", Dir());
        EXPECT_TRUE(probe.IsSecondInstance());
        uint32_t value = 0;
        ASSERT_TRUE(probe.Read(value));
        EXPECT_EQ(value, 1u);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(ready[0]);
    close(ready[1]);

    CPosixInstanceObjects next("KIVODialer", Dir());
    EXPECT_FALSE(next.IsSecondInstance()) << "the kernel released the dead process's lock";
    uint32_t value = 1;
    ASSERT_TRUE(next.Read(value));
    EXPECT_EQ(value, 0u) << "the new first instance starts logged out in the flag";
}

TEST_F(PosixInstanceObjectsTest, ADirectoryOpenToOthersIsNotUsed) {
    const std::string strOpen = Dir() + "/open";
    ASSERT_EQ(mkdir(strOpen.c_str(), 0777), 0);
    chmod(strOpen.c_str(), 0777);
    setenv("XDG_RUNTIME_DIR", strOpen.c_str(), 1);
    EXPECT_NE(CPosixInstanceObjects::DefaultRuntimeDir(), strOpen);
    chmod(Dir().c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", Dir().c_str(), 1);
    EXPECT_EQ(CPosixInstanceObjects::DefaultRuntimeDir(), Dir());
}

TEST_F(PosixInstanceObjectsTest, WithoutADirectoryTheFlagIsUnavailableAndTheProgramStillStarts) {
    CPosixInstanceObjects broken("KIVODialer", Dir() + "/missing/dir");
    uint32_t value = 5;
    EXPECT_FALSE(broken.Read(value));
    EXPECT_FALSE(broken.IsSecondInstance());
}

} // namespace
