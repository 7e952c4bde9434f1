#include "PagePainting.h"

#include "AddressRules.h"
#include "dialog_framework/Gdi.h"
#include "resources/resource.h"

namespace {
constexpr int PictureWidth = 190;
constexpr int PictureHeight = 149;
}  // namespace

void DrawPagePicture(HWND pictureControl) {
    const CResourceBitmap bitmap(IDB_PICTURE);
    const CClientDC pictureDc(pictureControl);
    const CMemoryDC memoryDc(pictureDc.GetSafeHdc());
    const CSelectObject selection(memoryDc.GetSafeHdc(), bitmap.GetSafeHandle());
    ::BitBlt(pictureDc.GetSafeHdc(), 0, 0, PictureWidth, PictureHeight, memoryDc.GetSafeHdc(), 0, 0, SRCCOPY);
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
