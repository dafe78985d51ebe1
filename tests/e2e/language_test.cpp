// Language files as the wizard applies them: the first page's language replaces the texts of
// every form it names (captions of a dialog shown later, a hint); the language chosen on the
// language page follows, and what it does not name keeps the earlier text.
#include "wizard_steps.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const char* const kHint = "Continue with the chosen language";

// The demo medium's English file with a hint for the language page's "Next" button.
std::string EnglishWithHint() {
  std::string text = ReadFile(SourceFile("medium\\english.lng"));
  const std::string section = "[Form2]\r\n";
  const size_t at = text.find(section);
  if (at == std::string::npos) return text;
  return text.insert(at + section.size(), std::string("Form2.Button16.Hint=") + kHint + "\r\n");
}

// The text of the tool tip shown after the mouse rests on a window; empty when none shows.
std::string HoverTip(const Process& setup, HWND control) {
  const RECT r = ScreenRect(control);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ::SetCursorPos(centre.x - 3, centre.y);
  ::Sleep(50);
  ::SetCursorPos(centre.x, centre.y);
  std::string tip;
  WaitUntil(
      [&] {
        HWND window = setup.FindWindowOfClass("tooltips_class32");
        if (window) tip = Text(window);
        return !tip.empty();
      },
      5000);
  ::SetCursorPos(2, 760);
  setup.WaitHidden("tooltips_class32", 3000);
  return tip;
}

// Shows the cancel confirmation with the wizard's cancel button and reads its texts.
struct Confirmation {
  std::vector<std::string> labels;
  std::vector<std::string> buttons;
};

Confirmation OpenCancelConfirmation(const Process& setup, HWND wizard, const std::string& cancelCaption) {
  Confirmation seen;
  if (!Press(wizard, cancelCaption)) return seen;
  HWND dialog = setup.WaitWindow("TForm3");
  if (!dialog) return seen;
  for (HWND label : Children(dialog, "Static")) seen.labels.push_back(Text(label));
  for (HWND button : Children(dialog, "Button")) seen.buttons.push_back(Text(button));
  PostClose(dialog);
  setup.WaitHidden("TForm3");
  return seen;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  for (const std::string& t : texts)
    if (t == text) return true;
  return false;
}

TEST(Language, TheFirstPageLanguageReplacesDialogTextsAndHintsAndTheChosenOneFollows) {
  Medium medium;
  medium.Write("english.lng", EnglishWithHint());
  medium.Write("german.lng", ReadFile(SourceFile("medium\\german.lng")));
  medium.WriteSetupInf("[Defaults]\r\nSprache=german.lng\r\nfirstpage=english.lng\r\nfixed=0\r\n");
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));

  // English, loaded at start, names the buttons of the language page and of the cancel
  // confirmation, which is shown only later.
  HWND next = FindChild(wizard, "Button", "&Next >", true);
  ASSERT_NE(next, nullptr);
  const Confirmation english = OpenCancelConfirmation(setup, wizard, "Cancel");
  EXPECT_TRUE(Contains(english.labels,
                       "The installation is not complete. If you quit the installation now, the program will "
                       "not be installed."));
  EXPECT_TRUE(Contains(english.buttons, "&Quit"));
  EXPECT_TRUE(Contains(english.buttons, "&Continue"));
  EXPECT_EQ(HoverTip(setup, next), kHint);

  // German, preselected and confirmed, replaces the texts it names.
  EXPECT_EQ(ComboSelection(FindChild(wizard, "ComboBox")), "german");
  ASSERT_TRUE(Press(wizard, "&Next >"));
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  EXPECT_TRUE(WaitCaption(wizard, "Willkommen"));
  EXPECT_NE(FindChild(wizard, "Button", "&Weiter >", true), nullptr);
  const Confirmation german = OpenCancelConfirmation(setup, wizard, "Abbruch");
  EXPECT_TRUE(Contains(german.labels,
                       "Die Installation ist noch nicht vollständig. Wenn Sie die Installation jetzt beenden "
                       "wird das Programm nicht installiert."));
  EXPECT_TRUE(Contains(german.buttons, "&Beenden"));
  EXPECT_TRUE(Contains(german.buttons, "&Fortfahren"));

  // The German file names no hint for the language page's button: the English one stays.
  ASSERT_TRUE(Press(wizard, "< &Zurück"));
  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  next = FindChild(wizard, "Button", "&Weiter >", true);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(HoverTip(setup, next), kHint);
}

TEST(Language, AMissingLanguageFileLeavesTheTextsAndTheCaptionsFallBackToGerman) {
  Medium medium;
  medium.Write("english.lng", ReadFile(SourceFile("medium\\english.lng")));
  medium.Write("dansk.lng", "[Form2]\r\nForm2.Button1.Caption=&Naeste >\r\n");
  medium.WriteSetupInf("[Defaults]\r\nSprache=dansk.lng\r\nfirstpage=english.lng\r\n");
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  EXPECT_EQ(ComboSelection(FindChild(wizard, "ComboBox")), "dansk");
  // Removed after the list was made: choosing it loads nothing.
  ASSERT_TRUE(::DeleteFileA((medium.Path() + "dansk.lng").c_str()));
  ASSERT_TRUE(Press(wizard, "&Next >"));
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  EXPECT_TRUE(WaitCaption(wizard, "Willkommen"));
  EXPECT_NE(FindChild(wizard, "Button", "&Next >", true), nullptr) << "the English texts stay";
  ASSERT_TRUE(Press(wizard, "&Next >"));
  ASSERT_TRUE(WaitPage(wizard, "license"));
  EXPECT_TRUE(WaitCaption(wizard, "Lizenzbestimmungen"));
}

}  // namespace
