// kivo-wl-input: pointer and keyboard input on a wlroots compositor (sway), for the end-to-end suite.
// Headless compositors have no input devices, and tools that write to /dev/uinput do not reach them; this
// client makes a virtual pointer and a virtual keyboard over the compositor's own protocols instead. It
// stays connected and takes one command a line on standard input, answering each with "ok" (or
// "error ...") once the compositor has processed it:
//
//   move X Y          the pointer to X, Y in the output's pixels
//   click BUTTON [N]  button 1 (left), 2 (middle) or 3 (right), N times, 80 ms apart
//   key KEY...        keys as xdotool names them: Escape, Return, Down, x, ctrl+c, shift+Tab
//   type TEXT         the text's printable ASCII characters, one key each
//   sleep MS
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "virtual-pointer-unstable-v1-client-protocol.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct CGlobals {
    wl_seat* pSeat = nullptr;
    wl_output* pOutput = nullptr;
    zwlr_virtual_pointer_manager_v1* pPointerManager = nullptr;
    zwp_virtual_keyboard_manager_v1* pKeyboardManager = nullptr;
    int nWidth = 0;
    int nHeight = 0;
};

void OnOutputMode(void* pData, wl_output*, uint32_t nFlags, int32_t nWidth, int32_t nHeight, int32_t) {
    auto* pGlobals = static_cast<CGlobals*>(pData);
    if (nFlags & WL_OUTPUT_MODE_CURRENT) {
        pGlobals->nWidth = nWidth;
        pGlobals->nHeight = nHeight;
    }
}
void OnOutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                      const char*, int32_t) {}
void OnOutputDone(void*, wl_output*) {}
void OnOutputScale(void*, wl_output*, int32_t) {}
void OnOutputText(void*, wl_output*, const char*) {}
const wl_output_listener kOutputListener = {OnOutputGeometry, OnOutputMode, OnOutputDone,
                                            OnOutputScale,    OnOutputText, OnOutputText};

