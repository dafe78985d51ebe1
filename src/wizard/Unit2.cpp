#include "Unit2.h"

#include "IniLang.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Unit7.h"
#include "Unit8.h"
#include "application.h"
#include "error.h"
#include "files.h"
#include "profile.h"
#include "registry.h"
#include "ShellLinkWriter.h"
#include "ZipArchive.h"
#include "install_log.h"
#include "installation_run.h"
#include "links.h"
#include "observer_pair.h"
#include "setup_description.h"
#include "value_rules.h"
#include "wizard_rules.h"

using namespace forms;

TForm2* Form2 = nullptr;

namespace {

const FormDesign kDesign{"TForm2", "Form2", "Willkommen", 472, 329,  BorderStyle::Single, Placement::ScreenCenter,
                         true,     false,   kBtnFace,     -11, false};

// The classic wizard layout: the page picture in a frame at the left, the texts right of it,
// a line above the buttons at the bottom right.
constexpr int kTextLeft = 148, kTextWidth = 312;
constexpr int kButtonTop = 282, kButtonWidth = 75, kButtonHeight = 25;
constexpr int kBackLeft = 217, kNextLeft = 292, kCancelLeft = 385;

// Rows that every page repeats.
ComponentDesign Frame(const char* name, const char* page) {
  return {Kind::Bevel, name, page, 12, 12, 124, 240, "", 0, -1, 0, "", nullptr, 0};
}
ComponentDesign Picture(const char* name, const char* page, const char* resource) {
  return {Kind::Image, name, page, 14, 14, 120, 236, "", kStretch, -1, 0, "", resource, 0};
}
ComponentDesign Line(const char* name, const char* page) {
  return {Kind::Bevel, name, page, 12, 268, 448, 2, "", kBevelTopLine, -1, 0, "", nullptr, 0};
}
ComponentDesign PageButton(const char* name, const char* page, int left, const char* text) {
  return {Kind::Button, name, page, left, kButtonTop, kButtonWidth, kButtonHeight, text, 0, -1, 0, "", nullptr, 0};
}
ComponentDesign Text(const char* name, const char* page, int left, int top, int width, int height, const char* text,
                     uint32_t flags) {
  return {Kind::Label, name, page, left, top, width, height, text, flags, -1, 0, "", nullptr, 0};
}
ComponentDesign NamedPage(const char* name) {
  return {Kind::Page, name, "Notebook1", 0, 0, 472, 329, name, 0, -1, 0, "", nullptr, 0};
}

// Pages in their stored order; on each page the forward button comes first, so that it is the
// control that gets the focus when the page is shown (the language page: its list first).
const std::vector<ComponentDesign> kComponents = {
    {Kind::Notebook, "Notebook1", "", 0, 0, 472, 329, "", kAlignClient, -1, 0, "", nullptr, 0},
    NamedPage("Welcome"),
    NamedPage("license"),
    NamedPage("Dir"),
    NamedPage("Options"),
    NamedPage("ready"),
    NamedPage("Infrarot"),
    NamedPage("ende"),
    NamedPage("irinsall"),
    NamedPage("Sprachwahl"),

    // "Welcome"
    Frame("Bevel1", "Welcome"),
    Picture("Image1", "Welcome", "PAGE1"),
    {Kind::Image, "Image2", "Welcome", kTextLeft, 14, 32, 32, "", kAutoSize | kTransparent, -1, 0, "", "ICONWELCOME",
     0},
    Text("Label1", "Welcome", 188, 14, 272, 42,
         "Willkommen zum Talvenor Installationsprogramm. Dieses Programm installiert Talvenor auf Ihren Computer.",
         kWordWrap | kBold),
    Text("Label2", "Welcome", kTextLeft, 72, kTextWidth, 42,
         "Es wird empfohlen, daß Sie alle anderen Programme beenden, bevor Sie dieses Installtionsprogramm starten.",
         kWordWrap),
    Text("Label3", "Welcome", kTextLeft, 122, kTextWidth, 42,
         "Drücken Sie Abbrechen, um das Installationsprogramm zu beenden. Um fortzufahren drücken Sie Weiter.",
         kWordWrap),
    Text("Label4", "Welcome", kTextLeft, 172, kTextWidth, 16, "", 0),
    Text("Label5", "Welcome", kTextLeft, 192, kTextWidth, 16, "", 0),
    {Kind::ListBox, "ListBox1", "Welcome", kTextLeft, 212, kTextWidth, 40, "", kHidden, -1, 0, "", nullptr, 0},
    Line("Bevel2", "Welcome"),
    PageButton("Button1", "Welcome", kNextLeft, "&Weiter >"),
    PageButton("Button2", "Welcome", kCancelLeft, "Abbruch"),
    PageButton("Button21", "Welcome", kBackLeft, "< &Zurück"),

    // "license"
    Frame("Bevel3", "license"),
    Picture("Image3", "license", "PAGE3"),
    PageButton("Button4", "license", kNextLeft, "&Akzeptieren>"),
    PageButton("Button3", "license", kCancelLeft, "&Ende"),
    PageButton("Button5", "license", kBackLeft, "< &Zurück"),
    {Kind::Memo, "memo1", "license", kTextLeft, 12, kTextWidth, 240,
     "DIE DATEI Licence.txt FEHLT ODER IST BESCHÄDIGT. \n"
     "FORDERN SIE DIE DATEI BEI IHREM HÄNDLER AN. \n"
     "KLICKEN SIE ERST AUF AKZEPTIEREN, WENN SIE \n"
     "MIT DEN LIZENZBESTIMMUNGEN DIE IN DIESER \n"
     "DATEI STEHEN, EINVERSTADEN SIND!",
     kReadOnly | kVScroll, -1, 0, "", nullptr, 0},
    Line("Bevel4", "license"),

    // "Dir"
    Frame("Bevel5", "Dir"),
    Picture("Image4", "Dir", "PAGE4"),
    Text("Label6", "Dir", kTextLeft, 14, kTextWidth, 28, "Setup installiert Talvenor in den folgenden Ordner.",
         kWordWrap),
    Text("Label7", "Dir", kTextLeft, 50, kTextWidth, 42,
         "Um das Programm in ein anderes Verzeichniss zu installieren, wählen Sie Suchen und wählen Sie einen "
         "anderen Ordner.",
         kWordWrap),
    Text("Label8", "Dir", kTextLeft, 100, kTextWidth, 28,
         "Sie können die Installation abbrechen, indem Sie auf Abbruch klicken.", kWordWrap),
    {Kind::GroupBox, "GroupBox1", "Dir", kTextLeft, 172, kTextWidth, 52, "Zielordner", 0, -1, 0, "", nullptr, 0},
    Text("Label9", "GroupBox1", 12, 24, 288, 16, "C:\\Programme\\Talvenor S1.8\\", 0),
    PageButton("Button7", "Dir", kNextLeft, "&Weiter>"),
    PageButton("Button8", "Dir", kCancelLeft, "Abbrechen"),
    PageButton("Button6", "Dir", kBackLeft, "< &Zurück"),
    {Kind::Button, "Button9", "Dir", kCancelLeft, 232, kButtonWidth, kButtonHeight, "S&uchen...", 0, -1, 0, "", nullptr,
     0},
    Line("Bevel6", "Dir"),

    // "Options"
    Frame("Bevel7", "Options"),
    Picture("Image5", "Options", "PAGE5"),
    Text("Label10", "Options", kTextLeft, 14, kTextWidth, 16, "Wählen Sie die zu installierenden Komponenten aus:", 0),
    {Kind::CheckBox, "CheckBox1", "Options", kTextLeft, 44, 200, 17, "Programmdateien", kChecked | kDisabled, -1, 0, "",
     nullptr, 0},
    Text("Label11", "Options", 166, 64, 294, 16, "Dies sind die benötigten Programmdateien", 0),
    {Kind::CheckBox, "CheckBox2", "Options", kTextLeft, 92, 200, 17, "Operator Logos", kChecked | kDisabled | kHidden,
     -1, 0, "", nullptr, 0},
    Text("Label12", "Options", 166, 112, 294, 16, "Beispiel-Logos für Ihr Handy", kHidden),
    {Kind::CheckBox, "CheckBox3", "Options", kTextLeft, 140, 200, 17, "MIDI-Ruftöne", kChecked | kDisabled | kHidden,
     -1, 0, "", nullptr, 0},
    Text("Label13", "Options", 166, 160, 294, 16, "Beispiel-Ruftöne für Ihr Handy", kHidden),
    Line("Bevel8", "Options"),
    PageButton("Button11", "Options", kNextLeft, "&Weiter>"),
    PageButton("Button12", "Options", kCancelLeft, "Abbrechen"),
    PageButton("Button10", "Options", kBackLeft, "< &Zurück"),

    // "ready"
    Frame("Bevel9", "ready"),
    Picture("Image6", "ready", "PAGE6"),
    Text("Label14", "ready", kTextLeft, 14, kTextWidth, 28, "Setup ist nun bereit Talvenor zu installieren.",
         kWordWrap),
    Line("Bevel10", "ready"),
    PageButton("Button14", "ready", kNextLeft, "&Weiter>"),
    PageButton("Button15", "ready", kCancelLeft, "Abbrechen"),
    PageButton("Button13", "ready", kBackLeft, "< &Zurück"),

    // "Infrarot": the communication choice
    Frame("Bevel15", "Infrarot"),
    Picture("Image8", "Infrarot", "PAGE8"),
    Text("Label23", "Infrarot", kTextLeft, 14, kTextWidth, 16, "Die Programmdateien wurden erfolgreich installiert.",
         kBold),
    Text("Label24", "Infrarot", kTextLeft, 36, kTextWidth, 16, "Als nächstes wird die Kommunikationsart eingestellt.",
         0),
    Text("Label17", "Infrarot", kTextLeft, 62, kTextWidth, 56,
         "Eine Kommunikation ist sowohl über Datenkabel als auch über IrDa möglich. Für den IrDa-Betrieb muss eine "
         "korrekte Installation der Infrarotschnittstelle vorgenommen sein!",
         kWordWrap),
    Text("Label18", "Infrarot", kTextLeft, 126, kTextWidth, 16,
         "Wählen Sie aus, wie Sie die Daten übertragen wollen:", 0),
    {Kind::RadioButton, "choicekabel", "Infrarot", 164, 152, 200, 17, "Datenkabel", kChecked, -1, 0, "", nullptr, 0},
    {Kind::RadioButton, "choiceirda", "Infrarot", 164, 176, 200, 17, "IrDa - Infrarot", 0, -1, 0, "", nullptr, 0},
    Line("Bevel16", "Infrarot"),
    PageButton("Button18", "Infrarot", kNextLeft, "&Weiter>"),
    PageButton("Button19", "Infrarot", kCancelLeft, "Abbrechen"),

    // "ende": the finish
    Frame("Bevel11", "ende"),
    Picture("Image7", "ende", "PAGE7"),
    Text("Label16", "ende", kTextLeft, 14, kTextWidth, 16, "Die Installation wurde erfolgreich abgeschlossen.  ",
         kBold),
    Text("Label15", "ende", kTextLeft, 42, kTextWidth, 42,
         "Sie können Talvenor jederzeit deinstallieren, indem Sie einfach das Deinstallationsprogramm ausführen.",
         kWordWrap),
    Line("Bevel12", "ende"),
    PageButton("Button17", "ende", kCancelLeft, "&Ende"),
    {Kind::CheckBox, "autowatcher", "ende", kTextLeft, 104, kTextWidth, 17,
     "Talvenor mit Windows im Sleep-Modus starten", kChecked, -1, 0,
     "Talvenor wird bei Windows-Start im Sleep-Modus gestartet. Sobald Sie ein Handy anschließen wird Talvenor "
     "aktiviert",
     nullptr, 0},

    // "irinsall": set-up of the infrared support
    Frame("Bevel13", "irinsall"),
    Picture("Image9", "irinsall", "PAGE9"),
    Text("Label19", "irinsall", kTextLeft, 14, kTextWidth, 42,
         "Setup ruft jetzt die Hilfe zur Installation der Infrarot-Unterstützung auf. Drücken Sie Weiter, wenn diese "
         "Installation abgeschlossen ist.",
         kWordWrap),
    Line("Bevel14", "irinsall"),
    PageButton("Button27", "irinsall", kNextLeft, "&Weiter>"),
    PageButton("Button28", "irinsall", kCancelLeft, "Abbrechen"),
    PageButton("Button26", "irinsall", kBackLeft, "< &Zurück"),

    // "Sprachwahl": the language choice; its picture has no frame
    Picture("Image10", "Sprachwahl", "PAGE10"),
    {Kind::Image, "Image11", "Sprachwahl", kTextLeft, 14, 32, 32, "", kAutoSize | kTransparent, -1, 0, "", "ICONLANG",
     0},
    Text("Label21", "Sprachwahl", 188, 14, 272, 32, "Welcome to the Talvenor installation procedure.",
         kWordWrap | kBold),
    Text("Label22", "Sprachwahl", kTextLeft, 64, kTextWidth, 32,
         "Before installing Talvenor on your computer, please choose your language:", kWordWrap),
    Text("Label20", "Sprachwahl", kTextLeft, 112, 100, 16, "Language:", 0),
    {Kind::ComboBox, "sprachwahl", "Sprachwahl", kTextLeft, 130, 180, 21, "", 0, -1, 0, "", nullptr, 0},
    {Kind::FileListBox, "files", "Sprachwahl", kTextLeft, 170, 180, 60, "", kHidden, -1, 0, "", nullptr, 0},
    Line("Bevel17", "Sprachwahl"),
    PageButton("Button16", "Sprachwahl", kNextLeft, "&Weiter >"),
    PageButton("Button20", "Sprachwahl", kCancelLeft, "Abbruch"),

    // Non-visual: the installation run's timer and archive, the link writer of the run and
    // the finish.
    {Kind::Timer, "Timer1", "", 0, 0, 0, 0, "", kDisabled, -1, 0, "", nullptr, 1500},
    {Kind::Custom, "ZipArchive1", "", 0, 0, 0, 0, "", 0, -1, 0, "", nullptr, 0},
    {Kind::Custom, "progman2", "", 0, 0, 0, 0, "", 0, -1, 0, "", nullptr, 0},
};

install::Session& Session() { return install::TheSession(); }

}  // namespace

