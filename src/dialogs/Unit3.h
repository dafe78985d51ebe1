// Cancel confirmation while the wizard pages are shown.
#pragma once

#include "form.h"

class TForm3 : public forms::Form {
 public:
  TForm3();
};

extern TForm3* Form3;
