// The news fetch on the news thread's side, against a scripted server on
// 127.0.0.1: the fetch and the cache file, the young cache that saves the
// "903" request, a server that is down, refuses with a marked answer or
// never answers, and the hidden dialog's stop.

#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/shared_state.h"
#include "link/link_api.h"
#include "link/link_testing.h"
#include "postman/message_fetch.h"
#include "postman/news_cache.h"
#include "postman/news_fetch.h"
#include "postman/news_rules.h"
#include "postman/news_thread.h"
#include "postman/postman.h"
#include "resource_ids.h"
#include "support/link_fixture.h"
#include "support/loopback_peer.h"
#include "support/temp_dir.h"

namespace velmora::postman {
namespace {

using link::testing::LoopbackPeer;
using link::testing::PeerConnection;
using velmora::testing::ReadFileBytes;

constexpr int32_t kClient = 4711;
const std::string kNews =
    "<DATA>05.03.2024</DATA><EURO>4.9512</EURO><USD>3.9000</USD><TEXT>abc</TEXT>";
const char kFailure[] = "Eroare de sincronizare cu serverul CORVANE!";

std::string Trimmed(const std::string& field) {
  return field.substr(0, field.find_last_not_of(' ') + 1);
}

// A server that answers "903" with the news and "918" with a message, and
// notes the request codes it saw; or one that misbehaves.
enum class Behaviour { kAnswers, kNeverAnswers, kClosesAtOnce, kMarksThenCloses };

class NewsServer {
 public:
  explicit NewsServer(Behaviour behaviour = Behaviour::kAnswers)
      : peer_([this, behaviour](PeerConnection& c) {
          if (behaviour == Behaviour::kClosesAtOnce) return;
          if (behaviour == Behaviour::kMarksThenCloses && c.index() > 1) return;
          while (auto request = c.ReadFrame()) {
            Note(request->substr(0, 8));
            if (request->starts_with("000 ")) {
              c.Answer(behaviour == Behaviour::kMarksThenCloses ? "**1OK" : "OK");
            } else if (behaviour == Behaviour::kNeverAnswers) {
              continue;
            } else if (request->starts_with("903 hotnews.txt")) {
              c.Answer(kNews);
            } else if (*request == "918 4711") {
              c.Answer("2026.12.08  09:30:00Buna@@ziua");
            }
          }
        }) {}
  uint16_t port() const { return peer_.port(); }
  std::vector<std::string> requests() {
    std::lock_guard guard(lock_);
    return requests_;
  }

 private:
  void Note(std::string code) {
    std::lock_guard guard(lock_);
    requests_.push_back(std::move(code));
  }
  std::mutex lock_;
  std::vector<std::string> requests_;
  LoopbackPeer peer_;
};

class NewsFetchTest : public link::testing::LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    Shared().clientCode = kClient;
    Shared().ready = false;
    Shared().newMessage = false;
    Shared().stop = false;
    Shared().received.Store({});
    Adopt("");
  }
  // Start-up finds `cacheImage` in velmora.cfg, or no file when it is empty.
  void Adopt(const std::string& cacheImage) {
    PostmanSetup setup;
    setup.instance = instance_;
    setup.newsStrip = dialog_;
    AdoptPostmanSetup(setup);
    if (!cacheImage.empty()) velmora::testing::WriteFileBytes(CacheFile(), cacheImage);
    LoadNewsCache(CacheFile());
  }
  int16_t Fetch(uint16_t port) {
    link::SETTCPPORT(port);
    link::SETIPFIX("127.0.0.1");
    const int16_t result = FetchNews(dialog_);
    Pump(50);
    return result;
  }
  std::string CacheFile() const { return dir_ / "velmora.cfg"; }
  bool StripSignalled() const {
    for (WPARAM command : dialogCommands_)
      if (LOWORD(command) == IDOK) return true;
    return false;
  }
  void ExpectInitialTexts() {
    EXPECT_EQ(Trimmed(News().date), "-");
    EXPECT_EQ(Trimmed(News().euro), "-");
    EXPECT_EQ(Trimmed(News().usd), "-");
    EXPECT_EQ(Trimmed(News().weather), "-");
    EXPECT_EQ(Trimmed(News().text), kFailure);
  }
};

TEST_F(NewsFetchTest, TheNewsIsFetchedCachedAndAnnounced) {
  NewsServer server;
  const int64_t before = LocalFileTimeNow();
  ASSERT_EQ(Fetch(server.port()), 0);
  EXPECT_EQ(server.requests(), (std::vector<std::string>{"000 4711", "903 hotn", "918 4711"}));
  EXPECT_EQ(Trimmed(News().date), "05.03.2024");
  EXPECT_EQ(Trimmed(News().euro), "4.9512");
  EXPECT_EQ(Trimmed(News().usd), "3.9000");
  EXPECT_EQ(Trimmed(News().weather), "-");
  EXPECT_EQ(Trimmed(News().text), "abc");

  const std::string cache = ReadFileBytes(CacheFile());
  ASSERT_EQ(cache.size(), 5008u);
  EXPECT_EQ(cache.substr(8), kNews + std::string(5000 - kNews.size(), ' '));
  EXPECT_GE(NewsCacheStamp(cache), before);
  EXPECT_LE(NewsCacheStamp(cache), LocalFileTimeNow());

  EXPECT_EQ(Shared().received.Peek(), "2026.12.08  09:30:00Buna\r\nziua");
  EXPECT_TRUE(Shared().newMessage);
  EXPECT_TRUE(Shared().ready);
  EXPECT_TRUE(StripSignalled());
  // The rates go to CURSVAL.DAT, which this folder lacks: its box tells.
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Eroare la deschiderea CursVal.dat");
}

