// The background screen: maximised, navy with a vertical blue gradient, owner of CloseAllowed.
// It sets the session's SourceDir when it is shown. 100 ms after it is shown it opens the wizard modally.
#pragma once

#include "form.h"

class TForm1 : public forms::Form {
 public:
  TForm1();

  // The window refuses to close while this is false.
  bool CloseAllowed = false;

  // The way out of setup: allows the close and closes the main form, which ends the program.
  void EndSetup();

  forms::Image& Image1() const { return Get<forms::Image>("Image1"); }

 protected:
  void FormShow() override;
  void FormPaint(HDC dc) override;
  bool FormCloseQuery() override { return CloseAllowed; }

 private:
  void Timer1Timer();
  void LoadPicture(forms::Image& image, const std::string& path);
};

extern TForm1* Form1;
