// The installation wizard: a notebook of nine named pages of which one is shown at a time.
// The user walks from the language page through welcome, licence and target folder to the
// ready page, whose "&Weiter>" hides the wizard and starts the installation run's timer.
#pragma once

#include "form.h"
#include "install_observer.h"

#include <memory>
#include <string>
#include <vector>

namespace shelllink {
class TShellLinkWriter;
}
class TZipArchive;

class TForm2 : public forms::Form, public install::InstallObserver {
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

  // What the run reports while it works.
  void FileStarted(const std::string& name, int size, int sharePercent) override;
  bool StopRequested() override;
  void RollbackStarted() override;
  void Undone(const std::string& what, bool succeeded) override;

  forms::Notebook& Notebook1() const { return Get<forms::Notebook>("Notebook1"); }
  forms::Label& Label9() const { return Get<forms::Label>("Label9"); }
  TZipArchive& ZipArchive1() const;
  shelllink::TShellLinkWriter& progman2() const;

 protected:
  void FormShow() override;
  bool FormCloseQuery() override;
  std::unique_ptr<forms::Component> CreateCustom(const forms::ComponentDesign& d, forms::Container* parent) override;

 private:
  void StartUp();
  void LoadLicence();
  void ListLanguages();
  void PreselectLanguage(const std::string& languageFile);
  void LoadAndApplyLanguage(const std::string& path);
  void ShowPage(const std::string& name);
  void SetCaptionFromKey(const std::string& germanDefault, const std::string& key);
  void BindHandlers();
  static void ReportUnusableFolder(const std::string& folder);
  void ReturnToPage(const std::string& page, const std::string& germanCaption, const std::string& key);
  // After the installation run.
  void ResetFileList(const std::vector<std::string>& written);
  void ReportFailedMembers(const std::vector<std::string>& failures);
  void ShowFinishPage(bool complete);
  // The journal of an earlier run that never finished, before the wizard starts.
  void RecoverInterruptedRun();
  static void ReportNotUndone(const std::vector<std::string>& notUndone);
  bool resuming_ = false;               // shown again from the run on the folder page: no start-up
  std::vector<std::string> notUndone_;  // of the run being undone
  unsigned long undoShownAt_ = 0;       // tick count when the copy window last named a change
};

extern TForm2* Form2;
