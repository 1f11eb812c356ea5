// The client-code lookups over a documents folder in a temporary folder:
// DIRVAN.DAT in the current directory points to VANTOR, which holds obi.dat
// and dev.dat.

#include "docstore/client_code.h"

#include <gtest/gtest.h>

#include <string>

#include "docstore/client_code_lookup.h"
#include "docstore/keyed_file.h"
#include "erpdirs/documents_directory.h"
#include "keyed_files/keyed_file_writer.h"
#include "support/path_fields.h"
#include "win_fixtures.h"

namespace velmora::docstore {
namespace {

using testing::BoxRecorder;
using velmora::testing::IndexFileWriter;
using velmora::testing::ObiFileImage;
using velmora::testing::SelfDescribingFileWriter;
using velmora::testing::WriteFileBytes;

const std::string kCode("\xB1\x68\xDE\x3A", 4);  // 987654321

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ClientCodeTest : public ::testing::Test {
 protected:
  ClientCodeTest() : here_(dir_.name()) {
    ClearClientCodeCache();
    vantor_ = dir_ / "VANTOR";
    CreateDirectoryA(vantor_.c_str(), nullptr);
  }
  ~ClientCodeTest() override { ClearClientCodeCache(); }

  void WriteDirvan() {
    WriteFileBytes(dir_ / "DIRVAN.DAT", velmora::testing::DocumentsDirectoryNaming(vantor_));
  }
  void WriteIndexFiles(bool withClient = true) {
    IndexFileWriter dev(40, 37);
    for (int i = 0; i < 60; ++i) dev.Add({"CL" + std::to_string(1000 + i), std::string(30, 'd')});
    if (withClient) {
      ASSERT_TRUE(dev.Add({"CODCLI", kCode}));
    }
    WriteFileBytes(vantor_ + "\\dev.dat", dev.image());
    WriteFileBytes(vantor_ + "\\obi.dat", ObiFileImage(37));
  }
  void WriteSelfDescribingFiles() {
    SelfDescribingFileWriter dev(40, 37);
    ASSERT_TRUE(dev.Add({"CODCLI", kCode}));
    WriteFileBytes(vantor_ + "\\dev.dat", dev.image());
    WriteFileBytes(vantor_ + "\\obi.dat", ObiFileImage(0));
  }

  testing::ShortTempDir dir_;
  testing::InDirectory here_;
  std::string vantor_;
  BoxRecorder boxes_;
};

TEST_F(ClientCodeTest, PeekWithoutDirvanOpensNothing) {
  WriteIndexFiles();
  int32_t code = 99;
  PeekClientCode(code);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(boxes_.Texts().empty());
  EXPECT_FALSE(Exists(dir_ / "DIRVAN.DAT")) << "no directory file is created";
}

TEST_F(ClientCodeTest, PeekFindsTheCodeInEitherLayout) {
  WriteDirvan();
  WriteIndexFiles();
  int32_t code = 0;
  PeekClientCode(code);
  EXPECT_EQ(code, 987654321);

  WriteSelfDescribingFiles();
  code = 0;
  PeekClientCode(code);
  EXPECT_EQ(code, 987654321);
  EXPECT_TRUE(boxes_.Texts().empty());
  // Both files were closed again.
  EXPECT_TRUE(DeleteFileA((vantor_ + "\\dev.dat").c_str()));
  EXPECT_TRUE(DeleteFileA((vantor_ + "\\obi.dat").c_str()));
}

TEST_F(ClientCodeTest, PeekFailuresGiveZero) {
  WriteDirvan();
  WriteIndexFiles(false);
  int32_t code = 5;
  PeekClientCode(code);
  EXPECT_EQ(code, 0) << "no client record";
  EXPECT_TRUE(boxes_.Texts().empty());

  DeleteFileA((vantor_ + "\\obi.dat").c_str());
  code = 5;
  PeekClientCode(code);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(boxes_.Texts().empty()) << "a missing obi.dat is passed over silently";

  WriteFileBytes(vantor_ + "\\obi.dat", ObiFileImage(37));
  DeleteFileA((vantor_ + "\\dev.dat").c_str());
  code = 5;
  PeekClientCode(code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(boxes_.Texts(),
            (std::vector<std::string>{"Eroare deschidere " + vantor_ + "\\dev.dat"}));
}

TEST_F(ClientCodeTest, ReadKeepsTheFirstCodeForTheRun) {
  erpdirs::SetDocumentsDataDirectory(vantor_);
  WriteIndexFiles();
  int32_t code = 0;
  ReadClientCode(code);
  EXPECT_EQ(code, 987654321);

  ASSERT_TRUE(DeleteFileA((vantor_ + "\\dev.dat").c_str()));
  ASSERT_TRUE(DeleteFileA((vantor_ + "\\obi.dat").c_str()));
  code = 0;
  ReadClientCode(code);
  EXPECT_EQ(code, 987654321) << "no file is opened again";
  EXPECT_TRUE(boxes_.Texts().empty());

  ClearClientCodeCache();
  ReadClientCode(code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(boxes_.Texts(), (std::vector<std::string>{"Eroare deschidere obi.dat!"}));
}

TEST_F(ClientCodeTest, ReadThatFoundNothingCachesNothing) {
  erpdirs::SetDocumentsDataDirectory(vantor_);
  WriteIndexFiles(false);
  int32_t code = 3;
  ReadClientCode(code);
  EXPECT_EQ(code, 0);
  WriteSelfDescribingFiles();
  ReadClientCode(code);
  EXPECT_EQ(code, 987654321);
}

TEST_F(ClientCodeTest, ReadWithoutDevShowsItsOpenError) {
  erpdirs::SetDocumentsDataDirectory(vantor_);
  WriteFileBytes(vantor_ + "\\obi.dat", ObiFileImage(37));
  int32_t code = 3;
  ReadClientCode(code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(boxes_.Texts(),
            (std::vector<std::string>{"Eroare deschidere " + vantor_ + "\\DEV.DAT"}));
  EXPECT_TRUE(DeleteFileA((vantor_ + "\\obi.dat").c_str())) << "obi.dat was closed again";
}

HANDLE OpenForReading(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, 0, nullptr);
}

TEST_F(ClientCodeTest, FilesOpenAlreadyAreUsedAndLeftOpen) {
  WriteSelfDescribingFiles();
  const std::string obiPath = vantor_ + "\\obi.dat";
  HANDLE obi = OpenForReading(obiPath);
  HANDLE dev = OpenForReading(vantor_ + "\\dev.dat");
  const std::string directory = velmora::testing::Path40(vantor_);
  for (bool peek : {false, true}) {
    const auto code = ClientCodeInFiles({.dataDirectory = directory,
                                         .obiPath = obiPath,
                                         .devName = "dev.dat",
                                         .openObi = obi,
                                         .openDev = dev,
                                         .peek = peek});
    EXPECT_EQ(code, 987654321) << "peek " << peek;
  }
  char byte = 0;
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(dev, &byte, 1, &got, nullptr)) << "the caller's handle is still open";
  CloseKeyedFile(dev);  // also drops it from the layout cache
  CloseHandle(obi);
  EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(ClientCodeTest, FilesOpenAlreadyThatCannotBeReadShowTheirMessages) {
  WriteFileBytes(vantor_ + "\\empty.dat", "");
  IndexFileWriter index(10, 7);
  ASSERT_TRUE(index.Add({"CODCLI", kCode}));
  WriteFileBytes(vantor_ + "\\index.dat", index.image());
  HANDLE empty = OpenForReading(vantor_ + "\\empty.dat");
  HANDLE indexDev = OpenForReading(vantor_ + "\\index.dat");
  const std::string directory = velmora::testing::Path40(vantor_);
  const std::string obiPath = vantor_ + "\\empty.dat";
  auto lookUp = [&](HANDLE dev, bool peek) {
    return ClientCodeInFiles({.dataDirectory = directory,
                              .obiPath = obiPath,
                              .devName = "dev.dat",
                              .openObi = empty,
                              .openDev = dev,
                              .peek = peek});
  };
  EXPECT_EQ(lookUp(empty, false), std::nullopt);
  EXPECT_EQ(lookUp(indexDev, false), std::nullopt);
  EXPECT_EQ(lookUp(indexDev, true), std::nullopt);
  EXPECT_EQ(boxes_.Texts(),
            (std::vector<std::string>{"Eroare citire bloc 1 din dev.dat",
                                      "Eroare citire bloc 1 din obi.dat!",
                                      "** Eroare citire Header fisier OBI.DAT **"}));
  CloseKeyedFile(indexDev);
  CloseKeyedFile(empty);
}

}  // namespace
}  // namespace velmora::docstore
