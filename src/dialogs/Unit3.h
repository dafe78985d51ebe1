// Cancel confirmation while the wizard pages are shown: go on, or end the program.
#pragma once

#include "form.h"

class TForm3 : public forms::Form {
 public:
  TForm3();

 private:
  void Button1Click();
  void Button2Click();
};

extern TForm3* Form3;
