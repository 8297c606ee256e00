// Opens the instance objects of the application name on its command line as a program start does,
// and reports through its exit code: bit 0 set for a second instance, the login flag above it.
#include "platform/win32/WinInstanceObjects.h"

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 255;
    const std::wstring strName(argv[1]);
    CWinInstanceObjects objects(std::u16string(strName.begin(), strName.end()));
    const bool bSecond = objects.IsSecondInstance();
    uint32_t nFlag = 0;
    if (!objects.Read(nFlag))
        return 254;
    return (bSecond ? 1 : 0) | static_cast<int>((nFlag & 0x3f) << 1);
}
