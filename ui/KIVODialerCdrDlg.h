// The call history window: the placed and received calls, newest first; Ctrl+C copies a row, a double
// click calls its number back.
#pragma once

#include <QDialog>

class CKIVODialerApp;
class QTableWidget;

class CKIVODialerCdrDlg : public QDialog {
    Q_OBJECT
public:
    // Builds the window from template 133, fills it from the call history and restores its rectangle.
    explicit CKIVODialerCdrDlg(CKIVODialerApp& app);
    // Saves the window's rectangle to section "cdr".
    ~CKIVODialerCdrDlg() override;

    // Rebuilds every row from the application's call history, newest first.
    void RefreshList();
    // Puts the selected row on the clipboard as "kind\ttime\tnumber\tname".
    virtual void CopySelected();

    QTableWidget* m_list = nullptr;

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void OnInitDialog();
    void LoadAccelerators();
    void InsertColumns();
    void RestoreRect();
    void OnCommand(int nCommand);
    void OnDblClk(int nRow);
    int FixedColumnsWidth() const;

    CKIVODialerApp& m_app;
};
