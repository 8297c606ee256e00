// The about box (template 101, modal): the product line and the program's version.
#pragma once

#include "platform/win32/ui/WinDialog.h"

#include <string>

class CKIVODialerApp;

class CAboutDlg : public CWinDialog {
public:
    explicit CAboutDlg(CKIVODialerApp& app);

    std::u16string m_strProduct; // "KIVODialer" and the edition word
    std::u16string m_strVersion; // "Version " and the product version but its last number

protected:
    // Reads the version resource of the running program; without one the version line stays empty.
    BOOL OnInitDialog() override;

private:
};
