// The call history window: the placed and received calls, newest first; Ctrl+C copies a row, a double
// click calls its number back.
#pragma once

#include "platform/qt/DisplayKind.h"
#include "tray/CallHistoryStore.h"

#include <QDialog>

class CKIVODialerApp;
class IMainWnd;
class QTableWidget;

// It listens to the main window's call history from its creation on, so a call received or placed while
// it exists shows at once.
class CKIVODialerCdrDlg : public QDialog, private ICallHistoryListener {
    Q_OBJECT
public:
    // Builds the window from template 133, fills it from the call history and restores its rectangle.
    // On Wayland a window neither learns nor chooses its place, so the rectangle is neither restored
    // nor saved there: the compositor places the window.
    explicit CKIVODialerCdrDlg(CKIVODialerApp& app, EDisplayKind kind = CurrentDisplayKind());
    // Saves the window's rectangle to section "cdr".
    ~CKIVODialerCdrDlg() override;

    // Rebuilds every row from the application's call history, newest first.
    void RefreshList();
    void OnCallHistoryChanged(const std::list<CdrRecord>& records) override;
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

    void FillList(const std::list<CdrRecord>* pRecords);

    CKIVODialerApp& m_app;
    IMainWnd* m_pHistoryOwner = nullptr; // whose history the window listens to
    const bool m_bKeepsRect;             // the window's rectangle means something on this display
};
