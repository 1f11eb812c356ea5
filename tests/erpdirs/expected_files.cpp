#include "expected_files.h"

#include <algorithm>

namespace velmora::erpdirs::testing {

Bytes& Bytes::I16(std::size_t at, int value) {
  const auto v = static_cast<uint16_t>(value);
  bytes_.at(at) = static_cast<char>(v & 0xFF);
  bytes_.at(at + 1) = static_cast<char>(v >> 8);
  return *this;
}

Bytes& Bytes::I32(std::size_t at, int64_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i) bytes_.at(at + i) = static_cast<char>((v >> (8 * i)) & 0xFF);
  return *this;
}

Bytes& Bytes::Raw(std::size_t at, std::initializer_list<int> bytes) {
  for (int b : bytes) bytes_.at(at++) = static_cast<char>(b);
  return *this;
}

Bytes& Bytes::Text(std::size_t at, std::string_view text) {
  for (char c : text) bytes_.at(at++) = c;
  return *this;
}

Bytes& Bytes::Field(std::size_t at, std::size_t width, std::string_view text) {
  for (std::size_t i = 0; i < width; ++i) bytes_.at(at + i) = i < text.size() ? text[i] : ' ';
  return *this;
}

Bytes& Bytes::Fill(std::size_t at, std::size_t count, char c) {
  for (std::size_t i = 0; i < count; ++i) bytes_.at(at + i) = c;
  return *this;
}

std::string NewErpDirectoryFile() {
  // Four records of blanks; record 1 has a zero 32-bit integer at offset 12.
  return Bytes(2048, ' ').Raw(12, {0, 0, 0, 0});
}

std::string NewAccountingDirectoryFile() {
  Bytes f(2048, ' ');
  // Record 1: the double 10.0 at 12, a zero 32-bit integer at 230.
  f.Raw(12, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x24, 0x40});
  f.Raw(230, {0, 0, 0, 0});
  // Record 2 at 512.
  f.Raw(512 + 0, {0xD4, 0x07});  // 2004
  f.I16(512 + 2, 12).I16(512 + 4, 2003).I16(512 + 6, 12).I16(512 + 8, 2003);
  f.I16(512 + 10, 31).I16(512 + 12, 12).I16(512 + 14, 2003);
  f.Text(512 + 30, "FIFO");
  f.I16(512 + 34, 80).I16(512 + 36, 1).I16(512 + 38, 1);
  f.Text(512 + 110, "C:\\KELBAR\\FileGen");
  // Record 3 at 1024: first stock location.
  f.I16(1024, 1).Text(1026, "GESTIUNEA 1");
  return f;
}

