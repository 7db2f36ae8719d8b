// What the main window is made of: its own settings, its menu and its seven controls, in the order
// they are created. Creating them in this order is what gives the stacking order, top first.
#pragma once

#include <array>

#include "sys/Win.h"

namespace layout {

constexpr char kCaption[] = "Tarvinel beta";
constexpr int kOuterWidth = 317;
constexpr int kOuterHeight = 364;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = 0;
constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;

constexpr char kMenuCaption[] = "\xB2\xCB\xB5\xA5";                           // 菜单
constexpr char kPublisherSiteCaption[] = "\xB9\xD9\xB7\xBD\xCD\xF8\xD5\xBE";  // 官方网站
constexpr UINT kPublisherSiteItem = 2001;

enum Control : int { kEdit2, kButton2, kButton1, kEdit1, kGroup1, kGroup2, kGroup3, kControlCount };

struct ControlSpec {
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
    const char* text;  // code page 936
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kEditStyle = kChild | WS_TABSTOP | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr DWORD kButtonStyle = kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;
constexpr DWORD kGroupStyle = kChild | BS_GROUPBOX;

// Indexed by Control.
constexpr std::array<ControlSpec, kControlCount> kControls{{
    {1007, L"Edit", kEditStyle | ES_READONLY, WS_EX_CLIENTEDGE, 18, 238, 270, 66, ""},
    {1004, L"Button", kButtonStyle, 0, 213, 178, 60, 30, "\xB2\xA5\xB7\xC5"},                  // 播放
    {1003, L"Button", kButtonStyle, 0, 96, 178, 83, 30, "\xBF\xAA\xCA\xBC\xC9\xFA\xB3\xC9"},  // 开始生成
    {1002, L"Edit", kEditStyle | WS_VSCROLL, WS_EX_CLIENTEDGE, 19, 19, 269, 133, ""},
    {1001, L"Button", kGroupStyle, 0, 8, 0, 288, 160, "\xC4\xDA\xC8\xDD\xBF\xE2"},             // 内容库
    {1005, L"Button", kGroupStyle, 0, 7, 161, 289, 55, "\xB2\xD9\xD7\xF7"},                    // 操作
    {1006, L"Button", kGroupStyle, 0, 7, 219, 289, 93, "\xB2\xD9\xD7\xF7\xCF\xFB\xCF\xA2"},    // 操作消息
}};

// Tab walks this ring; Shift+Tab walks it backwards.
constexpr std::array<Control, 4> kFocusOrder{kEdit1, kButton1, kButton2, kEdit2};

// Every control's font.
constexpr char kFontFace[] = "\xCB\xCE\xCC\xE5";  // 宋体
constexpr int kFontHeight = -14;
constexpr int kFontWeight = FW_NORMAL;
constexpr BYTE kFontCharset = GB2312_CHARSET;
constexpr BYTE kFontOutPrecision = OUT_STROKE_PRECIS;
constexpr BYTE kFontClipPrecision = CLIP_STROKE_PRECIS;
constexpr BYTE kFontQuality = DRAFT_QUALITY;
constexpr BYTE kFontPitchAndFamily = VARIABLE_PITCH;

// The skin's colour scheme for this window: olive green.
constexpr int kSkinScheme = 2;

}  // namespace layout
