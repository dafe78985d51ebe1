// The installation wizard: a notebook of nine named pages of which one is shown at a time.
// The user walks from the language page through welcome, licence and target folder to the
// ready page, whose "&Weiter>" hides the wizard and starts the installation run's timer.
#pragma once

#include "extraction_record.h"
#include "form.h"
#include "zip_types.h"

#include <memory>
#include <string>

namespace platform {
class ProfileFile;
}
namespace shelllink {
class TShellLinkWriter;
}
class TZipArchive;

// Folder of the running setup program, ending in a backslash: where the language files and
// the Setup.inf read at start lie.
extern std::string ExeDir;
// File name of the language in force, such as "german.lng".
extern std::string LanguageFile;
// Setup.inf fixes the language ([Defaults] fixed=1): the wizard starts on the welcome page.
extern bool FixedLanguage;

class TForm2 : public forms::Form {
 public:
  TForm2();

  // Event handlers, named after control and event.
  void Button16Click();  // language page "&Weiter >"
  void Button1Click();   // welcome "&Weiter >"
  void Button5Click();   // welcome and licence "< &Zurück"
  void Button4Click();   // licence "&Akzeptieren>"
  void Button6Click();   // folder page "< &Zurück"
  void Button9Click();   // folder page "S&uchen..."
  void Button7Click();   // folder page "&Weiter>"
  void Button13Click();  // ready "< &Zurück"
  void Button14Click();  // ready "&Weiter>"
  void Button10Click();  // "< &Zurück" of the options and infrared set-up pages
  void Button11Click();  // "&Weiter>" of the options and infrared set-up pages
  void Button2Click();   // "Abbruch" of welcome and language page
  void Button3Click();   // licence "&Ende"
  void Button8Click();   // every "Abbrechen"
  void Button17Click();  // finish "&Ende"
  void Button18Click();  // communication page "&Weiter>"
  void choicekabelClick();
  void choiceirdaClick();
  void Timer1Timer();  // the installation run
  void ZipArchive1Progress(forms::Component* Sender, ProgressType ProgrType, const std::string& Filename,
                           int FileSize);
  void ZipArchive1Message(forms::Component* Sender, int ErrCode, const std::string& Message);

  forms::Notebook& Notebook1() const { return Get<forms::Notebook>("Notebook1"); }
  forms::Label& Label9() const { return Get<forms::Label>("Label9"); }
  TZipArchive& ZipArchive1() const;
  shelllink::TShellLinkWriter& progman2() const;

 protected:
  void FormShow() override;
  bool FormCloseQuery() override;
  std::unique_ptr<forms::Component> CreateCustom(const forms::ComponentDesign& d,
                                                 forms::Container* parent) override;

 private:
  void StartUp();
  void LoadLicence();
  void ListLanguages();
  void PreselectLanguage(const std::string& languageFile);
  void LoadAndApplyLanguage(const std::string& path);
  void ShowPage(const std::string& name);
  void SetCaptionFromKey(const std::string& germanDefault, const std::string& key);
  void PlaceProgressWindow();
  void BindHandlers();
  // The target folder can take the installation: an absolute path of an existing folder.
  static bool TargetFolderUsable(const std::string& folder);
  static void ReportUnusableFolder(const std::string& folder);
  void ReturnToFolderPage();
  // Steps of the installation run.
  void WriteProgramEntries(const platform::ProfileFile& copy, const std::string& target);
  void ForgetUnwrittenFiles();
  void WriteInstalledFiles(const platform::ProfileFile& copy, const std::string& target);
  bool ReportFailedMembers();
  void ShowFinishPage(bool complete);
  bool joining_ = false;  // the parts of a multi-part archive are being joined
  bool resuming_ = false;  // shown again from the run on the folder page: no start-up
  wizard::ExtractionRecord extraction_;
};

extern TForm2* Form2;
