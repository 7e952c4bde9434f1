#pragma once
#include <windows.h>

#include <memory>

// A kernel handle closed when its owner goes.
struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;
