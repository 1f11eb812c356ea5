#pragma once
// CURSVAL.DAT images for the tests, built from the byte layout by hand: a
// header, the 19 records of the per-currency block and the rate records.

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::rates::testing {

struct Rate {
  int16_t code;
  int32_t date;
  int32_t value;
  bool operator==(const Rate&) const = default;
};

struct Image {
  int32_t count = 0;
  int16_t permission = 1;
  int16_t field6 = 0, field8 = 0;
  std::vector<Rate> block;  // records 2 to 20; missing ones are zero
  std::vector<Rate> rates;  // from record 21
};

inline void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline uint32_t GetLittleEndian(const std::string& in, std::size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i)
    v |= static_cast<uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  return v;
}

inline std::string RateBytes(const Rate& r) {
  std::string out;
  PutLittleEndian(out, static_cast<uint16_t>(r.code), 2);
  PutLittleEndian(out, static_cast<uint32_t>(r.date), 4);
  PutLittleEndian(out, static_cast<uint32_t>(r.value), 4);
  return out;
}

inline std::string Bytes(const Image& image) {
  std::string out;
  PutLittleEndian(out, static_cast<uint32_t>(image.count), 4);
  PutLittleEndian(out, static_cast<uint16_t>(image.permission), 2);
  PutLittleEndian(out, static_cast<uint16_t>(image.field6), 2);
  PutLittleEndian(out, static_cast<uint16_t>(image.field8), 2);
  for (std::size_t i = 0; i < 19; ++i)
    out += RateBytes(i < image.block.size() ? image.block[i] : Rate{0, 0, 0});
  for (const Rate& r : image.rates) out += RateBytes(r);
  return out;
}

inline Rate RateAt(const std::string& bytes, std::size_t record) {
  const std::size_t at = (record - 1) * 10;
  return {static_cast<int16_t>(GetLittleEndian(bytes, at, 2)),
          static_cast<int32_t>(GetLittleEndian(bytes, at + 2, 4)),
          static_cast<int32_t>(GetLittleEndian(bytes, at + 6, 4))};
}

// The image read back: every record after 20 counts as a rate record.
inline Image Parse(const std::string& bytes) {
  Image image;
  image.count = static_cast<int32_t>(GetLittleEndian(bytes, 0, 4));
  image.permission = static_cast<int16_t>(GetLittleEndian(bytes, 4, 2));
  image.field6 = static_cast<int16_t>(GetLittleEndian(bytes, 6, 2));
  image.field8 = static_cast<int16_t>(GetLittleEndian(bytes, 8, 2));
  for (std::size_t r = 2; r <= 20; ++r) image.block.push_back(RateAt(bytes, r));
  for (std::size_t r = 21; r * 10 <= bytes.size(); ++r) image.rates.push_back(RateAt(bytes, r));
  return image;
}

}  // namespace velmora::rates::testing
