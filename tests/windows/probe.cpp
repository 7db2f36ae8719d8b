// A small program the Windows tests start to see the system layer from a fresh process: its own run
// directory, the fatal report, and what the binding table loads next to a planted DLL.
//   probe rundir                   prints the run directory in hex, then "exists" when FileExists finds
//                                  anything in it, else "missing"
//   probe fatal-code N             FatalError(N)
//   probe bind LIBRARY FUNCTION    BindByName, "-" standing for the empty library name
//   probe load-plain NAME          LoadLibraryW with the standard search: "planted", "system" or "missing"
//   probe bound-internet           which wininet the table bound InternetOpenA from: "planted" or "system"
#include <cstdio>
#include <cstring>
#include <string>

#include "sys/Bound.h"
#include "sys/Wide.h"
#include "util/Fatal.h"
#include "util/Files.h"

namespace {

const char* Origin(HMODULE m) { return GetProcAddress(m, "PlantedMarker") ? "planted" : "system"; }

HMODULE ModuleOf(const void* address) {
    HMODULE m = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(address), &m);
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "rundir") {
        Text dir = RunDirectory();
        for (char c : dir.View()) std::printf("%02X", static_cast<unsigned char>(c));
        std::printf(" %s\n", FileExists(Concat(dir, "\\*")) ? "exists" : "missing");
        return 0;
    }
    if (command == "fatal-code" && argc == 3) FatalError(std::atoi(argv[2]));
    if (command == "bind" && argc == 4) {
        BindByName(std::strcmp(argv[2], "-") == 0 ? "" : argv[2], argv[3]);
        std::printf("bound\n");
        return 0;
    }
    if (command == "load-plain" && argc == 3) {
        HMODULE m = LoadLibraryW(ToWide(argv[2]).c_str());
        std::printf("%s\n", m ? Origin(m) : "missing");
        return 0;
    }
    if (command == "bound-internet") {
        std::printf("%s\n", Origin(ModuleOf(reinterpret_cast<const void*>(bound::InternetOpenA()))));
        ReleaseBoundLibraries();
        return 0;
    }
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
