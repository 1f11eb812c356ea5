#pragma once
// A test dialog on the test's thread, a fresh link, a temporary current
// directory (iplist.txt lives there), recorded message boxes, and actions run
// later from inside the link's own wait loops.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/loopback_peer.h"
#include "support/temp_dir.h"
#include "support/ui_recorders.h"

namespace velmora::link::testing {

class LinkTest : public ::testing::Test {
 public:
  static std::vector<WPARAM> dialogCommands_;  // WM_COMMAND seen by the dialog's own procedure

 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs `action` on this thread after `ms`, from whatever loop pumps messages.
  static void RunLater(unsigned ms, std::function<void()> action);
  // Pumps this thread's messages for `ms`.
  static void Pump(unsigned ms);
  // Points the link at a loopback peer of the test.
  static void UsePeer(const LoopbackPeer& peer);
  // Shortens the link's connect time-out and answer watchdog (and the watch
  // of the parent dialog), so that a test waits none of them out for real.
  static void ShortenWaits(unsigned answerMs = 700, unsigned connectMs = 700);
  void WriteList(const std::string& text);
  std::string ReadList();
  bool ListExists();

  HWND dialog_ = nullptr;
  HINSTANCE instance_ = nullptr;
  velmora::testing::TempDir dir_;
  std::string savedDirectory_;

  // Boxes shown during the test, answered with boxAnswer_ (IDCANCEL unless changed).
  velmora::testing::BoxRecorder boxRecorder_{IDCANCEL};
  static inline std::vector<velmora::testing::RecordedBox>& boxes_ =
      velmora::testing::BoxRecorder::Boxes();
  static inline int& boxAnswer_ = velmora::testing::BoxRecorder::Answer();
};

}  // namespace velmora::link::testing
