#include <gtest/gtest.h>

#include "connection_check/DnsMessage.h"

using namespace ConnectionCheck;

namespace {

// A server's reply to the query with this ID: the query echoed with QR set and the
// given result code, optionally cut to size bytes.
std::vector<uint8_t> ReplyTo(uint16_t id, uint8_t resultCode = 0) {
    std::vector<uint8_t> reply = BuildRootNsQuery(id);
    reply[2] |= 0x80;                                    // QR: a response
    reply[3] = static_cast<uint8_t>(0x80 | resultCode);  // RA and the result code
    return reply;
}

DnsReplyKind Read(const std::vector<uint8_t>& bytes, uint16_t id) {
    return ReadDnsReply(bytes.data(), bytes.size(), id).kind;
}

}  // namespace

TEST(DnsMessage, QueryIsTheRootNsQuestionWithOurId) {
    const std::vector<uint8_t> expected = {0xBE, 0xEF, 0x01, 0x00, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1};
    EXPECT_EQ(BuildRootNsQuery(0xBEEF), expected);
}

TEST(DnsMessage, AWellFormedReplyCarriesItsResultCode) {
    for (uint8_t code = 0; code < 16; ++code) {
        const DnsReply reply = ReadDnsReply(ReplyTo(0x1234, code).data(), 17, 0x1234);
        EXPECT_EQ(reply.kind, DnsReplyKind::Reply) << int(code);
        EXPECT_EQ(reply.resultCode, code);
    }
    // With answer records after the question.
    std::vector<uint8_t> longer = ReplyTo(0x1234);
    longer[7] = 1;
    longer.insert(longer.end(), {0, 0, 2, 0, 1, 0, 0, 0, 60, 0, 2, 0xC0, 0x0C});
    EXPECT_EQ(Read(longer, 0x1234), DnsReplyKind::Reply);
    // A reply without its question (some servers on an error).
    std::vector<uint8_t> bare = ReplyTo(0x1234, DnsRefused);
    bare.resize(12);
    bare[5] = 0;
    EXPECT_EQ(ReadDnsReply(bare.data(), bare.size(), 0x1234).resultCode, DnsRefused);
    // Truncated (TC), as a server with more to say than fits sends it: still a reply.
    std::vector<uint8_t> truncated = ReplyTo(0x1234);
    truncated[2] |= 0x02;
    EXPECT_EQ(Read(truncated, 0x1234), DnsReplyKind::Reply);
}

// A reply far over 512 bytes (root servers with their addresses) is read like any
// other; records after the question, however they point, are never followed.
TEST(DnsMessage, LongRepliesAndRecordsThatLoopAreReadByTheirHeader) {
    std::vector<uint8_t> large = ReplyTo(0x5151);
    large[7] = 200;
    while (large.size() < 4000)
        large.insert(large.end(), {0xC0, 0x0C, 0, 2, 0, 1, 0, 0, 0, 60, 0, 2, 0xC0, 0x0C});
    EXPECT_EQ(Read(large, 0x5151), DnsReplyKind::Reply);
    std::vector<uint8_t> loop = ReplyTo(0x5151, DnsServerFailure);
    loop[7] = 1;
    loop.insert(loop.end(), {0xC0, 17, 0, 2, 0, 1});  // a name pointing at itself
    const DnsReply reply = ReadDnsReply(loop.data(), loop.size(), 0x5151);
    EXPECT_EQ(reply.kind, DnsReplyKind::Reply);
    EXPECT_EQ(reply.resultCode, DnsServerFailure);
}

TEST(DnsMessage, ResultCodesHaveTheirUsualNames) {
    EXPECT_STREQ(DnsResultCodeName(0), "NOERROR");
    EXPECT_STREQ(DnsResultCodeName(1), "FORMERR");
    EXPECT_STREQ(DnsResultCodeName(2), "SERVFAIL");
    EXPECT_STREQ(DnsResultCodeName(3), "NXDOMAIN");
    EXPECT_STREQ(DnsResultCodeName(4), "NOTIMP");
    EXPECT_STREQ(DnsResultCodeName(5), "REFUSED");
    EXPECT_EQ(DnsResultCodeName(6), nullptr);
    EXPECT_EQ(DnsResultCodeName(15), nullptr);
}

TEST(DnsMessage, TruncatedDatagramsAreNoAnswer) {
    const std::vector<uint8_t> reply = ReplyTo(0x4321);
    for (size_t size = 0; size < reply.size(); ++size)
        EXPECT_EQ(ReadDnsReply(reply.data(), size, 0x4321).kind, DnsReplyKind::TooShort) << size << " bytes";
    EXPECT_EQ(ReadDnsReply(nullptr, 0, 0x4321).kind, DnsReplyKind::TooShort);
}

TEST(DnsMessage, WrongIdIsNoAnswer) {
    EXPECT_EQ(Read(ReplyTo(0x4321), 0x4322), DnsReplyKind::WrongId);
    EXPECT_EQ(Read(ReplyTo(0x2143), 0x4321), DnsReplyKind::WrongId);  // bytes swapped
}

TEST(DnsMessage, WrongFlagsOrQuestionAreNoAnswer) {
    // Our own query coming back (QR clear), as a loop or a misbehaving relay would send it.
    EXPECT_EQ(Read(BuildRootNsQuery(7), 7), DnsReplyKind::NotReply);
    std::vector<uint8_t> otherOperation = ReplyTo(7);
    otherOperation[2] |= 0x28;  // opcode 5 (update)
    EXPECT_EQ(Read(otherOperation, 7), DnsReplyKind::NotReply);
    std::vector<uint8_t> otherType = ReplyTo(7);
    otherType[14] = 1;  // type A
    EXPECT_EQ(Read(otherType, 7), DnsReplyKind::NotReply);
    std::vector<uint8_t> otherName = ReplyTo(7);
    otherName[12] = 3;  // a label instead of the root name
    EXPECT_EQ(Read(otherName, 7), DnsReplyKind::NotReply);
    std::vector<uint8_t> twoQuestions = ReplyTo(7);
    twoQuestions[5] = 2;
    EXPECT_EQ(Read(twoQuestions, 7), DnsReplyKind::NotReply);
}
