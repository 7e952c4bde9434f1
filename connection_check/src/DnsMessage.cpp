#include "connection_check/DnsMessage.h"

namespace ConnectionCheck {

namespace {

constexpr size_t HeaderSize = 12;
constexpr uint16_t FlagResponse = 0x8000;
constexpr uint16_t OpcodeMask = 0x7800;
constexpr uint16_t FlagRecursionDesired = 0x0100;
constexpr uint16_t ResultCodeMask = 0x000F;
constexpr uint16_t TypeNs = 2;
constexpr uint16_t ClassIn = 1;

uint16_t Read16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] << 8 | at[1]);
}

void Append16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

}  // namespace

std::vector<uint8_t> BuildRootNsQuery(uint16_t id) {
    std::vector<uint8_t> query;
    query.reserve(HeaderSize + 5);
    Append16(query, id);
    Append16(query, FlagRecursionDesired);  // a standard query (opcode 0)
    Append16(query, 1);                     // one question
    Append16(query, 0);                     // no answer, authority or additional records
    Append16(query, 0);
    Append16(query, 0);
    query.push_back(0);  // the root name: one empty label
    Append16(query, TypeNs);
    Append16(query, ClassIn);
    return query;
}

const char* DnsResultCodeName(uint8_t code) {
    static const char* const names[] = {"NOERROR", "FORMERR", "SERVFAIL", "NXDOMAIN", "NOTIMP", "REFUSED"};
    return code < sizeof names / sizeof names[0] ? names[code] : nullptr;
}

DnsReply ReadDnsReply(const uint8_t* data, size_t size, uint16_t id) {
    if (data == nullptr || size < HeaderSize) return {DnsReplyKind::TooShort};
    const uint16_t flags = Read16(data + 2);
    if ((flags & FlagResponse) == 0 || (flags & OpcodeMask) != 0) return {DnsReplyKind::NotReply};
    if (Read16(data) != id) return {DnsReplyKind::WrongId};
    const DnsReply reply{DnsReplyKind::Reply, static_cast<uint8_t>(flags & ResultCodeMask)};
    const uint16_t questions = Read16(data + 4);
    if (questions == 0) return reply;  // some servers leave it out on errors
    if (questions != 1) return {DnsReplyKind::NotReply};
    if (size < HeaderSize + 5) return {DnsReplyKind::TooShort};
    const uint8_t* const question = data + HeaderSize;
    if (question[0] != 0 || Read16(question + 1) != TypeNs || Read16(question + 3) != ClassIn)
        return {DnsReplyKind::NotReply};
    return reply;
}

}  // namespace ConnectionCheck
