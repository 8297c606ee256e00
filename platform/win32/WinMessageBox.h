// Message boxes with MessageBoxW: the caption, text and style bits as given.
#pragma once

#include "platform/IMessageBox.h"

class CWinMessageBox : public IMessageBox {
public:
    int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned nType) override;
    // Among the message boxes this thread shows (each in its own nested loop), the one with this text
    // and caption, brought to the front.
    bool ActivateOpenBox(std::u16string_view text, std::u16string_view caption) override;
};
