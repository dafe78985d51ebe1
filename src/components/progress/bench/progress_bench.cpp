// Prints how long one paint of the copy window's 402 x 21 bar takes, with and without text:
// composed into a screen-compatible bitmap, and as the setup paints it, through a new
// Progress value on a shown window.
#include "Progress.h"

#include "form.h"
#include "handle.h"

#include <windows.h>

#include <chrono>
#include <cstdio>

using namespace forms;

namespace {

const FormDesign kDesign{"TFormProgressBench",    "FormB", "Bench", 427,      132, BorderStyle::None,
                         Placement::ScreenCenter, false,   false,   kBtnFace, -11, false};

class BenchForm : public Form {
 public:
  BenchForm() : Form(kDesign) {
    Build({{Kind::Custom, "Progress1", "", 11, 62, 402, 21, "", 0, -1, 0, "", nullptr, 0}});
  }

 protected:
  std::unique_ptr<Component> CreateCustom(const ComponentDesign& d, Container* parent) override {
    return CreateProgress(this, d, parent);
  }
};

double MicrosecondsPerPaint(TProgress& bar, HDC target, int rounds) {
  const RECT bounds{0, 0, bar.Width(), bar.Height()};
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) {
    bar.SetProgress(i % 101);
    bar.Paint(target, bounds);
  }
  ::GdiFlush();
  const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
  return took.count() / rounds;
}

// The synchronous repaint of the Progress setter on the shown window, as during extraction.
double MicrosecondsPerRepaint(TProgress& bar, int rounds) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) bar.SetProgress(i % 101);
  ::GdiFlush();
  const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
  return took.count() / rounds;
}

void PumpMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
}

}  // namespace

int main() {
  BenchForm form;
  TProgress& bar = form.Get<TProgress>("Progress1");
  bar.SetBackColor(kBtnFace);
  bar.SetBorderColor(kBtnFace);
  bar.SetFromColor(kNavy);
  bar.SetToColor(0xFF0000);

  // The target is a screen-compatible bitmap, as the copy window's surface would be.
  platform::WindowDc screen(nullptr);
  platform::UniqueMemoryDc target(::CreateCompatibleDC(screen.get()));
  platform::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), 402, 21));
  platform::SelectGuard select(target.get(), bitmap.get());

  const int rounds = 2000;
  MicrosecondsPerPaint(bar, target.get(), 50);  // warm-up
  std::printf("progress_bench: 402 x 21 bar, %d paints each\n", rounds);
  std::printf("  without text: %8.1f us per paint\n", MicrosecondsPerPaint(bar, target.get(), rounds));
  bar.SetText("Talvenor");
  std::printf("  with text:    %8.1f us per paint\n", MicrosecondsPerPaint(bar, target.get(), rounds));

  form.Show();
  PumpMessages();
  bar.SetText("");
  MicrosecondsPerRepaint(bar, 50);
  std::printf("  on the shown window, without text: %8.1f us per paint\n", MicrosecondsPerRepaint(bar, rounds));
  bar.SetText("Talvenor");
  std::printf("  on the shown window, with text:    %8.1f us per paint\n", MicrosecondsPerRepaint(bar, rounds));
  return 0;
}
