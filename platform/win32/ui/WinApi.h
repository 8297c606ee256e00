// <windows.h> and the common controls for the window classes. The portable headers declare the
// message box styles and answers (MB_OK, IDYES ...) as constants, which <windows.h> then defines as
// macros of the same values: they must come first. MessageBox and the profile operations are the
// program's own (IMessageBox, IProfile, CKIVODialerApp), not <windows.h>'s aliases of the wide calls.
#pragma once

#include "platform/IMessageBox.h"

#include <windows.h>

#include <commctrl.h>

#undef MessageBox
#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString
