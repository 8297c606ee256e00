// The smaller Win32 services: the ANSI code page, the event log, the version resource.
#include "platform/win32/WinAnsiCodePage.h"
#include "platform/win32/WinEventLog.h"
#include "platform/win32/WinVersionInfo.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

// The test runs with LANG=ja_JP.UTF-8, which gives Wine a Japanese system: ANSI code page 932.
TEST(WinAnsiCodePage, JapaneseSystemGivesShiftJisBytes) {
    ASSERT_EQ(GetACP(), 932u);
    CWinAnsiCodePage codePage;
    struct Case {
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {u"", ""},
        {u"user201", "user201"},
        {u"日本語", "\x93\xfa\x96\x7b\x8c\xea"},
        {u"ｱｲ", "\xb1\xb2"},  // half-width katakana: one byte each
        {u"a\u0e01b", "a?b"}, // no place in the code page
    };
    for (const Case& c : cases)
        EXPECT_EQ(codePage.FromUtf16(c.text), c.bytes);
}

TEST(WinEventLog, ErrorEntryIsReported) {
    // The event log records nothing under Wine; the calls themselves must succeed.
    EXPECT_TRUE(CWinEventLog::WriteErrorEntry(u"KIVO-Dialer", u"SendRequest Exception Error"));
}

TEST(WinVersionInfo, ProductVersionOfTheRunningProgram) {
    // This test program carries the same version resource as KIVODialer.exe.
    EXPECT_EQ(ReadProductVersion(), u"" KIVO_VERSION);
}

TEST(WinVersionInfo, FileWithoutAVersionResourceGivesNothing) {
    wchar_t szDir[MAX_PATH];
    GetTempPathW(MAX_PATH, szDir);
    const std::wstring strPath = std::wstring(szDir) + L"kivo-no-version.bin";
    std::ofstream(strPath.c_str(), std::ios::binary) << "not a program";
    EXPECT_EQ(ReadProductVersion(std::u16string(strPath.begin(), strPath.end())), u"");
    DeleteFileW(strPath.c_str());
    EXPECT_EQ(ReadProductVersion(u"C:\\kivo-missing.exe"), u"");
}
