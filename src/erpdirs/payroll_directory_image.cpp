#include "erpdirs/payroll_directory_image.h"

#include <algorithm>

#include "common/fixed_text.h"
#include "erpdirs/image_fields.h"

namespace velmora::erpdirs {
namespace {

struct MedicalLeaveCode {
  int16_t code;
  std::string_view name;  // 40 characters at most
  int16_t percentage;
};

// The medical-leave codes of a new file, in table order.
constexpr MedicalLeaveCode kMedicalLeaveCodes[] = {
    {1, "Boala obisnuita", 75},
    {2, "Accident in deplasarea la locul de munca", 100},
    {3, "Accident de munca", 100},
    {4, "Boala profesionala", 100},
    {5, "Boala infectocontagioasa din grupa A", 100},
    {6, "Urgenta medico-chirurgicala", 100},
    {7, "Carantina", 75},
    {8, "Sarcina si lauzie", 85},
    {9, "Ingrijire copil", 85},
    {10, "Reducerea cu 1/4 a duratei de lucru", 85},
    {11, "Trecerea temporara in alta munca", 85},
    {12, "Tuberculoza", 100},
    {13, "Boala cardiovasculara", 75},
    {14, "Neoplazii,SIDA", 100},
    {15, "Risc maternal", 75},
};

void Blank(std::span<char> image, std::size_t offset, std::size_t width) {
  std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(offset), width, ' ');
}

void SetRecord1(std::span<char> r) {
  Blank(r, 0, 18);
  WriteInt16(r, kPayrollDepartmentCount, 1);
  Blank(r, 20, 126);
  WriteInt32(r, 146, 0);
  Blank(r, 150, 32);
  WriteInt16(r, 182, 0);
  WriteInt16(r, 184, 0);
  WriteInt32(r, 186, 200);
  WriteInt16(r, 190, 550);
  WriteInt16(r, 192, 1700);
  WriteInt16(r, 194, 70);
  WriteInt16(r, 196, 25);
  WriteInt32(r, 198, 2022);
  WriteInt16(r, 202, 0);
  WriteInt16(r, 204, 1);
  WriteInt16(r, kPayrollTableACount, 0);
  WriteInt16(r, kPayrollTableBCount, 0);
  WriteInt16(r, 210, 0);
  WriteInt16(r, 212, 0);
  WriteInt16(r, 214, 413);
  WriteInt16(r, 216, 363);
  WriteInt16(r, 218, 313);
  WriteInt16(r, kPayrollMedicalLeaveCount, static_cast<int16_t>(std::size(kMedicalLeaveCodes)));
  // Settings table of 20 rows of 14 bytes at offset 222: all zero except row 11.
  const std::size_t row11 = 222 + 10 * 14;
  WriteInt32(r, row11 + 0, 0);
  WriteInt32(r, row11 + 4, 999999);
  WriteInt32(r, row11 + 8, 0);
  WriteInt16(r, row11 + 12, 16);
}

void SetRecord2(std::span<char> r) {
  for (std::size_t i = 0; i < 12; ++i) WriteInt16(r, 380 + 2 * i, 176);
  WriteInt32(r, 434, 670);
  WriteInt16(r, 438, 50);
  WriteInt16(r, 440, 279);
  WriteInt16(r, 442, 1050);
  WriteInt16(r, 448, 85);
  WriteInt16(r, 450, 520);
  WriteInt16(r, 452, 25);
  WriteInt16(r, 454, 50);
  WriteInt16(r, 456, 5);
  WriteInt16(r, 458, 5);
  WriteInt32(r, 460, 500);
  WriteInt16(r, 464, 100);
  WriteInt16(r, 466, 40);
}

}  // namespace

void SetPayrollDirectoryDefaults(std::span<char> image) {
  // Whatever the tables below do not name is zero in a new file.
  std::fill(image.begin(), image.end(), '\0');
  SetRecord1(image.subspan(0, kRecordSize));
  SetRecord2(image.subspan(kRecordSize, kRecordSize));
  Blank(image, 2 * kRecordSize + 320, 5 * 32);         // record 3: five 32-character texts
  Blank(image, 3 * kRecordSize, 3 * kPathFieldWidth);  // record 4: the path fields

  for (std::size_t i = 0; i < 96; ++i) {
    const std::size_t entry = kPayrollDepartments + 32 * i;
    WriteInt16(image, entry, 1);
    SetTextField(image, entry + 2, 30, "Compartiment 1");
  }
  for (std::size_t i = 0; i < std::size(kMedicalLeaveCodes); ++i) {
    const std::size_t entry = kPayrollMedicalLeave + 44 * i;
    WriteInt16(image, entry, kMedicalLeaveCodes[i].code);
    SetTextField(image, entry + 2, 40, kMedicalLeaveCodes[i].name);
    WriteInt16(image, entry + 42, kMedicalLeaveCodes[i].percentage);
  }
  for (std::size_t i = 0; i < 30; ++i) {
    const std::size_t entry = kPayrollTableA + 34 * i;
    Blank(image, entry, 31);
    WriteInt16(image, entry + 31, 0);
    Blank(image, entry + 33, 1);
  }
  Blank(image, kPayrollTableB, 30 * 32);
}

int16_t ReadPayrollDirectoryRecords(RecordFile& file, std::span<char> image,
                                    UnreadRecords* unread) {
  std::fill(image.begin(), image.end(), ' ');
  const auto record1 = image.subspan(0, kRecordSize);
  const auto markUnread = [&](int n) {
    if (unread && file.HoldsRecord(n)) unread->insert(n);
  };
  Record scratch;
  int16_t status = 0;
  for (int n = 1; n <= kPayrollDirectoryRecords; ++n) {
    if (file.ReadRecord(n, scratch)) {
      std::copy(scratch.begin(), scratch.end(),
                image.begin() + static_cast<std::ptrdiff_t>((n - 1) * kRecordSize));
      continue;
    }
    if (n <= 3) {
      // Without its first three records the file is not read any further.
      for (int rest = n; rest <= kPayrollDirectoryRecords; ++rest) markUnread(rest);
      return 1;
    }
    if (file.HoldsRecord(n)) {
      // A table record that is there but cannot be read: its count stays,
      // since record 1 goes back to the file with it.
      markUnread(n);
      status = 1;
      continue;
    }
    // An older, shorter file: the tables it lacks are empty.
    if (n == 5 || n == 6) WriteInt16(record1, kPayrollDepartmentCount, 0);
    if (n == 11 || n == 12) WriteInt16(record1, kPayrollMedicalLeaveCount, 0);
    if (n == 13 || n == 14) WriteInt16(record1, kPayrollTableACount, 0);
    if (n == 15 || n == 16) WriteInt16(record1, kPayrollTableBCount, 0);
  }
  return status;
}

const DirectoryFileKind kPayrollDirectoryFile{"DIRMOR.DAT", kPayrollDirectoryRecords,
                                              &SetPayrollDirectoryDefaults,
                                              &ReadPayrollDirectoryRecords};

}  // namespace velmora::erpdirs
