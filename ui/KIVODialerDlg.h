// The dial dialog: places a call to a typed, pasted or recent number through the exchange.
#pragma once

#include <QDialog>

#include <string>
#include <string_view>

class CKIVODialerApp;
class QComboBox;

class CKIVODialerDlg : public QDialog {
    Q_OBJECT
public:
    // Builds the dialog from template 102 and initialises it from the clipboard and the "DstNo" history.
    explicit CKIVODialerDlg(CKIVODialerApp& app);

    // Sends the call request for the destination; true when the exchange accepted it.
    bool Dial();

    // The clipboard's text, or an empty text.
    static std::u16string GetClipboardText();

    // Fills the combo box with strFirst and the stored history, and selects the first item.
    void LoadDstHistory(QComboBox& cb, std::u16string_view section, int nMax, std::u16string_view strFirst);
    // Writes the edit text as typed and the other items back to the history.
    void SaveDstHistory(QComboBox& cb, std::u16string_view section, int nMax);

    // A call is being placed (its request or its message box is still running).
    bool IsDialing() const { return m_bDialing; }

    QComboBox* m_cbDst = nullptr;
    std::u16string m_strSrc; // "<account>@<exchange>"

public slots:
    // OK ("ダイヤル", Enter): dial; on acceptance remember the number and close.
    void accept() override;

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void OnInitDialog();

    CKIVODialerApp& m_app;
    bool m_bDialing = false;
};
