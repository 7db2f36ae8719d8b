// A DLL planted beside the test programs under the name of a system library. The binding table must
// never load it; PlantedMarker tells it apart from the real one.
#include <windows.h>

extern "C" __declspec(dllexport) int PlantedMarker() { return 42; }

extern "C" __declspec(dllexport) void* __stdcall InternetOpenA(const char*, DWORD, const char*, const char*,
                                                               DWORD) {
    return reinterpret_cast<void*>(0x5EED);
}
