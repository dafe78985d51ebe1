// Target-folder dialog. Its path edit Edit1 holds the installation's target folder for the
// whole program: the wizard writes the default into it and reads it as the target.
#pragma once

#include "form.h"

class TForm4 : public forms::Form {
 public:
  TForm4();

  forms::Edit& Edit1() const { return Get<forms::Edit>("Edit1"); }

  // Event handlers, named after control and event.
  void dirlChange();
  void dirlClick();
  void Button1Click();  // "&Ok"
  void Button2Click();  // "&Abbruch"

 protected:
  void FormShow() override;

 private:
  void RebuildPath();
  forms::DirectoryListBox& dirl() const { return Get<forms::DirectoryListBox>("dirl"); }
};

extern TForm4* Form4;
