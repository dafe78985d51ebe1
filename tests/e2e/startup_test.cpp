// Start-up and the background screen, as a user sees them.
#include "driver.h"

#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <vector>

using namespace e2e;

namespace {

// Blue of a gradient row as the background screen paints it on a screen of `height` rows.
int ExpectedBlue(int row, int height) {
  const int step = height / 255 > 0 ? height / 255 : 1;
  int blue = 0;
  for (int y = height; y >= row; --y)
    if (y % step == 0) ++blue;
  return blue > 255 ? 255 : blue;
}

std::string SolidBmp(int w, int h, COLORREF c) {
  std::vector<unsigned char> rgb(size_t(w) * h * 3);
  for (size_t i = 0; i < rgb.size(); i += 3) {
    rgb[i] = GetRValue(c);
    rgb[i + 1] = GetGValue(c);
    rgb[i + 2] = GetBValue(c);
  }
  std::string out;
  stbi_write_bmp_to_func(
      [](void* ctx, void* data, int size) {
        static_cast<std::string*>(ctx)->append(static_cast<char*>(data), size_t(size));
      },
      &out, w, h, 3, rgb.data());
  return out;
}

std::string SolidJpeg(int w, int h, COLORREF c) {
  std::vector<unsigned char> rgb(size_t(w) * h * 3);
  for (size_t i = 0; i < rgb.size(); i += 3) {
    rgb[i] = GetRValue(c);
    rgb[i + 1] = GetGValue(c);
    rgb[i + 2] = GetBValue(c);
  }
  std::string out;
  stbi_write_jpg_to_func(
      [](void* ctx, void* data, int size) {
        static_cast<std::string*>(ctx)->append(static_cast<char*>(data), size_t(size));
      },
      &out, w, h, 3, rgb.data(), 95);
  return out;
}

bool Near(COLORREF a, COLORREF b, int tolerance = 12) {
  return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A pixel of the colour inside a window's rectangle on screen.
bool WindowShows(HWND wnd, COLORREF colour) {
  const RECT r = ScreenRect(wnd);
  ScreenShot shot;
  for (int y = r.top; y < r.bottom; y += 2)
    for (int x = r.left; x < r.right; x += 2)
      if (Near(shot.Pixel(x, y), colour)) return true;
  return false;
}

TEST(Startup, BackgroundIsMaximisedWithTheGradientAndTheWizardFollows) {
  Medium medium;
  Process setup(medium.SetupExe());
  HWND background = setup.WaitWindow("TForm1");
  ASSERT_NE(background, nullptr);
  const DWORD backgroundSeen = ::GetTickCount();
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr) << "the wizard opens after the background screen";
  std::printf("wizard seen %lu ms after the background screen\n", ::GetTickCount() - backgroundSeen);

  EXPECT_TRUE(::IsZoomed(background));
  EXPECT_EQ(Text(background), "Talvenor Setup");
  // A task bar lists the visible windows that have no owner, by their text: the program
  // appears once, under the application title.
  std::vector<std::string> taskBarEntries;
  for (HWND wnd : setup.Windows())
    if (!::GetWindow(wnd, GW_OWNER)) taskBarEntries.push_back(Text(wnd));
  EXPECT_EQ(taskBarEntries, std::vector<std::string>{"Talvenor Installation"});
  EXPECT_EQ(Text(::GetWindow(background, GW_OWNER)), "Talvenor Installation");
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  RECT client;
  ::GetClientRect(background, &client);
  EXPECT_GE(client.right, ::GetSystemMetrics(SM_CXSCREEN) - 8);

  // Rows of a column that no picture and no window covers follow the gradient.
  POINT origin{0, 0};
  ::ClientToScreen(background, &origin);
  const RECT w = ScreenRect(wizard);
  const int x = 500;
  ScreenShot shot;
  int checked = 0;
  for (int row = 0; row < client.bottom; row += 7) {
    const int screenY = origin.y + row;
    if (screenY >= w.top - 2 && screenY <= w.bottom + 2) continue;
    if (row < 130) continue;  // the built-in logo's height
    const COLORREF pixel = shot.Pixel(x, screenY);
    EXPECT_EQ(pixel, RGB(0, 0, ExpectedBlue(row, screenHeight))) << "client row " << row;
    ++checked;
  }
  EXPECT_GT(checked, 30);

  // Without Setup.inf the built-in pictures show: the logo at the top left and the picture at
  // the right edge, both with colours that the blue gradient never has.
  auto hasNonGradientPixel = [&](int left, int top, int right, int bottom) {
    for (int y = origin.y + top; y < origin.y + bottom; y += 3)
      for (int x0 = left; x0 < right; x0 += 3)
        if (GetRValue(shot.Pixel(x0, y)) > 100) return true;
    return false;
  };
  EXPECT_TRUE(hasNonGradientPixel(29, 29, 29 + 327, 29 + 91)) << "logo";
  EXPECT_TRUE(hasNonGradientPixel(client.right - 300, 0, client.right, 585)) << "right-hand picture";
  SaveScreenShotIfAsked("background");
}

TEST(Startup, CloseRequestsOnTheBackgroundAreRefused) {
  Medium medium;
  Process setup(medium.SetupExe());
  HWND background = setup.WaitWindow("TForm1");
  ASSERT_NE(setup.WaitWindow("TForm2"), nullptr);
  PostClose(background);
  ::PostMessageA(background, WM_SYSCOMMAND, SC_CLOSE, 0);
  ::Sleep(700);
  EXPECT_TRUE(setup.Running());
  EXPECT_TRUE(Visible(background));
  EXPECT_FALSE(FindMessageBox(setup).has_value()) << "refused without a message";
}

TEST(Startup, PictureKeysLoadBitmapAndJpegPictures) {
  Medium medium;
  medium.Write("back.bmp", SolidBmp(700, 500, RGB(255, 0, 0)));
  medium.Write("side.jpg", SolidJpeg(40, 40, RGB(0, 255, 0)));
  medium.WriteSetupInf("[Defaults]\r\nfixed=1\r\n[Setup]\r\nBackground=" + medium.Path() +
                       "back.bmp\r\nSetupImage1=" + medium.Path() + "side.jpg\r\n");
  Process setup(medium.SetupExe());
  HWND background = setup.WaitWindow("TForm1");
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  EXPECT_FALSE(FindMessageBox(setup).has_value());
  // The background picture is centred on the background screen: larger than the wizard,
  // it shows around it.
  RECT client;
  ::GetClientRect(background, &client);
  POINT centre{client.right / 2, client.bottom / 2};
  ::ClientToScreen(background, &centre);
  const RECT w = ScreenRect(wizard);
  EXPECT_TRUE(WaitUntil(
      [&] {
        ScreenShot shot;
        return shot.Pixel(centre.x, w.top - 20) == RGB(255, 0, 0) &&
               shot.Pixel(centre.x - 340, centre.y) == RGB(255, 0, 0) &&
               shot.Pixel(centre.x - 360, centre.y) != RGB(255, 0, 0);
      },
      3000));
  EXPECT_TRUE(WaitUntil([&] { return WindowShows(wizard, RGB(0, 255, 0)); }, 3000))
      << "the welcome page's picture comes from SetupImage1";
}

TEST(Startup, AMissingOrDamagedPictureIsReportedAndTheWizardStillOpens) {
  Medium medium;
  medium.Write("broken.jpg", "this is no JPEG picture");
  medium.WriteSetupInf("[Setup]\r\nBackground=" + medium.Path() + "missing.bmp\r\nSetupImage1=" + medium.Path() +
                       "broken.jpg\r\n");
  Process setup(medium.SetupExe());
  auto first = WaitMessageBox(setup);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->caption, "Talvenor Installation");
  EXPECT_NE(first->text.find("missing.bmp"), std::string::npos) << first->text;
  ASSERT_TRUE(Answer(*first, "OK"));
  ASSERT_TRUE(WaitUntil([&] {
    auto box = FindMessageBox(setup);
    return box && box->hwnd != first->hwnd;
  }));
  auto second = FindMessageBox(setup);
  EXPECT_NE(second->text.find("JPEG"), std::string::npos) << second->text;
  ASSERT_TRUE(Answer(*second, "OK"));
  EXPECT_NE(setup.WaitWindow("TForm2"), nullptr);
}

