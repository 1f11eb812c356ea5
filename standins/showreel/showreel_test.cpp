// The slide library stand-in loaded as the launcher loads it: by its
// decorated export names, drawing into a bitmap the test then reads pixel by
// pixel, and downloading from a small loopback server run by the test.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "sample_suite/sample_pictures.h"
#include "support/temp_dir.h"

namespace velmora::standins {
namespace {

namespace fs = std::filesystem;
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
    module_ = LoadLibraryA((folder_.path() / "showreel.dll").string().c_str());
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  ~Library() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  template <typename Fn>
  Fn Get(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  const fs::path& folder() const { return folder_.path(); }
  bool loaded() const { return module_ != nullptr; }

 private:
  TempDir folder_;
  HMODULE module_ = nullptr;
};

// A hidden window of the given client size and a 32-bit bitmap of the same
// size, pre-filled with one colour, to draw into.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
    window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, width, height, nullptr, nullptr, nullptr, nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_), nullptr, 0);
    previous_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i)
      pixels_[i] = GetRValue(fill) << 16 | GetGValue(fill) << 8 | GetBValue(fill);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    DestroyWindow(window_);
  }
  HWND* window() { return &window_; }
  HDC* dc() {
    GdiFlush();
    return &dc_;
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const uint32_t p = pixels_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int width_, height_;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint32_t* pixels_ = nullptr;
};

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

::testing::AssertionResult Near(COLORREF actual, COLORREF expected, int tolerance = 12) {
  auto close = [&](int a, int b) { return std::abs(a - b) <= tolerance; };
  if (close(GetRValue(actual), GetRValue(expected)) && close(GetGValue(actual), GetGValue(expected)) &&
      close(GetBValue(actual), GetBValue(expected)))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "colour " << std::hex << actual << " is not near " << expected;
}

// A picture file in a 512-character buffer, blank padded as the launcher keeps it.
std::string NameBuffer(const fs::path& file, bool withNul) {
  std::string buffer = file.string();
  if (withNul) buffer += '\0';
  buffer.resize(512, ' ');
  return buffer;
}

TEST(Showreel, ExportsTheFourDecoratedNamesOnly) {
  Library library;
  ASSERT_TRUE(library.loaded());
  for (const char* name : {"_DrawJpg2@12", "_DrawNextPrevPag@16", "_GetFisierDif@16", "_ApplyTransp@8"})
    EXPECT_NE(library.Get<void*>(name), nullptr) << name;
  for (const char* name : {"DrawJpg2", "ShowreelDrawJpg2", "GetFisierDif"})
    EXPECT_EQ(library.Get<void*>(name), nullptr) << name;
}

TEST(Showreel, DrawsAPictureScaledToFitAndCentred) {
  Library library;
  auto draw = library.Get<DrawJpg2Fn>("_DrawJpg2@12");
  ASSERT_NE(draw, nullptr);
  TempDir files;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);

  // A square red picture in a wide control: bands left and right.
  WriteFileBytes(files.path() / "square.bmp", MakeBmp(100, 100, {255, 0, 0}, {255, 0, 0}));
  {
    Canvas canvas(200, 100, kMagenta);
    std::string name = NameBuffer(files.path() / "square.bmp", true);
    EXPECT_EQ(draw(canvas.window(), canvas.dc(), name.data()), 0);
    EXPECT_TRUE(Near(canvas.At(100, 50), RGB(255, 0, 0)));
    EXPECT_TRUE(Near(canvas.At(60, 50), RGB(255, 0, 0)));
    EXPECT_TRUE(Near(canvas.At(20, 50), face));
    EXPECT_TRUE(Near(canvas.At(180, 50), face));
  }
  // A wide picture (PNG, no NUL after the blank-padded name) in a square control: bands above and below.
  WriteFileBytes(files.path() / "wide.png", MakePng(200, 50, {0, 160, 0}, {0, 160, 0}));
  {
    Canvas canvas(100, 100, kMagenta);
    std::string name = NameBuffer(files.path() / "wide.png", false);
    EXPECT_EQ(draw(canvas.window(), canvas.dc(), name.data()), 0);
    EXPECT_TRUE(Near(canvas.At(50, 50), RGB(0, 160, 0)));
    EXPECT_TRUE(Near(canvas.At(50, 10), face));
    EXPECT_TRUE(Near(canvas.At(50, 90), face));
  }
  // The sample JPEG at its own size: the white disc in the middle, no bands.
  WriteFileBytes(files.path() / "slide.jpg", SampleJpeg());
  {
    Canvas canvas(kSlideWidth, kSlideHeight, kMagenta);
    std::string name = NameBuffer(files.path() / "slide.jpg", true);
    EXPECT_EQ(draw(canvas.window(), canvas.dc(), name.data()), 0);
    EXPECT_TRUE(Near(canvas.At(kSlideWidth / 2, kSlideHeight / 2), kWhite, 24));
    for (auto [x, y] : {std::pair{0, 0}, {kSlideWidth - 1, 0}, {0, kSlideHeight - 1}, {kSlideWidth - 1, kSlideHeight - 1}})
      EXPECT_FALSE(Near(canvas.At(x, y), kMagenta, 40)) << x << "," << y;
  }
}

