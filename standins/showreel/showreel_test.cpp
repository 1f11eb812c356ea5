// The slide library stand-in loaded as the launcher loads it: by its
// decorated export names, drawing into a bitmap the test then reads pixel by
// pixel, and downloading from a small loopback server run by the test.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "common/win_handles.h"
#include "sample_suite/sample_media.h"
#include "support/loopback_peer.h"
#include "support/temp_dir.h"

namespace velmora::standins {
namespace {

namespace fs = std::filesystem;
using velmora::link::testing::Frame;
using velmora::link::testing::LoopbackPeer;
using velmora::link::testing::PeerConnection;
using velmora::testing::ReadFileBytes;
using velmora::testing::TempDir;
using velmora::testing::WriteFileBytes;
using namespace std::chrono_literals;

using DrawJpg2Fn = int16_t(WINAPI*)(HWND*, HDC*, char*);
using DrawNextPrevPagFn = int16_t(WINAPI*)(HWND*, HDC*, int32_t*, int32_t*);
using GetFisierDifFn = int32_t(WINAPI*)(const char*, int32_t, const char*, int32_t);
using ApplyTranspFn = int32_t(WINAPI*)(void*, void*);

// showreel.dll copied into a folder of its own, so a test can put a
// hostlane.lst beside it.
class Library {
 public:
  Library() {
    fs::copy_file(fs::path(VELMORA_STANDIN_DIR) / "showreel.dll", folder_.path() / "showreel.dll");
    module_.reset(LoadLibraryA((folder_.path() / "showreel.dll").string().c_str()));
  }
  template <typename Fn>
  Fn Get(const char* name) const {
    return LibraryCall<Fn>(module_.get(), name);
  }
  const fs::path& folder() const { return folder_.path(); }

