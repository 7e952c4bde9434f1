// A socket owner for code that binds the socket library at run time (so that no
// program imports it): the traits carry the bound closesocket.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include "win_base/UniqueHandle.h"

namespace WinBase {

struct SocketTraits {
    using Type = SOCKET;
    static Type Invalid() noexcept { return INVALID_SOCKET; }
    void Close(Type socket) const noexcept {
        if (closeSocket != nullptr) closeSocket(socket);
    }
    int(WSAAPI* closeSocket)(SOCKET) = nullptr;
};

using UniqueSocket = UniqueHandle<SocketTraits>;

}  // namespace WinBase
