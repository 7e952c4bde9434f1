// The one DNS message the checks send, and the reading of what comes back: a standard
// query for the root name ".", type NS, class IN, with recursion desired.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ConnectionCheck {

// The query datagram (17 bytes) with the given message ID.
std::vector<uint8_t> BuildRootNsQuery(uint16_t id);

// The largest datagram a reply can be (the UDP maximum); a reply is read whole.
constexpr size_t MaxReplySize = 65535;

// DNS result codes the checks name (RFC 1035); any other is reported by its number.
enum DnsResultCode : uint8_t {
    DnsNoError = 0,
    DnsFormatError = 1,
    DnsServerFailure = 2,
    DnsNameError = 3,
    DnsNotImplemented = 4,
    DnsRefused = 5,
};

// The code's name as DNS tools print it ("REFUSED"); nullptr for a code without one here.
const char* DnsResultCodeName(uint8_t code);

enum class DnsReplyKind {
    Reply,     // a well-formed reply to our query; its result code says what it means
    TooShort,  // shorter than its header or than the question it announces
    WrongId,   // a reply, but to another query
    NotReply,  // a query (QR clear), another operation, or another question
};

struct DnsReply {
    DnsReplyKind kind = DnsReplyKind::TooShort;
    uint8_t resultCode = 0;  // the header's result code, for a Reply
};

// Reads a datagram received after sending BuildRootNsQuery(id). A reply may leave the
// question out (count 0); when it holds one, it must be ours. Only the header and the
// question are read, so nothing after them (records, compressed names) can mislead it.
// A truncated reply (TC set) is read like any other: the server did answer.
DnsReply ReadDnsReply(const uint8_t* data, size_t size, uint16_t id);

}  // namespace ConnectionCheck
