#include "Unit1.h"

#include "Unit2.h"
#include "application.h"
#include "files.h"
#include "gradient.h"
#include "profile.h"
#include "session.h"
#include "setup_description.h"

using namespace forms;

TForm1* Form1 = nullptr;

namespace {

const FormDesign kDesign{
    "TForm1", "Form1", "Talvenor Setup", 640, 480, BorderStyle::Sizeable, Placement::Designed, false, true, kNavy,
    -11,      false};

const std::vector<ComponentDesign> kComponents = {
    {Kind::Image, "Image1", "", 0, 0, 640, 480, "", kAlignClient | kCenter, -1, 0, "", nullptr, 0},
    {Kind::Image, "Image2", "", 29, 29, 327, 91, "", kAutoSize | kTransparent, -1, 0, "", "LOGO", 0},
    {Kind::Image, "Image3", "", 340, 0, 300, 480, "", kAlignRight | kAutoSize | kTransparent, -1, 0, "", "RIGHTPIC", 0},
    {Kind::Timer, "Timer1", "", 0, 0, 0, 0, "", kDisabled, -1, 0, "", nullptr, 100},
};

// The picture key of Setup.inf for each wizard image, in the order they are read.
const char* const kWizardImages[8] = {"Image1", "Image3", "Image4", "Image5", "Image6", "Image7", "Image8", "Image9"};

}  // namespace

TForm1::TForm1() : Form(kDesign) {
  Build(kComponents);
  Get<Timer>("Timer1").OnTimer = [this] { Timer1Timer(); };
}

void TForm1::LoadPicture(Image& image, const std::string& path) {
  // A picture that cannot be loaded is reported; the start goes on with the others.
  try {
    image.LoadFromFile(path);
  } catch (const std::exception& e) {
    Application::Instance().ShowException(e);
  }
}

void TForm1::FormShow() {
  std::string& sourceDir = install::TheSession().SourceDir;
  sourceDir = platform::ExeFolder();
  const platform::ProfileFile inf(sourceDir + setupinf::kFileName);
  const std::string background = inf.Read(setupinf::kBackground);
  if (!background.empty()) LoadPicture(Image1(), background);
  for (int n = 1; n <= setupinf::kSetupImageCount; ++n) {
    const std::string path = inf.Read(setupinf::SetupImage(n));
    if (!path.empty()) LoadPicture(Form2->Get<Image>(kWizardImages[n - 1]), path);
  }
  Get<Timer>("Timer1").SetEnabled(true);
}

void TForm1::EndSetup() {
  CloseAllowed = true;
  Close();
}

void TForm1::Timer1Timer() {
  Get<Timer>("Timer1").SetEnabled(false);
  // Whatever escapes the wizard's modal run ends here without a message.
  try {
    Form2->ShowModal();
  } catch (...) {
  }
}

void TForm1::FormPaint(HDC dc) {
  int bitsPerPixel;
  {
    platform::WindowDc windowDc(Handle());
    bitsPerPixel = ::GetDeviceCaps(windowDc.get(), BITSPIXEL);
  }
  if (bitsPerPixel <= 8) return;
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  for (const app::GradientBand& band : app::GradientBands(height)) {
    platform::UniqueBrush brush(::CreateSolidBrush(RGB(0, 0, band.blue)));
    const RECT rows{0, band.top, width, band.bottom + 1};
    ::FillRect(dc, &rows, brush.get());
  }
}
