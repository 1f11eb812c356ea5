#include "rates/cursval_records.h"

#include "common/fixed_text.h"

namespace velmora::rates {

CursValHeader DecodeHeader(RecordBytes bytes) {
  return {ReadInt32(bytes, 0), ReadInt16(bytes, 4), ReadInt16(bytes, 6), ReadInt16(bytes, 8)};
}

void EncodeHeader(const CursValHeader& header, MutableRecordBytes bytes) {
  WriteInt32(bytes, 0, header.count);
  WriteInt16(bytes, 4, header.updatePermission);
  WriteInt16(bytes, 6, header.reserved6);
  WriteInt16(bytes, 8, header.reserved8);
}

CursValRate DecodeRate(RecordBytes bytes) {
  return {ReadInt16(bytes, 0), ReadInt32(bytes, 2), ReadInt32(bytes, 6)};
}

void EncodeRate(const CursValRate& rate, MutableRecordBytes bytes) {
  WriteInt16(bytes, 0, rate.code);
  WriteInt32(bytes, 2, rate.date);
  WriteInt32(bytes, 6, rate.value);
}

}  // namespace velmora::rates
