// The installation wizard: nine named pages of which one is shown at a time.
#pragma once

#include "form.h"

class TForm2 : public forms::Form {
 public:
  TForm2();
};

extern TForm2* Form2;