TEST(Showreel, AMissingOrBrokenPictureDrawsNothing) {
  Library library;
  auto draw = library.Get<DrawJpg2Fn>("_DrawJpg2@12");
  ASSERT_NE(draw, nullptr);
  TempDir files;
  WriteFileBytes(files.path() / "broken.jpg", "\xFF\xD8 not really a picture");
  for (const char* file : {"missing.jpg", "broken.jpg"}) {
    Canvas canvas(100, 100, kMagenta);
    std::string name = NameBuffer(files.path() / file, true);
    EXPECT_EQ(draw(canvas.window(), canvas.dc(), name.data()), -1) << file;
    EXPECT_EQ(canvas.At(50, 50), kMagenta) << file;
    EXPECT_EQ(canvas.At(2, 2), kMagenta) << file;
  }
}

TEST(Showreel, DrawsPageArrowsInTheBottomBand) {
  Library library;
  auto arrows = library.Get<DrawNextPrevPagFn>("_DrawNextPrevPag@16");
  ASSERT_NE(arrows, nullptr);
  const COLORREF dark = RGB(40, 40, 40), grey = RGB(170, 170, 170);
  struct Case {
    int32_t count, current;
    COLORREF left, right;
  };
  for (const Case& c : {Case{3, 2, dark, dark}, Case{3, 1, grey, dark}, Case{3, 3, dark, grey}, Case{1, 1, grey, grey}}) {
    SCOPED_TRACE(::testing::Message() << c.count << "/" << c.current);
    Canvas canvas(300, 400, kWhite);
    int32_t count = c.count, current = c.current;
    EXPECT_EQ(arrows(canvas.window(), canvas.dc(), &count, &current), 0);
    // Inside each triangle (rows 350..368, point at row 359).
    EXPECT_EQ(canvas.At(24, 359), c.left);
    EXPECT_EQ(canvas.At(300 - 25, 359), c.right);
    // Nothing outside the arrows' columns or above the band.
    for (int x : {5, 10, 31, 150, 269, 290, 295}) EXPECT_EQ(canvas.At(x, 359), kWhite) << x;
    for (int y : {0, 300, 320, 345}) EXPECT_EQ(canvas.At(20, y), kWhite) << y;
  }
}

TEST(Showreel, NoArrowsWhenTheControlHasNoBand) {
  Library library;
  auto arrows = library.Get<DrawNextPrevPagFn>("_DrawNextPrevPag@16");
  ASSERT_NE(arrows, nullptr);
  Canvas canvas(300, 320, kWhite);
  int32_t count = 3, current = 2;
  EXPECT_EQ(arrows(canvas.window(), canvas.dc(), &count, &current), -1);
  for (int y = 0; y < 320; y += 7) EXPECT_EQ(canvas.At(20, y), kWhite);
}

