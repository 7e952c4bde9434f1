#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <vector>

#include "Ipv4Text.h"
#include "connection_check/Checks.h"

namespace ConnectionCheck {

namespace {

constexpr int Tries = 5;
constexpr DWORD TryMs = 1000;

class IcmpHandle {
public:
    IcmpHandle() : m_handle(::IcmpCreateFile()) {}
    ~IcmpHandle() {
        if (m_handle != INVALID_HANDLE_VALUE) ::IcmpCloseHandle(m_handle);
    }
    IcmpHandle(const IcmpHandle&) = delete;
    IcmpHandle& operator=(const IcmpHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

}  // namespace

bool GatewayAnswers(const std::string& gateway) {
    const std::optional<uint32_t> address = ParseIpv4(gateway);
    if (!address) return false;
    const IcmpHandle icmp;
    if (icmp.Get() == INVALID_HANDLE_VALUE) return false;
    char payload[] = "Tarvelo connection check";
    std::vector<BYTE> replies(sizeof(ICMP_ECHO_REPLY) + sizeof payload + 8 + 64);
    for (int attempt = 0; attempt < Tries; ++attempt) {
        const DWORD start = ::GetTickCount();
        const DWORD count =
            ::IcmpSendEcho2(icmp.Get(), nullptr, nullptr, nullptr, *address, payload, sizeof payload, nullptr,
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
