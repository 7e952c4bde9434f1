#include "dialog_framework/Gdi.h"

CPaintDC::CPaintDC(HWND window) : m_window(window), m_dc(::BeginPaint(window, &m_paint)) {}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_window, &m_paint);
}

CClientDC::CClientDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}

CClientDC::~CClientDC() {
    if (m_dc != nullptr) ::ReleaseDC(m_window, m_dc);
}

CMemoryDC::CMemoryDC(HDC compatibleWith) : m_dc(::CreateCompatibleDC(compatibleWith)) {}

CMemoryDC::~CMemoryDC() {
    if (m_dc != nullptr) ::DeleteDC(m_dc);
}

CResourceBitmap::CResourceBitmap(UINT resourceId)
    : m_bitmap(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId))) {}

CResourceBitmap::~CResourceBitmap() {
    if (m_bitmap != nullptr) ::DeleteObject(m_bitmap);
}

CSelectObject::CSelectObject(HDC dc, HGDIOBJ object)
    : m_dc(dc), m_previous(dc != nullptr && object != nullptr ? ::SelectObject(dc, object) : nullptr) {}

CSelectObject::~CSelectObject() {
    if (m_previous != nullptr) ::SelectObject(m_dc, m_previous);
}
