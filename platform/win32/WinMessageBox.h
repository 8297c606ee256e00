// Message boxes with MessageBoxW: the caption, text and style bits as given.
#pragma once

#include "platform/IMessageBox.h"

class CWinMessageBox : public IMessageBox {
public:
    int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned nType) override;
};
