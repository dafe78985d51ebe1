#include "Unit8.h"

#include "Unit1.h"
#include "Unit3.h"
#include "application.h"
#include "files.h"
#include "session.h"
#include "setup_description.h"

using namespace forms;

TForm8* Form8 = nullptr;

namespace {

const FormDesign kDesign{"TForm8",
                         "Form8",
                         "Datenträger einlegen",
                         292,
                         329,
                         BorderStyle::Sizeable,
                         Placement::ScreenCenter,
                         false,
                         false,
                         kBtnFace,
                         -11,
                         true};

const std::vector<ComponentDesign> kComponents = {
    {Kind::Label, "Label1", "", 8, 16, 273, 41,
     "Setup benötigt jetzt die Datei Setup.zip. Bitte geben Sie den Pfad an, unter dem sich die "
     "Datei befindet.",
     kWordWrap, -1, 0, "", nullptr, 0},
    {Kind::DriveComboBox, "DriveComboBox1", "", 8, 80, 257, 19, "", 0, 2, 0, "", nullptr, 0},
    {Kind::DirectoryListBox, "DirectoryListBox1", "", 8, 112, 257, 129, "", 0, 3, 0, "", nullptr, 0},
    {Kind::Button, "Button1", "", 192, 264, 75, 25, "&OK", 0, 0, 0, "", nullptr, 0},
    {Kind::Button, "Button2", "", 104, 264, 75, 25, "&Abbrechen", 0, 1, 0, "", nullptr, 0},
};

constexpr int kDirectoryItemHeight = 16;

}  // namespace

std::string ArchiveFolder(const std::string& folder) { return platform::IncludeTrailingBackslash(folder); }

TForm8::TForm8() : Form(kDesign) {
  Build(kComponents);
  DirectoryListBox1().SetItemHeight(kDirectoryItemHeight);
  Get<DriveComboBox>("DriveComboBox1").SetDirList(&DirectoryListBox1());
  Get<Button>("Button1").OnClick = [this] { Button1Click(); };
  Get<Button>("Button2").OnClick = [this] { Button2Click(); };
}

void TForm8::Button1Click() {
  const std::string folder = ArchiveFolder(DirectoryListBox1().Directory());
  if (!platform::FileExists(folder + setupinf::kArchiveName)) {
    Application::Instance().MessageBox("Datei wurde nicht gefunden!", MB_OK);
    return;
  }
  SetModalResult(mrOk);
  install::TheSession().SourceDir = folder;
}

// The cancel confirmation opens above this modal dialog; "&Fortfahren" there comes back here.
void TForm8::Button2Click() { Form3->Show(); }
