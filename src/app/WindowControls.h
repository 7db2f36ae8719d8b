// The control access the window gives the command handlers: the text of 编辑框1, the message in
// 编辑框2 and the caption of 按钮1, as Text in code page 936. The window detaches it when it is
// destroyed; from then on reads give the absent text and writes do nothing, so a handler still
// running inside the message pump finishes without touching a window that is gone.
#pragma once

#include "speech/ControlAccess.h"
#include "sys/Win.h"

class WindowControls final : public ControlAccess {
public:
    void Attach(HWND input, HWND message, HWND start);
    void Detach();

    Text InputText() override;
    Text MessageText() override;
    void SetMessageText(const Text& text) override;
    Text StartCaption() override;
    void SetStartCaption(const Text& text) override;

private:
    HWND input_ = nullptr;
    HWND message_ = nullptr;
    HWND start_ = nullptr;
};

// A window's text in code page 936; the absent text for no window.
Text ReadWindowText(HWND window);
// Sets a window's text from code page 936; nothing for no window.
void WriteWindowText(HWND window, const Text& text);
