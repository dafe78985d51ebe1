// Copy-progress window during the extraction: the target folder, the file being extracted and
// the gradient bar. It has no frame; a close request asks the cancel confirmation instead.
#pragma once

#include "Progress.h"
#include "form.h"

#include <memory>

class TForm5 : public forms::Form {
 public:
  TForm5();

  TProgress& Progress1() const { return Get<TProgress>("Progress1"); }

 protected:
  std::unique_ptr<forms::Component> CreateCustom(const forms::ComponentDesign& d,
                                                 forms::Container* parent) override;
  bool FormCloseQuery() override;

 private:
  void Button1Click();
};

extern TForm5* Form5;
