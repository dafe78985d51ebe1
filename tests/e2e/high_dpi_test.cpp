// Setup on a screen of more than 96 pixels per inch (run in a prefix whose LogPixels is set):
// every window comes out at its design size scaled by the screen's resolution, from the
// language page through an installation to the finish page, and the locate-archive prompt.
#include "wizard_steps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace e2e;

namespace {

constexpr const char* kName = "TalvenorHighDpiE2E";
const std::string kProgramKey = std::string("Software\\") + kName;
const std::string kUninstallKey = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kName;

std::string SetupInf(const std::string& fixed) {
  return std::string("[Program]\r\nProgramname=") + kName + "\r\nProgramEntry=" + kProgramKey +
         "\r\n[UnInstall]\r\nUnInstallEntry=" + kName + "\r\n[Group]\r\nGroupname=" + kName +
         "\r\n[Defaults]\r\nSprache=german.lng\r\nfirstpage=german.lng\r\nfixed=" + fixed + "\r\n";
}

int ScreenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

// A length of the designs (laid out at 96 pixels per inch) on this screen; the forms round
// each edge to the nearest pixel, so a size may be one pixel off the product.
int Scaled(int designPixels) { return ::MulDiv(designPixels, ScreenDpi(), 96); }

SIZE ClientSize(HWND wnd) {
  RECT r{};
  ::GetClientRect(wnd, &r);
  return {r.right, r.bottom};
}

SIZE OuterSize(HWND wnd) {
  const RECT r = ScreenRect(wnd);
  return {r.right - r.left, r.bottom - r.top};
}

void ExpectScaledSize(SIZE actual, int designWidth, int designHeight, const char* what) {
  std::printf("%s at %d pixels per inch: %ld x %ld (design %d x %d)\n", what, ScreenDpi(), actual.cx, actual.cy,
              designWidth, designHeight);
  EXPECT_NEAR(actual.cx, Scaled(designWidth), 1) << what << " width";
  EXPECT_NEAR(actual.cy, Scaled(designHeight), 1) << what << " height";
}

class HighDpi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(ScreenDpi(), 96) << "runs in a Wine prefix with a higher LogPixels";
    medium_.Write("german.lng", ReadFile(SourceFile("medium\\german.lng")));
    medium_.Write("english.lng", ReadFile(SourceFile("medium\\english.lng")));
    medium_.Write("Licence.txt", ReadFile(SourceFile("medium\\Licence.txt")));
    // The folder dialog proposes Program Files and this name.
    medium_.Write("setup.ini", std::string("[Program]\r\nProgramname=") + kName + "\r\n");
    medium_.AddBuildFile("medium-bin\\UNZIPLIB.DLL", "UNZIPLIB.DLL");
    medium_.AddBuildFile("bin\\UnInstall.exe", "UnInstall.exe");
  }

  const Medium& TheMedium() const { return medium_; }

 private:
  // The run installs below Program Files under the test's own names.
  InstallationTraces traces_{ProgramFilesDir() + "\\" + kName, kProgramKey, kUninstallKey, kName};
  Medium medium_;
};

