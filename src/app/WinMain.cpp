// Start-up and shut-down: OLE for the URL download, the run directory as the current directory,
// the main window, the message loop, and then the shut-down work in its fixed order.
#include <ole2.h>

#include "app/MainWindow.h"
#include "app/PlaybackCommands.h"
#include "sys/Bound.h"
#include "sys/MessageLoop.h"
#include "sys/Wide.h"
#include "util/Fatal.h"
#include "util/Files.h"

namespace {

const char kWindowFailed[] = "\xD4\xD8\xC8\xEB\xC6\xF4\xB6\xAF\xB4\xB0\xBF\xDA\xCA\xA7\xB0\xDC";  // 载入启动窗口失败

MainWindow* gWindow = nullptr;

// Offered every message by the main loop and by the pump inside a running request alike.
bool PreTranslateKeys(MSG& msg) { return gWindow && gWindow->PreTranslate(msg); }

// The program's own exit routine: there is nothing of its own to put away.
void RunExitRoutine() {}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    OleInitialize(nullptr);
    SetCurrentDirectoryW(ToWide(RunDirectory()).c_str());
    {
        MainWindow window;
        if (!window.Create(instance)) FatalErrorMessage(kWindowFailed);
        gWindow = &window;
        SetPreTranslate(&PreTranslateKeys);
        window.Show();
        RunMessageLoop();
        SetPreTranslate(nullptr);
        gWindow = nullptr;
    }
    RunExitRoutine();
    ReleaseBoundLibraries();
    StopPlayback();
    OleUninitialize();
    return 0;
}