TEST_F(NewsFetchTest, AYoungCompleteCacheSavesTheNewsRequestButNotTheMessages) {
  const std::string image = NewsCacheImage(LocalFileTimeNow() - 119LL * 60 * 1000 * 10'000, kNews);
  Adopt(image);
  NewsServer server;
  ASSERT_EQ(Fetch(server.port()), 0);
  EXPECT_EQ(server.requests(), (std::vector<std::string>{"000 4711", "918 4711"}));
  EXPECT_EQ(Trimmed(News().euro), "4.9512");
  EXPECT_EQ(Trimmed(News().text), "abc");
  EXPECT_EQ(ReadFileBytes(CacheFile()), image);
  EXPECT_TRUE(boxes_.empty());  // the rate file is left alone
  EXPECT_TRUE(Shared().ready);
}

TEST_F(NewsFetchTest, WithoutAServerTheStripShowsTheFailureAndNothingIsWritten) {
  struct Case {
    const char* name;
    std::optional<Behaviour> behaviour;  // nullopt: nobody listens
    int16_t result;
  };
  const Case cases[] = {
      {"nobody listening", std::nullopt, -1},
      {"refused", Behaviour::kClosesAtOnce, -1},
      {"marked", Behaviour::kMarksThenCloses, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    link::testing::ResetLink();
    ShortenWaits();  // nobody listening waits out the connect time-out
    std::optional<NewsServer> server;
    if (c.behaviour) server.emplace(*c.behaviour);
    EXPECT_EQ(Fetch(server ? server->port() : link::testing::FreePort()), c.result);
    ExpectInitialTexts();
    EXPECT_FALSE(Shared().ready);
    EXPECT_FALSE(StripSignalled());
  }
  EXPECT_FALSE(std::filesystem::exists(CacheFile()));
}

TEST_F(NewsFetchTest, WithoutAClientCodeNothingIsAsked) {
  Shared().clientCode = 0;
  NewsServer server;
  EXPECT_EQ(Fetch(server.port()), -1);
  EXPECT_TRUE(server.requests().empty());
  ExpectInitialTexts();
}

TEST_F(NewsFetchTest, AServerThatNeverAnswersLeavesTheFailureTextsAndNoCache) {
  ShortenWaits();  // the news and the message request each wait out the (shortened) answer watchdog
  NewsServer server(Behaviour::kNeverAnswers);
  ASSERT_EQ(Fetch(server.port()), 0);
  ExpectInitialTexts();
  EXPECT_FALSE(std::filesystem::exists(CacheFile()));
  EXPECT_TRUE(Shared().received.IsBlank());
}

TEST_F(NewsFetchTest, TheStopFlagEndsTheHiddenDialogAndItsExchanges) {
  NewsServer server(Behaviour::kNeverAnswers);
  link::SETTCPPORT(server.port());
  link::SETIPFIX("127.0.0.1");
  RunLater(1500, [] { Shared().stop = true; });
  const INT_PTR result =
      DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_WORKER), nullptr, &NewsDialogProc, 0);
  EXPECT_EQ(result, 2);
  // The news request was cut short; the messages were not asked for.
  EXPECT_EQ(server.requests(), (std::vector<std::string>{"000 4711", "903 hotn"}));
}

// Start-up's load of velmora.cfg, seen through what the news fetch takes from it.
TEST(NewsCache, LoadsAtMost5008BytesAndBlanksNuls) {
  const velmora::testing::TempDir dir;
  const std::string stamp =
      NewsCacheImage(LocalFileTimeNow() - 60LL * 60 * 1000 * 10'000, "").substr(0, 8);
  std::string text = std::string(1, '\0') + kNews + std::string(4999 - kNews.size(), 'x');
  text[100] = '\0';
  text[4999] = 'L';  // the last byte that belongs to the cache
  velmora::testing::WriteFileBytes(dir / "velmora.cfg", stamp + text + std::string(992, 'Y'));
  ASSERT_TRUE(LoadNewsCache(dir / "velmora.cfg"));
  text[0] = text[100] = ' ';
  EXPECT_EQ(CachedNewsAnswer(), text);
  EXPECT_FALSE(NewsCacheNeedsFetch());  // the stamp was read whole
}

TEST(NewsCache, AShortFileLeavesTheRestBlank) {
  const velmora::testing::TempDir dir;
  velmora::testing::WriteFileBytes(dir / "velmora.cfg", std::string("12345678ab\0c", 12));
  ASSERT_TRUE(LoadNewsCache(dir / "velmora.cfg"));
  EXPECT_EQ(CachedNewsAnswer(), "ab c");
  EXPECT_TRUE(NewsCacheNeedsFetch());
}

TEST(NewsCache, AMissingFileLeavesAnEmptyStaleCacheThatTheFetchWrites) {
  const velmora::testing::TempDir dir;
  velmora::testing::WriteFileBytes(dir / "young.cfg", NewsCacheImage(LocalFileTimeNow(), kNews));
  ASSERT_TRUE(LoadNewsCache(dir / "young.cfg"));
  EXPECT_FALSE(LoadNewsCache(dir / "velmora.cfg"));
  EXPECT_EQ(CachedNewsAnswer(), "");
  EXPECT_TRUE(NewsCacheNeedsFetch());
  StoreNewsCache(kNews);
  EXPECT_EQ(ReadFileBytes(dir / "velmora.cfg").substr(8), NewsCacheText(kNews));
}

}  // namespace
}  // namespace velmora::postman
