// postman_kill_rule [--kills N] [--files N] [--seed S] [--delay-ms D] [--first-pass-ms F]
//
// The launcher killed at random moments of its passes loses no request file.
// In a fresh sample suite, against the reference server on a loopback
// address of its own, rounds of request files are dropped into ERP\OUT and
// the launcher is started and killed (TerminateProcess) again and again: at a
// random moment of its start, or a random few milliseconds after the server
// stored its next file (mid-answer, mid-move). After every kill each file
// must be in OUT or in SENT, byte for byte; a round is done when OUT is
// empty. At the end the launcher runs once more to finish, and the server
// must hold every file, each copy identical to the file dropped.
//
// Prints the figures; exits 0 only when no file was lost and no copy differs.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>

#include "common/delay_switch.h"
#include "sample_suite/sample_suite.h"
#include "stored_requests.h"
#include "support/driver.h"
#include "support/reference_server.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using velmora::testing::DrivenProgram;
using velmora::testing::ReadFileBytes;
using velmora::testing::WaitUntil;
using velmora::testing::WriteFileBytes;

namespace {

struct Settings {
  int kills = 100;
  int files = 50;
  unsigned seed = static_cast<unsigned>(GetTickCount());
  int delayMs = 150;  // the server answers this late, so kills land inside exchanges
  int firstPassMs = 7000;
};

Settings ParseSettings(int argc, char** argv) {
  Settings s;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const int value = std::atoi(argv[i + 1]);
    if (name == "--kills") s.kills = value;
    if (name == "--files") s.files = value;
    if (name == "--seed") s.seed = static_cast<unsigned>(value);
    if (name == "--delay-ms") s.delayMs = value;
    if (name == "--first-pass-ms") {
      s.firstPassMs = value;
      SetEnvironmentVariableA(velmora::kFirstPassDelayVariable,
                              argv[i + 1]);  // the launchers inherit it
    }
  }
  return s;
}

void Kill(const DrivenProgram& launcher) {
  const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, launcher.processId());
  if (process == nullptr) return;
  TerminateProcess(process, 9);
  WaitForSingleObject(process, 10000);
  CloseHandle(process);
}

// Presses OK on any message box of the launcher, so that none holds it up.
void AnswerBoxes(const DrivenProgram& launcher) {
  for (HWND window : launcher.TopLevelWindows())
    if (velmora::testing::ClassNameOf(window) == "#32770" &&
        GetDlgItem(window, 0xFFFF) != nullptr && velmora::testing::IsShown(window))
      velmora::testing::PressButton(window, IDOK);
}

class KillRun {
 public:
  KillRun(const Settings& settings, fs::path suite, fs::path data)
      : settings_(settings),
        random_(settings.seed),
        suite_(std::move(suite)),
        data_(std::move(data)) {}

