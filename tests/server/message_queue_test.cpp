// Waiting messages go out oldest first and move to delivered/ once sent.
#include "server/message_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "server/request_store.h"
#include "support/temp_dir.h"

namespace velmora::server {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void WriteMessage(const fs::path& file, const std::string& text, fs::file_time_type when) {
  testing::PutFileBytes(file, text);
  fs::last_write_time(file, when);
}

std::vector<std::string> Names(const std::vector<fs::path>& files) {
  std::vector<std::string> names;
  for (const auto& f : files) names.push_back(f.filename().string());
  return names;
}

TEST(MessageQueue, OldestFirstByTimeThenByName) {
  testing::TempDir dir;
  const fs::path client = dir.path() / "4711";
  const auto t0 = fs::file_time_type::clock::now() - 1h;
  WriteMessage(client / "c.txt", "newest", t0 + 20s);
  WriteMessage(client / "z.txt", "oldest", t0);
  WriteMessage(client / "b.txt", "middle-b", t0 + 10s);
  WriteMessage(client / "a.txt", "middle-a", t0 + 10s);  // same time: name decides
  WriteMessage(client / ".partial", "being written", t0 - 10s);
  fs::create_directories(client / "delivered");
  WriteMessage(client / "delivered" / "old.txt", "already sent", t0 - 20s);

  MessageQueue queue(dir.path());
  EXPECT_EQ(Names(queue.Waiting("4711")),
            (std::vector<std::string>{"z.txt", "a.txt", "b.txt", "c.txt"}));

  std::vector<std::string> texts;
  while (auto m = queue.Next("4711")) {
    texts.push_back(m->bytes);
    ASSERT_TRUE(queue.MarkDelivered(m->file));
    ASSERT_LT(texts.size(), 10u);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"oldest", "middle-a", "middle-b", "newest"}));
  EXPECT_TRUE(fs::exists(client / "delivered" / "z.txt"));
  EXPECT_TRUE(fs::exists(client / "delivered" / "old.txt"));
  EXPECT_TRUE(fs::exists(client / ".partial"));
}

TEST(MessageQueue, ClientsAreKeptApartAndOddCodesHaveNothing) {
  testing::TempDir dir;
  const auto now = fs::file_time_type::clock::now();
  WriteMessage(dir.path() / "4711" / "m.txt", "for 4711", now);
  WriteMessage(dir.path() / "42" / "m.txt", "for 42", now);
  WriteMessage(dir.path() / "x" / "m.txt", "odd folder", now);
  MessageQueue queue(dir.path());

  ASSERT_TRUE(queue.Next("42").has_value());
  EXPECT_EQ(queue.Next("42")->bytes, "for 42");
  EXPECT_FALSE(queue.Next("471").has_value());
  EXPECT_FALSE(queue.Next("").has_value());
  EXPECT_FALSE(queue.Next("x").has_value());
  EXPECT_FALSE(queue.Next("../4711").has_value());
  EXPECT_FALSE(queue.Next("4711 ").has_value());
  EXPECT_FALSE(queue.Next("99").has_value());  // no folder at all
}

TEST(MessageQueue, DeliveredNameClashKeepsBothFiles) {
  testing::TempDir dir;
  const fs::path client = dir.path() / "4711";
  WriteMessage(client / "delivered" / "m.txt", "first", fs::file_time_type::clock::now());
  WriteMessage(client / "m.txt", "second", fs::file_time_type::clock::now());
  MessageQueue queue(dir.path());
  ASSERT_TRUE(queue.MarkDelivered(client / "m.txt"));
  EXPECT_EQ(testing::ReadFileBytes(client / "delivered" / "m.txt"), "first");
  EXPECT_EQ(testing::ReadFileBytes(client / "delivered" / "m-1.txt"), "second");
  EXPECT_FALSE(queue.Next("4711").has_value());
  EXPECT_FALSE(queue.MarkDelivered(client / "gone.txt"));
}

TEST(RequestStore, OneFilePerRequestByteForByte) {
  testing::TempDir dir;
  RequestStore store(dir.path() / "received");
  const auto now = std::chrono::system_clock::now();
  std::string binary;
  for (int i = 0; i < 1000; ++i) binary.push_back(static_cast<char>(i * 7));
  const std::string upload = "901 4711      " + binary;

  std::vector<fs::path> stored;
  for (int i = 0; i < 3; ++i) {
    const auto file =
        store.Store(i == 0 ? upload : "915 salut", i == 0 ? "901" : "915", "4711", now);
    ASSERT_TRUE(file.has_value());
    stored.push_back(*file);
  }
  EXPECT_EQ(testing::ReadFileBytes(stored[0]), upload);
  EXPECT_EQ(testing::ReadFileBytes(stored[1]), "915 salut");
  EXPECT_NE(stored[1], stored[2]);  // same second, same code: still two files
  EXPECT_NE(stored[0].filename().string().find("-901-4711.req"), std::string::npos);

  // A new store over the same folder (a restart) does not overwrite the old files.
  RequestStore again(dir.path() / "received");
  const auto next = again.Store("915 alt", "915", "", now);
  ASSERT_TRUE(next.has_value());
  EXPECT_NE(next->filename().string().find("-915-anon.req"), std::string::npos);
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(dir.path() / "received")) {
    EXPECT_NE(entry.path().filename().string()[0], '.') << "temporary file left behind";
    ++count;
  }
  EXPECT_EQ(count, 4u);
  EXPECT_EQ(testing::ReadFileBytes(stored[1]), "915 salut");
}

TEST(RequestStore, FailsWhenTheFolderCannotExist) {
  testing::TempDir dir;
  testing::WriteFileBytes(dir.path() / "received", "a file where the folder should be");
  RequestStore store(dir.path() / "received");
  EXPECT_FALSE(store.Store("915 x", "915", "4711", std::chrono::system_clock::now()).has_value());
}

}  // namespace
}  // namespace velmora::server
