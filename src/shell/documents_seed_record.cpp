#include "shell/documents_seed_record.h"

#include <cctype>
#include <span>

#include "common/fixed_text.h"

namespace velmora::shell {
namespace {

constexpr std::size_t kPathWidth = 40;

std::string_view WithoutDrive(std::string_view path, bool sameDrive) {
  return sameDrive && path.size() >= 2 ? path.substr(2) : path;
}

}  // namespace

std::string BuildDocumentsSeedRecord(std::string_view suiteRoot, std::string_view programDirectory, bool sameDrive) {
  std::string record(kDocumentsRecordBytes, ' ');
  std::span<char> bytes(record);
  const std::string vantor = std::string(suiteRoot) + "\\Vantor";
  const std::string firm = std::string(suiteRoot) + "\\Kelbar\\FIRMA";
  std::string_view erp = programDirectory;
  if (!erp.empty() && erp.back() == '\\') erp.remove_suffix(1);

  CopyIntoField(bytes.subspan(180, kPathWidth), WithoutDrive(vantor, sameDrive));
  CopyIntoField(bytes.subspan(220, kPathWidth), WithoutDrive(vantor, sameDrive));
  CopyIntoField(bytes.subspan(260, kPathWidth), WithoutDrive(firm, sameDrive));
  WriteInt16(bytes, 300, 60);
  WriteInt16(bytes, 302, 60);
  WriteInt32(bytes, 306, 0);
  WriteInt16(bytes, 310, 0);
  CopyIntoField(bytes.subspan(312, kPathWidth), WithoutDrive(erp, sameDrive));
  WriteInt16(bytes, 352, 0);
  bytes[358] = 'N';
  WriteInt32(bytes, 359, 0);
  return record;
}

bool SameDriveLetter(std::string_view a, std::string_view b) {
  return a.size() >= 2 && b.size() >= 2 && a[1] == ':' && b[1] == ':' &&
         std::toupper(static_cast<unsigned char>(a[0])) == std::toupper(static_cast<unsigned char>(b[0]));
}

}  // namespace velmora::shell
