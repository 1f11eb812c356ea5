// The real velmora-server, started as a child process on 127.0.0.1 with a
// free port, spoken to by a plain blocking client.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "server_process.h"
#include "support/temp_dir.h"
#include "wire_client.h"

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
  return bytes;
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  if (fs::is_directory(folder))
    for (const auto& e : fs::directory_iterator(folder))
      if (e.is_regular_file()) files.push_back(e.path());
  return files;
}

// Polls `condition` for up to 5 seconds.
template <typename Condition>
bool Eventually(Condition condition) {
  for (int i = 0; i < 100; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return condition();
}

class ServerProgramTest : public ::testing::Test {
 protected:
  ServerProgramTest() {
    fs::create_directories(root() / "updateVelmora");
    testing::WriteFileBytes(root() / "hotnews.txt", kNews);
    testing::WriteFileBytes(root() / "updateVelmora" / "velmora.scn",
                            "1\r\ntw01.jpg\r\nOferta@@noua\r\n5000\r\n3\r\n");
    testing::WriteFileBytes(root() / "updateVelmora" / "tw01.jpg", "JPG");
    testing::WriteFileBytes(dir_.path() / "secret.txt", "secret");
  }

  fs::path root() const { return dir_.path() / "root"; }
  fs::path data() const { return dir_.path() / "data"; }
  fs::path log() const { return dir_.path() / "server.log"; }
  fs::path messages() const { return data() / "messages" / "4711"; }

  // Starts the server with a free port and a safety time limit.
  std::unique_ptr<ServerProcess> Start(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {
        "--root", root().string(), "--data",       data().string(),        "--port",
        "0",      "--log",         log().string(), "--exit-after-seconds", "120"};
    args.insert(args.end(), extra.begin(), extra.end());
    auto server = std::make_unique<ServerProcess>(args, dir_.path() / "stderr.txt");
    EXPECT_NE(server->port(), 0) << "first line: " << server->first_line() << "\nstderr: "
                                 << testing::ReadFileBytes(dir_.path() / "stderr.txt");
    return server;
  }

  // A connection that has qualified as client 4711.
  std::unique_ptr<WireClient> Qualified(const ServerProcess& server) {
    auto client = std::make_unique<WireClient>(server.port());
    EXPECT_TRUE(client->connected());
    EXPECT_EQ(client->Exchange(QualificationLine("4711", "07.12.2026 BIROU-01 C:\\ERP\\ fix")),
              "OK");
    return client;
  }

  static constexpr const char* kNews =
      "<DATA>07.12.2026</DATA><EURO>4.9741</EURO><USD>4.2650</USD>"
      "<VREMEA>Bucuresti: 3 grade</VREMEA><TEXT>Vantor 5.2</TEXT>";
  testing::TempDir dir_;
};

TEST_F(ServerProgramTest, AnnouncesItsAddressAndStopsOnSignals) {
  for (auto [signal, bind] : {std::pair{SIGTERM, "127.0.0.1"}, std::pair{SIGINT, "127.0.0.2"}}) {
    SCOPED_TRACE(signal);
    auto server = Start({"--bind", bind});
    const std::string escaped = std::regex_replace(std::string(bind), std::regex(R"(\.)"), R"(\.)");
    EXPECT_TRUE(
        std::regex_match(server->first_line(), std::regex("listening on " + escaped + R"(:\d+)")))
        << server->first_line();
    WireClient client(server->port(), 10000, bind);
    EXPECT_TRUE(client.connected());
    EXPECT_EQ(server->Stop(signal), 0);
  }
}

TEST_F(ServerProgramTest, StopsByItselfAndThroughTheStopFile) {
  {
    auto server = Start({"--exit-after-seconds", "1"});
    EXPECT_EQ(server->WaitForExit(15s), 0);
  }
  const fs::path stop = dir_.path() / "stop.flag";
  testing::WriteFileBytes(stop, "left from an earlier run");
  auto server = Start({"--stop-file", stop.string()});
  EXPECT_FALSE(fs::exists(stop));  // an old stop file does not stop a new server
  std::this_thread::sleep_for(1500ms);
  WireClient client(server->port());
  EXPECT_EQ(client.Exchange("903 hotnews.txt"), kNews);
  testing::WriteFileBytes(stop, "");
  EXPECT_EQ(server->WaitForExit(10s), 0);
}

TEST_F(ServerProgramTest, RefusesToStartWrongly) {
  auto first = Start();
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const std::vector<Case> cases = {
      {{"--root", root().string(), "--data", data().string(), "--bind", "10.1.2.3"}, 2},
      {{"--root", root().string(), "--data", data().string(), "--bind", "0.0.0.0"}, 2},
      {{"--root", root().string()}, 2},
      {{"--root", (dir_.path() / "absent").string(), "--data", data().string(), "--port", "0"}, 1},
      // A busy port is an error, not a silent second server.
      {{"--root", root().string(), "--data", data().string(), "--port",
        std::to_string(first->port())},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    ServerProcess server(c.args, dir_.path() / "stderr.txt");
    EXPECT_EQ(server.first_line(), "");
    EXPECT_EQ(server.WaitForExit(10s), c.status);
    EXPECT_FALSE(testing::ReadFileBytes(dir_.path() / "stderr.txt").empty());
  }
}

TEST_F(ServerProgramTest, NeverAcceptedConnectionsHang) {
  auto normal = Start();
  EXPECT_EQ(TryConnect(normal->port(), 5000), ConnectOutcome::kConnected);
  auto server = Start({"--never-accept"});
  EXPECT_EQ(TryConnect(server->port(), 1500), ConnectOutcome::kTimedOut);
  EXPECT_EQ(TryConnect(server->port(), 1500), ConnectOutcome::kTimedOut);
}

TEST_F(ServerProgramTest, QualificationIsAnsweredOkAndLogged) {
  auto server = Start();
  const std::string line = QualificationLine("4711", "07.12.2026 BIROU-01 C:\\ERP\\ fix");
  {
    WireClient client(server->port());
    ASSERT_TRUE(client.SendFrame(line));
    const auto frame = client.ReadFrame();
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->announced, 6);
    EXPECT_EQ(frame->payload, "OK");
  }
  ASSERT_EQ(server->Stop(SIGTERM), 0);
  const std::string log_text = testing::ReadFileBytes(log());
  const std::regex expected(
      R"re(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} 127\.0\.0\.1:\d+ 000 req=)re" +
      std::to_string(line.size()) +
      R"re( ans=2 sent=6 ok client=4711 )re"
      R"re(info="VELMORA\.exe \(07\.12\.2026 BIROU-01 C:\\ERP\\ fix\)"\n)re");
  EXPECT_TRUE(std::regex_match(log_text, expected)) << log_text;
}

TEST_F(ServerProgramTest, ServesFilesFromTheRootOnly) {
  auto server = Start();
  auto client = Qualified(*server);
  EXPECT_EQ(client->Exchange("903 hotnews.txt"), kNews);
  EXPECT_EQ(client->Exchange("903 /updateVelmora/velmora.scn"),
            "1\r\ntw01.jpg\r\nOferta@@noua\r\n5000\r\n3\r\n");
  EXPECT_EQ(client->Exchange("903 \\updateVelmora\\tw01.jpg"), "JPG");

  // Missing or refused (every refused name is checked on its own with the
  // name rules): the empty answer, a frame of exactly 4 bytes.
  for (const char* request : {"903 missing.txt", "903 ../secret.txt", "903 updateVelmora"}) {
    SCOPED_TRACE(request);
    ASSERT_TRUE(client->SendFrame(request));
    const auto frame = client->ReadFrame();
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->announced, 4);
  }
  std::string with_nul = "903 hotnews.txt";
  with_nul.insert(7, 1, '\0');
  EXPECT_EQ(client->Exchange(with_nul), "");
  // The connection is still good after all that.
  EXPECT_EQ(client->Exchange("903 hotnews.txt"), kNews);
}

