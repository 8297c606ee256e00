// The call history window (template 133, modeless): the placed and received calls, newest first;
// Ctrl+C copies a row, a double click calls its number back. Closing only hides it.
#pragma once

#include "platform/win32/ui/WinDialog.h"
#include "tray/CallHistoryStore.h"

#include <list>
#include <vector>

class CKIVODialerApp;
class IMainWnd;

// It listens to the main window's call history from its construction on, so a call received or placed
// while it exists shows at once, hidden or not.
class CKIVODialerCdrDlg : public CWinDialog, private ICallHistoryListener {
public:
    explicit CKIVODialerCdrDlg(CKIVODialerApp& app);
    ~CKIVODialerCdrDlg() override;

    // Rebuilds every row from the application's call history, newest first.
    void RefreshList();
    void OnCallHistoryChanged(const std::list<CdrRecord>& records) override;
    // Puts the selected row on the clipboard as CF_UNICODETEXT "kind\ttime\tnumber\tname".
    virtual void CopySelected();

    // The accelerator table (Ctrl+C) and then the dialog's own keys (Tab, Esc, Enter) for a message to
    // this window or one of its controls; true when the message was consumed.
    bool PreTranslateMessage(MSG& msg);

    HWND m_list = nullptr; // list view 1016
    HACCEL m_hAccel = nullptr;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int nId, int nCode) override;
    bool OnNotify(const NMHDR& hdr, LRESULT& lResult) override;
    void OnSize(int cx, int cy) override;
    // Saves the window's rectangle to section "cdr".
    void OnDestroy() override;

private:
    void InsertColumns();
    void RestoreRect();
    void FillList(const std::list<CdrRecord>* pRecords);
    void CallBack(int nItem);
    int FixedColumnsWidth() const;
    int SelectedItem() const; // the one selected row, or -1 unless exactly one is selected
    std::u16string CellText(int nItem, int nColumn) const;

    CKIVODialerApp& m_app;
    IMainWnd* m_pHistoryOwner = nullptr; // whose history the window listens to
    // The records in row order, as they were received: a cell shows invisible format characters as "?",
    // a call back dials the number itself.
    std::vector<CdrRecord> m_rows;
    // A call back is being asked about or placed: its message boxes have no owner, so the list still
    // takes double clicks meanwhile.
    bool m_bCallingBack = false;
};
