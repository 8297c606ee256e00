#include "platform/qt/QtProfile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

// Each test gets its own XDG_CONFIG_HOME, so the user's real profile is never touched.
class QtProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        setenv("XDG_CONFIG_HOME", m_dir.path().toUtf8().constData(), 1);
    }
    std::string Path() const { return m_dir.path().toStdString() + "/Selvane-Works/KIVODialer.conf"; }
    void WriteFile(const std::string& text) const {
        std::filesystem::create_directories(m_dir.path().toStdString() + "/Selvane-Works");
        std::ofstream(Path(), std::ios::binary) << text;
    }

    QTemporaryDir m_dir;
};

TEST_F(QtProfileTest, ValuesSurviveAReopenAndAbsentEntriesGiveTheDefault) {
    {
        CQtProfile profile;
        profile.WriteProfileString(u"Settings", u"User", u"テスト2001");
        profile.WriteProfileString(u"Settings", u"Pass", u"a,b=c;#d");
        profile.WriteProfileInt(u"Settings", u"PortNum", 10650);
        profile.WriteProfileString(u"CDR", u"CallNum1", u"0312345678");
        profile.WriteProfileInt(u"cdr", u"left", -20);
        profile.Flush();
    }
    CQtProfile profile;
    EXPECT_EQ(profile.GetProfileString(u"Settings", u"User", u""), u"テスト2001");
    EXPECT_EQ(profile.GetProfileString(u"Settings", u"Pass", u""), u"a,b=c;#d");
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"PortNum", 10640), 10650);
    EXPECT_EQ(profile.GetProfileInt(u"cdr", u"left", 0), -20);
    // "CDR" and "cdr" are different sections.
    EXPECT_EQ(profile.GetProfileString(u"cdr", u"CallNum1", u"none"), u"none");
    EXPECT_EQ(profile.GetProfileString(u"CDR", u"CallNum1", u"none"), u"0312345678");
    EXPECT_EQ(profile.GetProfileString(u"Settings", u"PBX", u""), u"");
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"Cbtime", 10), 10);
}

TEST_F(QtProfileTest, TheFileAndItsFolderAreClosedToOthers) {
    CQtProfile profile;
    profile.WriteProfileString(u"Settings", u"Pass", u"secret");
    profile.Flush();
    struct stat st {};
    ASSERT_EQ(stat(Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(stat((m_dir.path().toStdString() + "/Selvane-Works").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // The file is replaced by a new one on every save: it must stay private.
    profile.WriteProfileString(u"Settings", u"Pass", u"secret2");
    profile.Flush();
    ASSERT_EQ(stat(Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(QtProfileTest, IntegersWrittenByHandAreReadAsTheSystemReadsThem) {
    struct Case {
        const char* stored;
        int expected;
    } cases[] = {
        {"4", 4},           {"-1", -1}, {"65537", 65537},
        {"4294967295", -1}, // a 32-bit value read back as unsigned, used as int
        {"abc", 77},        {"", 77},   {"99999999999", 77},
    };
    std::string text = "[Settings]\n";
    for (size_t i = 0; i < std::size(cases); ++i)
        text += "V" + std::to_string(i) + "=" + cases[i].stored + "\n";
    WriteFile(text);
    CQtProfile profile;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::u16string entry = u"V" + std::u16string(1, char16_t(u'0' + i));
        EXPECT_EQ(profile.GetProfileInt(u"Settings", entry, 77), cases[i].expected) << cases[i].stored;
    }
}

TEST_F(QtProfileTest, AGarbageOrTruncatedFileReadsAsDefaults) {
    static const char kGarbage[] = "\x00\xff[Settin\ngs]]\nUser\n=\n[CDR\nCallNum1=\xe7\x9d";
    WriteFile(std::string(kGarbage, sizeof kGarbage - 1));
    CQtProfile profile;
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"PortNum", 10640), 10640);
    // Writing still works and replaces the garbage.
    profile.WriteProfileString(u"Settings", u"User", u"2001");
    profile.Flush();
    CQtProfile reread;
    EXPECT_EQ(reread.GetProfileString(u"Settings", u"User", u""), u"2001");
}

} // namespace