 private:
  TempDir folder_;
  AutoLibrary module_;
};

// A hidden window of the given client size and a 32-bit bitmap of the same
// size, pre-filled with one colour, to draw into.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill)
      : width_(width),
        window_(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                nullptr, nullptr)),
        memory_(CreateCompatibleDC(nullptr)),
        bitmap_(CreateDIBSection(memory_.get(), Header(width, height), DIB_RGB_COLORS,
                                 reinterpret_cast<void**>(&pixels_), nullptr, 0)),
        selected_(memory_.get(), bitmap_.get()) {
    std::fill_n(pixels_, width * height,
                GetRValue(fill) << 16 | GetGValue(fill) << 8 | GetBValue(fill));
  }
  ~Canvas() { DestroyWindow(window_); }
  HWND* window() { return &window_; }
  HDC* dc() {
    GdiFlush();
    dc_ = memory_.get();
    return &dc_;
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const uint32_t p = pixels_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  static const BITMAPINFO* Header(int width, int height) {
    static BITMAPINFO info;
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return &info;
  }
  int width_;
  HWND window_;
  HDC dc_ = nullptr;
  AutoMemoryDc memory_;
  uint32_t* pixels_ = nullptr;
  AutoBitmap bitmap_;
  ScopedSelectObject selected_;
};

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

::testing::AssertionResult Near(COLORREF actual, COLORREF expected, int tolerance = 12) {
  auto close = [&](int a, int b) { return std::abs(a - b) <= tolerance; };
  if (close(GetRValue(actual), GetRValue(expected)) &&
      close(GetGValue(actual), GetGValue(expected)) &&
      close(GetBValue(actual), GetBValue(expected)))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "colour " << std::hex << actual << " is not near " << expected;
}

// A picture file in a 512-character buffer, blank padded as the launcher keeps it.
std::string NameBuffer(const fs::path& file, bool withNul) {
  std::string buffer = file.string();
  if (withNul) buffer += '\0';
  buffer.resize(512, ' ');
  return buffer;
}

TEST(Showreel, DrawsAPictureScaledToFitAndCentredOrNothingAtAll) {
  Library library;
  auto draw = library.Get<DrawJpg2Fn>("_DrawJpg2@12");
  ASSERT_NE(draw, nullptr);
  TempDir files;
  const COLORREF face = GetSysColor(COLOR_BTNFACE), red = RGB(255, 0, 0), green = RGB(0, 160, 0);
  struct Case {
    const char* file;
    std::string bytes;  // empty: there is no such file
    int width, height;
    bool nulAfterName;  // else only the blank padding ends the name
    int16_t result;
    COLORREF picture;
    std::vector<POINT> inPicture;
    std::vector<POINT> inBands;  // of the button face
  };
  const Case cases[] = {
      {"square.bmp",
       std::string(SampleMedia("red_square.bmp")),
       200,
       100,
       true,
       0,
       red,
       {{100, 50}, {60, 50}},
       {{20, 50}, {180, 50}}},
      {"wide.png",
       std::string(SampleMedia("green_wide.png")),
       100,
       100,
       false,
       0,
       green,
       {{50, 50}},
       {{50, 10}, {50, 90}}},
      {"missing.jpg", "", 100, 100, true, -1, kMagenta, {{50, 50}, {2, 2}}, {}},
      {"broken.jpg",
       "\xFF\xD8 not really a picture",
       100,
       100,
       true,
       -1,
       kMagenta,
       {{50, 50}, {2, 2}},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    if (!c.bytes.empty()) WriteFileBytes(files.path() / c.file, c.bytes);
    Canvas canvas(c.width, c.height, kMagenta);
    std::string name = NameBuffer(files.path() / c.file, c.nulAfterName);
    EXPECT_EQ(draw(canvas.window(), canvas.dc(), name.data()), c.result);
    for (POINT p : c.inPicture)
      EXPECT_TRUE(Near(canvas.At(p.x, p.y), c.picture)) << p.x << "," << p.y;
    for (POINT p : c.inBands) EXPECT_TRUE(Near(canvas.At(p.x, p.y), face)) << p.x << "," << p.y;
  }
  // The sample JPEG at its own size: the white disc in the middle, no bands.
  WriteFileBytes(files.path() / "slide.jpg", SampleMedia("slide.jpg"));
  Canvas canvas(kSlideWidth, kSlideHeight, kMagenta);
  std::string name = NameBuffer(files.path() / "slide.jpg", true);
  EXPECT_EQ(draw(canvas.window(), canvas.dc(), name.data()), 0);
  EXPECT_TRUE(Near(canvas.At(kSlideWidth / 2, kSlideHeight / 2), kWhite, 24));
  for (auto [x, y] : {std::pair{0, 0},
                      {kSlideWidth - 1, 0},
                      {0, kSlideHeight - 1},
                      {kSlideWidth - 1, kSlideHeight - 1}})
    EXPECT_FALSE(Near(canvas.At(x, y), kMagenta, 40)) << x << "," << y;
}

TEST(Showreel, DrawsPageArrowsOnlyInARoomyBottomBand) {
  Library library;
  auto arrows = library.Get<DrawNextPrevPagFn>("_DrawNextPrevPag@16");
  ASSERT_NE(arrows, nullptr);
  const COLORREF dark = RGB(40, 40, 40), grey = RGB(170, 170, 170);
  struct Case {
    int32_t count, current, height, result;
    COLORREF left, right;
  };
  for (const Case& c : {Case{3, 2, 400, 0, dark, dark}, Case{3, 1, 400, 0, grey, dark},
                        Case{3, 3, 400, 0, dark, grey}, Case{1, 1, 400, 0, grey, grey},
                        Case{3, 2, 320, -1, kWhite, kWhite}}) {  // no band below row 320
    SCOPED_TRACE(::testing::Message() << c.count << "/" << c.current << " in " << c.height);
    Canvas canvas(300, c.height, kWhite);
    int32_t count = c.count, current = c.current;
    EXPECT_EQ(arrows(canvas.window(), canvas.dc(), &count, &current), c.result);
    // Inside each triangle (rows 350..368, point at row 359).
    const int row = std::min(359, c.height - 1);
    EXPECT_EQ(canvas.At(24, row), c.left);
    EXPECT_EQ(canvas.At(300 - 25, row), c.right);
    // Nothing outside the arrows' columns or above the band.
    for (int x : {5, 10, 31, 150, 269, 290, 295}) EXPECT_EQ(canvas.At(x, row), kWhite) << x;
    for (int y : {0, 300, 319, std::min(345, c.height - 1)})
      EXPECT_EQ(canvas.At(20, y), kWhite) << y;
  }
}

TEST(Showreel, AppliesAColourKeyToATopLevelWindow) {
  Library library;
  auto transparency = library.Get<ApplyTranspFn>("_ApplyTransp@8");
  ASSERT_NE(transparency, nullptr);
  HWND window =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  COLORREF key = RGB(1, 2, 3);
  EXPECT_EQ(transparency(&window, &key), 0);
  COLORREF gotKey = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(window, &gotKey, nullptr, &flags));
  EXPECT_EQ(gotKey, key);
  EXPECT_TRUE(flags & LWA_COLORKEY);
  DestroyWindow(window);
  HWND gone = nullptr;
  EXPECT_EQ(transparency(&gone, &key), -1);
  EXPECT_EQ(transparency(nullptr, &key), -1);
}

// --- download -----------------------------------------------------------

// Reads one request frame, then sends `bytes` as they stand, `piece` bytes at a time.
LoopbackPeer::Handler Reply(std::string bytes, std::size_t piece = std::string::npos) {
  return [bytes, piece](PeerConnection& c) {
    const auto request = c.ReadFrame();
    if (!request) return;
    LoopbackPeer::current_->Record(*request);
    for (std::size_t at = 0, sent = 0; at < bytes.size(); at += piece, ++sent) {
      c.Send(std::string_view(bytes).substr(at, piece));
      if (sent % 10 == 9) std::this_thread::sleep_for(5ms);
    }
  };
}

class ShowreelDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    download_ = library_.Get<GetFisierDifFn>("_GetFisierDif@16");
    ASSERT_NE(download_, nullptr);
  }
  void TearDown() override { SetEnvironmentVariableA("VELMORA_SERVER_PORT", nullptr); }
  void UsePort(uint16_t port) {
    SetEnvironmentVariableA("VELMORA_SERVER_PORT", std::to_string(port).c_str());
  }
  void Serve(LoopbackPeer::Handler handler, const char* address = "127.0.0.1") {
    peer_.reset();
    peer_ = std::make_unique<LoopbackPeer>(std::move(handler), address);
    UsePort(peer_->port());
  }
  int32_t Download(const std::string& remote, const fs::path& local) {
    const std::string target = local.string();
    return download_(remote.c_str(), static_cast<int32_t>(remote.size()), target.c_str(),
                     static_cast<int32_t>(target.size()));
  }

  Library library_;
  GetFisierDifFn download_ = nullptr;
  TempDir local_;
  std::unique_ptr<LoopbackPeer> peer_;
};

