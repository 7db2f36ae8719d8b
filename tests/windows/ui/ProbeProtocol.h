// What the UI driver and the probe it loads into Tarvinel say to each other. The driver posts the
// probe message to Tarvinel's window with its own window in wParam; the probe, which sees the
// message through its message hook, answers with WM_COPYDATA: lines of "key=value" in UTF-8.
#pragma once

inline constexpr wchar_t kProbeMessageName[] = L"TarvinelUiProbe";
inline constexpr char kProbeHookName[] = "ProbeGetMessageHook";
inline constexpr unsigned long kProbeAnswerTag = 0x50524F42;  // "PROB"
