#include "app/MainWindow.h"

#include "Resources.h"
#include "app/DialogKeys.h"
#include "app/PlaybackCommands.h"
#include "app/Skin.h"
#include "speech/Generation.h"
#include "sys/Wide.h"

namespace {

constexpr wchar_t kClassName[] = L"TarvinelMainWindow";

int ControlId(layout::Control which) { return layout::kControls[which].id; }

FontOwner MakeControlFont() {
    return FontOwner(CreateFontW(layout::kFontHeight, 0, 0, 0, layout::kFontWeight, FALSE, FALSE, FALSE,
                                 layout::kFontCharset, layout::kFontOutPrecision, layout::kFontClipPrecision,
                                 layout::kFontQuality, layout::kFontPitchAndFamily,
                                 ToWide(layout::kFontFace).c_str()));
}

IconOwner LoadAppIcon(HINSTANCE instance, int sizeMetric) {
    const int size = GetSystemMetrics(sizeMetric);
    return IconOwner(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(TARVINEL_ICON), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

bool RegisterMainClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(instance, kClassName, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.style = layout::kClassStyle;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = nullptr;  // the background is painted in WM_PAINT
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
}

MenuOwner MakeMenu() {
    MenuOwner bar(CreateMenu());
    HMENU popup = CreatePopupMenu();
    if (!bar || !popup) {
        if (popup) DestroyMenu(popup);
        return {};
    }
    AppendMenuW(popup, MF_STRING, layout::kPublisherSiteItem, ToWide(layout::kPublisherSiteCaption).c_str());
    if (!AppendMenuW(bar.Get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                     ToWide(layout::kMenuCaption).c_str())) {
        DestroyMenu(popup);
        return {};
    }
    return bar;
}

}  // namespace

MainWindow::~MainWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create(HINSTANCE instance) {
    if (!RegisterMainClass(instance, &MainWindow::WindowProc)) return false;
    MenuOwner menu = MakeMenu();
    if (!menu) return false;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - layout::kOuterWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - layout::kOuterHeight) / 2;
    HWND hwnd = CreateWindowExW(layout::kWindowExStyle, kClassName, ToWide(layout::kCaption).c_str(),
                                layout::kWindowStyle, left, top, layout::kOuterWidth, layout::kOuterHeight,
                                nullptr, menu.Get(), instance, this);
    if (!hwnd) return false;
    menu.Release();  // the window destroys its menu
    created_ = true;
    FitAndCentre();
    // Creation complete: the skin is in place before the window is first seen.
    SkinControls(layout::kSkinScheme);
    return true;
}

void MainWindow::Show() {
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    SetFocus(controls_[layout::kEdit1]);
}

void MainWindow::FitAndCentre() {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - layout::kOuterWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - layout::kOuterHeight) / 2;
    if (r.left != left || r.top != top || r.right - r.left != layout::kOuterWidth ||
        r.bottom - r.top != layout::kOuterHeight) {
        SetWindowPos(hwnd_, nullptr, left, top, layout::kOuterWidth, layout::kOuterHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

std::array<HWND, 4> MainWindow::FocusRing() const {
    std::array<HWND, 4> ring{};
    for (size_t i = 0; i < ring.size(); i++) ring[i] = controls_[layout::kFocusOrder[i]];
    return ring;
}

bool MainWindow::PreTranslate(const MSG& msg) {
    if (!hwnd_) return false;
    const auto ring = FocusRing();
    return HandleDialogKey(msg, hwnd_, ring);
}

void MainWindow::PaintContent(HDC dc, const RECT& area) { FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE)); }

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* self;
    if (message == WM_NCCREATE) {
        self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    return self ? self->HandleMessage(message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(*reinterpret_cast<CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_PAINT: OnPaint(); return 0;
    case WM_PRINTCLIENT: OnPrintClient(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam)); return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message, wParam, lParam);
    case WM_GETFONT: return reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
    case WM_SYSCOMMAND:
        if (!OnSysCommand(wParam & 0xFFF0)) return 0;
        break;
    case WM_ACTIVATE: OnActivate(LOWORD(wParam)); break;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_NCDESTROY: return OnNcDestroy(wParam, lParam);
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool MainWindow::OnCreate(const CREATESTRUCTW& create) {
    for (int i = 0; i < layout::kControlCount; i++) {
        const layout::ControlSpec& spec = layout::kControls[static_cast<size_t>(i)];
        HWND control = CreateWindowExW(spec.exStyle, spec.className, ToWide(spec.text).c_str(), spec.style, spec.x,
                                       spec.y, spec.width, spec.height, hwnd_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), create.hInstance,
                                       nullptr);
        if (!control) return false;
        controls_[static_cast<size_t>(i)] = control;
        fonts_[static_cast<size_t>(i)] = MakeControlFont();
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[static_cast<size_t>(i)].Get()), FALSE);
    }
    for (layout::Control edit : {layout::kEdit1, layout::kEdit2}) {
        SendMessageW(controls_[edit], EM_SETLIMITTEXT, 0, 0);
        SendMessageW(controls_[edit], EM_SETSEL, 0, 0);
    }
    bigIcon_ = LoadAppIcon(create.hInstance, SM_CXICON);
    smallIcon_ = LoadAppIcon(create.hInstance, SM_CXSMICON);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    access_.Attach(controls_[layout::kEdit1], controls_[layout::kEdit2], controls_[layout::kButton1]);
    return true;
}

void MainWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    PaintContent(dc, ps.rcPaint);
    EndPaint(hwnd_, &ps);
}

void MainWindow::OnPrintClient(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    PaintContent(dc, client);
}

void MainWindow::OnCommand(int id, HWND control, UINT code) {
    if (!control) {
        if (id == static_cast<int>(layout::kPublisherSiteItem)) OnPublisherSiteSelected();
        return;
    }
    if (code != BN_CLICKED) return;
    if (id == ControlId(layout::kButton1)) {
        OnStartClicked(access_);
    } else if (id == ControlId(layout::kButton2)) {
        OnPlayClicked(access_);
    }
    // Closed while the handler ran: the quit message went into the queue then, but a message loop of
    // the system's own (the URL download's, under Wine) may have taken it since. Ask again.
    if (!hwnd_) PostQuitMessage(0);
}

LRESULT MainWindow::OnControlColour(HDC dc, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (control != controls_[layout::kEdit1] && control != controls_[layout::kEdit2]) {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
    // Black on white in every state, the read-only box included.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

bool MainWindow::OnSysCommand(WPARAM command) {
    // The window has a fixed size: no maximize button, and no other road to maximizing either
    // (a double-click on the caption, a posted command).
    return command != SC_MAXIMIZE;
}

void MainWindow::OnActivate(UINT state) {
    if (state != WA_INACTIVE) return;
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) rememberedFocus_ = focus;
}

void MainWindow::OnSetFocus() {
    HWND target = rememberedFocus_;
    if (!target || !IsChild(hwnd_, target) || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
        const auto ring = FocusRing();
        target = NextInRing(ring, nullptr, false);
    }
    if (target) SetFocus(target);
}

void MainWindow::OnDestroy() {
    // Handlers still running inside the pump find no controls from here on.
    access_.Detach();
    controls_ = {};
    rememberedFocus_ = nullptr;
    // A window that failed half-way through its creation ends nothing: the fatal report comes
    // next, and a quit message in the queue would close its box before anyone saw it.
    if (created_) PostQuitMessage(0);
}

LRESULT MainWindow::OnNcDestroy(WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    return DefWindowProcW(hwnd, WM_NCDESTROY, wParam, lParam);
}
