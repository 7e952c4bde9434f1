#include <winsock2.h>
#include <windows.h>
#include <ntsecapi.h>

#include "Ipv4Text.h"
#include "connection_check/Checks.h"
#include "connection_check/DnsMessage.h"

namespace ConnectionCheck {

namespace {

constexpr int Tries = 2;
constexpr DWORD TryMs = 2000;
constexpr u_short DnsPort = 53;

// Winsock for as long as the object lives.
class WinsockSession {
public:
    WinsockSession() {
        WSADATA data;
        m_started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockSession() {
        if (m_started) ::WSACleanup();
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    bool Started() const { return m_started; }

private:
    bool m_started = false;
};

class UniqueSocket {
public:
    explicit UniqueSocket(SOCKET socket) : m_socket(socket) {}
    ~UniqueSocket() {
        if (m_socket != INVALID_SOCKET) ::closesocket(m_socket);
    }
    UniqueSocket(const UniqueSocket&) = delete;
    UniqueSocket& operator=(const UniqueSocket&) = delete;
    SOCKET Get() const { return m_socket; }

private:
    SOCKET m_socket;
};

// A message ID nobody else can guess, so that only the server's reply matches it.
uint16_t RandomId() {
    uint16_t id = 0;
    if (!::RtlGenRandom(&id, sizeof id))
        id = static_cast<uint16_t>(::GetTickCount() ^ ::GetCurrentProcessId());
    return id;
}

// Waits up to timeoutMs for one datagram; true when one can be read.
bool Readable(SOCKET socket, DWORD timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval timeout{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
    return ::select(0, &set, nullptr, nullptr, &timeout) == 1;
}

// One try: sends the query, then reads what arrives until our reply or the time is up.
bool TryOnce(SOCKET socket, const std::vector<uint8_t>& query, uint16_t id) {
    const DWORD start = ::GetTickCount();
    const bool sent = ::send(socket, reinterpret_cast<const char*>(query.data()),
                             static_cast<int>(query.size()), 0) == static_cast<int>(query.size());
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= TryMs) return false;
        if (!sent || !Readable(socket, TryMs - elapsed)) {
            // Nothing went out, or nothing came: the try takes its whole time anyway,
            // so that the tries stay apart.
            if (!sent) ::Sleep(TryMs - elapsed);
            return false;
        }
        uint8_t reply[512];
        const int received = ::recv(socket, reinterpret_cast<char*>(reply), sizeof reply, 0);
        if (received == SOCKET_ERROR) {
            // An ICMP "port unreachable" surfaces here; wait out the try.
            const DWORD now = ::GetTickCount() - start;
            if (now < TryMs) ::Sleep(TryMs - now);
            return false;
        }
        if (ReadDnsReply(reply, static_cast<size_t>(received), id) == DnsReply::Answer) return true;
    }
}

}  // namespace

bool DnsServerAnswers(const std::string& server) {
    const std::optional<uint32_t> address = ParseIpv4(server);
    if (!address) return false;
    const WinsockSession winsock;
    if (!winsock.Started()) return false;
    const UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (socket.Get() == INVALID_SOCKET) return false;
    // Connected: only datagrams from the server's port 53 reach us.
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = ::htons(DnsPort);
    peer.sin_addr.s_addr = *address;
    if (::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) return false;
    const uint16_t id = RandomId();
    const std::vector<uint8_t> query = BuildRootNsQuery(id);
    for (int attempt = 0; attempt < Tries; ++attempt)
        if (TryOnce(socket.Get(), query, id)) return true;
    return false;
}

}  // namespace ConnectionCheck
