#pragma once
// CURSVAL.DAT, the documents module's exchange-rate file: 10-byte records
// numbered from 1, little-endian. Record 1 is the header, records 2 to 20
// hold each currency's latest rate, and the rate records follow from 21.

#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora::rates {

inline constexpr std::size_t kCursValRecordBytes = 10;
inline constexpr int kFirstBlockRecord = 2;  // the per-currency block
inline constexpr int kLastBlockRecord = 20;
inline constexpr int kFirstRateRecord = 21;

inline constexpr int16_t kUsdCode = 1;
inline constexpr int16_t kEuroCode = 2;

struct CursValHeader {
  int32_t count = 0;             // rate records, numbers 21 to 20 + count
  int16_t updatePermission = 0;  // the file is updated only when this is 1
  int16_t reserved6 = 0;         // both cleared by every update
  int16_t reserved8 = 0;
};

struct CursValRate {
  int16_t code = 0;   // 1 USD, 2 EURO, others carried along
  int32_t date = 0;   // YYYYMMDD
  int32_t value = 0;  // rate x 10000, truncated
  bool operator==(const CursValRate&) const = default;
};

using RecordBytes = std::span<const char, kCursValRecordBytes>;
using MutableRecordBytes = std::span<char, kCursValRecordBytes>;

CursValHeader DecodeHeader(RecordBytes bytes);
void EncodeHeader(const CursValHeader& header, MutableRecordBytes bytes);
CursValRate DecodeRate(RecordBytes bytes);
void EncodeRate(const CursValRate& rate, MutableRecordBytes bytes);

}  // namespace velmora::rates
