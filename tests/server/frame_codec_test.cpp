// Frames: 4-byte little-endian total length (counting itself), then the payload.
#include "server/frame_codec.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <string>
#include <vector>

namespace velmora::server {
namespace {

using namespace std::string_literals;
using Status = FrameDecoder::Status;

TEST(FrameEncode, LengthFieldCountsItselfLittleEndian) {
  // "OK": total 6 = 06 00 00 00.
  EXPECT_EQ(EncodeFrame("OK"), "\x06\x00\x00\x00OK"s);
  // Empty payload: the 4-byte frame the client reads as "nothing".
  EXPECT_EQ(EncodeFrame(""), "\x04\x00\x00\x00"s);
  // 300 bytes of payload: 304 = 0x130 -> 30 01 00 00.
  const std::string frame = EncodeFrame(std::string(300, 'x'));
  ASSERT_EQ(frame.size(), 304u);
  EXPECT_EQ(frame.substr(0, 4), "\x30\x01\x00\x00"s);
  // A lie on purpose: announces 2 bytes fewer than it carries.
  EXPECT_EQ(EncodeFrameAnnouncing("abcd", 6),
            "\x06\x00\x00\x00"
            "abcd"s);
}

TEST(FrameDecoder, OneFrameFedByteByByte) {
  const std::string wire =
      "\x13\x00\x00\x00"
      "903 hotnews.txt"s;  // 19 = 4 + 15
  FrameDecoder decoder;
  std::string payload;
  for (std::size_t i = 0; i + 1 < wire.size(); ++i) {
    decoder.Feed(wire.substr(i, 1));
    ASSERT_EQ(decoder.Next(payload), Status::kNeedMore) << "after " << i + 1 << " bytes";
  }
  decoder.Feed(wire.substr(wire.size() - 1));
  ASSERT_EQ(decoder.Next(payload), Status::kFrame);
  EXPECT_EQ(payload, "903 hotnews.txt");
  EXPECT_EQ(decoder.Next(payload), Status::kNeedMore);
  EXPECT_EQ(decoder.Buffered(), 0u);
}

TEST(FrameDecoder, SeveralFramesInOneChunkAndASplitHeader) {
  const std::string wire =
      "\x04\x00\x00\x00"s  // empty payload
      "\x06\x00\x00\x00"
      "OK"s  // "OK"
      "\x0C\x00\x00\x00"
      "918 4711"s   // 12 = 4 + 8
      "\x09\x00"s;  // half a header
  FrameDecoder decoder;
  decoder.Feed(wire);
  std::string payload = "junk";
  ASSERT_EQ(decoder.Next(payload), Status::kFrame);
  EXPECT_EQ(payload, "");
  ASSERT_EQ(decoder.Next(payload), Status::kFrame);
  EXPECT_EQ(payload, "OK");
  ASSERT_EQ(decoder.Next(payload), Status::kFrame);
  EXPECT_EQ(payload, "918 4711");
  EXPECT_EQ(decoder.Next(payload), Status::kNeedMore);
  EXPECT_EQ(decoder.Buffered(), 2u);
  decoder.Feed(
      "\x00\x00"
      "915 x"s);
  ASSERT_EQ(decoder.Next(payload), Status::kFrame);
  EXPECT_EQ(payload, "915 x");
}

TEST(FrameDecoder, BinaryPayloadKeptByteForByte) {
  std::string body;
  for (int i = 0; i < 256; ++i) body.push_back(static_cast<char>(i));
  FrameDecoder decoder;
  decoder.Feed(EncodeFrame(body));
  std::string payload;
  ASSERT_EQ(decoder.Next(payload), Status::kFrame);
  EXPECT_EQ(payload, body);
}

TEST(FrameDecoder, ImpossibleLengthsBreakTheStream) {
  struct Case {
    const char* what;
    std::string header;
    std::int64_t length;
  };
  const std::vector<Case> cases = {
      {"zero", "\x00\x00\x00\x00"s, 0},
      {"three, shorter than its own field", "\x03\x00\x00\x00"s, 3},
      {"negative", "\xFF\xFF\xFF\xFF"s, -1},
      {"high bit set", "\x00\x00\x00\x80"s, INT32_MIN},
      {"one byte over 16 MiB", "\x01\x00\x00\x01"s, 16 * 1024 * 1024 + 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FrameDecoder decoder;
    decoder.Feed(c.header + "payload");
    std::string payload;
    EXPECT_EQ(decoder.Next(payload), Status::kBadLength);
    EXPECT_EQ(decoder.bad_length(), c.length);
    // Once broken, later bytes cannot bring it back into step.
    decoder.Feed(EncodeFrame("OK"));
    EXPECT_EQ(decoder.Next(payload), Status::kBadLength);
  }
}

TEST(FrameDecoder, LimitIsInclusive) {
  FrameDecoder decoder(100);
  decoder.Feed("\x64\x00\x00\x00"s);  // exactly 100: acceptable, waits for the rest
  std::string payload;
  EXPECT_EQ(decoder.Next(payload), Status::kNeedMore);
  decoder.Feed(std::string(96, 'z'));
  ASSERT_EQ(decoder.Next(payload), Status::kFrame);
  EXPECT_EQ(payload, std::string(96, 'z'));

  FrameDecoder strict(100);
  strict.Feed("\x65\x00\x00\x00"s);  // 101
  EXPECT_EQ(strict.Next(payload), Status::kBadLength);
}

}  // namespace
}  // namespace velmora::server
