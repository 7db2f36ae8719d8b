// The three window values the command handlers touch: the text typed into 编辑框1, the message in
// 编辑框2 and the caption of 按钮1. The window provides them; tests provide them in memory. Once
// the window is gone, reads give the absent text and writes do nothing.
#pragma once

#include "util/Text.h"

class ControlAccess {
public:
    virtual ~ControlAccess() = default;
    virtual Text InputText() = 0;
    virtual Text MessageText() = 0;
    // Replaces the whole message; the caret goes to the start.
    virtual void SetMessageText(const Text& text) = 0;
    virtual Text StartCaption() = 0;
    virtual void SetStartCaption(const Text& text) = 0;
};
