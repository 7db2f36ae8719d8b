// The control skin: SkinControls(scheme) takes over the painting of the standard controls of every
// window of the calling thread, those that exist now and those the thread creates later.
//
// Schemes 1, 2 and 3 first remove any skin applied before and then apply that colour scheme; any
// other number only removes the skin. Covered: "Button" (push buttons, check boxes, radio buttons,
// group boxes; not owner-drawn, bitmap or icon buttons), "Edit" (not the fields of an IP-address
// control), "ComboBox" (not simple ones) with their "ComboLBox" lists, and "msctls_updown32". Each
// covered control is subclassed and redrawn at once, and drops its subclass when it is destroyed.
// A failure leaves controls in their own look; nothing is reported.
#pragma once

#include "sys/Win.h"

void SkinControls(int scheme);

// The scheme in force on the calling thread, 0 when none.
int SkinScheme();
// Whether control carries the skin.
bool IsSkinned(HWND control);