TEST(Showreel, AppliesAColourKeyToATopLevelWindow) {
  Library library;
  auto transparency = library.Get<ApplyTranspFn>("_ApplyTransp@8");
  ASSERT_NE(transparency, nullptr);
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
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

struct WinsockForTests {
  WinsockForTests() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockForTests() { WSACleanup(); }
};

// One connection on a loopback address: reads one request frame, then runs
// `answer` on the connected socket. The request payload is kept for checks.
class LoopbackServer {
 public:
  using Answer = std::function<void(SOCKET)>;
  LoopbackServer(const char* address, Answer answer) {
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    inet_pton(AF_INET, address, &where.sin_addr);
    where.sin_port = 0;
    bound_ = bind(listener_, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0 && listen(listener_, 1) == 0;
    int size = sizeof where;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&where), &size);
    port_ = ntohs(where.sin_port);
    thread_ = std::thread([this, answer] { Serve(answer); });
  }
  ~LoopbackServer() {
    closesocket(listener_);
    thread_.join();
  }
  bool bound() const { return bound_; }
  uint16_t port() const { return port_; }
  std::string declaredLength() const { return declaredLength_; }
  std::string request() const { return request_; }

 private:
  void Serve(const Answer& answer) {
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    char length[4];
    if (ReceiveAll(client, length, 4)) {
      declaredLength_.assign(length, 4);
      const uint32_t total = static_cast<uint8_t>(length[0]) | static_cast<uint8_t>(length[1]) << 8 |
                             static_cast<uint8_t>(length[2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(length[3])) << 24;
      std::string payload(total >= 4 && total < 100000 ? total - 4 : 0, '\0');
      if (ReceiveAll(client, payload.data(), payload.size())) {
        request_ = payload;
        answer(client);
      }
    }
    closesocket(client);
  }
  static bool ReceiveAll(SOCKET s, char* into, std::size_t count) {
    for (std::size_t got = 0; got < count;) {
      const int n = recv(s, into + got, static_cast<int>(count - got), 0);
      if (n <= 0) return false;
      got += static_cast<std::size_t>(n);
    }
    return true;
  }

  SOCKET listener_ = INVALID_SOCKET;
  bool bound_ = false;
  uint16_t port_ = 0;
  std::string declaredLength_, request_;
  std::thread thread_;
};

std::string Frame(std::string_view payload) {
  const uint32_t total = static_cast<uint32_t>(payload.size() + 4);
  std::string frame{static_cast<char>(total & 0xFF), static_cast<char>((total >> 8) & 0xFF),
                    static_cast<char>((total >> 16) & 0xFF), static_cast<char>(total >> 24)};
  return frame + std::string(payload);
}

void SendBytes(SOCKET s, std::string_view bytes) { send(s, bytes.data(), static_cast<int>(bytes.size()), 0); }

// Connects once to a server on 127.0.0.1, so that its accepting thread ends.
void ReleaseServer(uint16_t port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in where{};
  where.sin_family = AF_INET;
  inet_pton(AF_INET, "127.0.0.1", &where.sin_addr);
  where.sin_port = htons(port);
  connect(s, reinterpret_cast<sockaddr*>(&where), sizeof where);
  closesocket(s);
}

class ShowreelDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    download_ = library_.Get<GetFisierDifFn>("_GetFisierDif@16");
    ASSERT_NE(download_, nullptr);
  }
  void TearDown() override { SetEnvironmentVariableA("VELMORA_SERVER_PORT", nullptr); }
  void UsePort(uint16_t port) { SetEnvironmentVariableA("VELMORA_SERVER_PORT", std::to_string(port).c_str()); }
  int32_t Download(const std::string& remote, const fs::path& local) {
    const std::string target = local.string();
    return download_(remote.c_str(), static_cast<int32_t>(remote.size()), target.c_str(),
                     static_cast<int32_t>(target.size()));
  }

  WinsockForTests winsock_;
  Library library_;
  GetFisierDifFn download_ = nullptr;
  TempDir local_;
};

TEST_F(ShowreelDownload, AsksForThePathAndWritesTheAnswer) {
  const std::string picture = MakeBmp(30, 20, {1, 2, 3}, {200, 100, 50});
  LoopbackServer server("127.0.0.1", [&](SOCKET s) { SendBytes(s, Frame(picture)); });
  ASSERT_TRUE(server.bound());
  UsePort(server.port());
  const fs::path target = local_.path() / "tw02.bmp";
  EXPECT_EQ(Download("/updateVelmora/tw02.bmp", target), static_cast<int32_t>(picture.size()));
  EXPECT_EQ(ReadFileBytes(target), picture);
  EXPECT_EQ(server.request(), "903 /updateVelmora/tw02.bmp");
  const std::string expectedLength("\x1F\x00\x00\x00", 4);  // 4 + 4 + 23
  EXPECT_EQ(server.declaredLength(), expectedLength);
}