// Every picture key fills its own image, also on the pages the wizard never shows; a bad
// picture among them is reported and leaves the others loaded.
TEST(Startup, EveryPictureKeyFillsItsImageAndABadOneLeavesTheOthers) {
  struct Key {
    const char* key;
    const char* page;  // of the wizard image, empty for the background
    COLORREF colour;
  };
  const Key keys[] = {{"Background", "", RGB(255, 0, 0)},           {"SetupImage1", "Welcome", RGB(0, 255, 0)},
                      {"SetupImage2", "license", RGB(255, 255, 0)}, {"SetupImage3", "Dir", RGB(0, 255, 255)},
                      {"SetupImage4", "Options", RGB(77, 33, 199)}, {"SetupImage5", "ready", RGB(255, 0, 255)},
                      {"SetupImage6", "ende", RGB(128, 255, 0)},    {"SetupImage7", "Infrarot", RGB(255, 128, 0)},
                      {"SetupImage8", "irinsall", RGB(128, 0, 255)}};
  const char* const bad = "SetupImage4";
  Medium medium;
  std::string inf = "[Defaults]\r\nfixed=1\r\n[Setup]\r\n";
  for (const Key& k : keys) {
    const std::string file = medium.Path() + k.key + ".bmp";
    if (std::string(k.key) == bad)
      WriteFile(file, "BM kein Bild");
    else
      WriteFile(file, SolidBmp(std::string(k.key) == "Background" ? 700 : 120, 500, k.colour));
    inf += std::string(k.key) + "=" + file + "\r\n";
  }
  medium.WriteSetupInf(inf);
  Process setup(medium.SetupExe());
  const auto box = WaitMessageBox(setup);
  ASSERT_TRUE(box.has_value()) << "the bad picture is reported";
  EXPECT_NE(box->text.find("SetupImage4.bmp"), std::string::npos) << box->text;
  ASSERT_TRUE(Answer(*box, "OK"));
  ASSERT_NE(setup.WaitWindow("TForm1"), nullptr);
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  EXPECT_FALSE(FindMessageBox(setup).has_value()) << "the only bad picture is reported once";

  const RECT w = ScreenRect(wizard);
  EXPECT_TRUE(
      WaitUntil([&] { return Near(ScreenShot().Pixel((w.left + w.right) / 2, w.top - 20), keys[0].colour); }, 3000))
      << "Background";
  // Each page is brought to the front in turn and its picture looked at in the middle of the
  // image, which fills its frame.
  HWND shown = FindChild(wizard, "TPage", "Welcome");
  for (const Key& k : keys) {
    if (!*k.page) continue;
    SCOPED_TRACE(k.key);
    HWND page = FindChild(wizard, "TPage", k.page);
    ASSERT_NE(page, nullptr);
    ::ShowWindow(shown, SW_HIDE);
    ::ShowWindow(page, SW_SHOW);
    ::RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    shown = page;
    POINT middle{14 + 60, 14 + 118};
    ::ClientToScreen(page, &middle);
    const bool own = WaitUntil([&] { return Near(ScreenShot().Pixel(middle.x, middle.y), k.colour); }, 3000);
    if (std::string(k.key) == bad)
      EXPECT_FALSE(own) << "the built-in picture stays";
    else
      EXPECT_TRUE(own);
  }
}

}  // namespace
