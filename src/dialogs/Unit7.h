// Picture window shown during the extraction. It cannot be closed by the user; the
// installation run hides it.
#pragma once

#include "form.h"

class TForm7 : public forms::Form {
 public:
  TForm7();

 protected:
  bool FormCloseQuery() override { return false; }
};

extern TForm7* Form7;
