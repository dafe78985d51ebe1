// The installation run: copy of Setup.inf, registry entries, the uninstaller and its link,
// the extraction with the progress window, the installed-file list, and the finish page.
#include "Unit2.h"

#include "IniLang.h"
#include "Progress.h"
#include "ShellLinkWriter.h"
#include "Unit1.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit7.h"
#include "Unit8.h"
#include "ZipArchive.h"
#include "application.h"
#include "files.h"
#include "install_progress.h"
#include "installed_files.h"
#include "profile.h"
#include "registry.h"

#include <algorithm>
#include <cstdint>

using namespace forms;

namespace {
const char kUninstallKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// Failed members named one by one in the report; the rest are counted.
constexpr size_t kFailuresShown = 10;

// The installation's size in KiB as the archive's directory gives it (the sum of the
// members' uncompressed sizes), read by a component of its own before the extraction; -1
// when the archive cannot be listed.
int64_t InstalledSizeInKiB(const std::string& archive) {
  TZipArchive lister(nullptr, "SizeLister");
  lister.Unattended = true;
  lister.SetZipFilename(archive);
  if (lister.ZipFilename().empty()) return -1;
  uint64_t bytes = 0;
  for (const ZipDirEntry& entry : lister.Entries()) bytes += entry.uncompressedSize;
  return int64_t((bytes + 1023) / 1024);
}

// What "Apps & features" shows about the installation besides its name. Publisher and
// version come from the medium and are written only when it sets them.
void WriteUninstallDetails(platform::Registry& uninstall, const platform::ProfileFile& copy,
                           const std::string& target, const std::string& uninstaller) {
  uninstall.WriteString("DisplayIcon", uninstaller);
  uninstall.WriteString("InstallLocation", target);
  const int64_t size = InstalledSizeInKiB(Form1->SourceDir + "setup.zip");
  if (size >= 0) uninstall.WriteInteger("EstimatedSize", int32_t(std::min<int64_t>(size, INT32_MAX)));
  uninstall.WriteInteger("NoModify", 1);
  uninstall.WriteInteger("NoRepair", 1);
  for (const char* name : {"Publisher", "DisplayVersion"}) {
    const std::string value = copy.ReadString("UnInstall", name, "");
    if (!value.empty()) uninstall.WriteString(name, value);
  }
}

}  // namespace

