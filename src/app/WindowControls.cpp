#include "app/WindowControls.h"

#include <string>

#include "sys/Wide.h"

void WindowControls::Attach(HWND input, HWND message, HWND start) {
    input_ = input;
    message_ = message;
    start_ = start;
}

void WindowControls::Detach() { Attach(nullptr, nullptr, nullptr); }

Text WindowControls::InputText() { return ReadWindowText(input_); }

Text WindowControls::MessageText() { return ReadWindowText(message_); }

void WindowControls::SetMessageText(const Text& text) {
    if (!message_ || !IsWindow(message_)) return;
    WriteWindowText(message_, text);
    SendMessageW(message_, EM_SETSEL, 0, 0);
    SendMessageW(message_, WM_VSCROLL, SB_TOP, 0);
    SendMessageW(message_, EM_SCROLLCARET, 0, 0);
    // A multi-line edit does not report a change made through its text; nothing listens, but the
    // parent hears of it as it would of a typed change.
    SendMessageW(GetParent(message_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(message_), EN_CHANGE),
                 reinterpret_cast<LPARAM>(message_));
}

Text WindowControls::StartCaption() { return ReadWindowText(start_); }

void WindowControls::SetStartCaption(const Text& text) { WriteWindowText(start_, text); }

Text ReadWindowText(HWND window) {
    if (!window || !IsWindow(window)) return Text();
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return Text();
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, buffer.data(), length + 1);
    buffer.resize(static_cast<size_t>(got > 0 ? got : 0));
    return FromWide(buffer).text;
}

void WriteWindowText(HWND window, const Text& text) {
    if (!window || !IsWindow(window)) return;
    SetWindowTextW(window, ToWide(text).c_str());
}
