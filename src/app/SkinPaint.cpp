#include "app/SkinPaint.h"

#include <algorithm>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    const COLORREF old = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void VerticalGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
    const int height = r.bottom - r.top;
    for (int y = 0; y < height; y++) {
        const int percent = height > 1 ? y * 100 / (height - 1) : 0;
        FillSolid(dc, RECT{r.left, r.top + y, r.right, r.top + y + 1}, MixColour(top, bottom, percent));
    }
}

// A one-pixel frame whose corner pixels are blended into the background: a slightly rounded look.
void RoundedFrame(HDC dc, const RECT& r, COLORREF colour, COLORREF background) {
    if (r.right - r.left < 3 || r.bottom - r.top < 3) return;
    FillSolid(dc, RECT{r.left + 1, r.top, r.right - 1, r.top + 1}, colour);
    FillSolid(dc, RECT{r.left + 1, r.bottom - 1, r.right - 1, r.bottom}, colour);
    FillSolid(dc, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, colour);
    FillSolid(dc, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, colour);
    const COLORREF corner = MixColour(colour, background, 60);
    for (POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.left, r.bottom - 1},
                    POINT{r.right - 1, r.bottom - 1}}) {
        SetPixelV(dc, p.x, p.y, corner);
    }
}

RECT Inset(const RECT& r, int by) { return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

HFONT FontOrDefault(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// Draws a caption inside box, aligned as the caption asks and wrapped when it may wrap.
void DrawCaption(HDC dc, const RECT& box, const Caption& caption, COLORREF colour) {
    if (caption.text.empty()) return;
    HGDIOBJ oldFont = SelectObject(dc, FontOrDefault(caption.font));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, colour);
    const int length = static_cast<int>(caption.text.size());
    UINT format = caption.format;
    RECT place = box;
    if (format & DT_SINGLELINE) {
        format |= caption.vertical < 0 ? DT_TOP : caption.vertical > 0 ? DT_BOTTOM : DT_VCENTER;
    } else {
        RECT measure = box;
        DrawTextW(dc, caption.text.data(), length, &measure, format | DT_CALCRECT);
        const int height = std::min<int>(measure.bottom - measure.top, box.bottom - box.top);
        const int spare = (box.bottom - box.top) - height;
        place.top = box.top + (caption.vertical < 0 ? 0 : caption.vertical > 0 ? spare : spare / 2);
        place.bottom = place.top + height;
    }
    DrawTextW(dc, caption.text.data(), length, &place, format);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

}  // namespace

COLORREF MixColour(COLORREF from, COLORREF to, int percentOfTo) {
    auto mix = [percentOfTo](int a, int b) { return a + (b - a) * percentOfTo / 100; };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

bool IsSkinScheme(int scheme) { return scheme >= 1 && scheme <= 3; }

SkinColours SchemeColours(int scheme) {
    COLORREF frame = RGB(164, 185, 127);
    if (scheme == 1) frame = RGB(123, 158, 189);
    if (scheme == 3) frame = RGB(198, 197, 215);
    SkinColours c{};
    c.frame = frame;
    c.frameStrong = MixColour(frame, kBlack, 35);
    c.frameSoft = MixColour(frame, kWhite, 45);
    c.frameDisabled = MixColour(frame, RGB(200, 200, 200), 75);
    c.faceTop = MixColour(frame, kWhite, 90);
    c.faceBottom = MixColour(frame, kWhite, 55);
    c.hotTop = MixColour(frame, kWhite, 97);
    c.hotBottom = MixColour(frame, kWhite, 70);
    c.pressedTop = MixColour(frame, kWhite, 45);
    c.pressedBottom = MixColour(frame, kWhite, 75);
    c.disabledFace = RGB(236, 236, 236);
    c.mark = MixColour(frame, kBlack, 55);
    c.text = kBlack;
    c.textDisabled = RGB(150, 150, 150);
    return c;
}

void PaintPushButton(HDC dc, const RECT& area, const SkinColours& c, const Caption& caption, unsigned state,
                     COLORREF background) {
    FillSolid(dc, area, background);
    const bool disabled = state & kSkinDisabled;
    const bool pressed = !disabled && (state & (kSkinPressed | kSkinChecked));
    const bool hot = !disabled && !pressed && (state & kSkinHot);
    const RECT face = Inset(area, 1);
    if (disabled) {
        FillSolid(dc, face, c.disabledFace);
    } else if (pressed) {
        VerticalGradient(dc, face, c.pressedTop, c.pressedBottom);
    } else if (hot) {
        VerticalGradient(dc, face, c.hotTop, c.hotBottom);
    } else {
        VerticalGradient(dc, face, c.faceTop, c.faceBottom);
    }
    RoundedFrame(dc, area, disabled ? c.frameDisabled : c.frame, background);
    if (!disabled && (state & kSkinFocused)) {
        const RECT ring = Inset(area, 1);
        const COLORREF inner = pressed ? c.pressedTop : c.faceTop;
        RoundedFrame(dc, ring, c.frameStrong, inner);
    }
    RECT text = Inset(area, 4);
    if (pressed) OffsetRect(&text, 1, 1);
    DrawCaption(dc, text, caption, disabled ? c.textDisabled : c.text);
}

void PaintCheckButton(HDC dc, const RECT& area, const SkinColours& c, const Caption& caption, unsigned state,
                      bool radio, bool boxOnRight, COLORREF background) {
    FillSolid(dc, area, background);
    const bool disabled = state & kSkinDisabled;
    constexpr int kBox = 13;
    const int top = area.top + ((area.bottom - area.top) - kBox) / 2;
    const int left = boxOnRight ? area.right - kBox : area.left;
    const RECT box{left, top, left + kBox, top + kBox};
    const COLORREF line = disabled ? c.frameDisabled : (state & kSkinHot) ? c.frameStrong : c.frame;
    const COLORREF fillTop = disabled ? c.disabledFace : (state & kSkinPressed) ? c.pressedTop : kWhite;
    const COLORREF fillBottom = disabled ? c.disabledFace : (state & kSkinPressed) ? c.pressedBottom : c.faceTop;
    const COLORREF mark = disabled ? c.textDisabled : c.mark;
    if (radio) {
        HBRUSH fill = CreateSolidBrush(fillTop);
        HPEN pen = CreatePen(PS_SOLID, 1, line);
        HGDIOBJ oldBrush = SelectObject(dc, fill);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        Ellipse(dc, box.left, box.top, box.right, box.bottom);
        if (state & kSkinChecked) {
            HBRUSH dot = CreateSolidBrush(mark);
            HPEN dotPen = CreatePen(PS_SOLID, 1, mark);
            SelectObject(dc, dot);
            SelectObject(dc, dotPen);
            Ellipse(dc, box.left + 4, box.top + 4, box.right - 4, box.bottom - 4);
            SelectObject(dc, pen);
            DeleteObject(dotPen);
            SelectObject(dc, fill);
            DeleteObject(dot);
        }
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(pen);
        DeleteObject(fill);
    } else {
        VerticalGradient(dc, Inset(box, 1), fillTop, fillBottom);
        PaintThinFrame(dc, box, line);
        if (state & kSkinMixed) {
            FillSolid(dc, Inset(box, 3), MixColour(mark, kWhite, 40));
        } else if (state & kSkinChecked) {
            HPEN pen = CreatePen(PS_SOLID, 2, mark);
            HGDIOBJ oldPen = SelectObject(dc, pen);
            const POINT tick[] = {{box.left + 3, box.top + 6}, {box.left + 5, box.top + 9}, {box.left + 10, box.top + 3}};
            Polyline(dc, tick, 3);
            SelectObject(dc, oldPen);
            DeleteObject(pen);
        }
    }
    RECT text = area;
    if (boxOnRight) {
        text.right = box.left - 4;
    } else {
        text.left = box.right + 4;
    }
    DrawCaption(dc, text, caption, disabled ? c.textDisabled : c.text);
    if (!disabled && (state & kSkinFocused) && !caption.text.empty()) {
        RECT focus = text;
        InflateRect(&focus, 1, 0);
        focus.top = std::max(area.top, focus.top);
        DrawFocusRect(dc, &focus);
    }
}

void PaintGroupBox(HDC dc, const RECT& area, const SkinColours& c, const Caption& caption, unsigned state,
                   COLORREF background) {
    FillSolid(dc, area, background);
    HGDIOBJ oldFont = SelectObject(dc, FontOrDefault(caption.font));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.text.data(), static_cast<int>(caption.text.size()), &extent);
    SelectObject(dc, oldFont);

    const bool disabled = state & kSkinDisabled;
    const RECT frame{area.left, area.top + metrics.tmHeight / 2, area.right, area.bottom};
    RoundedFrame(dc, frame, disabled ? c.frameDisabled : c.frame, background);
    if (caption.text.empty()) return;
    constexpr int kIndent = 8;
    const int right = std::min<int>(area.left + kIndent + extent.cx + 2, area.right - kIndent);
    FillSolid(dc, RECT{area.left + kIndent - 2, area.top, right, frame.top + 1}, background);
    Caption line = caption;
    line.format = DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS;
    line.vertical = -1;
    DrawCaption(dc, RECT{area.left + kIndent, area.top, right, area.top + metrics.tmHeight}, line,
                disabled ? c.textDisabled : c.text);
}

void PaintEditFrame(HDC dc, const RECT& area, const SkinColours& c, unsigned state) {
    const bool disabled = state & kSkinDisabled;
    PaintThinFrame(dc, area, disabled ? c.frameDisabled : c.frame);
    COLORREF inner = kWhite;
    if (!disabled && (state & kSkinFocused)) {
        inner = c.frameSoft;
    } else if (!disabled && (state & kSkinHot)) {
        inner = MixColour(c.frameSoft, kWhite, 50);
    }
    PaintThinFrame(dc, Inset(area, 1), inner);
}

void PaintThinFrame(HDC dc, const RECT& r, COLORREF colour) {
    FillSolid(dc, RECT{r.left, r.top, r.right, r.top + 1}, colour);
    FillSolid(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, colour);
    FillSolid(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, colour);
    FillSolid(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, colour);
}
