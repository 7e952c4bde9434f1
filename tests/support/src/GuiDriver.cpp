#include "test_support/GuiDriver.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <utility>

namespace TestSupport {

GuiProcess::GuiProcess(const std::string& program, const std::string& workingDirectory,
                       const std::string& arguments) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &m_info)) {
        m_info = PROCESS_INFORMATION{};
    }
}

GuiProcess::~GuiProcess() {
    if (m_info.hProcess == nullptr) return;
    if (!HasExited()) {
        TerminateProcess(m_info.hProcess, 0xDEAD);
        WaitForSingleObject(m_info.hProcess, 10000);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

bool GuiProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) const {
    if (m_info.hProcess == nullptr || WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(m_info.hProcess, &exitCode) != FALSE;
}

bool GuiProcess::HasExited() const {
    return m_info.hProcess == nullptr || WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0;
}

namespace {

struct WindowQuery {
    DWORD processId;
    const std::wstring* caption;
    bool visibleOnly;
    std::vector<HWND> found;
    bool byClass = false;
};

std::wstring ClassName(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto& query = *reinterpret_cast<WindowQuery*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != query.processId) return TRUE;
    if (query.visibleOnly && !IsWindowVisible(window)) return TRUE;
    if ((query.byClass ? ClassName(window) : WindowTextW(window)) == *query.caption)
        query.found.push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

}  // namespace

std::vector<HWND> FindProcessWindows(DWORD processId, const std::wstring& caption, bool visibleOnly) {
    WindowQuery query{processId, &caption, visibleOnly, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitForWindow(DWORD processId, const std::wstring& caption, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        const auto windows = FindProcessWindows(processId, caption, true);
        if (!windows.empty()) return windows.front();
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

HWND WaitForWindowOfClass(DWORD processId, const std::wstring& className, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        WindowQuery query{processId, &className, true, {}, true};
        EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&query));
        if (!query.found.empty()) return query.found.front();
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

std::wstring WindowTextW(HWND window) {
    wchar_t text[512] = L"";
    const LRESULT length = SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return std::wstring(text, static_cast<size_t>(std::max<LRESULT>(length, 0)));
}

std::string WindowTextA(HWND window) {
    char text[512] = "";
    const LRESULT length = SendMessageA(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return std::string(text, static_cast<size_t>(std::max<LRESULT>(length, 0)));
}

std::vector<std::string> ChildTextsByPosition(HWND window) {
    std::vector<std::pair<LONG, HWND>> byPosition;
    for (const HWND child : Children(window)) {
        RECT rect{};
        GetWindowRect(child, &rect);
        byPosition.emplace_back(rect.left, child);
    }
    std::sort(byPosition.begin(), byPosition.end());
    std::vector<std::string> texts;
    for (const auto& entry : byPosition) texts.push_back(WindowTextA(entry.second));
    return texts;
}

std::vector<std::wstring> ChildTexts(HWND window, const std::wstring& className) {
    std::vector<std::wstring> texts;
    for (const HWND child : Children(window)) {
        if (_wcsicmp(ClassName(child).c_str(), className.c_str()) == 0) texts.push_back(WindowTextW(child));
    }
    return texts;
}

HWND FocusedWindow(HWND anyWindowOfThread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

void TypeIntoFocus(HWND anyWindowOfThread, const std::string& text) {
    for (const char c : text) {
        const HWND focus = FocusedWindow(anyWindowOfThread);
        if (focus == nullptr) return;
        SendMessageW(focus, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
    }
}

bool SaveScreenshot(HWND window, const std::string& path) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window != nullptr && !GetWindowRect(window, &area)) return false;
    // Paints still pending in the window's thread are done first (the call waits for them).
    if (window != nullptr) RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;

    const std::unique_ptr<std::remove_pointer_t<HDC>, void (*)(HDC)> screen(
        GetDC(nullptr), [](HDC dc) { ReleaseDC(nullptr, dc); });
    const std::unique_ptr<std::remove_pointer_t<HDC>, BOOL(WINAPI*)(HDC)> memory(
        CreateCompatibleDC(screen.get()), &DeleteDC);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as a .bmp file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const std::unique_ptr<std::remove_pointer_t<HBITMAP>, BOOL(WINAPI*)(HGDIOBJ)> bitmap(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0), &DeleteObject);
    if (!screen || !memory || !bitmap || bits == nullptr) return false;
    const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    const BOOL copied = BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
    SelectObject(memory.get(), previous);
    GdiFlush();
    if (!copied) return false;

    const DWORD rowSize = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = rowSize * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), imageSize);
    return out.good();
}

}  // namespace TestSupport
