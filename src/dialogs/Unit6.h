// Cancel confirmation during the extraction.
#pragma once

#include "form.h"

class TForm6 : public forms::Form {
 public:
  TForm6();
};

extern TForm6* Form6;
