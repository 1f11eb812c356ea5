// Opening, closing and searching real keyed files in a temporary folder.

#include "docstore/keyed_file.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "keyed_files/keyed_file_writer.h"
#include "support/path_fields.h"
#include "win_fixtures.h"

namespace velmora::docstore {
namespace {

using testing::BoxRecorder;
using velmora::testing::BoxList;
using velmora::testing::IndexFileWriter;
using velmora::testing::ObiFileImage;
using velmora::testing::ReadFileBytes;
using velmora::testing::SelfDescribingFileWriter;
using velmora::testing::WriteFileBytes;

const std::string kCode("\x15\xCD\x5B\x07", 4);  // 123456789

bool IsOpen(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

class KeyedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SelfDescribingFileWriter selfDescribing(20, 19);
    ASSERT_TRUE(selfDescribing.Add({"CODCLI", kCode}));
    WriteFileBytes(dir_ / "SELF.DAT", selfDescribing.image());
    IndexFileWriter index(20, 17);
    ASSERT_TRUE(index.Add({"CODCLI", kCode}));
    WriteFileBytes(dir_ / "INDEX.DAT", index.image());
    WriteFileBytes(dir_ / "obi.dat", ObiFileImage(17));
    WriteFileBytes(dir_ / "EMPTY.DAT", "");
  }

