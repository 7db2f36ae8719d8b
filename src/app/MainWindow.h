// The one window of the program: menu, seven controls, painting, dialog keys and the wiring of its
// events to the command handlers. Its procedure follows the usual pattern: the object travels in
// through WM_NCCREATE and every message is one call of a member.
#pragma once

#include <array>

#include "app/GdiOwners.h"
#include "app/Layout.h"
#include "app/WindowControls.h"
#include "sys/Win.h"

class MainWindow {
public:
    MainWindow() = default;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    // Creates the window hidden with its menu and controls, at its size and centred on the screen,
    // and skins it. False when Windows refused to create it.
    bool Create(HINSTANCE instance);
    // Shows it, active, with the focus in 编辑框1.
    void Show();

    HWND Handle() const { return hwnd_; }
    HWND Control(layout::Control which) const { return controls_[which]; }
    ControlAccess& Controls() { return access_; }

    // The dialog keys, for a message about to be translated: true when it was one and is done.
    bool PreTranslate(const MSG& msg);

    // Paints the client area's background into any DC, the screen's or a memory DC.
    static void PaintContent(HDC dc, const RECT& area);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool OnCreate(const CREATESTRUCTW& create);
    void OnPaint();
    void OnPrintClient(HDC dc);
    void OnCommand(int id, HWND control, UINT code);
    LRESULT OnControlColour(HDC dc, HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnSysCommand(WPARAM command);
    void OnActivate(UINT state);
    void OnSetFocus();
    void OnDestroy();
    LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);

    void FitAndCentre();
    std::array<HWND, 4> FocusRing() const;

    HWND hwnd_ = nullptr;
    std::array<HWND, layout::kControlCount> controls_{};
    std::array<FontOwner, layout::kControlCount> fonts_;
    IconOwner bigIcon_;
    IconOwner smallIcon_;
    HWND rememberedFocus_ = nullptr;
    bool created_ = false;
    WindowControls access_;
};
