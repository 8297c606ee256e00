// Placing a call through the exchange from one of the calling windows.
#pragma once

#include <string_view>

class CKIVODialerApp;

// Sends the call request for strNumber, inserted as it is, with the application's account, password and
// ring time to its exchange, and shows the reply's message captioned with the application name: with
// the information icon when the exchange accepted the call, the exclamation icon otherwise.
// Returns whether it was accepted.
bool SendCallRequest(CKIVODialerApp& app, std::u16string_view strNumber);

// The dial dialog's call: the destination as typed becomes the number to dial (MakeDialNumber); one that
// holds no number is refused with a message, any other goes to SendCallRequest. Returns whether the
// exchange accepted the call.
bool DialTypedNumber(CKIVODialerApp& app, std::u16string_view strTyped);