TEST_F(ShowreelDownload, AsksForThePathAndWritesTheAnswer) {
  const std::string picture(SampleMedia("small.bmp"));
  struct Case {
    const char* what;
    bool padded;  // 512-character blank-padded buffers, as the launcher passes them
    std::size_t piece;
  };
  for (const Case& c : {Case{"exact lengths", false, std::string::npos},
                        Case{"padded buffers", true, std::string::npos},
                        Case{"answer in small pieces", false, 97}}) {
    SCOPED_TRACE(c.what);
    Serve(Reply(Frame(picture), c.piece));
    std::string remote = "/updateVelmora/tw02.bmp", local = (local_.path() / "tw02.bmp").string();
    if (c.padded) {
      local += '\0';
      remote.resize(512, ' ');
      local.resize(512, ' ');
    }
    EXPECT_EQ(download_(remote.data(), static_cast<int32_t>(remote.size()), local.data(),
                        static_cast<int32_t>(local.size())),
              static_cast<int32_t>(picture.size()));
    EXPECT_EQ(ReadFileBytes(local_.path() / "tw02.bmp"), picture);
    EXPECT_EQ(peer_->requests(), std::vector<std::string>{"903 /updateVelmora/tw02.bmp"});
    fs::remove(local_.path() / "tw02.bmp");
  }
}

TEST_F(ShowreelDownload, BadAnswersLeaveTheLocalFileAlone) {
  struct Case {
    const char* what;
    std::string answer;
    int32_t result;
  };
  const Case cases[] = {
      {"empty file", Frame(""), 0},
      {"cut off", Frame("0123456789").substr(0, 9), -3},
      {"length only", std::string("\x20\x00\x00\x00", 4), -3},
      {"closed at once", "", -3},
      {"length below 4", std::string("\x03\x00\x00\x00", 4), -4},
      {"negative length", std::string("\xFF\xFF\xFF\xFF", 4), -4},
      {"absurd length", std::string("\x00\x00\x00\x40", 4), -4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path target = local_.path() / "a01.jpg";
    WriteFileBytes(target, "old picture");
    Serve(Reply(c.answer));
    EXPECT_EQ(Download("/updateVelmora/a01.jpg", target), c.result);
    EXPECT_EQ(ReadFileBytes(target), "old picture");
  }
}

TEST_F(ShowreelDownload, NoServerMeansNoConnection) {
  UsePort(velmora::link::testing::FreePort());
  EXPECT_EQ(Download("/updateVelmora/a01.jpg", local_.path() / "a01.jpg"), -2);
  EXPECT_FALSE(fs::exists(local_.path() / "a01.jpg"));
}

TEST_F(ShowreelDownload, AsksTheServerNamedBesideTheLibrary) {
  WriteFileBytes(library_.folder() / "hostlane.lst", "127.0.0.2\r\n127.0.0.1\r\n");
  Serve(Reply(Frame("from two")), "127.0.0.2");
  EXPECT_EQ(Download("/updateVelmora/a03.png", local_.path() / "a03.png"), 8);
  EXPECT_EQ(ReadFileBytes(local_.path() / "a03.png"), "from two");
  // The same port on 127.0.0.1 is not asked.
  Serve(Reply(Frame("wrong")));
  EXPECT_EQ(Download("/updateVelmora/a01.jpg", local_.path() / "a01.jpg"), -2);
  EXPECT_EQ(peer_->connections(), 0);
}

TEST_F(ShowreelDownload, RefusesBadArgumentsAndUnwritableTargets) {
  EXPECT_EQ(download_("", 0, "x", 1), -1);
  EXPECT_EQ(download_("/a", 2, "", 0), -1);
  EXPECT_EQ(download_("    ", 4, "x", 1), -1);
  EXPECT_EQ(download_(nullptr, 5, "x", 1), -1);
  Serve(Reply(Frame("data")));
  EXPECT_EQ(Download("/updateVelmora/a01.jpg", local_.path() / "no such folder" / "a01.jpg"), -5);
}

}  // namespace
}  // namespace velmora::standins