  void DropRound() {
    static const char* const kCodes[] = {"915 ", "450 ", "777 ", "120 "};
    round_.clear();
    fs::remove_all(Sent());
    fs::create_directories(Sent());
    for (int i = 0; i < settings_.files; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "r%03d_%03d.req", rounds_, i);
      std::string bytes = kCodes[random_() % 4] + std::string(name) + " ";
      const std::size_t extra = 20 + random_() % 6000;
      for (std::size_t b = 0; b < extra; ++b) bytes += static_cast<char>(random_() % 256);
      WriteFileBytes(Out() / name, bytes);
      round_[name] = bytes;
      dropped_[bytes] = name;
      Sleep(2);  // distinct creation times
    }
    ++rounds_;
  }

  // Each file of the round in OUT or SENT, unchanged; the names found in neither.
  void CheckNothingLost() {
    for (const auto& [name, bytes] : round_) {
      const bool inOut = fs::exists(Out() / name) && ReadFileBytes(Out() / name) == bytes;
      const bool inSent = fs::exists(Sent() / name) && ReadFileBytes(Sent() / name) == bytes;
      if (!inOut && !inSent) lost_.insert(name);
    }
  }

  bool OutEmpty() const { return fs::is_empty(Out()); }

  std::size_t ReceivedCount() const {
    return velmora::postman::testing::StoredRequests(data_).size();
  }

  void KillOnce() {
    DrivenProgram launcher((Erp() / "velmora.exe").string(), "", Erp().string());
    if (!launcher.started()) {
      std::fprintf(stderr, "cannot start the launcher (%lu)\n", launcher.startError());
      std::exit(2);
    }
    const std::size_t before = ReceivedCount();
    if (random_() % 4 == 0) {
      // Anywhere in the start-up, the news fetch or the first pass.
      const auto until =
          GetTickCount() + random_() % static_cast<unsigned>(5000 + settings_.firstPassMs);
      WaitUntil(
          [&] {
            AnswerBoxes(launcher);
            return static_cast<int>(GetTickCount() - until) >= 0;
          },
          15s);
    } else {
      // Inside a pass: right after the server stored one more file.
      const std::size_t target = before + 1 + random_() % 4;
      WaitUntil(
          [&] {
            AnswerBoxes(launcher);
            return ReceivedCount() >= target;
          },
          40s);
      Sleep(random_() % static_cast<unsigned>(settings_.delayMs + 60));
    }
    Kill(launcher);
    ++kills_;
    CheckNothingLost();
    if (OutEmpty()) DropRound();
  }

  // One last run without kills, until OUT is empty.
  bool Finish() {
    DrivenProgram launcher((Erp() / "velmora.exe").string(), "", Erp().string());
    const bool done = WaitUntil(
        [&] {
          AnswerBoxes(launcher);
          return OutEmpty();
        },
        120s);
    Sleep(500);
    Kill(launcher);
    CheckNothingLost();
    return done;
  }

  // Every dropped file at the server; returns the copies that match no file.
  int CheckServer(int& sentTwice) {
    std::map<std::string, int> copies;
    int differing = 0;
    for (const std::string& bytes : velmora::postman::testing::StoredRequests(data_)) {
      if (dropped_.count(bytes) == 0) {
        ++differing;
      } else {
        ++copies[bytes];
      }
    }
    sentTwice = 0;
    for (const auto& [bytes, name] : dropped_) {
      const int n = copies.count(bytes) ? copies[bytes] : 0;
      // The last round may still be partly in OUT only when Finish timed out.
      if (n == 0 && !fs::exists(Out() / name)) lost_.insert(name);
      if (n >= 2) ++sentTwice;
    }
    return differing;
  }

  int kills() const { return kills_; }
  std::size_t lost() const { return lost_.size(); }
  std::size_t dropped() const { return dropped_.size(); }
  int rounds() const { return rounds_; }

 private:
  fs::path Erp() const { return suite_ / "ERP"; }
  fs::path Out() const { return Erp() / "OUT"; }
  fs::path Sent() const { return Erp() / "SENT"; }

  Settings settings_;
  std::mt19937 random_;
  fs::path suite_, data_;
  std::map<std::string, std::string> round_;    // name -> bytes of the current round
  std::map<std::string, std::string> dropped_;  // bytes -> name, every round
  std::set<std::string> lost_;
  int kills_ = 0;
  int rounds_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const Settings settings = ParseSettings(argc, argv);
  // A short suite root, so the directory files' 40-character fields hold it.
  const fs::path suite = "C:\\pk" + std::to_string(GetCurrentProcessId());
  fs::remove_all(suite);
  const auto report = velmora::standins::BuildSampleSuite(suite, VELMORA_BIN_DIR);
  for (const auto& missing : report.missingPrograms)
    std::fprintf(stderr, "not built: %s\n", missing.c_str());
  if (!report.ok()) return 2;
  fs::create_directories(suite / "ERP" / "OUT");

  velmora::testing::TempDir server;
  fs::create_directories(server.path() / "root");
  fs::create_directories(server.path() / "data");
  WriteFileBytes(server.path() / "root" / "hotnews.txt",
                 "<EURO>4.97</EURO><USD>4.51</USD><TEXT>kill rule</TEXT>");
  // The server's own time limit is raised to cover a long run.
  const velmora::testing::ReferenceServer process(
      VELMORA_SERVER_EXE, server.path() / "root", server.path() / "data",
      "--delay-ms " + std::to_string(settings.delayMs) + " --exit-after-seconds 7200");
  if (!process.listening()) {
    std::fprintf(stderr, "the reference server did not start\n");
    return 2;
  }
  const std::string& address = process.address();
  WriteFileBytes(suite / "ERP" / "iplist.txt", address + "\r\n");

  std::printf("kill rule: %d kills, %d files a round, seed %u, server %s:5150\n", settings.kills,
              settings.files, settings.seed, address.c_str());
  KillRun run(settings, suite, server.path() / "data");
  run.DropRound();
  for (int i = 0; i < settings.kills; ++i) run.KillOnce();
  const bool finished = run.Finish();
  int sentTwice = 0;
  const int differing = run.CheckServer(sentTwice);

  std::printf("kills             %d\n", run.kills());
  std::printf("rounds            %d\n", run.rounds());
  std::printf("files dropped     %zu\n", run.dropped());
  std::printf("files lost        %zu\n", run.lost());
  std::printf("files sent twice  %d\n", sentTwice);
  std::printf("copies differing  %d\n", differing);
  std::printf("finished          %s\n", finished ? "yes" : "no (OUT not empty after 120 s)");
  std::fflush(stdout);
  std::error_code ignored;
  fs::remove_all(suite, ignored);
  return run.lost() == 0 && differing == 0 && finished ? 0 : 1;
}