std::string NewPayrollDirectoryFile() {
  Bytes f(8192, '\0');
  // Record 1.
  f.Fill(0, 18, ' ').I16(18, 1).Fill(20, 126, ' ').I32(146, 0).Fill(150, 32, ' ');
  f.I16(182, 0).I16(184, 0).I32(186, 200).I16(190, 550).I16(192, 1700).I16(194, 70).I16(196, 25);
  f.I32(198, 2022).I16(202, 0).I16(204, 1).I16(206, 0).I16(208, 0).I16(210, 0).I16(212, 0);
  f.I16(214, 413).I16(216, 363).I16(218, 313).I16(220, 15);
  f.I32(362, 0).I32(366, 999999).I32(370, 0).I16(374, 16);  // settings row 11
  // Record 2 at 512.
  for (int i = 0; i < 12; ++i) f.I16(512 + 380 + 2 * i, 176);
  f.I32(512 + 434, 670).I16(512 + 438, 50).I16(512 + 440, 279).I16(512 + 442, 1050);
  f.I16(512 + 448, 85).I16(512 + 450, 520).I16(512 + 452, 25).I16(512 + 454, 50);
  f.I16(512 + 456, 5).I16(512 + 458, 5).I32(512 + 460, 500).I16(512 + 464, 100).I16(512 + 466, 40);
  // Record 3 at 1024: five blank 32-character texts at 320.
  f.Fill(1024 + 320, 160, ' ');
  // Record 4 at 1536: three blank path fields.
  f.Fill(1536, 120, ' ');
  // Departments, records 5 to 10: 96 entries of number 1, "Compartiment 1".
  for (int i = 0; i < 96; ++i)
    f.I16(2048 + 32 * i, 1).Field(2048 + 32 * i + 2, 30, "Compartiment 1");
  // Medical-leave codes, records 11 and 12, entries of 44 bytes.
  struct Code {
    int code;
    const char* name;
    int percentage;
  };
  const Code codes[] = {
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
  std::size_t at = 5120;
  for (const Code& c : codes) {
    f.I16(at, c.code).Field(at + 2, 40, c.name).I16(at + 42, c.percentage);
    at += 44;
  }
  // Table A, records 13 and 14: 30 entries of 34 bytes, blanks around a zero integer.
  for (int i = 0; i < 30; ++i)
    f.Fill(6144 + 34 * i, 31, ' ').I16(6144 + 34 * i + 31, 0).Fill(6144 + 34 * i + 33, 1, ' ');
  // Table B, records 15 and 16: 30 blank entries of 32 bytes.
  f.Fill(7168, 960, ' ');
  return f;
}

std::string NewFixedAssetsDirectoryFile() {
  Bytes f(2048, ' ');
  f.I32(13, 0);
  f.I16(512 + 0, 0).I16(512 + 2, 0).I16(512 + 4, 0).I16(512 + 6, 0);
  f.I16(512 + 8, 1).I16(512 + 10, 1).I16(512 + 12, 50);
  // Coefficient rows at record 2 offset 280 (byte 792): bounds and a double.
  f.Raw(792, {0x02, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0x3F});  // 1.5
  f.Raw(804, {0x05, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40});  // 2.0
  f.Raw(816, {0x0A, 0x00, 0x30, 0x75, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x40});  // 2.5
  // Record 3 at 1024: 16 stock locations, the first one named.
  for (int i = 0; i < 16; ++i) f.I16(1024 + 32 * i, 0);
  f.I16(1024, 1).Text(1026, "Gestiunea 1");
  return f;
}

std::string NewDocumentsDirectoryFile() {
  Bytes f(512, ' ');
  f.Raw(300, {0x3C, 0x00, 0x3C, 0x00, 'N', 'N'});
  f.Raw(310, {0x00, 0x00});
  f.Text(354, "R").Text(358, "N");
  return f;
}

std::string LauncherDocumentsFile(std::string_view root) {
  const std::string r(root);
  Bytes f(512, ' ');
  f.Field(180, 40, r + "\\Vantor")
      .Field(220, 40, r + "\\Vantor")
      .Field(260, 40, r + "\\Kelbar\\FIRMA");
  f.I16(300, 60).I16(302, 60).I32(306, 0).I16(310, 0);
  f.Field(312, 40, r + "\\ERP");
  f.I16(352, 0).Text(358, "N").I32(359, 0);
  return f;
}

std::string NewTertiaryFile() { return KeyedHeader(1999) + std::string(1999 * 512, '\0'); }

void PutErpPaths(Bytes& file, std::string_view root) {
  const std::string r(root);
  file.Text(1024, Path40(r + "VANTOR")).Text(1064, Path40(r + "KELBAR\\FIRMA"));
  file.Text(1104, Path40(r + "MORVIN\\FIRMA")).Text(1144, Path40(r + "TESSLO\\FIRMA"));
}

void PutAccountingPaths(Bytes& file, std::string_view start, std::string_view root) {
  const std::string r(root);
  file.Text(622, Path40(r + "KELBAR\\FILEGEN"))
      .Text(662, Path40(r + "VANTOR"))
      .Text(702, Path40(start));
}

void PutPayrollPaths(Bytes& file, std::string_view start, std::string_view root) {
  const std::string r(root);
  file.Text(1536, Path40(start))
      .Text(1576, Path40(r + "KELBAR\\FIRMA"))
      .Text(1616, Path40(r + "VANTOR"));
}

void PutFixedAssetsPaths(Bytes& file, std::string_view start, std::string_view root) {
  const std::string r(root);
  file.Text(592, Path40(start))
      .Text(632, Path40(r + "VANTOR"))
      .Text(672, Path40(r + "KELBAR\\FIRMA"));
}

std::string KeyedHeader(int32_t buckets) {
  Bytes h(512, '\0');
  h.Raw(0, {0xFF, 0x70}).Text(2, "****************").I32(18, buckets);
  return h;
}

long long FirstDifference(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return static_cast<long long>(i);
  return a.size() == b.size() ? -1 : static_cast<long long>(n);
}

std::vector<ExpectedFile> FreshDirectoryFiles(std::string_view start, std::string_view root) {
  Bytes erp(NewErpDirectoryFile()), accounting(NewAccountingDirectoryFile()),
      payroll(NewPayrollDirectoryFile()), fixedAssets(NewFixedAssetsDirectoryFile());
  PutErpPaths(erp, root);
  PutAccountingPaths(accounting, start, root);
  PutPayrollPaths(payroll, start, root);
  PutFixedAssetsPaths(fixedAssets, start, root);
  return {{"ERP\\DIRERP.DAT", erp.str()},
          {"KELBAR\\FIRMA\\DIRKEL.DAT", accounting.str()},
          {"MORVIN\\FIRMA\\DIRMOR.DAT", payroll.str()},
          {"TESSLO\\FIRMA\\DIRTES.DAT", fixedAssets.str()},
          {"KELBAR\\FIRMA\\TERTIDC.DAT", NewTertiaryFile()}};
}

}  // namespace velmora::erpdirs::testing
