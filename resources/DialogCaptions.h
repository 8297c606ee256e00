// What a dialog's captions need in order to fit, whatever draws the dialog: which controls carry a
// caption of their own width, the caption as it is drawn, the room beside it inside its control, and the
// horizontal dialog unit of a font.
#pragma once

#include "resources/DialogTemplates.h"

#include <string>
#include <string_view>

// A control whose caption must fit its width: labels, group boxes and buttons with a caption.
bool HasFixedCaption(const CDialogControl& ctl);

// Room beside the caption text inside a control of this kind, in pixels: a group box insets its title,
// a push button pads its text and draws its edges.
int CaptionPadding(EControlKind eKind);

// The caption as it is drawn: "&&" is one "&", a single "&" marks the next character and vanishes.
std::u16string StripMnemonic(std::u16string_view strCaption);
// A control's caption as drawn: without its mnemonic marks, unless it shows "&" as it is.
std::u16string DrawnCaption(const CDialogControl& ctl);

// The horizontal dialog unit of a font in pixels (the width of 4 units), as the dialog manager derives it
// from the width of "A".."Z" and "a".."z" (kBaseUnitLetters) in that font.
inline constexpr std::u16string_view kBaseUnitLetters =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
int DialogBaseUnitX(int nLettersWidth);
