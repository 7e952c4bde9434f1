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

DnsReply Read(const std::vector<uint8_t>& bytes, uint16_t id) {
    return ReadDnsReply(bytes.data(), bytes.size(), id);
}

}  // namespace

TEST(DnsMessage, QueryIsTheRootNsQuestionWithOurId) {
    const std::vector<uint8_t> expected = {0xBE, 0xEF, 0x01, 0x00, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1};
    EXPECT_EQ(BuildRootNsQuery(0xBEEF), expected);
}

TEST(DnsMessage, AnyWellFormedReplyWithOurIdIsAnAnswer) {
    EXPECT_EQ(Read(ReplyTo(0x1234), 0x1234), DnsReply::Answer);
    EXPECT_EQ(Read(ReplyTo(0x1234, 5), 0x1234), DnsReply::Answer);  // refused still answers
    EXPECT_EQ(Read(ReplyTo(0x1234, 2), 0x1234), DnsReply::Answer);  // server failure too
    // With answer records after the question.
    std::vector<uint8_t> longer = ReplyTo(0x1234);
    longer[7] = 1;
    longer.insert(longer.end(), {0, 0, 2, 0, 1, 0, 0, 0, 60, 0, 2, 0xC0, 0x0C});
    EXPECT_EQ(Read(longer, 0x1234), DnsReply::Answer);
    // A reply without its question (some servers on an error).
    std::vector<uint8_t> bare = ReplyTo(0x1234);
    bare.resize(12);
    bare[5] = 0;
    EXPECT_EQ(Read(bare, 0x1234), DnsReply::Answer);
}

TEST(DnsMessage, TruncatedDatagramsAreNoAnswer) {
    const std::vector<uint8_t> reply = ReplyTo(0x4321);
    for (size_t size = 0; size < reply.size(); ++size)
        EXPECT_EQ(ReadDnsReply(reply.data(), size, 0x4321), DnsReply::Truncated) << size << " bytes";
    EXPECT_EQ(ReadDnsReply(nullptr, 0, 0x4321), DnsReply::Truncated);
}

TEST(DnsMessage, WrongIdIsNoAnswer) {
    EXPECT_EQ(Read(ReplyTo(0x4321), 0x4322), DnsReply::WrongId);
    EXPECT_EQ(Read(ReplyTo(0x2143), 0x4321), DnsReply::WrongId);  // bytes swapped
}

TEST(DnsMessage, WrongFlagsOrQuestionAreNoAnswer) {
    // Our own query coming back (QR clear), as a loop or a misbehaving relay would send it.
    EXPECT_EQ(Read(BuildRootNsQuery(7), 7), DnsReply::NotReply);
    std::vector<uint8_t> otherOperation = ReplyTo(7);
    otherOperation[2] |= 0x28;  // opcode 5 (update)
    EXPECT_EQ(Read(otherOperation, 7), DnsReply::NotReply);
    std::vector<uint8_t> otherType = ReplyTo(7);
    otherType[14] = 1;  // type A
    EXPECT_EQ(Read(otherType, 7), DnsReply::NotReply);
    std::vector<uint8_t> otherName = ReplyTo(7);
    otherName[12] = 3;  // a label instead of the root name
    EXPECT_EQ(Read(otherName, 7), DnsReply::NotReply);
    std::vector<uint8_t> twoQuestions = ReplyTo(7);
    twoQuestions[5] = 2;
    EXPECT_EQ(Read(twoQuestions, 7), DnsReply::NotReply);
}
