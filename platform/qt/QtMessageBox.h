// Message boxes with the Windows styles the program is described with, shown with QMessageBox.
#pragma once

#include "platform/IMessageBox.h"

#include <deque>
#include <string>
#include <vector>

class CQtMessageBox : public IMessageBox {
public:
    int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned nType) override;
    bool ActivateOpenBox(std::u16string_view text, std::u16string_view caption) override;

    // For tests: the next box is not shown and returns this answer. Nothing else in the program
    // knows tests exist.
    static void SetNextAnswer(int nAnswer);
    // What the last box said (shown or answered in advance).
    static std::u16string LastText();
    static std::u16string LastCaption();
    static unsigned LastType();

private:
    struct COpenBox;
    static std::vector<COpenBox*> s_openBoxes;
    static std::deque<int> s_answers;
    static std::u16string s_strLastText;
    static std::u16string s_strLastCaption;
    static unsigned s_nLastType;
};
