#include "http/Internet.h"

namespace {
InternetLibrary* gLibrary = nullptr;
}

InternetLibrary& Internet() { return gLibrary ? *gLibrary : PlatformInternetLibrary(); }

InternetLibrary* SetInternetLibraryForTesting(InternetLibrary* library) {
    InternetLibrary* previous = gLibrary;
    gLibrary = library;
    return previous;
}
