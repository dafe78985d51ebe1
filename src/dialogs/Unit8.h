// Locate-archive prompt when Setup.zip is missing beside the setup program.
#pragma once

#include "form.h"

class TForm8 : public forms::Form {
 public:
  TForm8();
};

extern TForm8* Form8;
