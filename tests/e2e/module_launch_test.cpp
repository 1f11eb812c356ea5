// The main dialog's launches, in the real launcher in a fresh sample suite:
// every button starts its program of the suite with the right command line
// and current directory while the dialog hides, F2 and F3 start the
// documents module's special modes, a missing program is reported with its
// path, and the assistant gets the dialog's handle and runs alongside.

#include <gtest/gtest.h>

#include <algorithm>

#include "launcher_fixture.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using namespace velmora::testing;

class ModuleLaunch : public LauncherTest {
 protected:
  using LauncherTest::LauncherTest;

  // Waits until the dialog is hidden, then until it is shown again once the
  // held program has been let go.
  void ExpectHiddenWhileHeld(HWND main, HoldFile& hold) {
    EXPECT_TRUE(WaitUntil([&] { return !IsShown(main); }, 5s))
        << "dialog visible while the program runs";
    hold.Release();
    EXPECT_TRUE(WaitUntil([&] { return IsShown(main); }, 5s))
        << "dialog not shown after the program ended";
  }

  void ExpectLaunch(const LaunchRecord& launch, const fs::path& program,
                    const std::string& commandLine, const std::string& currentDirectory) {
    EXPECT_EQ(launch.program, program.string());
    EXPECT_EQ(launch.commandLine, commandLine);
    EXPECT_EQ(launch.currentDirectory, currentDirectory);
  }
};

struct ButtonCase {
  int button;
  const char* folder;  // of the program, under the suite root
  const char* program;
  const char* arguments;         // after the program's full path on its command line
  const char* currentDirectory;  // under the suite root
};

// The documents module comes last: it starts in the launcher's current
// directory, so it also shows that the module buttons before it changed back
// from their module's folder.
constexpr ButtonCase kButtonCases[] = {
    {kButtonQuillon, "ERP", "quillon.exe", "", "ERP"},
    {kButtonErpSetup, "ERP", "wardle.exe", "", "ERP"},
    {kButtonKelbar, "Kelbar", "kelbarw.exe", "", "Kelbar"},
    {kButtonPayroll, "Morvin", "MORVINW.exe", "", "Morvin"},
    {kButtonFixedAssets, "Tesslo", "tesslow.exe", "", "Tesslo"},
    {kButtonVantor, "Vantor", "q.exe", " -erp -m", "ERP"},  // launcher started without -m
};

// A module button's command, or a key pressed on it (key 0: the command).
bool Trigger(HWND main, int button, UINT key) {
  return key != 0 ? PostKeyDown(GetDlgItem(main, button), key) : PostCommand(main, button);
}

// Suites often lie in folders with blanks in their names; the launcher then
// puts a program's path in quotes, so that Windows cannot run a program
// planted at a shorter prefix of it.
class ModuleButtons : public ModuleLaunch, public ::testing::WithParamInterface<const char*> {
 protected:
  ModuleButtons() : ModuleLaunch(GetParam()) {}
};

TEST_P(ModuleButtons, EachStartsItsProgramWhileTheDialogHides) {
  const bool quoted = Root().find(' ') != std::string::npos;
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  for (const ButtonCase& c : kButtonCases) {
    SCOPED_TRACE(c.program);
    const fs::path program = SuiteDir() / c.folder / c.program;
    HoldFile hold(program);
    ASSERT_TRUE(PostCommand(main, c.button));
    const auto launches = WaitForLaunches(c.program, 1);
    ASSERT_EQ(launches.size(), 1u) << "not started";
    const std::string onCommandLine = quoted ? "\"" + program.string() + "\"" : program.string();
    ExpectLaunch(launches[0], program, onCommandLine + c.arguments,
                 Root() + "\\" + c.currentDirectory);
    ExpectHiddenWhileHeld(main, hold);
  }
  // One start each, and nothing else but the synchronisation at start-up.
  EXPECT_EQ(standins::ReadLaunches(SuiteDir()).size(), 1u + std::size(kButtonCases));
  EXPECT_EQ(TitleOf(main), MainTitle(4711));
  EXPECT_EQ(Close(launcher, main), 0u);
}

INSTANTIATE_TEST_SUITE_P(SuiteFolders, ModuleButtons, ::testing::Values("ve", "Corvane "),
                         [](const auto& info) { return info.index == 0 ? "Plain" : "WithABlank"; });

