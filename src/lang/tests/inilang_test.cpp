#include "AlignedStringGrid.h"
#include "IniLang.h"

#include "error.h"
#include "files.h"
#include "form.h"
#include "handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

using namespace forms;

namespace {

FormDesign DesignOf(const char* className, const char* name) {
  return FormDesign{className, name,  "Entwurf", 400, 300,  BorderStyle::Dialog, Placement::ScreenCenter,
                    false,     false, kBtnFace,  -11, false};
}

// A form with one component of each kind that a language can reach.
class LangForm : public Form {
 public:
  explicit LangForm(const char* name = "FormL") : Form(DesignOf("TFormLangTest", name)) {
    Build({
        {Kind::Label, "Label1", "", 8, 8, 100, 13, "Hallo", 0, -1, 0, "", nullptr, 0},
        {Kind::Notebook, "Notebook1", "", 0, 30, 400, 200, "", 0, -1, 0, "", nullptr, 0},
        {Kind::Page, "Welcome", "Notebook1", 0, 0, 0, 0, "Welcome", 0, -1, 0, "", nullptr, 0},
        {Kind::Button, "Button1", "Welcome", 8, 8, 75, 24, "&Weiter", 0, 0, 0, "weiter", nullptr, 0},
        {Kind::Page, "Dir", "Notebook1", 0, 0, 0, 0, "Dir", 0, -1, 0, "", nullptr, 0},
        {Kind::Edit, "Edit1", "Dir", 8, 8, 100, 21, "C:\\", 0, 0, 0, "", nullptr, 0},
        {Kind::Memo, "memo1", "", 8, 100, 100, 50, "eins\nzwei\ndrei", kReadOnly, -1, 0, "", nullptr, 0},
        {Kind::ComboBox, "sprachwahl", "", 120, 100, 100, 21, "deutsch\nenglisch", 0, -1, 0, "", nullptr, 0},
        {Kind::DriveComboBox, "Drives", "", 120, 130, 100, 21, "", 0, -1, 0, "", nullptr, 0},
        {Kind::Custom, "Grid", "", 230, 100, 160, 90, "a\tb\tc\nd\te", 0, -1, 0, "", nullptr, 0},
        {Kind::Label, "B\xFCrste", "", 8, 250, 100, 13, "klein", 0, -1, 0, "", nullptr, 0},
        {Kind::Timer, "Timer1", "", 0, 0, 0, 0, "", kDisabled, -1, 0, "", nullptr, 100},
    });
  }

  using Form::Caption;
  std::string Caption(const char* name) const { return FindComponent(name)->TextProp("Caption"); }
  std::string Hint(const char* name) const { return FindComponent(name)->TextProp("Hint"); }
  TextList& Memo() const { return *FindComponent("memo1")->Lines(); }
  TextList& Combo() const { return *FindComponent("sprachwahl")->Items(); }
  CellGrid& Grid() const { return *FindComponent("Grid")->Cells(); }

 protected:
  std::unique_ptr<Component> CreateCustom(const ComponentDesign& d, Container* parent) override {
    return CreateAlignedStringGrid(this, d, parent);
  }
};

class IniLangTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = platform::TempFolder() + "talvenor-lang-" + std::to_string(::GetCurrentProcessId()) + "\\";
    platform::ForceDirectories(folder_);
    CurrentLanguage.reset();
  }
  void TearDown() override {
    CurrentLanguage.reset();
    for (const std::string& name : platform::ListFiles(folder_)) ::DeleteFileA((folder_ + name).c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = folder_ + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  LanguagePtr Load(const std::string& text) {
    LanguagePtr language = LoadLangFile(Write("test.lng", text));
    EXPECT_TRUE(language);
    return language;
  }

  static void Apply(LangForm& form, const lang::Language& language) {
    Form* forms[] = {&form};
    ApplyLanguage(forms, 0, language);
  }

  std::string folder_;
};

}  // namespace

TEST_F(IniLangTest, LoadsAnExistingFileAndNothingOtherwise) {
  EXPECT_FALSE(LoadLangFile(folder_ + "missing.lng"));
  EXPECT_FALSE(LoadLangFile(folder_));  // a folder is no file
  const LanguagePtr language = LoadLangFile(Write("english.lng", "[Misc]\r\ninstall_1=Welcome\r\n"));
  ASSERT_TRUE(language);
  EXPECT_EQ(language->ReadString("MISC", "Install_1", ""), "Welcome");
}

