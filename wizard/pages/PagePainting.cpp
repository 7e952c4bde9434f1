#include "pages/PagePainting.h"

#include "apply/AddressRules.h"
#include "dialog_framework/Gdi.h"
#include "resources/resource.h"

namespace {

// The part of a source of the given size that covers a frame with the frame's
// proportions: all of one side, the middle of the other.
RECT CoveringPart(LONG sourceWidth, LONG sourceHeight, LONG frameWidth, LONG frameHeight) {
    if (frameWidth * sourceHeight > frameHeight * sourceWidth) {  // frame wider than the source
        const LONG height = frameHeight * sourceWidth / frameWidth;
        return RECT{0, (sourceHeight - height) / 2, sourceWidth, (sourceHeight - height) / 2 + height};
    }
    const LONG width = frameWidth * sourceHeight / frameHeight;
    return RECT{(sourceWidth - width) / 2, 0, (sourceWidth - width) / 2 + width, sourceHeight};
}

// Bitmap 129 scaled with halftone stretching to width x height, as a new 24-bit bitmap
// the caller owns; nullptr when it cannot be made.
HBITMAP ScaledPicture(LONG width, LONG height) {
    const CResourceBitmap picture(IDB_PICTURE);
    BITMAP source{};
    if (::GetObjectW(picture.GetSafeHandle(), sizeof source, &source) == 0) return nullptr;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP scaled = ::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (scaled == nullptr) return nullptr;
    {
        const CMemoryDC sourceDc(nullptr);
        const CMemoryDC targetDc(nullptr);
        const CSelectObject sourceSelection(sourceDc.GetSafeHdc(), picture.GetSafeHandle());
        const CSelectObject targetSelection(targetDc.GetSafeHdc(), scaled);
        ::SetStretchBltMode(targetDc.GetSafeHdc(), HALFTONE);
        ::SetBrushOrgEx(targetDc.GetSafeHdc(), 0, 0, nullptr);
        const RECT part = CoveringPart(source.bmWidth, source.bmHeight, width, height);
        ::StretchBlt(targetDc.GetSafeHdc(), 0, 0, width, height, sourceDc.GetSafeHdc(), part.left, part.top,
                     part.right - part.left, part.bottom - part.top, SRCCOPY);
    }
    return scaled;
}

}  // namespace

CPagePicture::~CPagePicture() {
    if (m_scaled != nullptr) ::DeleteObject(m_scaled);
}

void CPagePicture::Show(HWND pictureControl) {
    RECT frame{};
    if (!::GetClientRect(pictureControl, &frame) || frame.right <= 0 || frame.bottom <= 0) return;
    if (m_scaled != nullptr && frame.right == m_size.cx && frame.bottom == m_size.cy) return;
    const HBITMAP scaled = ScaledPicture(frame.right, frame.bottom);
    if (scaled == nullptr) return;
    ::SendMessageW(pictureControl, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaled));
    if (m_scaled != nullptr) ::DeleteObject(m_scaled);
    m_scaled = scaled;
    m_size = SIZE{frame.right, frame.bottom};
}

void PaintMinimizedIcon(HWND page, HICON icon) {
    const CPaintDC dc(page);
    ::SendMessageW(page, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT client{};
    ::GetClientRect(page, &client);
    const POINT origin = CenteredIconOrigin(client.right - client.left, client.bottom - client.top,
                                            ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
    ::DrawIcon(dc.GetSafeHdc(), origin.x, origin.y, icon);
}
