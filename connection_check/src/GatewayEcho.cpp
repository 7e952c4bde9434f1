#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <vector>

#include "connection_check/Checks.h"
#include "win_base/Ipv4Text.h"
#include "win_base/LibraryLoading.h"

namespace ConnectionCheck {

namespace {

constexpr int Tries = 5;
constexpr DWORD TryMs = 1000;

// The IP Helper's echo calls, bound at run time, and one echo handle open for as long
// as the object lives.
class IcmpEcho {
public:
    IcmpEcho() : m_library(L"iphlpapi.dll") {
        const auto create = m_library.Entry<decltype(&::IcmpCreateFile)>("IcmpCreateFile");
        m_close = m_library.Entry<decltype(m_close)>("IcmpCloseHandle");
        send = m_library.Entry<decltype(send)>("IcmpSendEcho2");
        if (create != nullptr && m_close != nullptr && send != nullptr) m_handle = create();
    }
    ~IcmpEcho() {
        if (m_handle != INVALID_HANDLE_VALUE) m_close(m_handle);
    }
    IcmpEcho(const IcmpEcho&) = delete;
    IcmpEcho& operator=(const IcmpEcho&) = delete;
    HANDLE Get() const { return m_handle; }

    decltype(&::IcmpSendEcho2) send = nullptr;

private:
    WinBase::SystemLibrary m_library;
    decltype(&::IcmpCloseHandle) m_close = nullptr;
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

}  // namespace

bool GatewayAnswers(const std::string& gateway) {
    const std::optional<uint32_t> address = WinBase::ParseIpv4(gateway);
    if (!address) return false;
    const IcmpEcho icmp;
    if (icmp.Get() == INVALID_HANDLE_VALUE) return false;
    char payload[] = "Tarvelo connection check";
    std::vector<BYTE> replies(sizeof(ICMP_ECHO_REPLY) + sizeof payload + 8 + 64);
    for (int attempt = 0; attempt < Tries; ++attempt) {
        const DWORD start = ::GetTickCount();
        const DWORD count =
            icmp.send(icmp.Get(), nullptr, nullptr, nullptr, *address, payload, sizeof payload, nullptr,
                      replies.data(), static_cast<DWORD>(replies.size()), TryMs);
        if (count > 0) {
            const auto* const reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(replies.data());
            if (reply->Status == IP_SUCCESS && reply->Address == *address) return true;
        }
        // An unreachable address fails at once: keep the tries a second apart.
        const DWORD elapsed = ::GetTickCount() - start;
        if (attempt + 1 < Tries && elapsed < TryMs) ::Sleep(TryMs - elapsed);
    }
    return false;
}

}  // namespace ConnectionCheck