TEST_F(ServerProgramTest, TenMegabyteDownload) {
  const std::string big = RandomBytes(10 * 1024 * 1024, 7);
  testing::WriteFileBytes(root() / "big.bin", big);
  auto server = Start();
  auto client = Qualified(*server);
  ASSERT_TRUE(client->SendFrame("903 big.bin"));
  const auto frame = client->ReadFrame();
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(frame->announced, static_cast<std::int32_t>(big.size() + 4));
  EXPECT_TRUE(frame->payload == big);
}

TEST_F(ServerProgramTest, WaitingMessagesOldestFirstThenNothing) {
  fs::create_directories(messages());
  const auto t0 = fs::file_time_type::clock::now() - 1h;
  const std::string older = "06.12.2026 17:00    Factura 118 a fost emisa.";
  const std::string newer = "07.12.2026 09:30    Buna ziua!@@Versiunea 5.2 este disponibila.";
  testing::WriteFileBytes(messages() / "b.txt", older);
  fs::last_write_time(messages() / "b.txt", t0);
  testing::WriteFileBytes(messages() / "a.txt", newer);
  fs::last_write_time(messages() / "a.txt", t0 + 1min);

  auto server = Start();
  auto client = Qualified(*server);
  EXPECT_EQ(client->Exchange("918 4711"), older);
  EXPECT_EQ(client->Exchange("918 4711"), newer);
  ASSERT_TRUE(client->SendFrame("918 4711"));
  const auto none = client->ReadFrame();
  ASSERT_TRUE(none.has_value());
  EXPECT_EQ(none->announced, 4);
  EXPECT_TRUE(Eventually([&] { return FilesIn(messages()).empty(); }));
  EXPECT_EQ(FilesIn(messages() / "delivered").size(), 2u);
}

