// Frames and request texts, checked against bytes written out by hand.

#include <gtest/gtest.h>

#include <string>

#include "link/frame_codec.h"

namespace velmora::link {
namespace {

using namespace std::string_literals;

TEST(FrameCodec, FrameIsLittleEndianTotalLengthThenPayload) {
  // "903 hotnews.txt" is 15 bytes: total 19 = 0x13.
  const std::string expected = "\x13\x00\x00\x00"s + "903 hotnews.txt";
  EXPECT_EQ(EncodeFrame("903 hotnews.txt"), expected);
  EXPECT_EQ(EncodeFrame(""), "\x04\x00\x00\x00"s);
  // 1,000-byte payload: total 1,004 = 0x03EC.
  const std::string big = EncodeFrame(std::string(1000, 'x'));
  ASSERT_EQ(big.size(), 1004u);
  EXPECT_EQ(big.substr(0, 4), "\xEC\x03\x00\x00"s);
}

TEST(FrameCodec, FrameLengthReadsTheHeader) {
  const std::string frame = "\x10\x27\x00\x00"s + "abc";  // 10,000
  EXPECT_EQ(FrameLength(frame), 10000);
  EXPECT_EQ(FrameLength("\xFC\xFF\xFF\xFF"s), -4);
}

TEST(FrameCodec, AnswerMarkers) {
  struct Case {
    std::string frame;
    bool accepted;
    bool marked;
  } cases[] = {
      {"\x06\x00\x00\x00OK"s, true, false},  {"\x08\x00\x00\x00OKAY"s, true, false},
      {"\x06\x00\x00\x00NO"s, false, false}, {"\x05\x00\x00\x00O"s, false, false},
      {"\x07\x00\x00\x00**1"s, false, true}, {"\x07\x00\x00\x00**2"s, false, false},
      {"\x06\x00\x00\x00**"s, false, false}, {"\x04\x00\x00\x00"s, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsQualificationAccepted(c.frame), c.accepted) << c.frame.substr(4);
    EXPECT_EQ(IsAnswerMarked(c.frame), c.marked) << c.frame.substr(4);
  }
}

TEST(FrameCodec, ClientCodeTextIsLeftAdjustedInTen) {
  EXPECT_EQ(ClientCodeText(12345), "12345     ");
  EXPECT_EQ(ClientCodeText(0), "0         ");
  EXPECT_EQ(ClientCodeText(2147483647), "2147483647");
}

TEST(FrameCodec, QualificationLine) {
  const std::string text =
      QualificationText("12345     ", "velmora             ", "01.02.2026 PC D:\\ERP\\ fix   ");
  ASSERT_EQ(text.size(), 512u);
  const std::string expected = "000 12345      velmora.exe (01.02.2026 PC D:\\ERP\\ fix)";
  EXPECT_EQ(text.substr(0, expected.size()), expected);
  EXPECT_EQ(text.find_first_not_of(' ', expected.size()), std::string::npos);
  const std::string cut = QualificationText("1", "p", std::string(600, 'i'));
  ASSERT_EQ(cut.size(), 512u);
  EXPECT_EQ(cut.back(), 'i');  // the closing parenthesis fell off
}

TEST(FrameCodec, DownloadCodes) {
  const struct {
    int type;
    const char* code;
  } cases[] = {{301, "301 "}, {302, "302 "}, {3021, "302 "}, {303, "303 "},
               {903, "903 "}, {0, "903 "},   {304, "903 "}};
  for (const auto& c : cases) EXPECT_EQ(DownloadRequestCode(c.type), c.code) << c.type;
}

TEST(FrameCodec, DownloadRequestText) {
  const std::string text = DownloadRequestText("pics/a.jpg" + std::string(30, ' '), 3021);
  ASSERT_EQ(text.size(), 512u);
  EXPECT_EQ(text.substr(0, 14), "302 pics/a.jpg");
  EXPECT_EQ(text.find_first_not_of(' ', 14), std::string::npos);
  const std::string longName = DownloadRequestText(std::string(600, 'n'), 301);
  EXPECT_EQ(longName.substr(0, 4), "301 ");
  EXPECT_EQ(longName.size(), 512u);
  EXPECT_EQ(longName.find(' ', 4), std::string::npos);  // 508 name characters fill it
}

TEST(FrameCodec, UploadHeader) {
  EXPECT_EQ(UploadHeader("12345     "), "901 12345     ");
  EXPECT_EQ(UploadHeader("7"), "901 7         ");
}

}  // namespace
}  // namespace velmora::link
