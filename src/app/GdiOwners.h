// Owners of the GDI and user objects the window makes for itself.
#pragma once

#include "sys/Owner.h"

struct FontTraits {
    using Handle = HFONT;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};
// A menu not (yet) attached to a window; once attached, the window destroys it.
struct MenuTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DestroyMenu(h); }
};

using FontOwner = Owner<FontTraits>;
using IconOwner = Owner<IconTraits>;
using MenuOwner = Owner<MenuTraits>;