TEST_F(ShowreelDownload, TakesBlankPaddedBuffersAsTheLauncherPassesThem) {
  LoopbackServer server("127.0.0.1", [&](SOCKET s) { SendBytes(s, Frame("schedule")); });
  UsePort(server.port());
  std::string remote = "/updateVelmora/velmora.scn";
  remote.resize(512, ' ');
  std::string local = (local_.path() / "~velmora.scn").string() + '\0';
  local.resize(512, ' ');
  EXPECT_EQ(download_(remote.data(), 512, local.data(), 512), 8);
  EXPECT_EQ(server.request(), "903 /updateVelmora/velmora.scn");
  EXPECT_EQ(ReadFileBytes(local_.path() / "~velmora.scn"), "schedule");
}

TEST_F(ShowreelDownload, GathersAnAnswerArrivingInSmallPieces) {
  std::string content;
  for (int i = 0; i < 3000; ++i) content += static_cast<char>(i * 7);
  LoopbackServer server("127.0.0.1", [&](SOCKET s) {
    const std::string frame = Frame(content);
    for (std::size_t at = 0; at < frame.size(); at += 97) {
      SendBytes(s, std::string_view(frame).substr(at, 97));
      if (at % 970 == 0) std::this_thread::sleep_for(5ms);
    }
  });
  UsePort(server.port());
  EXPECT_EQ(Download("/updateVelmora/big.jpg", local_.path() / "big.jpg"), 3000);
  EXPECT_EQ(ReadFileBytes(local_.path() / "big.jpg"), content);
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
    LoopbackServer server("127.0.0.1", [&](SOCKET s) { SendBytes(s, c.answer); });
    UsePort(server.port());
    EXPECT_EQ(Download("/updateVelmora/a01.jpg", target), c.result);
    EXPECT_EQ(ReadFileBytes(target), "old picture");
  }
}

TEST_F(ShowreelDownload, NoServerMeansNoConnection) {
  uint16_t port = 0;
  {
    LoopbackServer probe("127.0.0.1", [](SOCKET) {});
    port = probe.port();
    ReleaseServer(port);  // its port is then free again
  }
  UsePort(port);
  EXPECT_EQ(Download("/updateVelmora/a01.jpg", local_.path() / "a01.jpg"), -2);
  EXPECT_FALSE(fs::exists(local_.path() / "a01.jpg"));
}

TEST_F(ShowreelDownload, AsksTheServerNamedBesideTheLibrary) {
  WriteFileBytes(library_.folder() / "hostlane.lst", "127.0.0.2\r\n127.0.0.1\r\n");
  {
    LoopbackServer server("127.0.0.2", [&](SOCKET s) { SendBytes(s, Frame("from two")); });
    ASSERT_TRUE(server.bound());
    UsePort(server.port());
    EXPECT_EQ(Download("/updateVelmora/a03.png", local_.path() / "a03.png"), 8);
    EXPECT_EQ(ReadFileBytes(local_.path() / "a03.png"), "from two");
  }
  // The same port on 127.0.0.1 is not asked.
  uint16_t port = 0;
  {
    std::atomic<bool> asked{false};
    LoopbackServer elsewhere("127.0.0.1", [&](SOCKET s) {
      asked = true;
      SendBytes(s, Frame("wrong"));
    });
    port = elsewhere.port();
    UsePort(port);
    EXPECT_EQ(Download("/updateVelmora/a01.jpg", local_.path() / "a01.jpg"), -2);
    EXPECT_FALSE(asked);
    ReleaseServer(port);
  }
}

TEST_F(ShowreelDownload, RefusesBadArgumentsAndUnwritableTargets) {
  EXPECT_EQ(download_("", 0, "x", 1), -1);
  EXPECT_EQ(download_("/a", 2, "", 0), -1);
  EXPECT_EQ(download_("    ", 4, "x", 1), -1);
  EXPECT_EQ(download_(nullptr, 5, "x", 1), -1);
  LoopbackServer server("127.0.0.1", [&](SOCKET s) { SendBytes(s, Frame("data")); });
  UsePort(server.port());
  EXPECT_EQ(Download("/updateVelmora/a01.jpg", local_.path() / "no such folder" / "a01.jpg"), -5);
}

}  // namespace
}  // namespace velmora::standins
