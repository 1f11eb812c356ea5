#include "erpdirs/accounting_directory_image.h"

#include <algorithm>

#include "common/fixed_text.h"
#include "erpdirs/image_fields.h"

namespace velmora::erpdirs {

void SetAccountingDirectoryDefaults(std::span<char> image) {
  std::fill(image.begin(), image.end(), ' ');

  const auto record1 = image.subspan(0, kRecordSize);
  WriteDouble(record1, 12, 10.0);
  WriteInt32(record1, 230, 0);

  const auto record2 = image.subspan(kRecordSize, kRecordSize);
  const int16_t settings[] = {2004, 12, 2003, 12, 2003, 31, 12, 2003};
  for (std::size_t i = 0; i < std::size(settings); ++i) WriteInt16(record2, 2 * i, settings[i]);
  SetTextField(record2, 30, 4, "FIFO");
  WriteInt16(record2, 34, 80);
  WriteInt16(record2, 36, 1);
  WriteInt16(record2, 38, 1);
  SetPathField(record2, 110, "C:\\KELBAR\\FileGen");

  const auto record3 = image.subspan(2 * kRecordSize, kRecordSize);
  WriteInt16(record3, 0, 1);
  SetTextField(record3, 2, 30, "GESTIUNEA 1");
}

const DirectoryFileKind kAccountingDirectoryFile{"DIRKEL.DAT", kAccountingDirectoryRecords,
                                                 &SetAccountingDirectoryDefaults,
                                                 &ReadDirectoryRecords};

}  // namespace velmora::erpdirs
