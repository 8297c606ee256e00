#include "platform/win32/WinVersionInfo.h"

#include <windows.h>

#include <cstdio>
#include <vector>

std::u16string ReadProductVersion(const std::u16string& strPath) {
    wchar_t szPath[MAX_PATH] = {};
    if (strPath.empty()) {
        if (GetModuleFileNameW(nullptr, szPath, MAX_PATH) == 0)
            return {};
    } else {
        if (strPath.size() >= MAX_PATH)
            return {};
        std::copy(strPath.begin(), strPath.end(), szPath);
    }
    DWORD dwHandle = 0;
    const DWORD cbInfo = GetFileVersionInfoSizeW(szPath, &dwHandle);
    if (cbInfo == 0)
        return {};
    std::vector<BYTE> info(cbInfo);
    if (!GetFileVersionInfoW(szPath, 0, cbInfo, info.data()))
        return {};

    struct CTranslation {
        WORD wLanguage;
        WORD wCodePage;
    };
    CTranslation* pTranslation = nullptr;
    UINT cbTranslation = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pTranslation),
                        &cbTranslation) ||
        cbTranslation < sizeof(CTranslation))
        return {};

    wchar_t szQuery[64];
    std::swprintf(szQuery, 64, L"\\StringFileInfo\\%04x%04x\\%ls", pTranslation->wLanguage,
                  pTranslation->wCodePage, L"ProductVersion");
    wchar_t* pszVersion = nullptr;
    UINT nChars = 0;
    if (!VerQueryValueW(info.data(), szQuery, reinterpret_cast<void**>(&pszVersion), &nChars) || !pszVersion)
        return {};
    std::u16string version;
    for (UINT i = 0; i < nChars && pszVersion[i] != L'\0'; ++i)
        version.push_back(static_cast<char16_t>(pszVersion[i]));
    return version;
}