  // The folder as a 40-character field.
  std::string Directory() const { return velmora::testing::Path40(dir_.name()); }
  HANDLE OpenObi() {
    return CreateFileA((dir_ / "obi.dat").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
  }
  struct Opened {
    HANDLE file = nullptr;
    int32_t buckets = -1;
    int16_t status = -1;
  };
  Opened Open(const char* name, HANDLE obi = nullptr, const std::string& directory = "") {
    Opened o;
    OpenKeyedFile(name, directory.empty() ? Directory() : directory, obi, o.file, o.buckets,
                  o.status);
    return o;
  }
  int32_t Lookup(HANDLE file, int32_t buckets, int16_t& status) {
    std::array<char, 10> record{'C', 'O', 'D', 'C', 'L', 'I'};
    const RetrieveOutcome outcome = RetrieveRecord(record, 6, buckets, file, 6, 4);
    status = outcome.status;
    return static_cast<int32_t>(static_cast<uint8_t>(record[6]) |
                                static_cast<uint8_t>(record[7]) << 8 |
                                static_cast<uint8_t>(record[8]) << 16 |
                                static_cast<uint32_t>(static_cast<uint8_t>(record[9])) << 24);
  }

  testing::ShortTempDir dir_;
  BoxRecorder boxes_;
};

// The bucket count comes from the file itself or from obi.dat; without one a
// search gives 5.
TEST_F(KeyedFileTest, OpensEitherLayoutAndFindsTheRecord) {
  HANDLE obi = OpenObi();
  ASSERT_TRUE(IsOpen(obi));
  const struct {
    const char* name;
    HANDLE obi;
    int32_t buckets;
    int layout;
    int16_t lookup;
  } cases[] = {
      {"SELF.DAT", INVALID_HANDLE_VALUE, 19, kLayoutSelfDescribing, 0},
      {"INDEX.DAT", obi, 17, kLayoutIndex, 0},
      {"INDEX.DAT", nullptr, 0, kLayoutIndex, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.buckets);
    auto [file, buckets, status] = Open(c.name, c.obi);
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(IsOpen(file));
    EXPECT_EQ(buckets, c.buckets);
    EXPECT_EQ(LayoutOf(file), c.layout);
    const int32_t code = Lookup(file, buckets, status);
    EXPECT_EQ(status, c.lookup);
    if (c.lookup == 0) {
      EXPECT_EQ(code, 123456789);
    }
    CloseKeyedFile(file);
  }
  int32_t fromHeader = 0;
  EXPECT_EQ(ReadObiHeader(obi, fromHeader), 0);
  EXPECT_EQ(fromHeader, 17);
  CloseHandle(obi);
  EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(KeyedFileTest, OpenFailuresShowTheirMessageAndLeaveNoHandle) {
  const std::string base = dir_.name();
  struct Case {
    const char* name;
    bool withObi;
    std::string shown;
  };
  WriteFileBytes(dir_ / "SHORT.DAT", std::string(100, 'x'));
  const Case cases[] = {
      {"MISSING.DAT", true, "Eroare deschidere " + base + "\\MISSING.DAT"},
      {"EMPTY.DAT", true, "Eroare la citire bloc 1 din " + base + "\\EMPTY.DAT"},
      {"SHORT.DAT", true, "Eroare la citire bloc 1 din " + base + "\\SHORT.DAT"},
  };
  HANDLE obi = OpenObi();
  for (const Case& c : cases) {
    BoxRecorder::Boxes().clear();
    const Opened o = Open(c.name, c.withObi ? obi : nullptr);
    EXPECT_EQ(o.status, 1) << c.name;
    EXPECT_EQ(o.file, INVALID_HANDLE_VALUE) << c.name;
    EXPECT_EQ(BoxRecorder::Boxes(),
              (BoxList{{nullptr, c.shown, "Eroare", MB_TOPMOST | MB_SYSTEMMODAL | MB_ICONWARNING}}))
        << c.name;
  }
  CloseHandle(obi);
  // The file whose block 1 could not be read was closed again: it can be deleted.
  EXPECT_TRUE(DeleteFileA((dir_ / "SHORT.DAT").c_str()));
}

TEST_F(KeyedFileTest, UnreadableObiFailsTheIndexFileOpen) {
  HANDLE emptyObi =
      CreateFileA((dir_ / "EMPTY.DAT").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  const Opened o = Open("INDEX.DAT", emptyObi);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(boxes_.Texts(), (std::vector<std::string>{"Eroare citire bloc 1 din obi.dat!"}));

  int32_t count = 0;
  EXPECT_EQ(ReadObiHeader(emptyObi, count), 1);
  EXPECT_EQ(boxes_.Texts().back(), "** Eroare citire Header fisier OBI.DAT **");
  CloseHandle(emptyObi);
  EXPECT_TRUE(DeleteFileA((dir_ / "INDEX.DAT").c_str())) << "the failed open closed the file";
}

TEST_F(KeyedFileTest, OpensBesideAWriterAndLetsWritersIn) {
  const std::string path = dir_ / "SELF.DAT";
  HANDLE writer =
      CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_TRUE(IsOpen(writer));
  const Opened o = Open("SELF.DAT");
  EXPECT_EQ(o.status, 0);
  HANDLE second = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_TRUE(IsOpen(second));
  CloseHandle(second);
  CloseHandle(writer);
  CloseKeyedFile(o.file);
  EXPECT_EQ(ReadFileBytes(path).size(), 20u * 512) << "only read";
}

TEST_F(KeyedFileTest, LayoutIsReadOncePerOpenFile) {
  Opened o = Open("SELF.DAT");
  ASSERT_EQ(o.status, 0);
  // Block 1 turned to zeros behind the program's back: the open file keeps its layout.
  HANDLE writer =
      CreateFileA((dir_ / "SELF.DAT").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  const std::string zeros(512, '\0');
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer, zeros.data(), 512, &written, nullptr));
  CloseHandle(writer);
  EXPECT_EQ(LayoutOf(o.file), kLayoutSelfDescribing);
  CloseKeyedFile(o.file);

  o = Open("SELF.DAT");
  ASSERT_EQ(o.status, 0);
  EXPECT_EQ(LayoutOf(o.file), kLayoutIndex);
  CloseKeyedFile(o.file);
}

TEST_F(KeyedFileTest, AValidHandleOnEntryIsReplaced) {
  Opened o = Open("SELF.DAT");
  ASSERT_EQ(o.status, 0);
  HANDLE& file = o.file;
  OpenKeyedFile("INDEX.DAT", Directory(), nullptr, file, o.buckets, o.status);
  ASSERT_EQ(o.status, 0);
  EXPECT_EQ(LayoutOf(file), kLayoutIndex);
  CloseKeyedFile(file);
  EXPECT_TRUE(DeleteFileA((dir_ / "SELF.DAT").c_str())) << "the first file was closed";
  EXPECT_TRUE(DeleteFileA((dir_ / "INDEX.DAT").c_str()));
}

TEST_F(KeyedFileTest, DeclaredKeyLengthMismatchIsShown) {
  auto [file, buckets, status] = Open("SELF.DAT");
  std::array<char, 10> record{'C', 'O', 'D', 'C', 'L', 'I'};
  EXPECT_EQ(RetrieveRecord(record, 6, buckets, file, 8, 4).status, kStatusReadError);
  EXPECT_EQ(boxes_.Texts(),
            (std::vector<std::string>{"Eroare interna (dev_ret: WL != klen). Anuntati Corvane!"}));
  CloseKeyedFile(file);
}

TEST_F(KeyedFileTest, BlankDirectoryMeansTheCurrentDirectory) {
  testing::InDirectory here(dir_.name());
  WriteFileBytes(dir_ / "DEV.DAT", SelfDescribingFileWriter(5, 5).image());
  const Opened o = Open("DEV.DAT", nullptr, std::string(40, ' '));
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.buckets, 5);
  CloseKeyedFile(o.file);
}

}  // namespace
}  // namespace velmora::docstore
