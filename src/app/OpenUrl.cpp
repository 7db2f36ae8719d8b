#include "app/OpenUrl.h"

#include "sys/Wide.h"
#include "sys/Win.h"

#include <shellapi.h>

void OpenUrl(const Text& address) {
    ShellExecuteW(nullptr, L"open", WideArg(address).Get(), nullptr, nullptr, SW_SHOWNORMAL);
}