TEST_F(HighDpi, EveryWindowOfAnInstallationIsItsDesignScaledToTheScreen) {
  TheMedium().WriteSetupInf(SetupInf("0"));
  TheMedium().Write("Setup.zip", ReadFile(BuildFile("medium\\Setup.zip")));
  Process setup(TheMedium().SetupExe());
  HWND background = setup.WaitWindow("TForm1");
  ASSERT_NE(background, nullptr);
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  EXPECT_EQ(ClientSize(background).cx, ::GetSystemMetrics(SM_CXSCREEN)) << "maximised";

  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  ExpectScaledSize(ClientSize(wizard), 472, 329, "TForm2");
  SaveScreenShotIfAsked("hidpi-wizard-language");
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  SaveScreenShotIfAsked("hidpi-wizard-welcome");

  ASSERT_TRUE(Press(wizard, "Abbruch"));
  HWND confirm = setup.WaitWindow("TForm3");
  ASSERT_NE(confirm, nullptr);
  ExpectScaledSize(ClientSize(confirm), 294, 174, "TForm3");
  SaveScreenShotIfAsked("hidpi-dialog-cancel");
  ASSERT_TRUE(Press(confirm, "&Fortfahren"));
  ASSERT_TRUE(setup.WaitHidden("TForm3"));

  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "license"));
  SaveScreenShotIfAsked("hidpi-wizard-licence");
  ASSERT_TRUE(Press(wizard, "&Akzeptieren>"));
  ASSERT_TRUE(WaitPage(wizard, "Dir"));
  ASSERT_TRUE(Press(wizard, "S&uchen..."));
  HWND dialog = setup.WaitWindow("TForm4");
  ASSERT_NE(dialog, nullptr);
  ExpectScaledSize(ClientSize(dialog), 292, 309, "TForm4");
  EXPECT_TRUE(WaitUntil([&] { return Text(FindChild(dialog, "Edit")) == ProgramFilesDir() + "\\" + kName; }));
  SaveScreenShotIfAsked("hidpi-wizard-folderdialog");
  ASSERT_TRUE(Press(dialog, "&Ok"));
  ASSERT_TRUE(setup.WaitHidden("TForm4"));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  ASSERT_TRUE(WaitPage(wizard, "ready"));

  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  HWND splash = setup.WaitWindow("TForm7");
  ASSERT_NE(splash, nullptr);
  ExpectScaledSize(ClientSize(splash), 400, 300, "TForm7");
  HWND progress = setup.WaitWindow("TForm5");
  ASSERT_NE(progress, nullptr);
  ExpectScaledSize(ClientSize(progress), 427, 132, "TForm5");
  // Its top edge follows the screen, not the design: the screen height divided by 1.2.
  EXPECT_TRUE(WaitUntil(
      [&] { return ScreenRect(progress).top == int(std::nearbyint(::GetSystemMetrics(SM_CYSCREEN) / 1.2)); }));
  SaveScreenShotIfAsked("hidpi-install-progress");
  // Asked while the run waits for its start; it goes on.
  ASSERT_TRUE(Press(progress, "Abbruch"));
  HWND runConfirm = setup.WaitWindow("TForm6");
  ASSERT_NE(runConfirm, nullptr);
  ExpectScaledSize(ClientSize(runConfirm), 342, 183, "TForm6");
  ASSERT_TRUE(Press(runConfirm, "&Fortfahren"));

  ASSERT_TRUE(WaitUntil([&] { return Visible(wizard) && FindChild(wizard, "Button", "&Ende", true); }, 120000));
  ExpectScaledSize(ClientSize(wizard), 472, 329, "TForm2 on the finish page");
  SaveScreenShotIfAsked("hidpi-install-finish");
  setup.Kill();
}

TEST_F(HighDpi, TheLocateArchivePromptIsItsOuterDesignSizeScaled) {
  TheMedium().WriteSetupInf(SetupInf("1"));
  // Started from the medium, whose folder the folder list then shows.
  Process setup(TheMedium().SetupExe(), "", TheMedium().Path());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "license"));
  ASSERT_TRUE(Press(wizard, "&Akzeptieren>"));
  ASSERT_TRUE(WaitPage(wizard, "Dir"));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  ASSERT_TRUE(WaitPage(wizard, "ready"));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  HWND prompt = setup.WaitWindow("TForm8");
  ASSERT_NE(prompt, nullptr) << "Setup.zip is missing beside setup.exe";
  ExpectScaledSize(OuterSize(prompt), 292, 329, "TForm8");
  SaveScreenShotIfAsked("hidpi-dialog-locate");
  ASSERT_TRUE(Press(prompt, "&Abbrechen"));
  HWND confirm = setup.WaitWindow("TForm3");
  ASSERT_NE(confirm, nullptr);
  ASSERT_TRUE(Press(confirm, "&Beenden"));
  EXPECT_TRUE(setup.WaitExit());
}

}  // namespace
