#include <winsock2.h>
#include <windows.h>
#include <ntsecapi.h>

#include "connection_check/Checks.h"
#include "connection_check/DnsMessage.h"
#include "win_base/Ipv4Text.h"
#include "win_base/LibraryLoading.h"
#include "win_base/UniqueSocket.h"

namespace ConnectionCheck {

namespace {

constexpr int Tries = 2;
constexpr DWORD TryMs = 2000;
constexpr u_short DnsPort = 53;

// The Winsock calls the query needs, bound at run time; started for as long as the
// object lives.
class Winsock {
public:
    Winsock() : m_library(L"ws2_32.dll") {
        startup = m_library.Entry<decltype(startup)>("WSAStartup");
        cleanup = m_library.Entry<decltype(cleanup)>("WSACleanup");
        socket = m_library.Entry<decltype(socket)>("socket");
        closesocket = m_library.Entry<decltype(closesocket)>("closesocket");
        connect = m_library.Entry<decltype(connect)>("connect");
        send = m_library.Entry<decltype(send)>("send");
        recv = m_library.Entry<decltype(recv)>("recv");
        select = m_library.Entry<decltype(select)>("select");
        WSADATA data;
        m_started = startup != nullptr && cleanup != nullptr && socket != nullptr && closesocket != nullptr &&
                    connect != nullptr && send != nullptr && recv != nullptr && select != nullptr &&
                    startup(MAKEWORD(2, 2), &data) == 0;
    }
    ~Winsock() {
        if (m_started) cleanup();
    }
    Winsock(const Winsock&) = delete;
    Winsock& operator=(const Winsock&) = delete;
    bool Started() const { return m_started; }

    int(WSAAPI* startup)(WORD, LPWSADATA) = nullptr;
    int(WSAAPI* cleanup)() = nullptr;
    SOCKET(WSAAPI* socket)(int, int, int) = nullptr;
    int(WSAAPI* closesocket)(SOCKET) = nullptr;
    int(WSAAPI* connect)(SOCKET, const sockaddr*, int) = nullptr;
    int(WSAAPI* send)(SOCKET, const char*, int, int) = nullptr;
    int(WSAAPI* recv)(SOCKET, char*, int, int) = nullptr;
    int(WSAAPI* select)(int, fd_set*, fd_set*, fd_set*, const timeval*) = nullptr;

private:
    WinBase::SystemLibrary m_library;
    bool m_started = false;
};

// A message ID nobody else can guess, so that only the server's reply matches it.
uint16_t RandomId() {
    uint16_t id = 0;
    if (!::RtlGenRandom(&id, sizeof id))
        id = static_cast<uint16_t>(::GetTickCount() ^ ::GetCurrentProcessId());
    return id;
}

// Waits up to timeoutMs for one datagram; true when one can be read.
bool Readable(const Winsock& winsock, SOCKET socket, DWORD timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval timeout{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
    return winsock.select(0, &set, nullptr, nullptr, &timeout) == 1;
}

// One try: sends the query, then reads what arrives until our reply or the time is up.
// A reply is read whole into the buffer (the UDP maximum), so a long one is not lost.
bool TryOnce(const Winsock& winsock, SOCKET socket, const std::vector<uint8_t>& query, uint16_t id,
             std::vector<uint8_t>& buffer, DnsCheck& result) {
    const DWORD start = ::GetTickCount();
    const bool sent = winsock.send(socket, reinterpret_cast<const char*>(query.data()),
                                   static_cast<int>(query.size()), 0) == static_cast<int>(query.size());
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= TryMs) return false;
        if (!sent || !Readable(winsock, socket, TryMs - elapsed)) {
            // Nothing went out, or nothing came: the try takes its whole time anyway,
            // so that the tries stay apart.
            if (!sent) ::Sleep(TryMs - elapsed);
            return false;
        }
        const int received =
            winsock.recv(socket, reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()), 0);
        if (received == SOCKET_ERROR) {
            // An ICMP "port unreachable" surfaces here; wait out the try.
            const DWORD now = ::GetTickCount() - start;
            if (now < TryMs) ::Sleep(TryMs - now);
            return false;
        }
        const DnsReply reply = ReadDnsReply(buffer.data(), static_cast<size_t>(received), id);
        if (reply.kind == DnsReplyKind::Reply) {
            result.replied = true;
            result.resultCode = reply.resultCode;
            return true;
        }
    }
}

}  // namespace

DnsCheck CheckDnsServer(const std::string& server) {
    DnsCheck result;
    const std::optional<uint32_t> address = WinBase::ParseIpv4(server);
    if (!address) return result;
    const Winsock winsock;
    if (!winsock.Started()) return result;
    const WinBase::UniqueSocket socket(winsock.socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP),
                                       {winsock.closesocket});
    if (socket.get() == INVALID_SOCKET) return result;
    // Connected: only datagrams from the server's port 53 reach us.
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = static_cast<u_short>((DnsPort >> 8) | (DnsPort & 0xFF) << 8);  // network order
    peer.sin_addr.s_addr = *address;
    if (winsock.connect(socket.get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0)
        return result;
    const uint16_t id = RandomId();
    const std::vector<uint8_t> query = BuildRootNsQuery(id);
    std::vector<uint8_t> buffer(MaxReplySize);
    for (int attempt = 0; attempt < Tries; ++attempt)
        if (TryOnce(winsock, socket.get(), query, id, buffer, result)) break;
    return result;
}

}  // namespace ConnectionCheck
