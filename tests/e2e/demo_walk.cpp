// Walks a user through setup on a medium, saving a screenshot of each window on the way:
//   demo_walk.exe <medium folder> <screenshot folder>
// The demo job runs it on Xvfb, where nobody can click.
#include "driver.h"

#include <cstdio>

using namespace e2e;

namespace {

std::string shots;
int shotNumber = 0;

void Shot(const std::string& name) {
  ::Sleep(400);
  char file[MAX_PATH];
  std::snprintf(file, sizeof file, "%s\\%02d-%s.bmp", shots.c_str(), ++shotNumber, name.c_str());
  ScreenShot().Save(file);
  std::printf("screenshot %s\n", file);
}

// Presses a visible button of the wizard; false when it does not appear.
bool Press(HWND form, const std::string& caption) {
  HWND button = WaitChild(form, "Button", caption, kWaitMs);
  if (!button) {
    std::printf("button %s not found\n", caption.c_str());
    return false;
  }
  Click(button);
  ::Sleep(300);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::printf("usage: demo_walk <medium folder> <screenshot folder>\n");
    return 2;
  }
  const std::string medium = argv[1];
  shots = argv[2];
  Process setup(medium + "\\setup.exe", "", medium);
  HWND wizard = setup.WaitWindow("TForm2");
  if (!wizard) return 1;
  Shot("language");
  const char* steps[][2] = {
      {"&Weiter >", "welcome"}, {"&Weiter >", "licence"}, {"&Akzeptieren>", "folder"}, {"&Weiter>", "ready"}};
  for (auto& step : steps) {
    if (!Press(wizard, step[0])) return 1;
    Shot(step[1]);
  }
  if (!Press(wizard, "&Weiter>")) return 1;
  if (setup.WaitWindow("TForm5")) Shot("copying");
  // The run ends on the finish page, with the wizard shown again.
  if (!WaitUntil([&] { return Visible(wizard) && FindChild(wizard, "Button", "&Ende", true); }, 120000)) {
    if (auto box = FindMessageBox(setup)) std::printf("message: %s\n", box->text.c_str());
    Shot("stopped");
    return 1;
  }
  Shot("finish");
  Press(wizard, "&Ende");
  const bool ended = setup.WaitExit(kWaitMs);
  std::printf("setup %s\n", ended ? "finished" : "did not end");
  return ended ? 0 : 1;
}
