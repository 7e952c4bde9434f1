#include "platform/ShellOpen.h"

#include <shellapi.h>

WinBase::UniqueKernelHandle ShellOpen(HWND owner, const std::wstring& file, const std::wstring& parameters,
                                      const std::wstring& directory, int showCommand) {
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOCLOSEPROCESS;  // no SEE_MASK_FLAG_NO_UI
    request.hwnd = owner;
    request.lpVerb = L"open";
    request.lpFile = file.c_str();
    request.lpParameters = parameters.c_str();
    request.lpDirectory = directory.c_str();
    request.nShow = showCommand;
    if (::ShellExecuteExW(&request) != TRUE) return WinBase::UniqueKernelHandle();
    return WinBase::UniqueKernelHandle(request.hProcess);
}
