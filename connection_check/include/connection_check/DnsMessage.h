// The one DNS message the checks send, and the reading of what comes back: a standard
// query for the root name ".", type NS, class IN, with recursion desired.
#pragma once
#include <cstdint>
#include <vector>

namespace ConnectionCheck {

// The query datagram (17 bytes) with the given message ID.
std::vector<uint8_t> BuildRootNsQuery(uint16_t id);

enum class DnsReply {
    Answer,     // a well-formed reply to our query, whatever its result code
    Truncated,  // shorter than its header or than the question it announces
    WrongId,    // a reply, but to another query
    NotReply,   // a query (QR clear), another operation, or another question
};

// Reads a datagram received after sending BuildRootNsQuery(id). A reply may leave the
// question out (count 0); when it holds one, it must be ours.
DnsReply ReadDnsReply(const uint8_t* data, size_t size, uint16_t id);

}  // namespace ConnectionCheck
