// Picture window shown during the extraction.
#pragma once

#include "form.h"

class TForm7 : public forms::Form {
 public:
  TForm7();
};

extern TForm7* Form7;