TEST_F(ModuleLaunch, StartedWithMinusMTheDocumentsModuleGetsOnlyMinusErp) {
  DrivenProgram launcher = StartLauncher("-m");
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  const fs::path q = Vantor() / "q.exe";
  HoldFile hold(q);
  ASSERT_TRUE(PostCommand(main, kButtonVantor));
  const auto launches = WaitForLaunches("q.exe", 1);
  ASSERT_EQ(launches.size(), 1u);
  ExpectLaunch(launches[0], q, q.string() + " -erp", Root() + "\\ERP");
  ExpectHiddenWhileHeld(main, hold);
  EXPECT_EQ(Close(launcher, main), 0u);
}

TEST_F(ModuleLaunch, F2AndF3OnAnyModuleButtonStartTheDocumentsModulesSpecialModes) {
  struct KeyCase {
    int button;
    UINT key;
    const char* program;
    const char* arguments;
  };
  const KeyCase cases[] = {
      {kButtonVantor, VK_F2, "q.exe", " -m -erp -cu"},
      {kButtonKelbar, VK_F3, "tkv.exe", " /prot"},
      {kButtonErpSetup, VK_F2, "q.exe", " -m -erp -cu"},
      {kButtonFixedAssets, VK_F3, "tkv.exe", " /prot"},
  };
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  std::size_t qStarts = 0, tkvStarts = 0;
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(std::string(c.program) + " from button " + std::to_string(c.button));
    const std::size_t expected = std::string_view(c.program) == "q.exe" ? ++qStarts : ++tkvStarts;
    ASSERT_TRUE(PostKeyDown(GetDlgItem(main, c.button), c.key));
    const auto launches = WaitForLaunches(c.program, expected);
    ASSERT_EQ(launches.size(), expected);
    const fs::path program = Vantor() / c.program;
    ExpectLaunch(launches.back(), program, program.string() + c.arguments, Root() + "\\ERP");
  }
  // The caption is refreshed after each run and still shows the client.
  EXPECT_TRUE(WaitUntil([&] { return TitleOf(main) == MainTitle(4711); }, 2s)) << TitleOf(main);
  EXPECT_EQ(Close(launcher, main), 0u);
}

TEST_F(ModuleLaunch, AMissingProgramIsReportedWithItsPathAndTheDialogComesBack) {
  struct MissingCase {
    int button;
    UINT key;  // 0: the button's command
    const char* folder;
    const char* program;
    const char* reported;  // the path part of the message, under the suite root
  };
  const MissingCase cases[] = {
      {kButtonVantor, 0, "Vantor", "q.exe", "\\Vantor\\q.exe!"},
      {kButtonKelbar, 0, "Kelbar", "kelbarw.exe", "\\Kelbar\\kelbarw.exe!"},
      {kButtonQuillon, 0, "ERP", "quillon.exe", "\\ERP\\quillon.exe"},
      {kButtonPayroll, 0, "Morvin", "MORVINW.exe", "\\Morvin\\Morvinw.exe!"},
      {kButtonFixedAssets, 0, "Tesslo", "tesslow.exe", "\\Tesslo\\tesslow.exe!"},
      {kButtonErpSetup, 0, "ERP", "wardle.exe", "\\ERP\\wardle.exe"},
      {kButtonKelbar, VK_F3, "Vantor", "tkv.exe", "\\Vantor\\tkv.exe!"},
      {kButtonAssistant, 0, "Vantor", "ruvela.exe", "\\Vantor\\ruvela.exe"},
  };
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  for (const MissingCase& c : cases) {
    SCOPED_TRACE(c.program);
    FileAside aside(SuiteDir() / c.folder / c.program);
    ASSERT_TRUE(Trigger(main, c.button, c.key));
    const auto box = WaitForMessageBox(launcher, "Eroare", 5s);
    ASSERT_TRUE(box.has_value()) << "no error box";
    EXPECT_EQ(box->text, "Nu s-a putut executa " + Root() + c.reported);
    EXPECT_NE(GetWindowLongA(box->window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0)
        << "the error box stays on top";
    // The buttons hide the dialog around the launch; the keys leave it.
    EXPECT_EQ(IsShown(main), c.key != 0);
    EXPECT_TRUE(PressButton(box->window, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box->window) && IsShown(main); }, 5s))
        << "dialog not back after the box";
  }
  EXPECT_EQ(standins::ReadLaunches(SuiteDir()).size(), 1u)
      << "only the synchronisation at start-up ran";
  EXPECT_EQ(Close(launcher, main), 0u);
}

