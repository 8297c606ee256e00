// The about box: the product line and the program's version.
#pragma once

#include <QDialog>

#include <string>

class CKIVODialerApp;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(CKIVODialerApp& app);

    std::u16string m_strProduct; // "KIVODialer" and the edition word
    std::u16string m_strVersion; // "Version " and the first three numbers of the project version

private:
    void OnInitDialog();
};