TEST_F(ServerProgramTest, UploadsAndOtherRequestsStoredByteForByte) {
  auto server = Start();
  auto client = Qualified(*server);
  const std::string upload = "901 4711      " + RandomBytes(300 * 1024, 11);
  EXPECT_EQ(client->Exchange(upload), "OK");
  const std::string message = "915 Va rog sa ma sunati pentru contract.";
  EXPECT_EQ(client->Exchange(message), "OK");

  std::vector<std::string> stored;
  for (const auto& f : FilesIn(data() / "received")) stored.push_back(testing::ReadFileBytes(f));
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_TRUE((stored[0] == upload && stored[1] == message) ||
              (stored[1] == upload && stored[0] == message));
}

TEST_F(ServerProgramTest, BrokenFramesCloseTheConnection) {
  auto server = Start();
  for (const std::string& header :
       {std::string("\x03\x00\x00\x00", 4), std::string("\xFF\xFF\xFF\x7F", 4)}) {
    WireClient client(server->port());
    ASSERT_TRUE(client.SendRaw(header));
    client.ReadToEnd(5000);
    EXPECT_TRUE(client.closed_by_server());
  }
  WireClient client(server->port());  // the server itself carries on
  EXPECT_EQ(client.Exchange("903 hotnews.txt"), kNews);
  server->Stop(SIGTERM);
  EXPECT_NE(testing::ReadFileBytes(log()).find("--- req=4 ans=0 sent=0 bad-frame length=3"),
            std::string::npos);
}

// ---- Fault switches, each seen from the client's side.

TEST_F(ServerProgramTest, RefusedQualificationAndItsLimit) {
  auto server = Start({"--refuse-qualification", "--fault-limit", "1"});
  {
    WireClient client(server->port());
    const auto answer = client.Exchange(QualificationLine("4711", "x"));
    ASSERT_TRUE(answer.has_value());
    EXPECT_NE(answer->substr(0, 2), "OK");
  }
  WireClient again(server->port());
  EXPECT_EQ(again.Exchange(QualificationLine("4711", "x")), "OK");
}

TEST_F(ServerProgramTest, MarkedAnswers) {
  auto server = Start({"--mark-answers"});
  WireClient client(server->port());
  EXPECT_EQ(client.Exchange(QualificationLine("4711", "x")), "**1OK");
  EXPECT_EQ(client.Exchange("903 hotnews.txt"), std::string("**1") + kNews);
}

TEST_F(ServerProgramTest, DelayedAnswers) {
  auto server = Start({"--delay-ms", "1500", "--fault-scope", "requests"});
  auto client = Qualified(*server);
  ASSERT_TRUE(client->SendFrame("903 hotnews.txt"));
  // Done sending: the answer is still owed and still comes.
  client->ShutdownSending();
  EXPECT_EQ(client->WaitForInput(400), WireClient::Wait::kSilent);
  const auto frame = client->ReadFrame();
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(frame->payload, kNews);
  client->ReadToEnd(5000);
  EXPECT_TRUE(client->closed_by_server());
}

TEST_F(ServerProgramTest, DroppedAfterNBytes) {
  const std::string file = RandomBytes(10 * 1024, 3);
  testing::WriteFileBytes(root() / "file.bin", file);
  auto server = Start({"--drop-after", "1000"});
  auto client = Qualified(*server);  // 6 bytes: shorter than the cut, goes out whole
  ASSERT_TRUE(client->SendFrame("903 file.bin"));
  const std::string got = client->ReadToEnd(10000);
  EXPECT_TRUE(client->closed_by_server());
  ASSERT_EQ(got.size(), 1000u);
  EXPECT_EQ(got.substr(0, 4), std::string("\x04\x28\x00\x00", 4));  // announces all 10244 bytes
  EXPECT_EQ(got.substr(4), file.substr(0, 996));
}

