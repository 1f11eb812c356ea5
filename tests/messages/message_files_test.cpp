// Sending a message and the archive on disk: file names, contents, a taken
// name, a missing folder, an archive held open by another reader.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <set>
#include <thread>

#include "messages/message_fixture.h"
#include "messages/messages.h"

namespace velmora::messages {
namespace {

std::set<std::string> OutgoingContents(const std::filesystem::path& folder) {
  std::set<std::string> contents;
  for (const auto& file : std::filesystem::directory_iterator(folder))
    contents.insert(testing::ReadFileBytes(file));
  return contents;
}

StampTime SecondsFromNow(int seconds) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME file;
  SystemTimeToFileTime(&now, &file);
  ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
  ticks.QuadPart += static_cast<ULONGLONG>(seconds) * 10'000'000;
  file = {ticks.LowPart, ticks.HighPart};
  FileTimeToSystemTime(&file, &now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// Holds inbox.dat open without sharing, as another program may, for a while.
class ArchiveHolder {
 public:
  ArchiveHolder(const std::filesystem::path& file, std::chrono::milliseconds hold)
      : handle_(
            CreateFileA(file.string().c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr)),
        release_([this, hold] {
          std::this_thread::sleep_for(hold);
          CloseHandle(handle_);
        }) {}
  ~ArchiveHolder() { release_.join(); }
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
  std::thread release_;
};

TEST_F(MessageFilesTest, ASentMessageBecomesAnOutgoingFileAndAnOwnEntry) {
  ASSERT_EQ(SendUserMessage("Buna ziua   "), 0);
  std::vector<std::filesystem::path> files;
  for (const auto& file : std::filesystem::directory_iterator(Out())) files.push_back(file.path());
  ASSERT_EQ(files.size(), 1u);
  const std::string name = files[0].filename().string();
  ASSERT_EQ(name.size(), std::string("pMsg_YYYYMMDDHHMMSS.dat").size()) << name;
  EXPECT_EQ(testing::ReadFileBytes(files[0]), "915 Buna ziua");

  const std::vector<InboxEntry> entries = ReadInbox();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].author, "4711        ");
  const std::string digits = name.substr(5, 14);  // the stamp names the same second as the file
  EXPECT_EQ(entries[0].dateLine, digits.substr(0, 4) + "." + digits.substr(4, 2) + "." +
                                     digits.substr(6, 2) + "  " + digits.substr(8, 2) + ":" +
                                     digits.substr(10, 2) + ":" + digits.substr(12, 2));
  EXPECT_EQ(entries[0].message, "Buna ziua");
}

TEST_F(MessageFilesTest, AWaitingFileOfTheSameNameIsNeverReplaced) {
  std::set<std::string> waiting;
  for (int second = 0; second < 3; ++second) {
    const std::string content = "915 waiting " + std::to_string(second);
    testing::WriteFileBytes(Out() / OutgoingFileName(SecondsFromNow(second)), content);
    waiting.insert(content);
  }
  ASSERT_EQ(SendUserMessage("nou"), 0);
  std::set<std::string> expected = waiting;
  expected.insert("915 nou");
  EXPECT_EQ(OutgoingContents(Out()), expected);
}

TEST_F(MessageFilesTest, WithoutTheOutgoingFolderNothingIsWrittenAnywhere) {
  std::filesystem::remove_all(Out());
  EXPECT_EQ(SendUserMessage("nu ajunge"), -1);
  EXPECT_FALSE(std::filesystem::exists(Inbox()));
}

TEST_F(MessageFilesTest, ALongMessageIsSentWholeAndArchivedCut) {
  const std::string text(2100, 'x');
  ASSERT_EQ(SendUserMessage(text), 0);
  EXPECT_EQ(OutgoingContents(Out()), std::set<std::string>{"915 " + text});
  const std::string archive = InboxBytes();
  EXPECT_TRUE(archive.ends_with("\r\n\r\n" + std::string(1978, 'x') + "\r\n")) << archive.size();
}

TEST_F(MessageFilesTest, AnAppendWaitsForAnArchiveHeldOpenBriefly) {
  AppendInboxEntry("2026.12.08  10:00:00prima", "Corvane");
  {
    const ArchiveHolder holder(Inbox(), std::chrono::milliseconds(400));
    ASSERT_TRUE(holder.held());
    AppendInboxEntry("2026.12.08  10:00:01a doua", "Corvane");
  }
  const auto entries = ReadInbox();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].message, "a doua");
}

TEST_F(MessageFilesTest, AnAppendGivesUpOnAnArchiveHeldTooLong) {
  AppendInboxEntry("2026.12.08  10:00:00prima", "Corvane");
  const std::string before = InboxBytes();
  {
    const ArchiveHolder holder(Inbox(), std::chrono::milliseconds(3500));
    AppendInboxEntry("2026.12.08  10:00:01pierduta", "Corvane");
  }
  EXPECT_EQ(InboxBytes(), before);
}

TEST_F(MessageFilesTest, AMissingOrEmptyArchiveHoldsNoEntry) {
  EXPECT_TRUE(ReadInbox().empty());
  testing::WriteFileBytes(Inbox(), "");
  EXPECT_TRUE(ReadInbox().empty());
}

}  // namespace
}  // namespace velmora::messages
