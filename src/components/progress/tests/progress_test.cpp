#include "Progress.h"
#include "progress_bar.h"

#include "application.h"
#include "form.h"
#include "driver.h"
#include "handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

using namespace forms;

namespace {

const FormDesign kDesign{"TFormProgressTest",     "FormP", "Progress", 450,      150, BorderStyle::None,
                         Placement::ScreenCenter, true,    false,      kBtnFace, -11, false};

class ProgressForm : public Form {
 public:
  ProgressForm() : Form(kDesign) {
    Build({
        {Kind::Custom, "Progress1", "", 11, 62, 402, 21, "", 0, -1, 0, "", nullptr, 0},
        {Kind::Custom, "Progress2", "", 0, 0, 0, 0, "Text", 0, -1, 0, "", nullptr, 0},
    });
  }
  TProgress& Bar() const { return Get<TProgress>("Progress1"); }

 protected:
  std::unique_ptr<Component> CreateCustom(const ComponentDesign& d, Container* parent) override {
    return CreateProgress(this, d, parent);
  }
};

// A 32-bit top-down bitmap in a memory device context, with its pixels readable.
class Capture {
 public:
  Capture(int width, int height) : width_(width), dc_(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    old_ = ::SelectObject(dc_.get(), bitmap_.get());
  }
  Capture(Capture&&) = default;
  ~Capture() {
    if (dc_) ::SelectObject(dc_.get(), old_);
  }
  HDC Dc() const { return dc_.get(); }
  // The colour (COLORREF order) at x, y.
  COLORREF At(int x, int y) const {
    ::GdiFlush();
    return progress::ColorFromPixel(static_cast<const uint32_t*>(bits_)[y * width_ + x] & 0xFFFFFF);
  }
  void Fill(COLORREF color) {
    platform::UniqueBrush brush(::CreateSolidBrush(color));
    RECT all{0, 0, width_, 10000};
    ::FillRect(dc_.get(), &all, brush.get());
  }

