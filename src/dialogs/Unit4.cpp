#include "Unit4.h"

#include "Unit1.h"
#include "Unit2.h"
#include "application.h"
#include "files.h"
#include "folder_label.h"
#include "profile.h"
#include "registry.h"
#include "session.h"
#include "setup_description.h"

using namespace forms;

TForm4* Form4 = nullptr;

namespace {

const FormDesign kDesign{"TForm4",
                         "Form4",
                         "Auswahl des Ziel-Ordners",
                         292,
                         309,
                         BorderStyle::Dialog,
                         Placement::ScreenCenter,
                         true,
                         false,
                         kBtnFace,
                         -11,
                         false};

// The labels size themselves to their texts (the sizes given are those of the designed font).
const std::vector<ComponentDesign> kComponents = {
    {Kind::Label, "Label1", "", 16, 16, 199, 13, "Bitte wählen Sie einen Ziel-Ordner:", kBold | kAutoSize, -1, 0, "",
     nullptr, 0},
    {Kind::Label, "Label2", "", 16, 40, 25, 13, "&Pfad:", kAutoSize, -1, 0, "", nullptr, 0},
    {Kind::Edit, "Edit1", "", 16, 56, 257, 21, "C:\\", 0, 3, 0, "", nullptr, 0},
    {Kind::Label, "Label3", "", 16, 96, 54, 13, "&Verzeichnis", kAutoSize, -1, 0, "", nullptr, 0},
    {Kind::DirectoryListBox, "dirl", "", 16, 112, 169, 137, "", 0, 2, 0, "", nullptr, 0},
    {Kind::Button, "Button1", "", 200, 112, 75, 24, "&Ok", 0, 0, 0, "", nullptr, 0},
    {Kind::Button, "Button2", "", 200, 144, 75, 24, "&Abbruch", 0, 4, 0, "", nullptr, 0},
    {Kind::Label, "Label4", "", 16, 264, 53, 13, "&Laufwerke:", kAutoSize, -1, 0, "", nullptr, 0},
    {Kind::DriveComboBox, "DriveComboBox1", "", 16, 280, 169, 19, "", 0, 1, 0, "", nullptr, 0},
};

}  // namespace

TForm4::TForm4() : Form(kDesign) {
  Build(kComponents);
  Get<DriveComboBox>("DriveComboBox1").SetDirList(&dirl());
  dirl().OnChange = [this] { dirlChange(); };
  dirl().OnClick = [this] { dirlClick(); };
  Get<Button>("Button1").OnClick = [this] { Button1Click(); };
  Get<Button>("Button2").OnClick = [this] { Button2Click(); };
}

void TForm4::FormShow() {
  // Every showing starts again from the Program Files folder.
  std::string programFiles;
  platform::Registry registry(HKEY_LOCAL_MACHINE);
  if (registry.OpenKeyReadOnly(setupreg::kCurrentVersionKey))
    programFiles = registry.ReadString(setupreg::kProgramFilesDir);
  // Switching the folder switches the drive selector along.
  if (!programFiles.empty() && !platform::SameText(programFiles, dirl().Directory())) dirl().SetDirectory(programFiles);
  RebuildPath();
}

// The folder list's current folder followed by the program's folder name from setup.ini;
// whatever was typed into the path edit is replaced.
void TForm4::RebuildPath() {
  const std::string name =
      platform::ProfileFile(install::TheSession().SourceDir + setupinf::kSetupIniName).Read(setupinf::kProgramName);
  Edit1().SetText(wizard::JoinFolderAndName(dirl().Directory(), name));
}

void TForm4::dirlChange() { RebuildPath(); }
void TForm4::dirlClick() { RebuildPath(); }

void TForm4::Button1Click() {
  // Without a path there is nothing to accept: the dialog stays open.
  const std::string path = Edit1().Text();
  if (path.empty()) return;
  Form2->Label9().SetCaption(wizard::ShortenFolderLabel(path));
  Hide();
}

void TForm4::Button2Click() { Hide(); }