TEST_F(IniLangTest, AnExistingFileThatCannotBeOpenedRaises) {
  const std::string path = Write("locked.lng", "[Misc]\r\n");
  platform::UniqueFile lock(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock);
  try {
    LoadLangFile(path);
    ADD_FAILURE() << "no error";
  } catch (const platform::Error& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
}

TEST_F(IniLangTest, AnOversizedFileIsRefused) {
  const std::string path = Write("huge.lng", "[Misc]\r\n");
  {
    platform::UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    LARGE_INTEGER size;
    size.QuadPart = LONGLONG(lang::kMaxLanguageFileSize) + 1;
    ASSERT_TRUE(::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file.get()));
  }
  EXPECT_THROW(LoadLangFile(path), platform::Error);
  // A binary file within the size loads: nothing in it is a section.
  std::string bytes(300000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char((i * 7919) % 251 + 1);
  const LanguagePtr binary = LoadLangFile(Write("binary.lng", bytes));
  ASSERT_TRUE(binary);
}

TEST_F(IniLangTest, CaptionsHintsAndTheirEmptyValues) {
  LangForm form;
  const LanguagePtr l = Load(
      "[FormL]\r\n"
      "FormL.Caption=Welcome\r\n"
      "FormL.Label1.Caption=\r\n"        // empty: unchanged
      "FORML.BUTTON1.CAPTION=&Next\r\n"  // capitals match
      "FormL.Button1.Hint =ignored\r\n"  // a blank before "=" never matches
      "FormL.Button1.Hint=go on\r\n"
      "FormL.Edit1.Caption=no caption\r\n"  // an edit has none
      "FormL.Edit1.Hint=path\r\n"
      "FormL.Timer1.Caption=x\r\n"  // nor has a timer
      "FormL.Timer1.Hint=x\r\n"
      "FormL.B\xDCRSTE.Caption=brush\r\n"  // umlauts compare without case too
      "FormL.Welcome.Caption=Page\r\n");   // pages are not visited
  Apply(form, *l);
  EXPECT_EQ(form.Caption(), "Welcome");
  EXPECT_EQ(form.Caption("Label1"), "Hallo");
  EXPECT_EQ(form.Caption("Button1"), "&Next");
  EXPECT_EQ(form.Hint("Button1"), "go on");
  EXPECT_EQ(form.Get<Edit>("Edit1").Text(), "C:\\");
  EXPECT_EQ(form.Hint("Edit1"), "path");
  EXPECT_FALSE(form.FindComponent("Timer1")->HasTextProp("Hint"));
  EXPECT_EQ(form.Caption("B\xFCrste"), "brush");
  auto& notebook = form.Get<Notebook>("Notebook1");
  EXPECT_EQ(notebook.Pages()[0]->PageName(), "Welcome");
  notebook.SetActivePage("dir");
  notebook.SetActivePage("welcome");
  EXPECT_EQ(notebook.ActivePage(), notebook.Pages()[0]);
}

TEST_F(IniLangTest, LinesOnlyWithinTheCountAndTheNoEntryMarker) {
  LangForm form;
  const LanguagePtr l = Load(
      "[FormL]\nFormL.memo1.lines[0]=fsdef\nFormL.memo1.lines[1]=\n"
      "FormL.memo1.lines[2]=three\nFormL.memo1.lines[3]=four\n");
  Apply(form, *l);
  ASSERT_EQ(form.Memo().Count(), 3);
  EXPECT_EQ(form.Memo().Get(0), "eins");
  EXPECT_EQ(form.Memo().Get(1), "");
  EXPECT_EQ(form.Memo().Get(2), "three");
  // "fsdef" is compared with case: "FSDEF" is a text like any other.
  Apply(form, *Load("[FormL]\nFormL.memo1.lines[0]=FSDEF\n"));
  EXPECT_EQ(form.Memo().Get(0), "FSDEF");
}

TEST_F(IniLangTest, ItemsOfPlainComboBoxesOnly) {
  LangForm form;
  const LanguagePtr l = Load(
      "[FormL]\nFormL.sprachwahl.items[0]=\nFormL.sprachwahl.items[1]=English\n"
      "FormL.sprachwahl.items[2]=more\nFormL.Drives.items[0]=Z\n");
  const int drives = form.Get<DriveComboBox>("Drives").Count();
  Apply(form, *l);
  ASSERT_EQ(form.Combo().Count(), 2);
  EXPECT_EQ(form.Combo().Get(0), "deutsch");
  EXPECT_EQ(form.Combo().Get(1), "English");
  auto& driveBox = form.Get<DriveComboBox>("Drives");
  EXPECT_EQ(driveBox.Count(), drives);
  if (drives > 0) {
    EXPECT_NE(driveBox.Get(0), "Z");
  }
}

TEST_F(IniLangTest, GridHeadingRowAndColumn) {
  LangForm form;
  CellGrid& grid = form.Grid();
  ASSERT_EQ(grid.ColCount(), 5);
  ASSERT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.Cell(1, 0), "b");
  EXPECT_EQ(grid.Cell(1, 1), "e");
  const LanguagePtr l = Load(
      "[FormL]\nFormL.Grid.cells[0,0]=corner\nFormL.Grid.cells[1,0]=Name\nFormL.Grid.cells[2,0]=fsdef\n"
      "FormL.Grid.cells[4,0]=\nFormL.Grid.cells[5,0]=outside\nFormL.Grid.cells[0,1]=Row 1\n"
      "FormL.Grid.cells[1,1]=inner\nFormL.Grid.cells[0,4]=last\n");
  Apply(form, *l);
  EXPECT_EQ(grid.Cell(0, 0), "corner");
  EXPECT_EQ(grid.Cell(1, 0), "Name");
  EXPECT_EQ(grid.Cell(2, 0), "c");
  EXPECT_EQ(grid.Cell(4, 0), "");
  EXPECT_EQ(grid.Cell(0, 1), "Row 1");
  EXPECT_EQ(grid.Cell(1, 1), "e");  // only row 0 and column 0 are read
  EXPECT_EQ(grid.Cell(0, 4), "last");
}