void TForm2::Timer1Timer() {
  Get<Timer>("Timer1").SetEnabled(false);
  Edit& targetEdit = Form4->Edit1();
  // The folder may have gone since the folder page: nothing is written until it is usable.
  if (!TargetFolderUsable(targetEdit.Text())) {
    Form5->Hide();
    Form7->Hide();
    ReportUnusableFolder(targetEdit.Text());
    ReturnToFolderPage();
    return;
  }
  ZipArchive1().ExtrBaseDir = targetEdit.Text();
  targetEdit.SetText(platform::IncludeTrailingBackslash(targetEdit.Text()));
  const std::string target = targetEdit.Text();

  const std::string copyPath = target + "Setup.inf";
  ::CopyFileA((Form1->SourceDir + "Setup.inf").c_str(), copyPath.c_str(), FALSE);
  ::SetFileAttributesA(copyPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  const platform::ProfileFile copy(copyPath);

  WriteProgramEntries(copy, target);

  ZipArchive1().SetZipFilename(Form1->SourceDir + "setup.zip");
  // A multi-part set is joined first; the join reports its own progress, which ends with a
  // batch end before the library reports the files it extracts.
  joining_ = ZipArchive1().EndDiskNumber() != 0;
  extraction_ = wizard::ExtractionRecord();
  ZipArchive1().Extract();
  extraction_.Reconcile(ZipArchive1().SuccessCount(),
                        [&](const std::string& name) { return platform::FileExists(target + name); });
  ForgetUnwrittenFiles();

  WriteInstalledFiles(copy, target);
  // "Beenden" in the cancel confirmation ended the program during the extraction.
  if (Application::Instance().Terminated()) return;
  ::Sleep(500);
  platform::SetCurrentFolder(Form1->SourceDir);
  const bool complete = ReportFailedMembers();
  ShowFinishPage(complete);
}

// Program entry, uninstall entry, the uninstaller in the Windows folder and its link.
void TForm2::WriteProgramEntries(const platform::ProfileFile& copy, const std::string& target) {
  platform::Registry program(HKEY_LOCAL_MACHINE);
  program.OpenKey(copy.ReadString("Program", "ProgramEntry", "Talvenor"));
  program.WriteString("Programmpfad", target);
  program.WriteBool("sleepmode", false);
  program.WriteBool("fixed", FixedLanguage);
  program.WriteString("Sprache", LanguageFile);

  platform::Registry uninstall(HKEY_LOCAL_MACHINE);
  uninstall.OpenKey(kUninstallKey + copy.ReadString("Uninstall", "UnInstallEntry", "Talvenor"));
  uninstall.WriteString("DisplayName", copy.ReadString("UnInstall", "DisPlayName", "Talvenor"));

  auto& links = progman2();
  links.CreateIn.ShellFolder = shelllink::sfProgramsMenu;
  links.CreateIn.SetSubfolder("\\" + copy.ReadString("Group", "Groupname", ""));

  // The uninstaller comes from the setup program's own folder, not from SourceDir.
  const std::string uninstaller = copy.ReadString("UnInstall", "UninstallString", "UnInstall.exe");
  const std::string installed = platform::WindowsFolder() + "\\" + uninstaller;
  ::CopyFileA((platform::ExeFolder() + uninstaller).c_str(), installed.c_str(), FALSE);

  const std::string setupInfArgument = "\"" + target + "Setup.inf\"";
  links.LinkName = "UnInstall";
  links.LinkTarget = installed;
  links.ParamString = setupInfArgument;
  links.CreateLink(false);

  uninstall.WriteString("UnInstallstring", "\"" + installed + "\" " + setupInfArgument);
  WriteUninstallDetails(uninstall, copy, target, installed);
}

// The list of the installation's files, written whole into the copy: the copy is written once,
// and is never seen half-written from outside.
void TForm2::WriteInstalledFiles(const platform::ProfileFile& copy, const std::string& target) {
  ListBox& files = Get<ListBox>("ListBox1");
  std::vector<std::string> lines;
  lines.reserve(size_t(files.Count()));
  for (int i = 0; i < files.Count(); ++i) lines.push_back(files.Item(i));
  copy.WriteSection("InstalledFiles", wizard::InstalledFilesSection(copy.ReadSection("InstalledFiles"), lines,
                                                                    target + "Setup.inf"));
}

// The file list names only what is on disk: members that failed or were interrupted leave it.
void TForm2::ForgetUnwrittenFiles() {
  ListBox& files = Get<ListBox>("ListBox1");
  const auto& members = extraction_.Members();
  const int first = files.Count() - int(members.size());
  for (size_t i = members.size(); i-- > 0;)
    if (!members[i].written) files.Delete(first + int(i));
}

// One box for everything that was not installed; false when that is anything.
bool TForm2::ReportFailedMembers() {
  std::vector<std::string> failures = extraction_.Failures();
  if (failures.empty() && extraction_.WrittenCount() > 0) return true;
  // Nothing extracted and no member named: the archive itself is what was not installed.
  if (failures.empty()) failures.push_back(Form1->SourceDir + "setup.zip");
  Application::Instance().MessageBox(
      wizard::FailureReport(failures,
                            LangText("Folgende Dateien konnten nicht installiert werden:", "install_failed"),
                            LangText("... und %d weitere", "install_failed_more"), kFailuresShown),
      MB_OK | MB_ICONWARNING);
  return false;
}

void TForm2::ShowFinishPage(bool complete) {
  Form5->Hide();
  Form7->Hide();
  Form8->Hide();
  if (!complete)
    Get<Label>("Label16").SetCaption(LangText("Die Installation ist unvollständig.", "install_incomplete"));
  ShowPage("ende");
  SetCaptionFromKey("Installation beendet", "install_12");
  Tag = 2;
  Show();
}

void TForm2::ZipArchive1Progress(Component*, ProgressType ProgrType, const std::string& Filename,
                                 int FileSize) {
  if (joining_) {
    joining_ = ProgrType != ptBatchEnd;
    return;
  }
  if (ProgrType != ptFileStart) return;
  Label& label2 = Form5->Get<Label>("Label2");
  label2.SetCaption(Form4->Edit1().Text() + Filename);
  TProgress& bar = Form5->Progress1();
  bar.SetProgress(bar.Progress() + wizard::FileShareInPercent(FileSize, ZipArchive1().TotalSize()));
  Get<ListBox>("ListBox1").Add(label2.Caption());
  extraction_.MemberStarted(Filename);
}

void TForm2::ZipArchive1Message(Component*, int ErrCode, const std::string& Message) {
  extraction_.Message(ErrCode, Message);
}