 private:
  int width_;
  platform::UniqueMemoryDc dc_;
  platform::UniqueBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

// Paints the bar into a fresh bitmap of its size.
Capture PaintOf(TProgress& bar) {
  Capture capture(bar.Width(), bar.Height());
  capture.Fill(RGB(1, 2, 3));
  bar.Paint(capture.Dc(), RECT{0, 0, bar.Width(), bar.Height()});
  return capture;
}

// What the parent window shows at the bar's place.
Capture ScreenOf(TProgress& bar) {
  Capture capture(bar.Width(), bar.Height());
  platform::WindowDc dc(bar.Parent()->Handle());
  ::BitBlt(capture.Dc(), 0, 0, bar.Width(), bar.Height(), dc.get(), bar.Left(), bar.Top(), SRCCOPY);
  return capture;
}

// Scribbles over the bar's place on the parent window, so a later paint shows.
void Scribble(TProgress& bar, COLORREF color) {
  platform::WindowDc dc(bar.Parent()->Handle());
  platform::UniqueBrush brush(::CreateSolidBrush(color));
  ::FillRect(dc.get(), &bar.Bounds(), brush.get());
  ::ValidateRect(bar.Parent()->Handle(), nullptr);
}

void PumpMessages() {
  for (int i = 0; i < 5; ++i) {
    Application::Instance().ProcessMessages();
    ::Sleep(10);
  }
}

}  // namespace

TEST(Progress, NewControlAndDesignRow) {
  ProgressForm form;
  auto& fresh = form.Get<TProgress>("Progress2");
  EXPECT_EQ(fresh.Width(), 217);
  EXPECT_EQ(fresh.Height(), 40);
  EXPECT_EQ(fresh.Text(), "Text");
  EXPECT_EQ(fresh.BackColor(), 0xFFFFFFu);
  EXPECT_EQ(fresh.BorderColor(), 0u);
  EXPECT_EQ(fresh.FromColor(), 0x00FF00u);
  EXPECT_EQ(fresh.ToColor(), 0x0000FFu);
  EXPECT_EQ(fresh.Progress(), 0);
  EXPECT_EQ(form.Bar().Width(), 402);
  EXPECT_EQ(form.Bar().Height(), 21);
}

TEST(Progress, PaintsBorderBackgroundAndGradient) {
  ProgressForm form;
  TProgress& bar = form.Bar();
  bar.SetFromColor(kNavy);
  bar.SetToColor(0xFF0000);
  bar.SetProgress(50);
  const Capture half = PaintOf(bar);
  EXPECT_EQ(half.At(0, 0), 0u);
  EXPECT_EQ(half.At(401, 20), 0u);
  EXPECT_EQ(half.At(1, 10), RGB(0, 0, 128));   // nearest(1/400 x 255 + 399/400 x 128) = 128
  EXPECT_EQ(half.At(200, 1), RGB(0, 0, 192));  // the worked value
  EXPECT_EQ(half.At(200, 19), RGB(0, 0, 192));
  EXPECT_EQ(half.At(201, 10), 0xFFFFFFu);
  EXPECT_EQ(half.At(200, 20), 0u);  // bottom border row
  bar.SetProgress(100);
  const Capture full = PaintOf(bar);
  EXPECT_EQ(full.At(400, 10), 0xFF0000u);       // the rightmost inner column is exactly ToColor
  EXPECT_EQ(full.At(200, 10), RGB(0, 0, 192));  // a column keeps its colour at any progress
  // System colours are resolved.
  bar.SetBackColor(kBtnFace);
  bar.SetBorderColor(kBtnFace);
  bar.SetProgress(0);
  const Capture empty = PaintOf(bar);
  EXPECT_EQ(empty.At(0, 0), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(empty.At(300, 10), ::GetSysColor(COLOR_BTNFACE));
}

TEST(Progress, NegativeValuesAreStoredAndTinyBarsHaveNoGradient) {
  ProgressForm form;
  TProgress& bar = form.Bar();
  bar.SetProgress(-5);
  EXPECT_EQ(bar.Progress(), -5);
  EXPECT_EQ(PaintOf(bar).At(1, 10), 0xFFFFFFu);
  bar.SetBorderColor(RGB(9, 9, 9));
  bar.SetBounds(11, 62, 2, 21);
  bar.SetProgress(100);
  const Capture tiny = PaintOf(bar);
  for (int x = 0; x < 2; ++x)
    for (int y = 0; y < 21; ++y) EXPECT_EQ(tiny.At(x, y), RGB(9, 9, 9));
}

TEST(Progress, TextIsInvertedOnlyStrictlyBetweenItsLeftEdgeAndTheLastFilledColumn) {
  ProgressForm form;
  TProgress& bar = form.Get<TProgress>("Progress2");
  TProgressFont font;
  font.name = "Tahoma";
  font.height = -20;
  font.bold = true;
  font.underline = true;  // the underline covers every column of the text
  font.color = RGB(0xC0, 0, 0);
  bar.SetTextFont(font);
  bar.SetText("MMMMMMM");
  bar.SetFromColor(kNavy);
  bar.SetToColor(0xFF0000);

  // The text's left edge as the control measures it.
  platform::UniqueMemoryDc measure(::CreateCompatibleDC(nullptr));
  platform::UniqueFont hfont(::CreateFontA(-20, 0, 0, 0, FW_BOLD, FALSE, TRUE, FALSE, DEFAULT_CHARSET,
                                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                           DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
  platform::SelectGuard select(measure.get(), hfont.get());
  SIZE extent{};
  ::GetTextExtentPoint32A(measure.get(), "MMMMMMM", 7, &extent);
  const int textLeft = 217 / 2 - extent.cx / 2;
  ASSERT_GT(extent.cx, 60);
  ASSERT_LT(extent.cx, 200);

  // At 0 every text pixel has the text colour: that gives the glyph mask.
  const Capture plain = PaintOf(bar);
  std::vector<bool> glyph(217 * 40);
  int leftmost = 217;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 217; ++x)
      if (plain.At(x, y) == font.color) {
        glyph[y * 217 + x] = true;
        leftmost = std::min(leftmost, x);
      }
  ASSERT_EQ(leftmost, textLeft);

  const COLORREF inverse = progress::InverseColor(font.color);
  for (int percent : {30, 50, 100}) {
    bar.SetProgress(percent);
    const int n = progress::FilledColumns(percent, 217);
    ASSERT_GT(n, textLeft);  // the text begins before the last filled column
    const Capture shot = PaintOf(bar);
    int inverted = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 217; ++x) {
        if (!glyph[y * 217 + x]) {
          ASSERT_NE(shot.At(x, y), font.color) << x << "," << y;
          continue;
        }
        const bool inside = textLeft < x && x < n;
        ASSERT_EQ(shot.At(x, y), inside ? inverse : font.color) << percent << ": " << x << "," << y;
        inverted += inside;
      }
    EXPECT_GT(inverted, 0) << percent;
    // Column n and the text's own left column keep the text colour.
    bool columnNHasText = false, leftHasText = false;
    for (int y = 0; y < 40; ++y) {
      if (glyph[y * 217 + n]) columnNHasText = shot.At(n, y) == font.color;
      if (glyph[y * 217 + textLeft]) leftHasText = shot.At(textLeft, y) == font.color;
    }
    EXPECT_TRUE(leftHasText);
    if (n < textLeft + extent.cx) {
      EXPECT_TRUE(columnNHasText) << percent;
    }
  }
}

TEST(Progress, TextInTheDefaultFontAndWhiteText) {
  ProgressForm form;
  TProgress& bar = form.Get<TProgress>("Progress2");  // text "Text", window-text colour
  const COLORREF windowText = ::GetSysColor(COLOR_WINDOWTEXT);
  ASSERT_NE(windowText, 0xFFFFFFu);
  int textPixels = 0;
  {
    const Capture shot = PaintOf(bar);
    for (int y = 1; y < 39; ++y)
      for (int x = 1; x < 216; ++x) textPixels += shot.At(x, y) == windowText;
  }
  EXPECT_GT(textPixels, 10);
  // White text: the layer's background does not count as text.
  TProgressFont white;
  white.color = 0xFFFFFF;
  bar.SetTextFont(white);
  bar.SetBackColor(RGB(100, 100, 100));
  const Capture shot = PaintOf(bar);
  int whitePixels = 0;
  for (int y = 1; y < 39; ++y)
    for (int x = 1; x < 216; ++x) whitePixels += shot.At(x, y) == 0xFFFFFFu;
  EXPECT_GT(whitePixels, 10);
  EXPECT_LT(whitePixels, 215 * 38 / 5);
}

TEST(Progress, SettersPaintAtOnceOrLaterAndIgnoreValuesAbove100) {
  ProgressForm form;
  form.Show();
  PumpMessages();
  TProgress& bar = form.Bar();
  bar.SetProgress(10);
  PumpMessages();
  const COLORREF scribble = RGB(7, 8, 9);

  Scribble(bar, scribble);
  bar.SetProgress(101);
  bar.SetProgress(10);  // equal: ignored as well
  EXPECT_EQ(bar.Progress(), 10);
  EXPECT_EQ(ScreenOf(bar).At(5, 5), scribble);

  bar.SetProgress(50);  // painted before any message is handled
  {
    const Capture shot = ScreenOf(bar);
    EXPECT_EQ(shot.At(0, 0), 0u);
    EXPECT_EQ(shot.At(200, 10), progress::ColumnColor(200, 400, 0x00FF00, 0x0000FF));
    EXPECT_EQ(shot.At(201, 10), 0xFFFFFFu);
  }

  Scribble(bar, scribble);
  bar.SetText(bar.Text());  // unchanged text paints all the same
  EXPECT_EQ(ScreenOf(bar).At(5, 5), progress::ColumnColor(5, 400, 0x00FF00, 0x0000FF));

  Scribble(bar, scribble);
  bar.SetFromColor(kNavy);
  bar.SetToColor(0xFF0000);
  EXPECT_EQ(ScreenOf(bar).At(5, 5), scribble);  // colours wait for the next paint message
  PumpMessages();
  EXPECT_EQ(ScreenOf(bar).At(200, 10), RGB(0, 0, 192));
  form.Hide();
}

// The copy window's bar (navy to blue) with a text at 0, 50 and 100; the screenshot script
// keeps a picture of each.
TEST(Progress, CopyWindowBarWithTextAtZeroHalfAndFull) {
  ProgressForm form;
  form.Show();
  PumpMessages();
  TProgress& bar = form.Bar();
  bar.SetBackColor(kBtnFace);
  bar.SetBorderColor(kBtnFace);
  bar.SetFromColor(kNavy);
  bar.SetToColor(0xFF0000);
  PumpMessages();
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  for (int percent : {0, 50, 100}) {
    bar.SetProgress(percent);
    bar.SetText(std::to_string(percent) + " %");
    const Capture shot = ScreenOf(bar);
    EXPECT_EQ(shot.At(0, 0), face) << percent;
    const COLORREF firstColumn = shot.At(1, 2), lastColumn = shot.At(400, 2);
    EXPECT_EQ(firstColumn, percent == 0 ? face : RGB(0, 0, 128)) << percent;
    EXPECT_EQ(lastColumn, percent == 100 ? RGB(0, 0, 255) : face) << percent;
    e2e::SaveScreenShotIfAsked("progress-" + std::to_string(percent));
  }
  form.Hide();
}