void OnGlobal(void* pData, wl_registry* pRegistry, uint32_t nName, const char* pInterface, uint32_t) {
    auto* pGlobals = static_cast<CGlobals*>(pData);
    const std::string strInterface = pInterface;
    if (strInterface == wl_seat_interface.name && !pGlobals->pSeat) {
        pGlobals->pSeat = static_cast<wl_seat*>(wl_registry_bind(pRegistry, nName, &wl_seat_interface, 1));
    } else if (strInterface == wl_output_interface.name && !pGlobals->pOutput) {
        pGlobals->pOutput =
            static_cast<wl_output*>(wl_registry_bind(pRegistry, nName, &wl_output_interface, 2));
        wl_output_add_listener(pGlobals->pOutput, &kOutputListener, pGlobals);
    } else if (strInterface == zwlr_virtual_pointer_manager_v1_interface.name) {
        pGlobals->pPointerManager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(pRegistry, nName, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (strInterface == zwp_virtual_keyboard_manager_v1_interface.name) {
        pGlobals->pKeyboardManager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(pRegistry, nName, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

uint32_t NowMs() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The keyboard: the default (us) layout, handed to the compositor, and where each keysym sits in it.
class CKeyboard {
public:
    bool Open(zwp_virtual_keyboard_manager_v1* pManager, wl_seat* pSeat) {
        m_pContext = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
        m_pKeymap = xkb_keymap_new_from_names(m_pContext, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        if (!m_pKeymap)
            return false;
        char* pText = xkb_keymap_get_as_string(m_pKeymap, XKB_KEYMAP_FORMAT_TEXT_V1);
        const size_t nSize = strlen(pText) + 1;
        const int fd = memfd_create("kivo-wl-input-keymap", MFD_CLOEXEC);
        const bool bWritten = fd >= 0 && write(fd, pText, nSize) == ssize_t(nSize);
        free(pText);
        if (!bWritten)
            return false;
        m_pKeyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(pManager, pSeat);
        zwp_virtual_keyboard_v1_keymap(m_pKeyboard, XKB_KEYMAP_FORMAT_TEXT_V1, fd, uint32_t(nSize));
        close(fd);
        for (const char* pMod : {XKB_MOD_NAME_SHIFT, XKB_MOD_NAME_CTRL, XKB_MOD_NAME_ALT})
            m_mods[pMod] = 1u << xkb_keymap_mod_get_index(m_pKeymap, pMod);
        xkb_keymap_key_for_each(m_pKeymap, &CKeyboard::NoteKey, this);
        return true;
    }

    // "ctrl+c", "Escape", "A": presses the modifiers and the key, then lets them go.
    bool Press(const std::string& strSpec) {
        uint32_t nMods = 0;
        std::string strKey = strSpec;
        for (size_t nPlus; (nPlus = strKey.find('+')) != std::string::npos && nPlus + 1 < strKey.size();) {
            std::string strMod = strKey.substr(0, nPlus);
            const std::map<std::string, const char*> modNames = {
                {"ctrl", XKB_MOD_NAME_CTRL}, {"shift", XKB_MOD_NAME_SHIFT}, {"alt", XKB_MOD_NAME_ALT}};
            const auto it = modNames.find(strMod);
            if (it == modNames.end())
                return false;
            nMods |= m_mods[it->second];
            strKey = strKey.substr(nPlus + 1);
        }
        const xkb_keysym_t sym = xkb_keysym_from_name(strKey.c_str(), XKB_KEYSYM_NO_FLAGS);
        return sym != XKB_KEY_NoSymbol && PressSym(sym, nMods);
    }
    bool Type(char ch) {
        const xkb_keysym_t sym = xkb_utf32_to_keysym(uint32_t(static_cast<unsigned char>(ch)));
        return sym != XKB_KEY_NoSymbol && PressSym(sym, 0);
    }

private:
    struct CKeyPlace {
        xkb_keycode_t nCode;
        bool bShift;
    };

    static void NoteKey(xkb_keymap* pKeymap, xkb_keycode_t nCode, void* pData) {
        auto* pThis = static_cast<CKeyboard*>(pData);
        for (xkb_level_index_t nLevel = 0; nLevel < 2; ++nLevel) {
            const xkb_keysym_t* pSyms = nullptr;
            const int nSyms = xkb_keymap_key_get_syms_by_level(pKeymap, nCode, 0, nLevel, &pSyms);
            for (int i = 0; i < nSyms; ++i)
                pThis->m_places.emplace(pSyms[i], CKeyPlace{nCode, nLevel == 1}); // the first place wins
        }
    }

    bool PressSym(xkb_keysym_t sym, uint32_t nMods) {
        const auto it = m_places.find(sym);
        if (it == m_places.end())
            return false;
        if (it->second.bShift)
            nMods |= m_mods[XKB_MOD_NAME_SHIFT];
        // evdev codes are the keymap's codes less 8.
        const uint32_t nKey = it->second.nCode - 8;
        zwp_virtual_keyboard_v1_modifiers(m_pKeyboard, nMods, 0, 0, 0);
        zwp_virtual_keyboard_v1_key(m_pKeyboard, NowMs(), nKey, WL_KEYBOARD_KEY_STATE_PRESSED);
        zwp_virtual_keyboard_v1_key(m_pKeyboard, NowMs(), nKey, WL_KEYBOARD_KEY_STATE_RELEASED);
        zwp_virtual_keyboard_v1_modifiers(m_pKeyboard, 0, 0, 0, 0);
        return true;
    }

    xkb_context* m_pContext = nullptr;
    xkb_keymap* m_pKeymap = nullptr;
    zwp_virtual_keyboard_v1* m_pKeyboard = nullptr;
    std::map<xkb_keysym_t, CKeyPlace> m_places;
    std::map<std::string, uint32_t> m_mods;
};

} // namespace

int main() {
    wl_display* pDisplay = wl_display_connect(nullptr);
    if (!pDisplay) {
        std::cerr << "kivo-wl-input: no Wayland display\n";
        return 1;
    }
    CGlobals globals;
    wl_registry* pRegistry = wl_display_get_registry(pDisplay);
    wl_registry_add_listener(pRegistry, &kRegistryListener, &globals);
    wl_display_roundtrip(pDisplay);
    wl_display_roundtrip(pDisplay); // the output's mode
    if (!globals.pSeat || !globals.pPointerManager || !globals.pKeyboardManager || globals.nWidth <= 0) {
        std::cerr << "kivo-wl-input: the compositor offers no virtual pointer or keyboard, or no output\n";
        return 1;
    }
    zwlr_virtual_pointer_v1* pPointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pPointerManager, globals.pSeat);
    CKeyboard keyboard;
    if (!keyboard.Open(globals.pKeyboardManager, globals.pSeat)) {
        std::cerr << "kivo-wl-input: no keymap\n";
        return 1;
    }
    wl_display_roundtrip(pDisplay);
    std::cout << "ready " << globals.nWidth << "x" << globals.nHeight << std::endl;

    std::string strLine;
    while (std::getline(std::cin, strLine)) {
        std::istringstream in(strLine);
        std::string strCommand;
        in >> strCommand;
        bool bOk = true;
        if (strCommand == "move") {
            int x = -1, y = -1;
            in >> x >> y;
            bOk = x >= 0 && y >= 0 && x < globals.nWidth && y < globals.nHeight;
            if (bOk) {
                zwlr_virtual_pointer_v1_motion_absolute(pPointer, NowMs(), uint32_t(x), uint32_t(y),
                                                        uint32_t(globals.nWidth), uint32_t(globals.nHeight));
                zwlr_virtual_pointer_v1_frame(pPointer);
            }
        } else if (strCommand == "click") {
            int nButton = 0, nCount = 1;
            in >> nButton;
            if (!(in >> nCount))
                nCount = 1;
            const uint32_t codes[] = {0, BTN_LEFT, BTN_MIDDLE, BTN_RIGHT};
            bOk = nButton >= 1 && nButton <= 3 && nCount >= 1;
            for (int i = 0; bOk && i < nCount; ++i) {
                if (i > 0) {
                    wl_display_flush(pDisplay);
                    std::this_thread::sleep_for(std::chrono::milliseconds(80));
                }
                for (uint32_t nState : {WL_POINTER_BUTTON_STATE_PRESSED, WL_POINTER_BUTTON_STATE_RELEASED}) {
                    zwlr_virtual_pointer_v1_button(pPointer, NowMs(), codes[nButton], nState);
                    zwlr_virtual_pointer_v1_frame(pPointer);
                }
            }
        } else if (strCommand == "key") {
            for (std::string strKey; bOk && in >> strKey;) {
                bOk = keyboard.Press(strKey);
                wl_display_flush(pDisplay);
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
            }
        } else if (strCommand == "type") {
            std::string strText;
            std::getline(in >> std::ws, strText);
            for (char ch : strText) {
                bOk = keyboard.Type(ch) && bOk;
                wl_display_flush(pDisplay);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        } else if (strCommand == "sleep") {
            int nMs = 0;
            in >> nMs;
            std::this_thread::sleep_for(std::chrono::milliseconds(nMs));
        } else {
            bOk = !strCommand.empty() ? false : true;
        }
        if (wl_display_roundtrip(pDisplay) < 0) {
            std::cout << "error the compositor went away" << std::endl;
            return 1;
        }
        std::cout << (bOk ? "ok" : "error " + strLine) << std::endl;
    }
    zwlr_virtual_pointer_v1_destroy(pPointer);
    wl_display_disconnect(pDisplay);
    return 0;
}
