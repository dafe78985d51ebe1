// Target-folder dialog; its Edit1 holds the installation's target folder.
#pragma once

#include "form.h"

class TForm4 : public forms::Form {
 public:
  TForm4();
};

extern TForm4* Form4;
