// Copy-progress window during the extraction.
#pragma once

#include "form.h"

class TForm5 : public forms::Form {
 public:
  TForm5();
};

extern TForm5* Form5;
