#pragma once
#include <windows.h>

// Drawing shared by the entry and closing pages.

// Copies the page picture (bitmap 129, 190 x 149) to (0, 0) of the picture control.
void DrawPagePicture(HWND pictureControl);

// Paints a minimized page: erases the icon background and draws the icon centred in
// the client area, inside a paint cycle of its own.
void PaintMinimizedIcon(HWND page, HICON icon);