TEST_F(ModuleLaunch, ALauncherInADrivesRootStartsNothingAndPlacesNoModule) {
  const ShortTempFolder driveFolder;
  fs::copy_file(Erp() / "velmora.exe", driveFolder / "velmora.exe");
  MappedDrive drive(fs::path(driveFolder.path()).parent_path());
  ASSERT_TRUE(drive.ok()) << "no spare drive letter could be mapped";
  DrivenProgram launcher(drive.root() + "velmora.exe", "", drive.root());
  std::vector<std::string> startBoxes;
  HWND main = StartAndFindMain(launcher, &startBoxes);  // answers the start-up's own complaints
  ASSERT_NE(main, nullptr);
  // Without a suite root there is no synchronisation program and no mail folder.
  EXPECT_NE(std::find(startBoxes.begin(), startBoxes.end(),
                      "Nu se poate determina directorul ERP -ului!"),
            startBoxes.end());
  for (const char* folder : {"OUT", "SENT", "ERP"})
    EXPECT_FALSE(fs::exists(driveFolder / folder)) << folder;

  struct RootCase {
    int button;
    UINT key;  // 0: the button's command
    const char* message;
  };
  const RootCase cases[] = {
      {kButtonVantor, 0, "Nu se poate determina directorul Vantor-ului!"},
      {kButtonKelbar, 0, "Nu se poate determina directorul Kelbar -ului!"},
      {kButtonPayroll, 0, "Nu se poate determina directorul Morvin-ului!"},
      {kButtonFixedAssets, 0, "Nu se poate determina directorul Tesslo -ului!"},
      {kButtonErpSetup, VK_F2, "Nu se poate determina directorul Vantor-ului!"},
  };
  for (const RootCase& c : cases) {
    SCOPED_TRACE(c.message);
    ASSERT_TRUE(Trigger(main, c.button, c.key));
    const auto box = WaitForMessageBox(launcher, "Eroare", 5s);
    ASSERT_TRUE(box.has_value()) << "no error box";
    EXPECT_EQ(box->text, c.message);
    EXPECT_TRUE(PressButton(box->window, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box->window) && IsShown(main); }, 5s));
  }
  EXPECT_EQ(Close(launcher, main), 0u);
  EXPECT_FALSE(fs::exists(driveFolder / "launches.log"));
  EXPECT_FALSE(fs::exists(driveFolder / "DIRVAN.DAT"));
}

TEST_F(ModuleLaunch, TheAssistantGetsTheDialogsHandleAndIsNotWaitedFor) {
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  // Never shown by the launcher, but its command still works.
  EXPECT_FALSE(IsShown(GetDlgItem(main, kButtonAssistant)));

  const fs::path ruvela = Vantor() / "ruvela.exe";
  HoldFile hold(ruvela);
  ASSERT_TRUE(PostCommand(main, kButtonAssistant));
  const auto launches = WaitForLaunches("ruvela.exe", 1);
  ASSERT_EQ(launches.size(), 1u);
  const std::string handle = std::to_string(reinterpret_cast<uintptr_t>(main));
  ExpectLaunch(launches[0], ruvela, ruvela.string() + " /" + handle, Root() + "\\Vantor");

  // The dialog is back while the assistant still runs.
  EXPECT_TRUE(WaitUntil([&] { return IsShown(main); }, 5s));
  // And the launcher is back in its own directory: the documents module
  // starts from there.
  ASSERT_TRUE(PostCommand(main, kButtonVantor));
  const auto documents = WaitForLaunches("q.exe", 1);
  ASSERT_EQ(documents.size(), 1u);
  EXPECT_EQ(documents[0].currentDirectory, Root() + "\\ERP");
  EXPECT_TRUE(WaitUntil([&] { return IsShown(main); }, 5s));
  hold.Release();
  EXPECT_EQ(Close(launcher, main), 0u);
}

}  // namespace
}  // namespace velmora::e2e