TEST_F(ServerProgramTest, ADroppedMessageKeepsWaiting) {
  fs::create_directories(messages());
  testing::WriteFileBytes(messages() / "m.txt", "07.12.2026 09:30    " + std::string(200, 'm'));
  auto server = Start({"--drop-after", "50", "--fault-limit", "1", "--fault-scope", "requests"});
  {
    auto client = Qualified(*server);
    ASSERT_TRUE(client->SendFrame("918 4711"));
    EXPECT_EQ(client->ReadToEnd(10000).size(), 50u);
  }
  EXPECT_EQ(FilesIn(messages()).size(), 1u);
  auto client = Qualified(*server);
  const auto whole = client->Exchange("918 4711");
  ASSERT_TRUE(whole.has_value());
  EXPECT_EQ(whole->size(), 220u);
  // The server files the message once its write has completed, which may be
  // a moment after the client has the bytes.
  EXPECT_TRUE(Eventually([&] { return FilesIn(messages()).empty(); }));
}

TEST_F(ServerProgramTest, ShortAnnouncedAnswers) {
  const std::string file(100, 'n');
  testing::WriteFileBytes(root() / "file.txt", file);
  auto server = Start({"--short-announce", "10", "--fault-scope", "requests"});
  auto client = Qualified(*server);
  ASSERT_TRUE(client->SendFrame("903 file.txt"));
  const auto header = client->ReadExactly(4);
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(*header, std::string("\x5E\x00\x00\x00", 4));  // 94 announced
  const auto body = client->ReadExactly(100);              // 100 arrive all the same
  ASSERT_TRUE(body.has_value());
  EXPECT_EQ(*body, file);
  EXPECT_EQ(client->WaitForInput(300), WireClient::Wait::kSilent);
}

TEST_F(ServerProgramTest, NeverAnswered) {
  auto server = Start({"--never-answer", "--fault-scope", "requests"});
  auto client = Qualified(*server);
  ASSERT_TRUE(client->SendFrame("903 hotnews.txt"));
  EXPECT_EQ(client->WaitForInput(1500), WireClient::Wait::kSilent);  // open, and silent
  server->Stop(SIGTERM);
  EXPECT_NE(testing::ReadFileBytes(log()).find(" 903 req=15 ans="), std::string::npos);
  EXPECT_NE(testing::ReadFileBytes(log()).find("never-answered"), std::string::npos);
}

// ---- The sample folders the demo starts the server with.

TEST(ServerSample, NewsAndTheWaitingMessageOfClient4711) {
  testing::TempDir dir;
  const fs::path sample = VELMORA_SERVER_SAMPLE;
  fs::copy(sample, dir.path() / "sample", fs::copy_options::recursive);  // 918 moves messages
  const fs::path root = dir.path() / "sample" / "root";
  const fs::path data = dir.path() / "sample" / "data";
  ServerProcess server({"--root", root.string(), "--data", data.string(), "--port", "0",
                        "--exit-after-seconds", "60"},
                       dir.path() / "stderr.txt");
  ASSERT_NE(server.port(), 0);
  WireClient client(server.port());
  ASSERT_EQ(client.Exchange(QualificationLine("4711", "08.12.2026 BIROU-01 C:\\ERP\\ fix")), "OK");

  const auto news = client.Exchange("903 hotnews.txt");
  ASSERT_TRUE(news.has_value());
  // Every tag pair present, opening before closing; the launcher keeps the
  // first 5,000 characters in its cache, so all of them must lie within.
  ASSERT_LT(news->size(), 5000u);
  for (const char* tag : {"DATA", "EURO", "USD", "VREMEA", "TEXT"}) {
    SCOPED_TRACE(tag);
    const auto open = news->find(std::string("<") + tag + ">");
    const auto close = news->find(std::string("</") + tag + ">");
    ASSERT_NE(open, std::string::npos);
    ASSERT_NE(close, std::string::npos);
    EXPECT_LT(open, close);
  }
  EXPECT_TRUE(std::regex_search(*news, std::regex(R"(<DATA>\d\d\.\d\d\.\d{4}</DATA>)")));
  EXPECT_TRUE(std::regex_search(*news, std::regex(R"(<EURO>\d\.\d{4}</EURO>)")));
  EXPECT_TRUE(std::regex_search(*news, std::regex(R"(<USD>\d\.\d{4}</USD>)")));
  const auto weather = news->substr(news->find("<VREMEA>") + 8);
  EXPECT_LE(weather.find("</VREMEA>"), 255u);

  const auto message = client.Exchange("918 4711");
  ASSERT_TRUE(message.has_value());
  // A 20-character date line "YYYY.MM.DD  HH:MM:SS", then the text in lines joined by "@@".
  EXPECT_TRUE(
      std::regex_match(message->substr(0, 20), std::regex(R"(\d{4}\.\d\d\.\d\d  \d\d:\d\d:\d\d)")));
  EXPECT_NE(message->find("@@"), std::string::npos);
  EXPECT_LE(message->size(), 1000u);
  EXPECT_EQ(client.Exchange("918 4711"), "");
}

}  // namespace
}  // namespace velmora::testing
