// How much wider a dialog template must be laid out so that every fixed caption fits its control in
// the font the dialog will get. On a Japanese Windows "MS UI Gothic" draws kana narrow and every
// caption fits as designed (100 %); a stand-in font that draws them full width would cut the labels.
#pragma once

#include "resources/DialogCaptions.h"
#include "resources/DialogTemplates.h"

#include "platform/win32/ui/WinApi.h"

// The dialog's font as the dialog manager creates it for DS_SETFONT, at the screen's resolution.
HFONT CreateDialogFont(const CDialogTemplate& tpl);

// The horizontal dialog unit of a font in pixels (times 4: the width of 4 units), as the dialog manager
// derives it from the average width of "A".."Z" and "a".."z".
int DialogBaseUnitX(HDC hdc);

// The horizontal scale in percent (at least 100) for CDialogTemplateBuilder.
int CaptionFitScalePercent(const CDialogTemplate& tpl);
