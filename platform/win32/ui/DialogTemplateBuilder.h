// An in-memory DLGTEMPLATEEX from a dialog template of resources/DialogTemplates.h, for
// CreateDialogIndirectParamW and DialogBoxIndirectParamW: the dialog's caption, font and styles, and
// its controls with their ids, window classes, captions and positions in dialog units.
#pragma once

#include "resources/DialogTemplates.h"

#include "platform/win32/ui/WinApi.h"

#include <string_view>
#include <vector>

class CDialogTemplateBuilder {
public:
    // nScalePercent widens every horizontal position and width (100: as the template has them); the
    // icon control shows the icon resource only when hInstance holds it.
    CDialogTemplateBuilder(const CDialogTemplate& tpl, HINSTANCE hInstance, int nScalePercent = 100);

    // The template, DWORD-aligned, valid while the builder lives.
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }
    size_t SizeInBytes() const { return m_words.size() * sizeof(WORD); }

    // The window styles a template's style notes stand for.
    static DWORD DialogStyle(unsigned nStyle);
    static DWORD DialogExStyle(unsigned nStyle);
    static DWORD ControlStyle(const CDialogControl& ctl);
    // The window class of a control kind.
    static std::u16string_view ControlClass(EControlKind eKind);

private:
    void Word(WORD w) { m_words.push_back(w); }
    void DWord(DWORD dw);
    void Text(std::u16string_view text); // zero-terminated UTF-16
    void AlignToDWord();
    void Control(const CDialogControl& ctl, HINSTANCE hInstance);
    int ScaleX(int nUnits) const;

    std::vector<WORD> m_words;
    int m_nScalePercent;
};
