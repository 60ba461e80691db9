#include "extract/process/ReaderProtocol.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zyl::extract {
namespace {

TEST(ReaderProtocol, MessagesGoBothWaysAndDamagedOnesAreRefused) {
  const ReaderMessage message{"7", "", std::string("a\0b", 3), std::string(100000, 'x')};
  const std::string bytes = EncodeReaderMessage(message);
  EXPECT_EQ(DecodeReaderMessage(bytes), message);
  EXPECT_EQ(DecodeReaderMessage(EncodeReaderMessage({})), ReaderMessage{});
  // Short by one byte, one byte too many, a length past the end, an absurd count.
  EXPECT_FALSE(DecodeReaderMessage(bytes.substr(0, bytes.size() - 1)));
  EXPECT_FALSE(DecodeReaderMessage(bytes + "x"));
  std::string longer = bytes;
  longer[4] = '\x7F';
  EXPECT_FALSE(DecodeReaderMessage(longer));
  EXPECT_FALSE(DecodeReaderMessage(std::string("\xFF\xFF\xFF\xFF", 4)));
  EXPECT_FALSE(DecodeReaderMessage(""));

  int sv[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, sv), 0);
  ASSERT_TRUE(SendReaderBytes(sv[0], EncodeReaderMessage({"job", "1000", "path"})));
  EXPECT_EQ(ReceiveReaderMessage(sv[1]), (ReaderMessage{"job", "1000", "path"}));
  // A message cut short by the other side's end is no message; nor is silence past a deadline.
  ASSERT_TRUE(SendReaderBytes(sv[0], bytes.substr(0, 20)));
  const auto soon = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
  EXPECT_FALSE(ReceiveReaderMessage(sv[1], &soon));
  ::close(sv[0]);
  EXPECT_FALSE(ReceiveReaderMessage(sv[1]));
  ::close(sv[1]);
}

}  // namespace
}  // namespace zyl::extract