TForm2::TForm2() : Form(kDesign) {
  // A single border with the system menu only: no minimise box.
  const LONG_PTR style = ::GetWindowLongPtrA(Handle(), GWL_STYLE);
  ::SetWindowLongPtrA(Handle(), GWL_STYLE, style & ~LONG_PTR(WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  Build(kComponents);
  BindHandlers();
}

void TForm2::BindHandlers() {
  const auto bind = [this](const char* button, void (TForm2::*handler)()) {
    Get<Button>(button).OnClick = [this, handler] { (this->*handler)(); };
  };
  bind("Button16", &TForm2::Button16Click);
  bind("Button1", &TForm2::Button1Click);
  bind("Button21", &TForm2::Button5Click);
  bind("Button5", &TForm2::Button5Click);
  bind("Button4", &TForm2::Button4Click);
  bind("Button6", &TForm2::Button6Click);
  bind("Button9", &TForm2::Button9Click);
  bind("Button7", &TForm2::Button7Click);
  bind("Button13", &TForm2::Button13Click);
  bind("Button14", &TForm2::Button14Click);
  bind("Button10", &TForm2::Button10Click);
  bind("Button26", &TForm2::Button10Click);
  bind("Button11", &TForm2::Button11Click);
  bind("Button27", &TForm2::Button11Click);
  bind("Button2", &TForm2::Button2Click);
  bind("Button20", &TForm2::Button2Click);
  bind("Button3", &TForm2::Button3Click);
  for (const char* cancel : {"Button8", "Button12", "Button15", "Button19", "Button28"})
    bind(cancel, &TForm2::Button8Click);
  bind("Button17", &TForm2::Button17Click);
  bind("Button18", &TForm2::Button18Click);
  bind("choicekabel", &TForm2::choicekabelClick);
  bind("choiceirda", &TForm2::choiceirdaClick);
  Get<Timer>("Timer1").OnTimer = [this] { Timer1Timer(); };
}

std::unique_ptr<Component> TForm2::CreateCustom(const ComponentDesign& d, Container* parent) {
  const std::string name = d.name;
  if (name == "ZipArchive1") {
    // Stored configuration: all members, with their folders, overwriting, messages in boxes.
    auto archive = std::make_unique<TZipArchive>(this, name);
    archive->ExtrOptions = ExtrOpts{ExtrDirNames, ExtrOverWrite};
    archive->SetFSpecArgs({"*.*"});
    archive->Unattended = false;
    // The library by its full path beside the setup program: the program's DLL search no
    // longer looks into its own folder.
    archive->SetDLLDirectory(platform::ExeFolder());
    return archive;
  }
  if (name == "progman2") return std::make_unique<shelllink::TShellLinkWriter>(this, name);
  return Form::CreateCustom(d, parent);
}

TZipArchive& TForm2::ZipArchive1() const { return Get<TZipArchive>("ZipArchive1"); }

shelllink::TShellLinkWriter& TForm2::progman2() const { return Get<shelllink::TShellLinkWriter>("progman2"); }

// ---- start-up

void TForm2::FormShow() {
  // Once the installation run has shown the finish page, showing the wizard changes nothing;
  // nor does coming back from the run to the folder page.
  if (Tag == 2) return;
  if (resuming_) {
    resuming_ = false;
    return;
  }
  // Runs as an event handler: an unexpected error is shown and the wizard still opens.
  Application::Instance().Dispatch([this] { StartUp(); });
}

void TForm2::StartUp() {
  SetCaption("Talvenor Installation");
  LoadLicence();
  install::Session& session = Session();
  session.ExeDir = platform::IncludeTrailingBackslash(platform::ExeFolder());
  ListLanguages();
  const platform::ProfileFile inf(session.ExeDir + setupinf::kFileName);
  PreselectLanguage(inf.Read(setupinf::kLanguage));
  const std::string firstPage = inf.Read(setupinf::kFirstPage);
  // A language file that cannot be read is reported; the start-up goes on without it.
  Application::Instance().Dispatch([&] { LoadAndApplyLanguage(session.ExeDir + firstPage); });
  // An earlier run that never finished is undone first, in the language of the first page.
  Application::Instance().Dispatch([this] { RecoverInterruptedRun(); });
  session.LanguageFile = firstPage;
  session.FixedLanguage = inf.Read(setupinf::kFixedLanguage) == setupinf::kFixedOn;
  if (session.FixedLanguage) {
    ShowPage("Welcome");
    Get<Button>("Button21").Hide();
  } else {
    ShowPage("sprachwahl");
  }
}

void TForm2::LoadLicence() {
  // Without a readable Licence.txt the memo keeps its built-in notice.
  try {
    Get<Memo>("memo1").LoadFromFile(Session().SourceDir + setupinf::kLicenceName);
  } catch (const platform::Error&) {
  }
}

void TForm2::ListLanguages() {
  auto& files = Get<FileListBox>("files");
  // Pointing the list at the folder also makes it the current folder.
  files.SetDirectory(Session().ExeDir);
  auto& languages = Get<ComboBox>("sprachwahl");
  languages.Clear();
  std::vector<std::string> names;
  for (int i = 0; i < files.Count(); ++i) names.push_back(files.Item(i));
  for (const std::string& language : wizard::LanguageNames(names)) languages.Add(language);
}

void TForm2::PreselectLanguage(const std::string& languageFile) {
  auto& languages = Get<ComboBox>("sprachwahl");
  const std::string wanted = wizard::WithoutLastFour(languageFile);
  for (int i = 0; i < languages.Count(); ++i) {
    if (platform::SameText(languages.Get(i), wanted)) {
      languages.SetItemIndex(i);
      return;
    }
  }
}

void TForm2::LoadAndApplyLanguage(const std::string& path) {
  CurrentLanguage = LoadLangFile(path);
  if (!CurrentLanguage) return;
  Form* const forms[8] = {Form1, Form2, Form3, Form4, Form5, Form6, Form7, Form8};
  ApplyLanguage(forms, 7, *CurrentLanguage);
}

// ---- navigation

void TForm2::ShowPage(const std::string& name) { Notebook1().SetActivePage(name); }

void TForm2::SetCaptionFromKey(const std::string& germanDefault, const std::string& key) {
  SetCaption(LangText(germanDefault, key));
}

void TForm2::Button16Click() {
  const std::string language = Get<ComboBox>("sprachwahl").Text();
  Session().LanguageFile = language + ".lng";
  LoadAndApplyLanguage(Session().ExeDir + language + ".lng");
  SetCaptionFromKey("Willkommen", "install_1");
  ShowPage("welcome");
}

void TForm2::Button1Click() {
  SetCaptionFromKey("Lizenzbestimmungen", "install_2");
  ShowPage("license");
}

void TForm2::Button5Click() {
  ShowPage("sprachwahl");
  SetCaption("Talvenor Installation");
}

void TForm2::Button4Click() {
  // Every acceptance proposes the default folder again, discarding an earlier choice.
  Label9().SetCaption(install::ProposedTargetFolder(Session()));
  Form4->Edit1().SetText(Label9().Caption());
  ShowPage("Dir");
  SetCaptionFromKey("Verzeichnissauswahl", "install_3");
}

void TForm2::Button6Click() {
  Form4->Hide();
  ShowPage("license");
  SetCaptionFromKey("Lizenzbestimmungen", "install_2");
}

void TForm2::Button9Click() { Form4->Show(); }

void TForm2::Button7Click() {
  const std::string target = Form4->Edit1().Text();
  // A path relative to whatever folder is current, or a folder that could not be created,
  // would put the installation somewhere else: the user chooses again. A relative path is
  // not created at all, so nothing appears beside setup.exe.
  std::vector<std::string> created;
  // Below a junction or symbolic link nothing is created: the folder would lie elsewhere.
  if (setupinf::IsAbsoluteFolderPath(target) && !platform::DirectoryExists(target) &&
      platform::LinkedFolderOnPath(target).empty()) {
    created = platform::MissingFolderLevels(target);
    platform::ForceDirectories(target);
  }
  if (!install::InstallationRun::TargetFolderUsable(target)) {
    ReportUnusableFolder(target);
    return;
  }
  Session().TargetFolder = target;
  // Going back and forth keeps what an earlier visit created.
  for (const std::string& folder : created) Session().CreatedFolders.push_back(folder);
  // The folder is fixed from here on; the dialog would change it in the middle of the run.
  Form4->Hide();
  ShowPage("ready");
  SetCaptionFromKey("Fertig zum Kopieren", "install_4");
}

void TForm2::ReportUnusableFolder(const std::string& folder) {
  Application::Instance().MessageBox(
      LangText("Der Zielordner kann nicht angelegt werden. Bitte wählen Sie einen anderen Ordner.",
               "install_folder_invalid") +
          "\r\n\r\n" + folder,
      MB_OK | MB_ICONWARNING);
}

// From the run back to a page, with the page's caption and the language in force.
void TForm2::ReturnToPage(const std::string& page, const std::string& germanCaption, const std::string& key) {
  ShowPage(page);
  SetCaptionFromKey(germanCaption, key);
  resuming_ = true;
  Show();
}

void TForm2::Button13Click() {
  ShowPage("dir");
  SetCaptionFromKey("Verzeichnissauswahl", "install_3");
}

void TForm2::Button14Click() {
  Session().SourceDir = platform::IncludeTrailingBackslash(platform::ExeFolder());
  // The prompt's outcome is not examined: the run goes on either way.
  if (!platform::FileExists(Session().SourceDir + setupinf::kArchiveName)) Form8->ShowModal();
  Hide();
  Form7->Show();
  Form5->Show();
  Form5->PlaceForRun();
  Form5->Get<Label>("Label1").SetCaption("Extracting files to " + Label9().Caption());
  Get<Timer>("Timer1").SetEnabled(true);
}

void TForm2::Button10Click() { SetCaptionFromKey("Verzeichnissauswahl", "install_3"); }

void TForm2::Button11Click() {}

// ---- cancel and close

void TForm2::Button2Click() { Form3->Show(); }
void TForm2::Button3Click() { Form3->Show(); }
void TForm2::Button8Click() { Form3->Show(); }

bool TForm2::FormCloseQuery() {
  Form3->Show();
  return false;
}

// ---- installation run, communication page and finish

void TForm2::Button17Click() {
  install::ObserverPair observers(*this, install::TheLog());
  install::WriteFinishLinks(Session(), progman2(), observers, Get<CheckControl>("autowatcher").Checked());
  Form1->EndSetup();
}

void TForm2::Button18Click() {
  const std::string entry =
      platform::ProfileFile(Session().TargetFolder + setupinf::kFileName).Read(setupinf::kProgramEntry);
  platform::Registry registry(HKEY_LOCAL_MACHINE);
  registry.OpenKey(entry);
  if (Get<CheckControl>("choiceirda").Checked()) {
    Form1->Show();
    Show();
    SetCaptionFromKey("Installation beendet", "install_12");
    ShowPage("ende");
  } else {
    registry.WriteInteger(setupreg::kCommunication, 0);
    ShowPage("ende");
    SetCaptionFromKey("Installation beendet", "install_12");
  }
}

void TForm2::choicekabelClick() { Get<Button>("Button18").SetEnabled(true); }
void TForm2::choiceirdaClick() { Get<Button>("Button18").SetEnabled(true); }