TEST_F(IniLangTest, FormsInOrderEmptyEntriesAndTheLastIndex) {
  LangForm first("FormA"), second("FormB");
  const LanguagePtr l = Load(
      "[FormA]\nFormA.Caption=A\nFormB.Caption=wrong section\n[FormB]\nFormB.Caption=B\n"
      "[formb]\nFormB.Label1.Caption=second section never read\n");
  Form* forms[] = {&first, nullptr, &second};
  ApplyLanguage(forms, 1, *l);
  EXPECT_EQ(first.Caption(), "A");
  EXPECT_EQ(second.Caption(), "Entwurf");
  ApplyLanguage(forms, 2, *l);
  EXPECT_EQ(second.Caption(), "B");
  EXPECT_EQ(second.Caption("Label1"), "Hallo");
}

TEST_F(IniLangTest, ASecondLanguageKeepsTheFirstOnesTextsWhereItHasNone) {
  LangForm form;
  Apply(form, *Load("[FormL]\nFormL.Label1.Caption=Hello\nFormL.Button1.Caption=&Next\n"));
  Apply(form, *Load("[FormL]\nFormL.Button1.Caption=&Suivant\n"));
  EXPECT_EQ(form.Caption("Label1"), "Hello");
  EXPECT_EQ(form.Caption("Button1"), "&Suivant");
}

TEST_F(IniLangTest, LangTextFollowsTheCurrentLanguage) {
  std::string text = "old";
  LangText("Willkommen", "install_1", text);
  EXPECT_EQ(text, "Willkommen");
  CurrentLanguage = Load("[Misc]\ninstall_2=Licence*|*agreement\n");
  LangText("Willkommen", "install_1", text);
  EXPECT_EQ(text, "");
  EXPECT_EQ(LangText("Lizenzbestimmungen", "install_2"), "Licence\r\nagreement");
  // A language file removed in between: nothing is loaded and the defaults come back.
  CurrentLanguage = LoadLangFile(folder_ + "removed.lng");
  EXPECT_EQ(LangText("Willkommen", "install_1"), "Willkommen");
}

TEST_F(IniLangTest, SetTextPropOnlyWhereTheKindHasTheProperty) {
  LangForm form;
  SetTextProp(nullptr, "Caption", "x");
  SetTextProp(form.FindComponent("Label1"), "caption", "Neu");
  EXPECT_EQ(form.Caption("Label1"), "Neu");
  SetTextProp(form.FindComponent("Label1"), "Caption", "");
  EXPECT_EQ(form.Caption("Label1"), "Neu");
  SetTextProp(form.FindComponent("Label1"), "Color", "clRed");
  EXPECT_EQ(form.Caption("Label1"), "Neu");
  SetTextProp(form.FindComponent("Timer1"), "Hint", "x");
  SetTextProp(form.FindComponent("Grid"), "Hint", "Zellen");
  EXPECT_EQ(form.Hint("Grid"), "Zellen");
}
