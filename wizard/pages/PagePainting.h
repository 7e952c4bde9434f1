#pragma once
#include <windows.h>

// Drawing shared by the entry and closing pages.

// The page picture (bitmap 129) shown by the picture control, scaled to the control's
// actual size (which follows the dialog font's DPI) with halftone stretching, keeping
// its proportions and filling the whole frame. The control paints it itself; this
// object owns the scaled bitmap, so it must outlive the control's use of it.
class CPagePicture {
public:
    CPagePicture() = default;
    ~CPagePicture();
    CPagePicture(const CPagePicture&) = delete;
    CPagePicture& operator=(const CPagePicture&) = delete;

    // Gives the control a picture of its current size, unless it already has one;
    // leaves the control's picture as it was when a bitmap cannot be made.
    void Show(HWND pictureControl);

private:
    HBITMAP m_scaled = nullptr;
    SIZE m_size{};
};

// Paints a minimized page: erases the icon background and draws the icon centred in
// the client area, inside a paint cycle of its own.
void PaintMinimizedIcon(HWND page, HICON icon);
