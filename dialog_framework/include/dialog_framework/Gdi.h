#pragma once
#include <windows.h>

// Owners of GDI handles: each releases its handle in the way that matches how it was
// obtained, when it goes out of scope.

// A paint cycle on a window (BeginPaint ... EndPaint).
class CPaintDC {
public:
    explicit CPaintDC(HWND window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_dc; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// The client-area device context of a window (GetDC ... ReleaseDC).
class CClientDC {
public:
    explicit CClientDC(HWND window);
    ~CClientDC();
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    HDC GetSafeHdc() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// A memory device context compatible with another one (CreateCompatibleDC ... DeleteDC).
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatibleWith);
    ~CMemoryDC();
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC GetSafeHdc() const { return m_dc; }

private:
    HDC m_dc;
};

// A bitmap loaded from the program's resources, deleted at the end.
class CResourceBitmap {
public:
    explicit CResourceBitmap(UINT resourceId);
    ~CResourceBitmap();
    CResourceBitmap(const CResourceBitmap&) = delete;
    CResourceBitmap& operator=(const CResourceBitmap&) = delete;

    HBITMAP GetSafeHandle() const { return m_bitmap; }

private:
    HBITMAP m_bitmap;
};

// Selects a GDI object into a device context and selects the previous one back.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object);
    ~CSelectObject();
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
