// Cancel confirmation during the extraction: go on, or end the program.
#pragma once

#include "form.h"

class TForm6 : public forms::Form {
 public:
  TForm6();

 private:
  void Button1Click();
  void Button2Click();
};

extern TForm6* Form6;
