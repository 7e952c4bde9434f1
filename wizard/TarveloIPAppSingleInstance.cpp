#include "TarveloIPAppSingleInstance.h"

#include <string>

namespace {

const wchar_t MutexName[] = L"Local\\TarveloIP.Wizard.8C2F4A61";

// The full path of a process's program; empty when it cannot be read.
std::wstring ProgramPath(DWORD processId) {
    const WinBase::UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    wchar_t path[MAX_PATH * 2];
    DWORD size = static_cast<DWORD>(std::size(path));
    const BOOL read = QueryFullProcessImageNameW(process.get(), 0, path, &size);
    return read ? std::wstring(path, size) : std::wstring();
}

struct Search {
    std::wstring program;  // this program's path
    HWND found = nullptr;
};

// A visible, enabled top-level window of another process running this program.
BOOL CALLBACK Consider(HWND window, LPARAM context) {
    Search& search = *reinterpret_cast<Search*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId() || !IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    if (_wcsicmp(ProgramPath(processId).c_str(), search.program.c_str()) != 0) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

CSingleInstance::CSingleInstance() : m_mutex(CreateMutexW(nullptr, FALSE, MutexName)) {
    m_first = !m_mutex || GetLastError() != ERROR_ALREADY_EXISTS;
}

bool CSingleInstance::BringOtherToFront() {
    Search search{ProgramPath(GetCurrentProcessId())};
    for (int attempt = 0; attempt < 50 && search.found == nullptr; ++attempt) {
        if (attempt > 0) Sleep(100);
        EnumWindows(&Consider, reinterpret_cast<LPARAM>(&search));
    }
    if (search.found == nullptr) return false;
    if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
    SetForegroundWindow(search.found);
    return true;
}
