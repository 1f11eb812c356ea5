#pragma once
// Builds a complete sample suite on disk so that the launcher runs for real:
// the ERP folder with the launcher, the vendor's libraries, the stand-in
// programs and a slide show, and the four module folders with their
// programs and files. Portable (std::filesystem only), so it runs from a
// Windows test as well as from the Linux command line.
//
// One function per folder: a file the suite needs later goes into the
// function of the folder it belongs to, written with SuiteBuilder::Write.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recorder/launch_record.h"

namespace velmora::standins {

// The folders of a suite under one root.
struct SuiteFolders {
  explicit SuiteFolders(const std::filesystem::path& suiteRoot);
  std::filesystem::path root, erp, vantor, kelbar, morvin, tesslo;
};

// Where the built programs are: <bin>/<name>, else <bin>/standins/<name>.
class ProgramShelf {
 public:
  explicit ProgramShelf(std::filesystem::path binDir) : binDir_(std::move(binDir)) {}
  std::optional<std::filesystem::path> Find(std::string_view name) const;

 private:
  std::filesystem::path binDir_;
};

struct SuiteReport {
  std::vector<std::filesystem::path> written;  // every file put into the suite
  std::vector<std::string> missingPrograms;    // required programs not found in the bin folder
  bool ok() const { return missingPrograms.empty(); }
};

class SuiteBuilder {
 public:
  SuiteBuilder(const std::filesystem::path& suiteRoot, std::filesystem::path binDir);

  const SuiteFolders& folders() const { return folders_; }
  const SuiteReport& report() const { return report_; }

  // Copies a built program into `folder`. A missing required program is
  // noted in the report; a missing optional one is skipped.
  enum class Need { Required, Optional };
  void CopyProgram(const std::filesystem::path& folder, std::string_view name,
                   Need need = Need::Required);
  // Writes `bytes` to `file`, creating its folders.
  void Write(const std::filesystem::path& file, std::string_view bytes);

 private:
  SuiteFolders folders_;
  ProgramShelf shelf_;
  SuiteReport report_;
};

// The stand-in names under which the recorder is copied, by folder.
inline constexpr std::string_view kErpRecorders[] = {"trovel.exe", "quillon.exe", "wardle.exe"};
inline constexpr std::string_view kVantorRecorders[] = {"q.exe", "tkv.exe", "ruvela.exe"};

// The client code held by the sample documents module (the reference
// server's sample data knows the same client).
inline constexpr int32_t kSampleClientCode = 4711;
// The client record of dev.dat: key "CODCLI", the code as 4 bytes little-endian.
inline constexpr std::string_view kClientRecordKey = "CODCLI";
// Size of the sample dev.dat files and their bucket count (a prime).
inline constexpr int32_t kSampleDevBlocks = 64;
inline constexpr int32_t kSampleDevBuckets = 61;
// Folder under Vantor with obi.dat and a self-describing dev.dat (layout 2)
// holding the same records; its obi.dat carries no bucket count.
inline constexpr std::string_view kLayout2FolderName = "Layout2";

// The name under which a Windows program sees `path`: itself on Windows;
// elsewhere the suite runs under wine, which shows the Unix root as Z:.
std::string WindowsPathOf(const std::filesystem::path& path);

// A folder of the suite (`relative` to its root, "Vantor" or "Kelbar\FIRMA")
// as the documents module writes it into a 40-character field of DIRVAN.DAT:
// the full path when it fits, else relative to the ERP folder ("..\Vantor"),
// where the launcher reads the file.
std::string SuiteFolderField(const SuiteFolders& folders, std::string_view relative);

// The 512-byte record of the sample DIRVAN.DAT in ERP: the documents module's
// defaults, its data directory and second directory the Vantor folder, the
// accounting company folder Kelbar\FIRMA and the further directory ERP.
std::string SampleDocumentsDirectoryRecord(const SuiteFolders& folders);

// The sample dev.dat images, index layout (bucket count in obi.dat) and
// self-describing layout: the client record and a few currencies.
std::string SampleIndexDevFile();
std::string SampleSelfDescribingDevFile();

// The sample CURSVAL.DAT of the documents module (sample_rates.cpp).
std::string SampleCursValFile();

void BuildErpFolder(SuiteBuilder& builder);
void BuildSlideShow(SuiteBuilder& builder);  // pictures, detail text, sound and velmora.scn in ERP
void BuildVantorFolder(SuiteBuilder& builder);
void BuildKeyedFiles(SuiteBuilder& builder);  // obi.dat and dev.dat in Vantor and Vantor\Layout2
void BuildKelbarFolder(SuiteBuilder& builder);
void BuildMorvinFolder(SuiteBuilder& builder);
void BuildTessloFolder(SuiteBuilder& builder);

// Everything above, in a fresh or existing `suiteRoot`.
SuiteReport BuildSampleSuite(const std::filesystem::path& suiteRoot,
                             const std::filesystem::path& binDir);

// The launches recorded in <suiteRoot>/launches.log, oldest first; lines
// that do not parse are skipped.
std::vector<LaunchRecord> ReadLaunches(const std::filesystem::path& suiteRoot);

// The records whose program's file name is `name` (case ignored).
std::vector<LaunchRecord> LaunchesOf(const std::vector<LaunchRecord>& launches,
                                     std::string_view name);

}  // namespace velmora::standins
