// Copy-progress window during the extraction: the target folder, the file being extracted and
// the gradient bar. It has no frame; a close request asks the cancel confirmation instead.
#pragma once

#include "Progress.h"
#include "form.h"

#include <memory>
#include <string>

class TForm5 : public forms::Form {
 public:
  TForm5();

  TProgress& Progress1() const { return Get<TProgress>("Progress1"); }

  // Where the run shows the window: centred, its top edge at the screen height / 1.2.
  void PlaceForRun();
  // The file being extracted, by its full path, and its share of the archive on the bar.
  void ShowFile(const std::string& path, int sharePercent);

 protected:
  std::unique_ptr<forms::Component> CreateCustom(const forms::ComponentDesign& d, forms::Container* parent) override;
  bool FormCloseQuery() override;

 private:
  void Button1Click();
};

extern TForm5* Form5;
