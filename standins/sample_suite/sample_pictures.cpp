#include "sample_suite/sample_pictures.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace velmora::standins {
namespace {

void PutLe16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void PutLe32(std::string& out, uint32_t value) {
  PutLe16(out, value & 0xFFFF);
  PutLe16(out, value >> 16);
}
void PutBe32(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// Colour of pixel (x, y) in a picture of the given size (row 0 at the top).
Rgb PixelAt(int x, int y, int width, int height, Rgb from, Rgb to) {
  const int frame = std::max(2, std::min(width, height) / 16);
  if (x < frame || y < frame || x >= width - frame || y >= height - frame) return {240, 240, 240};
  const int span = std::max(1, width + height - 2);
  const int t = x + y;
  auto mix = [&](uint8_t a, uint8_t b) { return static_cast<uint8_t>((a * (span - t) + b * t) / span); };
  return {mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue)};
}

uint32_t Crc32(std::string_view bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(std::string_view bytes) {
  uint32_t a = 1, b = 0;
  for (unsigned char byte : bytes) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

void PutPngChunk(std::string& out, std::string_view type, std::string_view data) {
  PutBe32(out, static_cast<uint32_t>(data.size()));
  std::string typed(type);
  typed += data;
  out += typed;
  PutBe32(out, Crc32(typed));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string ZlibStored(std::string_view data) {
  std::string out = "\x78\x01";
  constexpr std::size_t kBlock = 65535;
  std::size_t offset = 0;
  do {
    const std::size_t n = std::min(kBlock, data.size() - offset);
    const bool last = offset + n == data.size();
    out += static_cast<char>(last ? 1 : 0);
    PutLe16(out, static_cast<uint32_t>(n));
    PutLe16(out, static_cast<uint32_t>(~n & 0xFFFF));
    out.append(data.substr(offset, n));
    offset += n;
  } while (offset < data.size());
  PutBe32(out, Adler32(data));
  return out;
}

}  // namespace

std::string MakeBmp(int width, int height, Rgb from, Rgb to) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
  std::string out = "BM";
  PutLe32(out, 54 + pixelBytes);
  PutLe32(out, 0);
  PutLe32(out, 54);
  PutLe32(out, 40);  // BITMAPINFOHEADER
  PutLe32(out, static_cast<uint32_t>(width));
  PutLe32(out, static_cast<uint32_t>(height));
  PutLe16(out, 1);
  PutLe16(out, 24);
  PutLe32(out, 0);  // BI_RGB
  PutLe32(out, pixelBytes);
  PutLe32(out, 2835);
  PutLe32(out, 2835);
  PutLe32(out, 0);
  PutLe32(out, 0);
  for (int y = height - 1; y >= 0; --y) {  // bottom-up rows, BGR
    std::string row;
    for (int x = 0; x < width; ++x) {
      const Rgb c = PixelAt(x, y, width, height, from, to);
      row += static_cast<char>(c.blue);
      row += static_cast<char>(c.green);
      row += static_cast<char>(c.red);
    }
    row.resize(rowBytes, '\0');
    out += row;
  }
  return out;
}

std::string MakePng(int width, int height, Rgb from, Rgb to) {
  std::string out = "\x89PNG\r\n\x1a\n";
  std::string header;
  PutBe32(header, static_cast<uint32_t>(width));
  PutBe32(header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
  PutPngChunk(out, "IHDR", header);
  std::string raw;
  for (int y = 0; y < height; ++y) {
    raw += '\0';  // filter: none
    for (int x = 0; x < width; ++x) {
      const Rgb c = PixelAt(x, y, width, height, from, to);
      raw += static_cast<char>(c.red);
      raw += static_cast<char>(c.green);
      raw += static_cast<char>(c.blue);
    }
  }
  PutPngChunk(out, "IDAT", ZlibStored(raw));
  PutPngChunk(out, "IEND", {});
  return out;
}

std::string MakeWav(int hertz, int milliseconds) {
  constexpr uint32_t kRate = 8000;
  const uint32_t samples = kRate * static_cast<uint32_t>(milliseconds) / 1000;
  std::string out = "RIFF";
  PutLe32(out, 36 + samples);
  out += "WAVEfmt ";
  PutLe32(out, 16);
  PutLe16(out, 1);  // PCM
  PutLe16(out, 1);  // mono
  PutLe32(out, kRate);
  PutLe32(out, kRate);
  PutLe16(out, 1);
  PutLe16(out, 8);
  out += "data";
  PutLe32(out, samples);
  for (uint32_t i = 0; i < samples; ++i) {
    const double wave = std::sin(2.0 * 3.14159265358979 * hertz * i / kRate);
    out += static_cast<char>(static_cast<uint8_t>(128 + 60 * wave));
  }
  return out;
}

}  // namespace velmora::standins
