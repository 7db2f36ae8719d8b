// The skin's drawing of each kind of control, into any DC: the screen's while a control paints, a
// memory DC when a control is printed or a test renders one. Rectangles are in the DC's coordinates.
#pragma once

#include <string_view>

#include "sys/Win.h"

struct SkinColours {
    COLORREF frame;          // the outer line of every control
    COLORREF frameStrong;    // the focus ring inside it
    COLORREF frameSoft;      // the glow of a hot or focused edit box
    COLORREF frameDisabled;
    COLORREF faceTop, faceBottom;
    COLORREF hotTop, hotBottom;
    COLORREF pressedTop, pressedBottom;
    COLORREF disabledFace;
    COLORREF mark;           // check marks and radio dots
    COLORREF text, textDisabled;
};

// Schemes 1 (blue), 2 (olive green) and 3 (silver).
bool IsSkinScheme(int scheme);
SkinColours SchemeColours(int scheme);

COLORREF MixColour(COLORREF from, COLORREF to, int percentOfTo);

enum SkinState : unsigned {
    kSkinHot = 1,
    kSkinPressed = 2,
    kSkinFocused = 4,
    kSkinDisabled = 8,
    kSkinChecked = 16,
    kSkinMixed = 32,  // a three-state check box in its third state
};

struct Caption {
    std::wstring_view text;
    HFONT font = nullptr;
    UINT format = DT_CENTER | DT_SINGLELINE;  // DrawText's horizontal alignment and wrapping
    int vertical = 0;                          // -1 top, 0 centre, 1 bottom
};

void PaintPushButton(HDC dc, const RECT& area, const SkinColours& colours, const Caption& caption, unsigned state,
                     COLORREF background);
void PaintCheckButton(HDC dc, const RECT& area, const SkinColours& colours, const Caption& caption, unsigned state,
                      bool radio, bool boxOnRight, COLORREF background);
void PaintGroupBox(HDC dc, const RECT& area, const SkinColours& colours, const Caption& caption, unsigned state,
                   COLORREF background);
// The two-pixel sunken border of an edit box (or a drop-down combo box), inside area.
void PaintEditFrame(HDC dc, const RECT& area, const SkinColours& colours, unsigned state);
// A one-pixel line along the inside of area.
void PaintThinFrame(HDC dc, const RECT& area, COLORREF colour);
