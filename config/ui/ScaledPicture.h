#pragma once

#include <windows.h>

#include <string>

#include "ui/DisplayScale.h"

namespace tavrine::ui {

// A skin picture at a display scale above 96 DPI, as a new bitmap the caller owns (nullptr when
// nothing can be made). Drawn from the 2x copy of `oneXFile` when it stands for the picture
// (as is at 192 DPI, resized with good filtering otherwise), else from `oneX` enlarged smoothly.
// Lime stays exactly lime where the picture is see-through and appears nowhere else.
HBITMAP MakeScaledPicture(HBITMAP oneX, SIZE oneXSize, const std::wstring& oneXFile,
                          const DisplayScale& scale);

// A strip of `count` pictures of `iconSize` (layout units) at a display scale above 96 DPI, as a
// new bitmap the caller owns (nullptr when nothing can be made): from the 2x strip when there is
// one of twice the size (as is at 192 DPI, resized otherwise), else from the 1x one enlarged;
// each picture resized on its own.
HBITMAP MakeScaledStrip(HBITMAP oneX, HBITMAP twoX, int count, SIZE iconSize,
                        const DisplayScale& scale);

}  // namespace tavrine::ui
