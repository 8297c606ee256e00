// Message boxes, reached through one seam so that tests can answer them.
#pragma once

#include <string_view>

// The Windows style bits and answers the system's message boxes are described with.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_SYSTEMMODAL = 0x1000;
constexpr unsigned MB_ICONMASK = 0xF0;
constexpr unsigned MB_TYPEMASK = 0xF;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // Shows the box modally and returns the button pressed (IDOK, IDYES, IDNO ...).
    virtual int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned nType) = 0;
    // Brings an open box with this text and caption to the front; false when none is open.
    virtual bool ActivateOpenBox(std::u16string_view /*text*/, std::u16string_view /*caption*/) {
        return false;
    }
};
