#include "shell/startup_rules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/delay_switch.h"
#include "common/log_line.h"

namespace velmora::shell {
namespace {

TEST(MinusMSwitch, OnlyTheExactLowerCaseArgumentAfterTheProgramCounts) {
  using Args = std::vector<std::string>;
  EXPECT_EQ(MinusMSwitch(Args{"velmora.exe"}), 0);
  EXPECT_EQ(MinusMSwitch(Args{}), 0);
  EXPECT_EQ(MinusMSwitch(Args{"velmora.exe", "-m"}), 1);
  EXPECT_EQ(MinusMSwitch(Args{"velmora.exe", "x", "y", "-m"}), 1);
  EXPECT_EQ(MinusMSwitch(Args{"velmora.exe", "-M"}), 0);
  EXPECT_EQ(MinusMSwitch(Args{"velmora.exe", "-mx"}), 0);
  EXPECT_EQ(MinusMSwitch(Args{"velmora.exe", " -m"}), 0);
  EXPECT_EQ(MinusMSwitch(Args{"-m"}), 0) << "argument 0 is the program itself";
}

TEST(BuildAppPaths, DerivesEveryNameFromTheLauncherFolder) {
  const AppPaths p = BuildAppPaths("C:\\Suite\\ERP\\");
  EXPECT_EQ(p.programDirectory, "C:\\Suite\\ERP\\");
  EXPECT_EQ(p.suiteRoot, "C:\\Suite\\");
  EXPECT_EQ(p.erpDirectory, "C:\\Suite\\ERP");
  EXPECT_EQ(p.outgoingFolder, "C:\\Suite\\ERP\\OUT\\");
  EXPECT_EQ(p.sentFolder, "C:\\Suite\\ERP\\SENT\\");
  EXPECT_EQ(p.erpMonitorPath, "C:\\Suite\\ERP\\wardle.exe");
  EXPECT_EQ(p.messagingPath, "C:\\Suite\\ERP\\quillon.exe");
  EXPECT_EQ(p.assistantPath, "C:\\Suite\\Vantor\\ruvela.exe");
  EXPECT_EQ(p.inboxFile, "C:\\Suite\\ERP\\inbox.dat");
  EXPECT_EQ(p.newsCacheFile, "C:\\Suite\\ERP\\velmora.cfg");
  EXPECT_EQ(p.showcaseTextFile, "C:\\Suite\\ERP\\vitrina.txt");
  EXPECT_EQ(p.greetingToggleFile, "C:\\Suite\\ERP\\velmora.fnb");
  EXPECT_EQ(p.morvinDirectory, "C:\\Suite\\Morvin");
  EXPECT_EQ(p.kelbarDirectory, "C:\\Suite\\Kelbar");
  EXPECT_EQ(p.vantorDirectory, "C:\\Suite\\Vantor");
  EXPECT_EQ(p.tessloDirectory, "C:\\Suite\\Tesslo");
}

TEST(BuildAppPaths, ALauncherInADriveRootHasNoSuiteRoot) {
  EXPECT_EQ(SuiteRootLength("C:\\"), 0u);
  const AppPaths p = BuildAppPaths("C:\\");
  EXPECT_EQ(p.programDirectory, "C:\\");
  EXPECT_EQ(p.greetingToggleFile, "C:\\velmora.fnb");
  EXPECT_TRUE(p.suiteRoot.empty());
  EXPECT_TRUE(p.outgoingFolder.empty());
  EXPECT_TRUE(p.sentFolder.empty());
  EXPECT_TRUE(p.assistantPath.empty());
}

// Start-up and the module routines see one suite root: the folder above the
// launcher's own, with (start-up) or without (module routines) its final '\'.
TEST(SuiteRoot, StartUpAndModuleRoutinesShareOneRule) {
  struct Case {
    const char* ownPath;
    const char* programDirectory;
    const char* suiteRoot;
    std::optional<std::string> moduleRoot;
  };
  const Case cases[] = {
      {"C:\\Suite\\ERP\\velmora.exe", "C:\\Suite\\ERP\\", "C:\\Suite\\", "C:\\Suite"},
      {"D:\\a\\b\\c\\ERP\\velmora.exe", "D:\\a\\b\\c\\ERP\\", "D:\\a\\b\\c\\", "D:\\a\\b\\c"},
      {"\\\\server\\share\\ERP\\v.exe", "\\\\server\\share\\ERP\\", "\\\\server\\share\\",
       "\\\\server\\share"},
      {"C:\\velmora.exe", "C:\\", "", std::nullopt},
      {"\\velmora.exe", "\\", "", std::nullopt},
      {"velmora.exe", "", "", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ownPath);
    EXPECT_EQ(DirectoryOfPath(c.ownPath), c.programDirectory);
    EXPECT_EQ(BuildAppPaths(DirectoryOfPath(c.ownPath)).suiteRoot, c.suiteRoot);
    EXPECT_EQ(SuiteRootFromOwnPath(c.ownPath), c.moduleRoot);
  }
}

TEST(LogChannelFromSwitch, OnlyAPositiveNumberSwitchesTheLogOn) {
  const struct {
    const char* value;
    int channel;
  } cases[] = {{"", -1},   {"0", -1},  {"-3", -1}, {"on", -1},
               {"1x", -1}, {" 1", -1}, {"1", 1},   {"7", 7}};
  for (const auto& c : cases)
    EXPECT_EQ(LogChannelFromSwitch(c.value), c.channel) << '"' << c.value << '"';
}

TEST(FormatLogLine, PadsTheHourAndZeroFillsTheRest) {
  EXPECT_EQ(FormatLogLine(9, 5, 3, 7, "Init>>>"), "  9:05:03:07 - Init>>>");
  EXPECT_EQ(FormatLogLine(14, 25, 0, 93, "Bye!"), " 14:25:00:93 - Bye!");
  EXPECT_EQ(FormatLogLine(0, 0, 0, 0, ""), "  0:00:00:00 - ");
}

TEST(DelaySwitch, OnlyAWholeNumberUpToTheProgramsOwnWaitShortensIt) {
  constexpr char kVariable[] = "VELMORA_DELAY_SWITCH_TEST_MS";
  const struct {
    const char* value;  // nullptr: unset
    uint32_t expected;
  } cases[] = {
      {nullptr, 7000}, {"", 7000},
      {"250", 250},    {"0", 0},
      {"7000", 7000},  {"7001", 7000},
      {"-5", 7000},    {"12ms", 7000},
      {" 5", 7000},    {"99999999999999999999999", 7000},
  };
  for (const auto& c : cases) {
#ifdef _WIN32
    _putenv_s(kVariable, c.value == nullptr ? "" : c.value);  // "" removes it
#else
    c.value == nullptr ? unsetenv(kVariable) : setenv(kVariable, c.value, 1);
#endif
    EXPECT_EQ(DelayMs(kVariable, 7000), c.expected) << (c.value == nullptr ? "(unset)" : c.value);
  }
}

}  // namespace
}  // namespace velmora::shell
