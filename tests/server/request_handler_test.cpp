// Request by request: what the server answers and what it keeps.
#include "server/request_handler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/frame_codec.h"
#include "support/temp_dir.h"

namespace velmora::server {
namespace {

namespace fs = std::filesystem;

class RequestHandlerTest : public ::testing::Test {
 protected:
  RequestHandlerTest() {
    fs::create_directories(root() / "updateVelmora");
    fs::create_directories(data() / "messages" / "4711");
    testing::WriteFileBytes(root() / "hotnews.txt", "<EURO>4.9741</EURO>");
    testing::WriteFileBytes(root() / "updateVelmora" / "velmora.scn", "1\r\n");
    testing::WriteFileBytes(dir_.path() / "secret.txt", "secret");
  }
  fs::path root() const { return dir_.path() / "root"; }
  fs::path data() const { return dir_.path() / "data"; }
  std::vector<fs::path> Received() const {
    std::vector<fs::path> files;
    if (fs::exists(data() / "received"))
      for (const auto& e : fs::directory_iterator(data() / "received")) files.push_back(e.path());
    return files;
  }

  testing::TempDir dir_;
};

TEST_F(RequestHandlerTest, QualificationAcceptsAndRemembersTheClient) {
  RequestHandler handler(root(), data());
  SessionState session;
  const Answer a =
      handler.Handle("000 4711       VELMORA.exe (07.12.2026 PC C:\\ERP\\ fix)", session);
  EXPECT_EQ(a.payload, "OK");
  EXPECT_TRUE(a.qualification);
  EXPECT_EQ(session.client_code, "4711");
  EXPECT_TRUE(session.qualified);
  EXPECT_NE(a.detail.find("client=4711"), std::string::npos);
  EXPECT_NE(a.detail.find("VELMORA.exe (07.12.2026 PC C:\\ERP\\ fix)"), std::string::npos);
  EXPECT_TRUE(Received().empty());
}

TEST_F(RequestHandlerTest, FileRequestsOfEveryCode) {
  RequestHandler handler(root(), data());
  SessionState session;
  for (const char* code : {"903", "301", "302", "303"}) {
    SCOPED_TRACE(code);
    const Answer a = handler.Handle(std::string(code) + " hotnews.txt", session);
    EXPECT_EQ(a.payload, "<EURO>4.9741</EURO>");
    EXPECT_EQ(a.result, "ok");
  }
  EXPECT_EQ(handler.Handle("903 /updateVelmora/velmora.scn", session).payload, "1\r\n");
  EXPECT_EQ(handler.Handle("903 hotnews.txt      ", session).payload, "<EURO>4.9741</EURO>");

  const Answer missing = handler.Handle("903 nothere.jpg", session);
  EXPECT_EQ(missing.payload, "");
  EXPECT_EQ(missing.result, "not-found");
  const Answer escape = handler.Handle("903 ../secret.txt", session);
  EXPECT_EQ(escape.payload, "");
  EXPECT_EQ(escape.result, "rejected");
  EXPECT_TRUE(Received().empty());  // file requests are never stored
}

TEST_F(RequestHandlerTest, FilesTooBigForTheClientAreNotSent) {
  const fs::path big = root() / "big.bin";
  testing::WriteFileBytes(big, "");
  fs::resize_file(big, kMaxAnswerPayload + 1);
  const fs::path fits = root() / "fits.bin";
  testing::WriteFileBytes(fits, "");
  fs::resize_file(fits, kMaxAnswerPayload);
  RequestHandler handler(root(), data());
  SessionState session;
  const Answer a = handler.Handle("903 big.bin", session);
  EXPECT_EQ(a.payload.size(), 0u);
  EXPECT_EQ(a.result, "too-large");
  EXPECT_EQ(handler.Handle("903 fits.bin", session).payload.size(), kMaxAnswerPayload);
}

TEST_F(RequestHandlerTest, MessagesFollowTheQualifiedClient) {
  const std::string text = "07.12.2026 09:30    Buna ziua!@@Versiunea 5.2 este disponibila.";
  testing::WriteFileBytes(data() / "messages" / "4711" / "m1.txt", text);
  RequestHandler handler(root(), data());

  SessionState other;
  handler.Handle("000 42         x.exe ()", other);
  const Answer none = handler.Handle("918 4711", other);  // asks for 4711, qualified as 42
  EXPECT_EQ(none.payload, "");
  EXPECT_EQ(none.result, "no-message");

  SessionState session;
  handler.Handle("000 4711       x.exe ()", session);
  const Answer a = handler.Handle("918 4711", session);
  EXPECT_EQ(a.payload, text);
  ASSERT_TRUE(a.message.has_value());
  // Until the answer has gone out whole the message keeps waiting.
  EXPECT_EQ(handler.Handle("918 4711", session).payload, text);
  ASSERT_TRUE(handler.Delivered(a));
  EXPECT_TRUE(fs::exists(data() / "messages" / "4711" / "delivered" / "m1.txt"));
  EXPECT_EQ(handler.Handle("918 4711", session).payload, "");
}

TEST_F(RequestHandlerTest, MessagesWithoutQualificationUseTheCodeAsked) {
  testing::WriteFileBytes(data() / "messages" / "4711" / "m1.txt", "x");
  RequestHandler handler(root(), data());
  SessionState session;
  EXPECT_EQ(handler.Handle("918 4711", session).payload, "x");
  EXPECT_EQ(handler.Handle("918 ", session).payload, "");
}

TEST_F(RequestHandlerTest, UploadsAndOtherRequestsAreStoredWhole) {
  RequestHandler handler(root(), data());
  SessionState session;
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes.push_back(static_cast<char>(i % 251));
  const std::string upload = "901 4711      " + bytes;
  const Answer a = handler.Handle(upload, session);  // the upload names its client itself
  EXPECT_EQ(a.payload, "OK");
  EXPECT_EQ(a.result, "stored");
  auto files = Received();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(testing::ReadFileBytes(files[0]), upload);
  EXPECT_NE(files[0].filename().string().find("-901-4711.req"), std::string::npos);

  EXPECT_EQ(handler.Handle("915 Va rog sunati-ma.", session).payload, "OK");
  EXPECT_EQ(handler.Handle("123 anything", session).payload, "OK");
  EXPECT_EQ(Received().size(), 3u);
}

TEST_F(RequestHandlerTest, BadPayloadsAreAnsweredEmptyAndNotStored) {
  RequestHandler handler(root(), data());
  SessionState session;
  for (const char* payload : {"", "hello", "90 x", "903"}) {
    const Answer a = handler.Handle(payload, session);
    EXPECT_EQ(a.payload, "");
    EXPECT_EQ(a.result, "bad-request");
    EXPECT_EQ(a.code, "???");
  }
  EXPECT_TRUE(Received().empty());
}

TEST_F(RequestHandlerTest, StoreFailureHangsUpInsteadOfAcknowledging) {
  fs::create_directories(data());
  testing::WriteFileBytes(data() / "received", "not a folder");
  RequestHandler handler(root(), data());
  SessionState session;
  const Answer a = handler.Handle("915 salut", session);
  EXPECT_TRUE(a.hang_up);
  EXPECT_EQ(a.result, "store-failed");
}

}  // namespace
}  // namespace velmora::server
