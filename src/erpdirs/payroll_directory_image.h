#pragma once
// DIRMOR.DAT, the payroll module's directory and settings file in its company
// folder: 16 records of 512 bytes. Records 1 to 4 are settings and paths;
// records 5 to 16 hold four tables, each kept as one contiguous part of the
// image. Its reader accepts an older, shorter file and treats the tables it
// lacks as empty.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "erpdirs/directory_file.h"
#include "erpdirs/image_fields.h"

namespace velmora::erpdirs {

inline constexpr int kPayrollDirectoryRecords = 16;
using PayrollDirectoryImage = std::array<char, kPayrollDirectoryRecords * kRecordSize>;

// Counts in record 1.
inline constexpr std::size_t kPayrollDepartmentCount = 18;
inline constexpr std::size_t kPayrollTableACount = 206;
inline constexpr std::size_t kPayrollTableBCount = 208;
inline constexpr std::size_t kPayrollMedicalLeaveCount = 220;

// Path fields in the whole image (record 4 starts at 1536).
inline constexpr std::size_t kPayrollErpDirectory = 1536;
inline constexpr std::size_t kPayrollAccountingFolder = 1536 + 40;    // suite root + "KELBAR\FIRMA"
inline constexpr std::size_t kPayrollDocumentsDirectory = 1536 + 80;  // suite root + "VANTOR"

// Tables: first byte in the whole image and size.
inline constexpr std::size_t kPayrollDepartments = 4 * kRecordSize;  // records 5 to 10
inline constexpr std::size_t kPayrollDepartmentsSize = 6 * kRecordSize;
inline constexpr std::size_t kPayrollMedicalLeave = 10 * kRecordSize;  // records 11 and 12
inline constexpr std::size_t kPayrollTableA = 12 * kRecordSize;        // records 13 and 14
inline constexpr std::size_t kPayrollTableB = 14 * kRecordSize;        // records 15 and 16
inline constexpr std::size_t kPayrollTwoRecordTableSize = 2 * kRecordSize;

void SetPayrollDirectoryDefaults(std::span<char> image);
inline constexpr ModulePathFields kPayrollPathFields{kPayrollErpDirectory, kPayrollAccountingFolder,
                                                     kPayrollDocumentsDirectory};

// The tolerant reader: the image is first filled with blanks; records 1 to 3
// must be readable (status 1 otherwise, and the reading ends there); a later
// record beyond the end of an older, shorter file leaves its part blank and
// sets the count of its table to 0. A later record that the file holds but
// that cannot be read is a read failure (status 1) that leaves the counts
// alone; the reading goes on to record 16.
int16_t ReadPayrollDirectoryRecords(RecordFile& file, std::span<char> image,
                                    UnreadRecords* unread = nullptr);

extern const DirectoryFileKind kPayrollDirectoryFile;

}  // namespace velmora::erpdirs
