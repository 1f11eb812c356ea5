// Pictures, sounds, icon, cursor, manifest and version of the executable:
// each loads through the call the program uses and has the stated format.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "template_reader.h"
#include "version.h"

namespace velmora::resources_test {
namespace {

uint32_t Le32(const std::string& s, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(s[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

unsigned Le16(const std::string& s, size_t at) {
  return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8;
}

// The pixels of a bitmap as 0x00RRGGBB words, top row first.
std::vector<uint32_t> PixelsOf(HBITMAP bitmap, int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(nullptr);
  int rows = GetDIBits(dc, bitmap, 0, height, pixels.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != height) pixels.clear();
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

// --- Bitmaps --------------------------------------------------------------------

struct ExpectedBitmap {
  int id;
  int width, height;
  size_t minColours;  // a picture, not a flat fill
};

const ExpectedBitmap kBitmaps[] = {
    {103, 224, 230, 500}, {104, 224, 230, 500}, {105, 224, 230, 500}, {106, 224, 230, 500},
    {107, 224, 230, 500}, {108, 224, 230, 500}, {134, 229, 622, 500}, {142, 32, 32, 30},
    {144, 30, 20, 10},    {145, 30, 20, 10},    {146, 232, 800, 100},
};

// Each loads with its size as a true-colour picture; the six module pictures
// differ from each other.
TEST(Bitmaps, LoadWithTheirSizesAsTrueColourPictures) {
  HINSTANCE self = GetModuleHandleA(nullptr);
  std::vector<std::vector<uint32_t>> modules;
  for (const ExpectedBitmap& e : kBitmaps) {
    SCOPED_TRACE("bitmap " + std::to_string(e.id));
    std::string raw = ResourceBytes(MAKEINTRESOURCEA(e.id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    ASSERT_GE(raw.size(), 40u);
    EXPECT_EQ(Le32(raw, 0), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(Le16(raw, 14), 24u) << "bits per pixel";
    EXPECT_EQ(Le32(raw, 16), 0u) << "uncompressed";

    HBITMAP bitmap = LoadBitmapA(self, MAKEINTRESOURCEA(e.id));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(bitmap, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, e.width);
    EXPECT_EQ(info.bmHeight, e.height);
    std::vector<uint32_t> pixels = PixelsOf(bitmap, e.width, e.height);
    std::set<uint32_t> colours(pixels.begin(), pixels.end());
    EXPECT_GE(colours.size(), e.minColours);
    DeleteObject(bitmap);
    if (e.id >= 103 && e.id <= 108) modules.push_back(std::move(pixels));
  }
  ASSERT_EQ(modules.size(), 6u);
  for (size_t a = 0; a < modules.size(); ++a) {
    for (size_t b = a + 1; b < modules.size(); ++b) {
      ASSERT_EQ(modules[a].size(), modules[b].size());
      size_t differing = 0;
      for (size_t i = 0; i < modules[a].size(); ++i) differing += modules[a][i] != modules[b][i];
      EXPECT_GT(differing, modules[a].size() / 2) << "pictures " << 103 + a << " and " << 103 + b;
    }
  }
}

// --- Sounds -----------------------------------------------------------------------

struct ExpectedSound {
  int id;
  double minSeconds, maxSeconds;
};

const ExpectedSound kSounds[] = {{151, 0.3, 1.5}, {154, 1.0, 2.0}, {155, 1.0, 2.0}};

struct WaveInfo {
  unsigned format = 0, channels = 0, bits = 0, blockAlign = 0;
  uint32_t rate = 0, byteRate = 0;
  std::string data;
};

// Parses a RIFF/WAVE image; fails the test on any malformed chunk.
void ParseWave(const std::string& raw, WaveInfo& out) {
  ASSERT_GE(raw.size(), 44u);
  ASSERT_EQ(raw.substr(0, 4), "RIFF");
  ASSERT_EQ(Le32(raw, 4) + 8, raw.size()) << "RIFF length";
  ASSERT_EQ(raw.substr(8, 4), "WAVE");
  bool haveFormat = false, haveData = false;
  for (size_t at = 12; at + 8 <= raw.size();) {
    std::string id = raw.substr(at, 4);
    uint32_t size = Le32(raw, at + 4);
    ASSERT_LE(at + 8 + size, raw.size()) << "chunk " << id << " overruns the file";
    if (id == "fmt ") {
      ASSERT_GE(size, 16u);
      out.format = Le16(raw, at + 8);
      out.channels = Le16(raw, at + 10);
      out.rate = Le32(raw, at + 12);
      out.byteRate = Le32(raw, at + 16);
      out.blockAlign = Le16(raw, at + 20);
      out.bits = Le16(raw, at + 22);
      haveFormat = true;
    } else if (id == "data") {
      out.data = raw.substr(at + 8, size);
      haveData = true;
    }
    at += 8 + size + (size & 1);
  }
  ASSERT_TRUE(haveFormat);
  ASSERT_TRUE(haveData);
}

TEST(Sounds, AreShortPcmWavesThatStartAndEndQuietly) {
  std::set<std::string> distinct;
  for (const ExpectedSound& e : kSounds) {
    SCOPED_TRACE("wave " + std::to_string(e.id));
    std::string raw = ResourceBytes(MAKEINTRESOURCEA(e.id), "WAVE");
    WaveInfo w;
    ParseWave(raw, w);
    if (HasFatalFailure()) return;
    EXPECT_EQ(w.format, 1u) << "PCM";
    EXPECT_EQ(w.channels, 1u);
    EXPECT_EQ(w.bits, 16u);
    EXPECT_GE(w.rate, 11025u);
    EXPECT_LE(w.rate, 44100u);
    EXPECT_EQ(w.blockAlign, 2u);
    EXPECT_EQ(w.byteRate, w.rate * 2);
    ASSERT_EQ(w.data.size() % 2, 0u);
    size_t count = w.data.size() / 2;
    double seconds = static_cast<double>(count) / w.rate;
    EXPECT_GE(seconds, e.minSeconds);
    EXPECT_LE(seconds, e.maxSeconds);

    std::vector<int> samples(count);
    for (size_t i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(Le16(w.data, 2 * i));
    int peak = 0, clipped = 0;
    for (int s : samples) {
      peak = std::max(peak, std::abs(s));
      clipped += std::abs(s) >= 32767;
    }
    EXPECT_GT(peak, 8000) << "audible";
    EXPECT_EQ(clipped, 0);
    EXPECT_LT(std::abs(samples.front()), 500) << "no click at the start";
    EXPECT_LT(std::abs(samples.back()), 100) << "no click at the end";
    distinct.insert(w.data);
  }
  EXPECT_EQ(distinct.size(), 3u) << "every sound is its own";
}

// --- Icon and cursor ----------------------------------------------------------------

TEST(Icon, HasSixteenThirtyTwoAndFortyEightPixelImages) {
  std::string group = ResourceBytes("VELMORA", MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
  ASSERT_GE(group.size(), 6u);
  EXPECT_EQ(Le16(group, 2), 1u) << "icon directory";
  unsigned count = Le16(group, 4);
  ASSERT_EQ(group.size(), 6u + 14u * count);
  std::set<int> sizes;
  for (unsigned i = 0; i < count; ++i) {
    int width = static_cast<unsigned char>(group[6 + 14 * i]);
    int height = static_cast<unsigned char>(group[6 + 14 * i + 1]);
    EXPECT_EQ(width, height);
    sizes.insert(width);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32, 48}));

  for (int size : {16, 32, 48}) {
    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), "VELMORA", IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm{};
    GetObjectA(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size);
    EXPECT_EQ(bm.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
  EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), "VELMORA"), nullptr);
}

TEST(Cursor, IsAHandWhoseHotSpotIsTheFingertip) {
  HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), "IDC_POINT");
  ASSERT_NE(cursor, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);

  // The cursor image itself: hot spot, then a 32-bit DIB with its mask.
  std::string group = ResourceBytes("IDC_POINT", MAKEINTRESOURCEA(12) /* RT_GROUP_CURSOR */);
  ASSERT_EQ(group.size(), 6u + 14u);
  unsigned imageId = Le16(group, 6 + 12);
  std::string raw = ResourceBytes(MAKEINTRESOURCEA(imageId), MAKEINTRESOURCEA(1) /* RT_CURSOR */);
  ASSERT_GE(raw.size(), 4u + 40u);
  int hotX = static_cast<int>(Le16(raw, 0)), hotY = static_cast<int>(Le16(raw, 2));
  EXPECT_EQ(info.xHotspot, static_cast<DWORD>(hotX));
  EXPECT_EQ(info.yHotspot, static_cast<DWORD>(hotY));
  const int width = static_cast<int>(Le32(raw, 4 + 4));
  const int height = static_cast<int>(Le32(raw, 4 + 8)) / 2;
  ASSERT_EQ(width, 32);
  ASSERT_EQ(height, 32);
  ASSERT_EQ(Le16(raw, 4 + 14), 32u) << "bits per pixel";
  ASSERT_GE(raw.size(), 4u + 40u + 32u * 32u * 4u);
  auto alpha = [&](int x, int y) {  // rows are stored bottom-up
    return static_cast<unsigned char>(raw[4 + 40 + ((height - 1 - y) * width + x) * 4 + 3]);
  };
  auto rgb = [&](int x, int y) {
    size_t at = 4 + 40 + ((height - 1 - y) * width + x) * 4;
    return Le32(raw, at) & 0xFFFFFF;
  };

  // The fingertip is the topmost part of the hand: nothing solid above it,
  // and the hot spot on it (or right next to it).
  int topRow = -1;
  for (int y = 0; y < height && topRow < 0; ++y)
    for (int x = 0; x < width; ++x)
      if (alpha(x, y) >= 128) topRow = y;
  ASSERT_GE(topRow, 0) << "the cursor is empty";
  EXPECT_LE(std::abs(hotY - topRow), 1);
  bool onTheHand = false;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      int x = hotX + dx, y = hotY + dy;
      if (x >= 0 && y >= 0 && x < width && y < height && alpha(x, y) >= 128) onTheHand = true;
    }
  EXPECT_TRUE(onTheHand);
  // A white hand with a dark outline, taking up a fair part of the square.
  int white = 0, dark = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (alpha(x, y) < 250) continue;
      uint32_t c = rgb(x, y);
      int r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
      if (r > 224 && g > 224 && b > 224) ++white;
      if (r < 64 && g < 64 && b < 64) ++dark;
    }
  EXPECT_GT(white, 150);
  EXPECT_GT(dark, 60);
}

// --- Manifest and version --------------------------------------------------------------

TEST(Manifest, AsksForCommonControlsSixDpiAwarenessAndNoElevation) {
  std::string manifest = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
  ASSERT_FALSE(manifest.empty());
  EXPECT_EQ(manifest.rfind("<?xml", 0), 0u);
  for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                           "publicKeyToken=\"6595b64144ccf1df\"", "level=\"asInvoker\"",
                           ">true</dpiAware>", "</assembly>"})
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

TEST(VersionInfo, NamesCompanyProductAndTheBuildVersion) {
  char path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
  ASSERT_GE(length, 4u);
  auto* translation = static_cast<WORD*>(value);
  EXPECT_EQ(translation[0], 0x0418) << "Romanian";
  EXPECT_EQ(translation[1], 1250) << "code page";

  auto text = [&](const char* name) -> std::string {
    std::string key = std::string("\\StringFileInfo\\041804e2\\") + name;
    void* v = nullptr;
    UINT n = 0;
    if (!VerQueryValueA(block.data(), key.c_str(), &v, &n) || !v) return "<missing>";
    return static_cast<const char*>(v);
  };
  EXPECT_EQ(text("CompanyName"), "Corvane");
  EXPECT_EQ(text("ProductName"), "Velmora");
  EXPECT_EQ(text("FileVersion"), VELMORA_VERSION_TEXT);
  EXPECT_EQ(text("OriginalFilename"), "velmora.exe");

  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
  auto* fixed = static_cast<VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), VELMORA_VERSION_MAJOR);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), VELMORA_VERSION_MINOR);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), VELMORA_VERSION_PATCH);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), VELMORA_VERSION_BUILD);
  // The text form must say the same as the numbers.
  std::string numbers =
      std::to_string(VELMORA_VERSION_MAJOR) + "." + std::to_string(VELMORA_VERSION_MINOR) + "." +
      std::to_string(VELMORA_VERSION_PATCH) + "." + std::to_string(VELMORA_VERSION_BUILD);
  EXPECT_EQ(numbers, VELMORA_VERSION_TEXT);
}

}  // namespace
}  // namespace velmora::resources_test
