// Placing a call through the exchange from one of the calling windows.
#pragma once

#include <string_view>

class CKIVODialerApp;

// Sends the call request for strNumber, inserted as it is, with the application's account, password and
// ring time to its exchange, and shows the reply's message captioned with the application name: with
// the information icon when the exchange accepted the call, the exclamation icon otherwise.
// Returns whether it was accepted.
bool SendCallRequest(CKIVODialerApp& app, std::u16string_view strNumber);
